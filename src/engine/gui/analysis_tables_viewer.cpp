#include "engine/gui/analysis_tables_viewer.h"

#include "common/number_format.h"
#include "common/rounding.h"
#include "engine/engine.h"
#include "ui/grid_cell.h"
#include "ui/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tw::engine {

namespace {

constexpr int32_t kMarkText = 0xFF0000; // blue
constexpr int32_t kMarkBack = 0x00FFFF; // yellow
constexpr int kRankRows = 13;
constexpr int kFlowColumns = 11;
constexpr int kHitNoWidth = 240;
constexpr int kTableWidth = 360;
constexpr int kFlowWidth = 450;

QTableWidget* viewerGrid(QWidget* parent, const char* name, int width) {
    QTableWidget* grid = ui::readOnlyGrid(parent, QString::fromLatin1(name), 20);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setFixedWidth(width);
    return grid;
}

int unitOf(int width, int parts) {
    return static_cast<int>(common::roundHalfEven(static_cast<double>(width) / parts));
}

QString number(int value) {
    return QString::number(value);
}

// The trimmed "###0.000" text of a group value.
QString groupValueText(double value) {
    return QString::fromStdString(common::formatNumber(value, "###0.000")).trimmed();
}

bool tierHolds(const PointTier& tier, int key) {
    const int count = std::clamp<int>(tier.intTierCount, 0, static_cast<int>(tier.intTierKey.size()));
    return std::any_of(tier.intTierKey.begin(), tier.intTierKey.begin() + count, [key](int16_t k) { return k == key; });
}

} // namespace

AnalysisTablesViewer::AnalysisTablesViewer(const Engine& engine, const Request& request, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_request(request) {
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(QStringLiteral("DataDebug"));

    auto* layout = new QHBoxLayout(this);

    gridHitNo = viewerGrid(this, "gridHitNo", kHitNoWidth);
    layout->addWidget(gridHitNo);

    auto* tables = new QVBoxLayout;
    tables->addWidget(new QLabel(QStringLiteral("Frequency"), this));
    gridPTable = viewerGrid(this, "gridPTable", kTableWidth);
    tables->addWidget(gridPTable);
    tables->addWidget(new QLabel(QStringLiteral("Follow"), this));
    gridQTable = viewerGrid(this, "gridQTable", kTableWidth);
    tables->addWidget(gridQTable);
    for (QTableWidget* grid : {gridPTable, gridQTable})
        grid->setFixedHeight(kRankRows * 20 + 2 * grid->frameWidth() + 2);
    auto* values = new QGridLayout;
    lblAvrg = new QLabel(this);
    lblAvrg->setObjectName(QStringLiteral("lblAvrg"));
    lblHitAvrg = new QLabel(this);
    lblHitAvrg->setObjectName(QStringLiteral("lblHitAvrg"));
    values->addWidget(new QLabel(QStringLiteral("Average"), this), 0, 0);
    values->addWidget(lblAvrg, 0, 1);
    values->addWidget(new QLabel(QStringLiteral("Hit"), this), 1, 0);
    values->addWidget(lblHitAvrg, 1, 1);
    for (QLabel* label : {lblAvrg, lblHitAvrg}) {
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(90);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    tables->addLayout(values);
    tables->addStretch();
    layout->addLayout(tables);

    auto* flows = new QVBoxLayout;
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* options = new QHBoxLayout(Frame1);
    for (std::size_t i = 0; i < optColNo.size(); ++i) {
        optColNo[i] = new QRadioButton(number(static_cast<int>(i) + 1), Frame1);
        optColNo[i]->setObjectName(QStringLiteral("optColNo_%1").arg(i));
        options->addWidget(optColNo[i]);
        connect(optColNo[i], &QRadioButton::clicked, this, [this, i] { optColNo_Click(static_cast<int>(i)); });
    }
    optColNo[0]->setChecked(true);
    flows->addWidget(Frame1);
    gridRowFlow = viewerGrid(this, "gridRowFlow", kFlowWidth);
    gridNumFlow = viewerGrid(this, "gridNumFlow", kFlowWidth);
    flows->addWidget(new QLabel(QStringLiteral("Next rank"), this));
    flows->addWidget(gridRowFlow, 1);
    flows->addWidget(new QLabel(QStringLiteral("Next digit"), this));
    flows->addWidget(gridNumFlow, 1);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    flows->addWidget(cmdExit, 0, Qt::AlignRight);
    layout->addLayout(flows);
    resize(1120, 640);

    connect(gridHitNo, &QTableWidget::cellClicked, this, [this] { gridHitNo_Click(); });
    connect(gridRowFlow, &QTableWidget::cellClicked, this, [this](int, int column) { gridRowFlow_Click(column); });
    connect(gridNumFlow, &QTableWidget::cellClicked, this, [this] { gridNumFlow_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, &AnalysisTablesViewer::cmdExit_Click);
}

bool AnalysisTablesViewer::sameGame() const {
    return m_engine.hasRun() && m_engine.game() == m_request.game;
}

int AnalysisTablesViewer::selectedPosition() const {
    for (std::size_t i = 0; i < optColNo.size(); ++i)
        if (optColNo[i]->isChecked())
            return static_cast<int>(i) + 1;
    return 1;
}

void AnalysisTablesViewer::pubFormSetUP() {
    if (m_request.game == common::Game::Numbers3) {
        optColNo[3]->setEnabled(false);
        if (optColNo[3]->isChecked())
            optColNo[0]->setChecked(true);
    } else {
        optColNo[3]->setEnabled(true);
        optColNo[3]->setChecked(true);
    }
    SetUpGrids();
    FillHitNoGrid();
    ShowFlowOfPosition();
}

int AnalysisTablesViewer::flowRowCount(int position) const {
    // The list's last two records are not shown; a shorter list shows no rows.
    if (!sameGame() || position > common::digitCount(m_request.game))
        return 0;
    return std::max(0, m_engine.FreqFlow(position).count - 2);
}

void AnalysisTablesViewer::SetUpGrids() {
    for (QTableWidget* grid : {gridHitNo, gridPTable, gridQTable, gridRowFlow, gridNumFlow})
        grid->clear();
    gridHitNo->setRowCount(std::max<int>(m_request.maxCount, 0));
    gridHitNo->setColumnCount(5);
    const int hitUnit = unitOf(kHitNoWidth, 16);
    gridHitNo->setColumnWidth(0, 6 * hitUnit);
    for (int c = 1; c <= 4; ++c)
        gridHitNo->setColumnWidth(c, 2 * hitUnit);

    const int tableUnit = unitOf(kTableWidth, 24);
    for (QTableWidget* grid : {gridPTable, gridQTable}) {
        grid->setRowCount(kRankRows);
        grid->setColumnCount(8);
        for (int c = 0; c < 8; ++c)
            grid->setColumnWidth(c,
                                 c % 2 == 0 ? 2 * tableUnit : static_cast<int>(common::roundHalfEven(3.5 * tableUnit)));
    }

    const int flowUnit = unitOf(kFlowWidth, 18);
    for (QTableWidget* grid : {gridRowFlow, gridNumFlow}) {
        grid->setColumnCount(kFlowColumns);
        grid->setRowCount(flowRowCount(selectedPosition()));
        grid->setColumnWidth(0, 3 * flowUnit);
        for (int c = 1; c < kFlowColumns; ++c)
            grid->setColumnWidth(c, flowUnit);
    }
}

void AnalysisTablesViewer::FillHitNoGrid() {
    const RowTable<FreqRow> freq = m_engine.FreqRows();
    const int digits = common::digitCount(m_request.game);
    const bool held = sameGame();
    gridHitNo->setUpdatesEnabled(false);
    for (int r = 1; r <= m_request.maxCount; ++r) {
        const auto row = static_cast<int16_t>(r - 1);
        ui::SetGridCell(gridHitNo, 0, row, kMarkText, -1, number(r));
        if (!held || static_cast<std::size_t>(r) >= freq.size())
            continue; // a round the last run did not analyse: digits unknown here
        const FreqRow& f = freq[static_cast<std::size_t>(r)];
        for (int p = 1; p <= digits; ++p)
            ui::SetGridCell(gridHitNo, static_cast<int16_t>(p), row, -1, -1,
                            number(f.bytRowNum[static_cast<std::size_t>(p)]));
    }
    gridHitNo->setCurrentItem(nullptr);
    gridHitNo->setUpdatesEnabled(true);
}

void AnalysisTablesViewer::ShowRoundTables(int16_t round) {
    FillPTable(round);
    FillQTable(round);
}

namespace {

// Writes a ranking with the drawn digits into a 13-row grid. `drawn` is false for
// a round not drawn yet (the run's forecast row): its digits are unknown, so no
// slot is marked.
void fillRanking(QTableWidget* grid, int16_t round, const Ranking* ranking, const std::array<PosBlock, 5>* blocks,
                 bool drawn, int positions) {
    grid->clearContents();
    ui::SetGridCell(grid, 1, 0, -1, -1, QString::number(round));
    if (!ranking)
        return;
    for (int p = 1; p <= positions; ++p) {
        const auto digitColumn = static_cast<int16_t>(2 * (p - 1));
        const int hitDigit = (*blocks)[static_cast<std::size_t>(p)].intHitDigit;
        if (drawn)
            ui::SetGridCell(grid, digitColumn, 1, -1, -1, QString::number(hitDigit));
        for (int slot = 0; slot <= 9; ++slot) {
            const DigitPoint& dp = ranking->at(slot, p);
            const bool mark = drawn && dp.intDigit == hitDigit;
            const int32_t fore = mark ? kMarkText : -1;
            const int32_t back = mark ? kMarkBack : -1;
            const auto row = static_cast<int16_t>(slot + 3);
            ui::SetGridCell(grid, digitColumn, row, fore, back, QString::number(dp.intDigit));
            ui::SetGridCell(grid, static_cast<int16_t>(digitColumn + 1), row, fore, back, QString::number(dp.intPoint));
        }
    }
    grid->setCurrentItem(nullptr);
}

} // namespace

void AnalysisTablesViewer::FillPTable(int16_t round) {
    const RowTable<FreqRow> freq = m_engine.FreqRows();
    const bool held = sameGame() && round >= 1 && static_cast<std::size_t>(round) < freq.size();
    const FreqRow* row = held ? &freq[static_cast<std::size_t>(round)] : nullptr;
    fillRanking(gridPTable, round, row ? &row->ranking : nullptr, row ? &row->blocks : nullptr, true,
                common::digitCount(m_request.game));
}

void AnalysisTablesViewer::FillQTable(int16_t round) {
    const RowTable<FollowRow> follow = m_engine.FollowRows();
    const bool held = sameGame() && round >= 1 && static_cast<std::size_t>(round) < follow.size();
    const FollowRow* row = held ? &follow[static_cast<std::size_t>(round)] : nullptr;
    // The row after the run's last round is its forecast: not drawn, not scored.
    const bool drawn = round <= m_engine.intLastRow();
    fillRanking(gridQTable, round, row ? &row->ranking : nullptr, row ? &row->blocks : nullptr, drawn,
                common::digitCount(m_request.game));
    lblAvrg->setText(row ? groupValueText(row->dblAvgGrpValue) : QString());
    lblHitAvrg->setText(row && drawn ? groupValueText(row->dblWinGrpValue) : QString());
}

void AnalysisTablesViewer::ShowFlowOfPosition() {
    gridRowFlow->clearContents();
    gridNumFlow->clearContents();
    const int position = selectedPosition();
    FillFlowGrids(position);
}

void AnalysisTablesViewer::FillFlowGrids(int position) {
    const int rows = flowRowCount(position);
    gridRowFlow->setRowCount(rows);
    gridNumFlow->setRowCount(rows);
    if (rows == 0)
        return;
    const CountedList<FlowRec>& list = m_engine.FreqFlow(position);
    for (int k = 0; k < rows && static_cast<std::size_t>(k) < list.items.size(); ++k) {
        const FlowRec& rec = list[k];
        const auto row = static_cast<int16_t>(k);
        ui::SetGridCell(gridRowFlow, 0, row, -1, -1, number(rec.intFlowRow));
        ui::SetGridCell(gridNumFlow, 0, row, -1, -1, number(rec.intFlowRow));
        for (int t = 0; t <= 9; ++t) {
            const auto column = static_cast<int16_t>(t + 1);
            const PointTier& rankTier = rec.NextRankTiers[static_cast<std::size_t>(t)];
            if (rankTier.lngTierValue >= 0) {
                const bool mark = tierHolds(rankTier, rec.intNextHitRank - 1);
                ui::SetGridCell(gridRowFlow, column, row, mark ? kMarkText : -1, mark ? kMarkBack : -1,
                                number(rankTier.intTierCount));
            }
            const PointTier& digitTier = rec.NextDigitTiers[static_cast<std::size_t>(t)];
            if (digitTier.lngTierValue >= 0) {
                const bool mark = tierHolds(digitTier, rec.intNextHitDigit);
                ui::SetGridCell(gridNumFlow, column, row, mark ? kMarkText : -1, mark ? kMarkBack : -1,
                                number(digitTier.intTierCount));
            }
        }
    }
    gridRowFlow->setCurrentItem(nullptr);
    gridNumFlow->setCurrentItem(nullptr);
}

void AnalysisTablesViewer::showRoundOfRow(QTableWidget* grid) {
    bool ok = false;
    const int round = ui::GetSelRowText(grid).toInt(&ok);
    if (ok && round >= 0 && round <= 32767)
        ShowRoundTables(static_cast<int16_t>(round));
}

void AnalysisTablesViewer::gridHitNo_Click() {
    showRoundOfRow(gridHitNo);
}

void AnalysisTablesViewer::gridRowFlow_Click(int column) {
    if (column == 0)
        showRoundOfRow(gridRowFlow);
}

void AnalysisTablesViewer::gridNumFlow_Click() {
    showRoundOfRow(gridNumFlow);
}

void AnalysisTablesViewer::optColNo_Click(int index) {
    const int rows = flowRowCount(index + 1);
    gridRowFlow->setRowCount(rows);
    gridNumFlow->setRowCount(rows);
    ShowFlowOfPosition();
}

void AnalysisTablesViewer::cmdExit_Click() {
    accept();
}

} // namespace tw::engine
