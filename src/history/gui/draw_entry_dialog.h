// The draw result entry dialog: the user types the date, the drawn digits and
// the five prize amounts of one round on on-screen keypads, and the store
// command writes the round into the game's draw table and at once to its table
// file, through the table store the caller hands in (the main window's saves the
// table as the exit command does: a new round is appended, a correction
// replaces the file). A round typed in is thus on disk as soon as it is stored,
// not only after a clean exit. When the store fails, the dialog shows the error
// and keeps the typed values, so that storing again retries; the round stays in
// the table, unsaved, for the exit command to try as well. The dialog edits only
// the DrawHistory it is given and knows nothing of the main window; the caller
// sets the public members below, runs exec() and afterwards refills its round
// list.
//
// Controls that come in numbered families carry the object name
// "<name>_<index>", e.g. optNum_1, lblNum_3, frmKey_3, cmdNum2_7, cmdMoney1_11.
#pragma once

#include "history/num_data.h"
#include "history/table_file.h"

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tw::history {

class DrawEntryDialog : public QDialog {
    Q_OBJECT
public:
    // Weekday suffixes of displayed dates, indexed 1 = Sunday .. 7 = Saturday (0 is a filler).
    using WeekdayMarks = std::array<QString, 8>;
    using Clock = std::function<QDateTime()>;
    // Writes the unsaved records of a game's table to its file.
    using TableStore = std::function<SaveError(common::Game game)>;

    // Where the dialog starts.
    struct Request {
        common::Game game = common::Game::Numbers3;
        int32_t round = 1; // round to enter or correct
        bool isNew = true; // the round is not in the table yet
    };

    DrawEntryDialog(DrawHistory& history, const WeekdayMarks& weekdayMark, const Request& request,
                    QWidget* parent = nullptr);

    // Where "now" comes from: the date of a new round and the calendar's start. Defaults to the system clock.
    void setClock(Clock clock);
    // Where stored rounds go besides the table. Without a store (the dialog's own
    // tests) a round is kept in the table only.
    void setTableStore(TableStore store) { m_store = std::move(store); }

    // Where the dialog is now: the game, the round being entered or corrected,
    // and whether that round is not in the table yet.
    common::Game game() const { return m_game; }
    int32_t entryRound() const { return m_lngEntryRound; }
    bool isNewRound() const { return m_blnNew; }

    // The amount after pressing key 0..9, 11 ("<") or 12 ("C") on an amount keypad
    // that takes at most maxDigits digits; beeps when the key cannot act.
    static int32_t KeypadEdit(int key, int maxDigits, int32_t amount);

    // Names of the items that differ from the stored round (from an empty round when
    // it is new), separated by CR; empty when nothing changed.
    QString ListChanges() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Escape and the window's close box go the same way as cmdExit.
    void reject() override;

private Q_SLOTS:
    void optNum_Click(int index);
    void cmdNum_Click(int place, int index);
    void cmdMoney_Click(int k, int index);
    void lblDate_Click();
    void MonthView1_DateClick(QDate date);
    void cmdLoad_Click();
    void cmdSave_Click();
    void cmdExit_Click();

private:
    static constexpr int kAmounts = 5; // Straight, Box, Set-Straight, Set-Box, Mini

    DrawTable& table() const;
    double now() const;
    bool confirmClose();
    void buildControls();
    QWidget* buildKeypad(const QString& frameName, const QString& buttonName, bool withEditKeys,
                         const std::function<void(int)>& onKey);

    void LoadRound();
    void InitWork();
    void ShowWork();
    void showAmount(int k);

    DrawHistory& m_history;
    WeekdayMarks m_weekdayMark;
    Clock m_clock;
    TableStore m_store;
    common::Game m_game = common::Game::Numbers3;
    int32_t m_lngEntryRound = 1;
    bool m_blnNew = true;

    // The stored values of the round, against which changes are found. Digits are
    // indexed by place 1..4; amounts in the order Straight, Box, Set-Straight, Set-Box, Mini.
    double m_dteEntryRound = 0;
    std::array<uint8_t, 5> m_bytEntryNum{};
    std::array<int32_t, kAmounts> m_lngEntryAmount{};

    // The values being edited; a digit of 10 marks a place not entered yet.
    int32_t m_lngWorkRound = 0;
    double m_dteWork = 0;
    std::array<uint8_t, 5> m_bytWorkNum{};
    std::array<int32_t, kAmounts> m_lngWorkAmount{};
    bool m_blnSetUpDone = false;

    std::array<QRadioButton*, 2> optNum{};
    std::array<QLabel*, 4> lblNum{};
    std::array<QWidget*, 4> frmKey{};
    std::array<QLabel*, kAmounts> lblAmount{}; // lblStright, lblBox, lblSetStright, lblSetBox, lblMini
    QLabel* lblRound = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* Label10 = nullptr;
    QWidget* framMini = nullptr;
    QCalendarWidget* MonthView1 = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace tw::history
