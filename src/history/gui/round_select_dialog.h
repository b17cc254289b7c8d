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
    // What to list.
    struct Request {
        common::Game game = common::Game::Numbers3;
    };

    RoundSelectDialog(const DrawHistory& history, const Request& request, QWidget* parent = nullptr);

    // The round the user confirmed; meaningful when exec() returned Accepted.
    int chosenRound() const { return m_intSelRound; }

    // The text of a list item: the round right-aligned in five characters.
    static QString roundItemText(int round);

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void lstRound_SelectionChanged();
    void lstRound_DblClick(QListWidgetItem* item);
    void cmdOK_Click();

private:
    void fillList();

    const DrawHistory& m_history;
    Request m_request;
    int16_t m_intSelRound = -1; // -1 until the user picks an item
    bool m_blnListFilled = false;

    QListWidget* lstRound = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace tw::history
