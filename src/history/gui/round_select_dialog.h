// The round selection dialog: lists every round of one game from the next,
// not yet drawn round down to round 1 and hands the confirmed round back to
// its caller through chosenRound(). It reads only the count of the game's draw
// table; where it appears on screen is the caller's business.
#pragma once

#include "history/num_data.h"

#include <QDialog>

#include <cstdint>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tw::history {

class RoundSelectDialog : public QDialog {
    Q_OBJECT
public:
    explicit RoundSelectDialog(const DrawHistory& history, QWidget* parent = nullptr);

    // Game to list, set before showing: 0 = Numbers3, any other value = Numbers4.
    int16_t nNumbers = 0;

    // The round the user confirmed; meaningful when exec() returned Accepted.
    int chosenRound() const { return intSelRound; }

    // The text of a list item: the round right-aligned in five characters.
    static QString roundItemText(int round);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();
    void lstRound_SelectionChanged();
    void lstRound_DblClick(QListWidgetItem* item);
    void cmdOK_Click();

    const DrawHistory& drawHistory;
    int16_t intSelRound = -1; // -1 until the user picks an item
    bool blnListFilled = false;

    QListWidget* lstRound = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace tw::history
