// The print panel of the main window: four pick lists (prediction Group1,
// Group2, Group3 or the Mini candidates, and the user's own selection), the
// picked count of each, the budget of all picks, the bet type to print, and the
// start button that collects the picked bets of that type and opens the print
// dialog, or says that nothing of that type is picked.
//
// The panel reads the proposal and the selection only when it is set up; it
// keeps no reference to them. Its lists are rebuilt on every set-up, so picks do
// not survive leaving the panel.
//
// Controls in numbered families carry the object name "<name>_<index>":
// lstPrtGroup_0 .. _3, lblPrtSelectCnt_0 .. _3, cmdPrtGrpAllSelect_0 .. _3,
// cmdPrtGrpAllCancel_0 .. _3, imgGrp_0, _1, _2, _3, _5, optPrtType_0 .. _3.
#pragma once

#include "engine/engine_types.h"
#include "printing/print_data.h"
#include "selection/selection_model.h"

#include <QFrame>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tw::printing {

class PrintJobDialog;

class PrintPanel : public QFrame {
    Q_OBJECT
public:
    // Shows the print dialog once StartPrint has prepared it; by default exec().
    using DialogRunner = std::function<void(PrintJobDialog& dialog)>;

    static constexpr int kLists = 4;

    explicit PrintPanel(QWidget* parent = nullptr);
    ~PrintPanel() override;

    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }

    // Where the entries a print job printed are recorded as bought tickets: the
    // ledger file and the round being printed. Without a target nothing is
    // recorded. The ledger is opened only when a job has printed, so a ledger
    // that cannot be used never stands in the way of printing.
    struct LedgerTarget {
        std::string path;
        int round = 0;
    };
    void setLedgerTarget(std::optional<LedgerTarget> target) { m_ledgerTarget = std::move(target); }
    const std::optional<LedgerTarget>& ledgerTarget() const { return m_ledgerTarget; }

    // Prepares the panel each time it is shown: the game's options and title
    // pictures, Straight chosen, every count 0, the lists refilled from the
    // proposal and from the change panel's selection and Mini lists.
    void PrtPanelSetUp(common::Game game, const engine::Proposal& proposal, const selection::ItemList& lstChgSelect,
                       const selection::ItemList& lstChgMini);

    // The four lists as they were filled, with what is picked in the list controls.
    PickLists pickLists() const;
    const std::array<int32_t, kLists>& intPrtSelectCnt() const { return m_intPrtSelectCnt; }

    // Prints the picks of the given game (the print button and the main window start it).
    void StartPrint(common::Game game);

private Q_SLOTS:
    void cmdPrtGrpAllSelect_Click(int index);
    void cmdPrtGrpAllCancel_Click(int index);
    void lstPrtGroup_Click(int index);
    void cmdPrtSrart_Click();

private:
    void buildControls();
    QWidget* buildListColumn(int index, QWidget* parent);
    void showCount(int index, const char* pattern);
    void showCredit();
    void fillList(int index, const PickList& items);
    int checkedPrintOption() const;
    void recordPrinted(QWidget* dialog, common::Game game, common::BetType printType,
                       const std::vector<common::LotteryNumber>& entries, int count);

    common::Game m_game = common::Game::Numbers3;
    PickLists m_lists;         // the bets behind the list rows; the controls only show them and hold the picks
    bool m_blnSetting = false; // the program is changing the picks; not a click
    std::array<int32_t, kLists> m_intPrtSelectCnt{};
    DialogRunner m_runDialog;
    std::optional<LedgerTarget> m_ledgerTarget;

    std::array<QListWidget*, kLists> lstPrtGroup{};
    std::array<QLabel*, kLists> lblPrtSelectCnt{};
    std::array<QPushButton*, kLists> cmdPrtGrpAllSelect{};
    std::array<QPushButton*, kLists> cmdPrtGrpAllCancel{};
    std::array<QLabel*, 6> imgGrp{}; // 0, 1, 2, 3 and 5 are used
    std::array<QRadioButton*, 4> optPrtType{};
    QGroupBox* framPrtOption = nullptr;
    QFrame* framPrtUser = nullptr;
    QLabel* lblPrtCredit = nullptr;
    QPushButton* cmdPrtSrart = nullptr;
};

} // namespace tw::printing
