// The ledger window: one row per game and round (round, draw date, game,
// tickets, cost, won, balance, running balance; a round not yet drawn says so),
// the tickets of the selected round with their hits, filters by game and by draw
// date, the totals, a line of the running balance over the draw dates, CSV
// export of the rows, tickets added by hand and one removed after a question.
//
// The window holds the ledger file open while it is shown and rebuilds its view
// from the library's report after every change, so what it shows is always the
// ledger settled against the history it was given (which outlives the window).
#pragma once

#include "history/num_data.h"
#include "ledger/ledger.h"
#include "ledger/settlement.h"

#include <QDialog>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class QChartView;

namespace tw::ledger {

class LedgerWindow : public QDialog {
    Q_OBJECT
public:
    LedgerWindow(std::string ledgerPath, const history::DrawHistory& history, QWidget* parent = nullptr);
    ~LedgerWindow() override;

    // Opens the ledger file; on failure shows the message and returns false
    // (the caller then does not show the window; the program goes on).
    bool openLedger();

    const LedgerReport& report() const { return m_report; }
    // Writes the shown rows to `path` as CSV; a failure is shown as a message.
    bool exportCsv(const QString& path);

    // Shows the ledger again with the current filter.
    void refresh();

private Q_SLOTS:
    void cmdLedgerAdd_Click();
    void cmdLedgerRemove_Click();
    void cmdLedgerExport_Click();

private:
    void buildControls();
    void showRows();
    void showDetail();
    void showChart();
    ReportFilter currentFilter() const;

    std::string m_path;
    const history::DrawHistory& m_history;
    std::optional<Ledger> m_ledger;
    LedgerReport m_report;

    QComboBox* cmbLedgerGame = nullptr;
    QCheckBox* chkLedgerDates = nullptr;
    QDateEdit* dteLedgerFrom = nullptr;
    QDateEdit* dteLedgerTo = nullptr;
    QTableWidget* tblLedgerRounds = nullptr;
    QTableWidget* tblLedgerTickets = nullptr;
    QLabel* lblLedgerTotals = nullptr;
    QChartView* chartLedgerBalance = nullptr;
    QComboBox* cmbAddGame = nullptr;
    QSpinBox* spnAddRound = nullptr;
    QLineEdit* txtAddNumber = nullptr;
    QComboBox* cmbAddBet = nullptr;
    QSpinBox* spnAddCount = nullptr;
    QPushButton* cmdLedgerAdd = nullptr;
    QPushButton* cmdLedgerRemove = nullptr;
    QPushButton* cmdLedgerExport = nullptr;
    QPushButton* cmdLedgerClose = nullptr;
};

} // namespace tw::ledger
