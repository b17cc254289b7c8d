#include "selection/gui/change_panel.h"

#include "common/file_replace.h"
#include "common/number_format.h"
#include "engine/engine.h"
#include "history/num_data.h"
#include "reports/gui/hit_chart_dialog.h"
#include "selection/change_view.h"
#include "selection/gui/group_select_dialog.h"
#include "selection/user_select_file.h"
#include "ui/grid_cell.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace tw::selection {

namespace {

constexpr int kPointGridWidth = 440;
constexpr int kPointGridRows = 11;
constexpr int kAllGroupGridWidth = 120;

QPushButton* panelButton(QWidget* parent, const char* name, const QString& text) {
    return ui::namedButton(parent, QString::fromLatin1(name), text);
}

QLabel* panelLabel(QWidget* parent, const QString& text, const char* name = nullptr) {
    return ui::namedLabel(parent, name ? QString::fromLatin1(name) : QString(), text);
}

QListWidget* selectionList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    // Every click toggles one item, so picks are added one by one without a modifier key.
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    return list;
}

QTableWidget* plainGrid(QWidget* parent, const char* name) {
    return ui::readOnlyGrid(parent, QString::fromLatin1(name), 22);
}

QLabel* countLabel(QWidget* parent, const char* name) {
    return ui::valueLabel(parent, QString::fromLatin1(name));
}

} // namespace

bool showAmount(QWidget* parent, QLabel* label, int64_t count) {
    const std::optional<std::string> text = amountText(count);
    if (!text) {
        label->clear();
        ui::showMessage(parent, QStringLiteral("オーバーフローしました。"), ui::Buttons::Ok,
                        QStringLiteral("【金額エラー】"));
        return false;
    }
    label->setText(QString::fromStdString(common::displayYen(*text)));
    return true;
}

ChangePanel::ChangePanel(SelectionModel& model, const engine::Engine& engine, const history::DrawHistory& history,
                         std::string workingDir, QWidget* parent)
    : QFrame(parent), m_model(model), m_engine(engine), m_history(history), m_workingDir(std::move(workingDir)) {
    setObjectName(QStringLiteral("framHenkou"));
    setFrameShape(QFrame::StyledPanel);
    buildControls();
}

void ChangePanel::buildControls() {
    auto* layout = new QGridLayout(this);

    // Round, counts and amounts, and the confirm button along the top.
    auto* roundBox = new QHBoxLayout;
    roundBox->addWidget(panelLabel(this, QStringLiteral("第")));
    lblChgRound = panelLabel(this, QString(), "lblChgRound");
    lblChgRound->setAlignment(Qt::AlignCenter);
    lblChgRound->setMinimumWidth(60);
    QFont roundFont = lblChgRound->font();
    roundFont.setBold(true);
    roundFont.setPointSizeF(roundFont.pointSizeF() * 1.4);
    lblChgRound->setFont(roundFont);
    roundBox->addWidget(lblChgRound);
    roundBox->addWidget(panelLabel(this, QStringLiteral("回")));
    roundBox->addStretch();

    auto* counts = new QGridLayout;
    counts->addWidget(panelLabel(this, QStringLiteral("全選出")), 0, 0, 1, 2, Qt::AlignCenter);
    counts->addWidget(panelLabel(this, QStringLiteral("ユーザ選出")), 0, 2, 1, 2, Qt::AlignCenter);
    lblChgMaxSelect = countLabel(this, "lblChgMaxSelect");
    lblChgAllMoney = countLabel(this, "lblChgAllMoney");
    lblChgUserSelect = countLabel(this, "lblChgUserSelect");
    lblChgUserSelectMoney = countLabel(this, "lblChgUserSelectMoney");
    counts->addWidget(lblChgMaxSelect, 1, 0);
    counts->addWidget(panelLabel(this, QStringLiteral("組")), 1, 1);
    counts->addWidget(lblChgUserSelect, 1, 2);
    counts->addWidget(panelLabel(this, QStringLiteral("組")), 1, 3);
    counts->addWidget(lblChgAllMoney, 2, 0);
    counts->addWidget(panelLabel(this, QStringLiteral("円")), 2, 1);
    counts->addWidget(lblChgUserSelectMoney, 2, 2);
    counts->addWidget(panelLabel(this, QStringLiteral("円")), 2, 3);

    framKakutei = new QFrame(this);
    framKakutei->setObjectName(QStringLiteral("framKakutei"));
    framKakutei->setFrameShape(QFrame::StyledPanel);
    auto* kakutei = new QVBoxLayout(framKakutei);
    cmdChgEnd = panelButton(framKakutei, "cmdChgEnd", QStringLiteral("選出Noの確定"));
    cmdChgEnd->setMinimumHeight(40);
    kakutei->addWidget(cmdChgEnd);

    auto* top = new QHBoxLayout;
    top->addLayout(roundBox);
    top->addSpacing(16);
    top->addLayout(counts);
    top->addStretch();
    top->addWidget(framKakutei);
    layout->addLayout(top, 0, 0, 1, 4);

    // The all-group grid and the chart button.
    auto* allGroup = new QVBoxLayout;
    allGroup->addWidget(panelLabel(this, QStringLiteral("All Group")));
    gridChgAllGroup = plainGrid(this, "gridChgAllGroup");
    gridChgAllGroup->setColumnCount(1);
    gridChgAllGroup->setFixedWidth(kAllGroupGridWidth);
    gridChgAllGroup->horizontalHeader()->setStretchLastSection(true);
    gridChgAllGroup->setSelectionBehavior(QAbstractItemView::SelectRows);
    allGroup->addWidget(gridChgAllGroup, 1);
    layout->addLayout(allGroup, 1, 0);

    // Candidates of one source group; the column keeps a list's width when the
    // columns beside it are hidden for a drawn round.
    auto* grpNumsColumn = new QWidget(this);
    grpNumsColumn->setMaximumWidth(320);
    auto* grpNums = new QVBoxLayout(grpNumsColumn);
    grpNums->setContentsMargins(0, 0, 0, 0);
    grpNums->addWidget(panelLabel(this, QStringLiteral("Group Numbers")));
    lstChgGrpNums = selectionList(this, "lstChgGrpNums");
    grpNums->addWidget(lstChgGrpNums, 1);
    cmdChgFromYosoKu = panelButton(this, "cmdChgFromYosoKu", QStringLiteral("自動予想から選択"));
    cmdChgAll = panelButton(this, "cmdChgAll", QStringLiteral("Group Numbersリストの全選択"));
    cmdChgClear = panelButton(this, "cmdChgClear", QStringLiteral("Group Numbersの全選択解除"));
    cmdChgSelect = panelButton(this, "cmdChgSelect", QStringLiteral("GroupNumbers選択内容を全選出"));
    for (QPushButton* button : {cmdChgFromYosoKu, cmdChgAll, cmdChgClear, cmdChgSelect})
        grpNums->addWidget(button);
    layout->addWidget(grpNumsColumn, 1, 1);

    // The user's selection.
    auto* select = new QVBoxLayout;
    lblSelectNumsTitle = panelLabel(this, QStringLiteral("Select Numbers"), "lblSelectNumsTitle");
    select->addWidget(lblSelectNumsTitle);
    lstChgSelect = selectionList(this, "lstChgSelect");
    select->addWidget(lstChgSelect, 1);
    cmdChgCancel = panelButton(this, "cmdChgCancel", QStringLiteral("選択選出Noの取り消し"));
    cmdChgAllSelectCancel = panelButton(this, "cmdChgAllSelectCancel", QStringLiteral("全選出内容を取り消し"));
    select->addWidget(cmdChgCancel);
    select->addWidget(cmdChgAllSelectCancel);
    layout->addLayout(select, 1, 2);

    // Mini bets, Numbers3 only.
    subFramNum3 = new QFrame(this);
    subFramNum3->setObjectName(QStringLiteral("subFramNum3"));
    subFramNum3->setFrameShape(QFrame::StyledPanel);
    auto* mini = new QVBoxLayout(subFramNum3);
    lblMiniLogo = panelLabel(subFramNum3, QStringLiteral("Mini"), "lblMiniLogo");
    QFont logoFont = lblMiniLogo->font();
    logoFont.setBold(true);
    logoFont.setItalic(true);
    logoFont.setPointSizeF(logoFont.pointSizeF() * 1.5);
    lblMiniLogo->setFont(logoFont);
    lblMiniLogo->setStyleSheet(QStringLiteral("color: #c000c0;"));
    mini->addWidget(lblMiniLogo);
    lstChgMini = selectionList(subFramNum3, "lstChgMini");
    mini->addWidget(lstChgMini, 1);
    cmdChgSetMini = panelButton(subFramNum3, "cmdChgSetMini", QStringLiteral("指定選出NoをMiniへ登録"));
    cmdChgMiniAll = panelButton(subFramNum3, "cmdChgMiniAll", QStringLiteral("全選出内容からMiniへ登録"));
    cmdChgMiniCancel = panelButton(subFramNum3, "cmdChgMiniCancel", QStringLiteral("指定Miniを取り消し"));
    cmdChgMiniAllCanCel = panelButton(subFramNum3, "cmdChgMiniAllCanCel", QStringLiteral("全Mini内容を取り消し"));
    for (QPushButton* button : {cmdChgSetMini, cmdChgMiniAll, cmdChgMiniCancel, cmdChgMiniAllCanCel})
        mini->addWidget(button);
    layout->addWidget(subFramNum3, 1, 3);

    // The follower point table and the chart button along the bottom.
    auto* bottom = new QHBoxLayout;
    auto* points = new QVBoxLayout;
    points->addWidget(panelLabel(this, QStringLiteral("累積ポイント表")));
    gridChgPointData = plainGrid(this, "gridChgPointData");
    gridChgPointData->setSelectionMode(QAbstractItemView::NoSelection);
    gridChgPointData->setFixedWidth(kPointGridWidth);
    gridChgPointData->setFixedHeight(kPointGridRows * 22 + 2 * gridChgPointData->frameWidth() + 2);
    gridChgPointData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gridChgPointData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    points->addWidget(gridChgPointData);
    bottom->addLayout(points);
    cmdChart = panelButton(this, "cmdChart", QStringLiteral("過去の平均グループと当選グループ"));
    cmdChart->setMinimumHeight(40);
    bottom->addWidget(cmdChart, 0, Qt::AlignBottom);
    bottom->addStretch();
    layout->addLayout(bottom, 2, 0, 1, 4);
    layout->setRowStretch(1, 1);

    connect(cmdChart, &QPushButton::clicked, this, &ChangePanel::cmdChart_Click);
    connect(cmdChgFromYosoKu, &QPushButton::clicked, this, &ChangePanel::cmdChgFromYosoKu_Click);
    connect(gridChgAllGroup, &QTableWidget::cellClicked, this, &ChangePanel::gridChgAllGroup_Click);
    connect(cmdChgAll, &QPushButton::clicked, this, &ChangePanel::cmdChgAll_Click);
    connect(cmdChgClear, &QPushButton::clicked, this, &ChangePanel::cmdChgClear_Click);
    connect(cmdChgSelect, &QPushButton::clicked, this, &ChangePanel::cmdChgSelect_Click);
    connect(cmdChgCancel, &QPushButton::clicked, this, &ChangePanel::cmdChgCancel_Click);
    connect(cmdChgAllSelectCancel, &QPushButton::clicked, this, &ChangePanel::cmdChgAllSelectCancel_Click);
    connect(cmdChgSetMini, &QPushButton::clicked, this, &ChangePanel::cmdChgSetMini_Click);
    connect(cmdChgMiniAll, &QPushButton::clicked, this, &ChangePanel::cmdChgMiniAll_Click);
    connect(cmdChgMiniCancel, &QPushButton::clicked, this, &ChangePanel::cmdChgMiniCancel_Click);
    connect(cmdChgMiniAllCanCel, &QPushButton::clicked, this, &ChangePanel::cmdChgMiniAllCanCel_Click);
    connect(cmdChgEnd, &QPushButton::clicked, this, &ChangePanel::cmdChgEnd_Click);
    connect(lstChgGrpNums, &QListWidget::itemSelectionChanged, this, [this] { takeSelection(ListId::GrpNums); });
    connect(lstChgSelect, &QListWidget::itemSelectionChanged, this, [this] { takeSelection(ListId::Select); });
    connect(lstChgMini, &QListWidget::itemSelectionChanged, this, [this] { takeSelection(ListId::Mini); });
}

void ChangePanel::ChgPanelSetUp(common::Game game, int16_t round) {
    m_game = game;
    m_round = round;
    m_future = m_history.table(game).count < round;

    for (QWidget* control :
         std::initializer_list<QWidget*>{cmdChgFromYosoKu, cmdChgAll, cmdChgClear, cmdChgSelect, cmdChgAllSelectCancel,
                                         cmdChgCancel, lblSelectNumsTitle, lstChgSelect, subFramNum3, framKakutei})
        control->setVisible(m_future);
    if (game == common::Game::Numbers4) {
        subFramNum3->setVisible(false);
        subFramNum3->setEnabled(false);
    } else {
        subFramNum3->setEnabled(true);
    }

    m_model.ResetSelectCount(m_engine.proposal().AllGrpCount);
    lblChgRound->setText(QString::number(round));

    gridChgAllGroup->clearContents();
    gridChgAllGroup->setRowCount(0);
    gridChgPointData->clear();
    gridChgPointData->setRowCount(0);
    m_model.ClearLists();
    refreshList(ListId::GrpNums);

    SetChgAllGroupGrid();
    SetChgPointGrid();
    if (m_future)
        m_model.LoadUserSelect(m_workingDir, game, round, gridRowTexts());
    refreshUserLists();
    showSelectCounts();
}

void ChangePanel::LoadUserSelect(common::Game game, int16_t round) {
    m_model.LoadUserSelect(m_workingDir, game, round, allGroupRowTexts(m_engine.proposal()));
    refreshUserLists();
    showUserCounts();
}

void ChangePanel::SetChgAllGroupGrid() {
    const engine::Proposal& proposal = m_engine.proposal();
    const std::vector<std::string> rows = allGroupRowTexts(proposal);
    m_keyRow = -1;
    gridChgAllGroup->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        ui::SetGridCell(gridChgAllGroup, 0, static_cast<int16_t>(r), -1, -1, QString::fromStdString(rows[r]));

    // The key is the round's average group value; a round the last run's tables
    // do not hold (another game, or beyond the forecast row) has none to mark.
    const engine::RowTable<engine::FollowRow> follow = m_engine.FollowRows();
    if (m_engine.game() == m_game && m_round >= 1 && static_cast<std::size_t>(m_round) < follow.size()) {
        const double key = follow[static_cast<std::size_t>(m_round)].dblAvgGrpValue;
        const std::vector<RowMark> marks = allGroupKeyMarks(proposal, key);
        for (const RowMark& mark : marks)
            ui::SelectGridCell(gridChgAllGroup, 0, static_cast<int16_t>(mark.row), mark.textColour, mark.backColour);
        if (!marks.empty())
            m_keyRow = marks.back().row;
    }
    gridChgAllGroup->setCurrentItem(nullptr);
    scrollToKey();
}

// The marked rows are what the user looks for first. A hidden panel has no
// viewport size yet, so the scroll waits for the panel to be shown.
void ChangePanel::scrollToKey() {
    if (m_keyRow < 0 || m_keyRow >= gridChgAllGroup->rowCount() || !isVisible())
        return;
    gridChgAllGroup->scrollToItem(gridChgAllGroup->item(m_keyRow, 0), QAbstractItemView::PositionAtCenter);
}

void ChangePanel::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    scrollToKey();
}

void ChangePanel::SetChgPointGrid() {
    const engine::RowTable<engine::FollowRow> follow = m_engine.FollowRows();
    const bool held = m_engine.game() == m_game && m_round >= 1 && static_cast<std::size_t>(m_round) < follow.size();
    const engine::Ranking ranking = held ? follow[static_cast<std::size_t>(m_round)].ranking : engine::Ranking{};
    const std::vector<std::vector<std::string>> cells = pointTableCells(m_game, ranking);
    const std::vector<int> widths = pointTableColumnWidths(m_game, kPointGridWidth);

    gridChgPointData->setColumnCount(static_cast<int>(widths.size()));
    gridChgPointData->setRowCount(kPointGridRows);
    for (std::size_t c = 0; c < widths.size(); ++c)
        gridChgPointData->setColumnWidth(static_cast<int>(c), widths[c]);

    QFont digitFont = gridChgPointData->font();
    digitFont.setBold(true);
    if (digitFont.pointSizeF() > 0)
        digitFont.setPointSizeF(digitFont.pointSizeF() * 1.2);
    else
        digitFont.setPixelSize(static_cast<int>(digitFont.pixelSize() * 1.2));

    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            // A round without a ranking shows the headings only.
            const QString text = (r == 0 || held) ? QString::fromStdString(cells[r][c]) : QString();
            ui::SetGridCell(gridChgPointData, static_cast<int16_t>(c), static_cast<int16_t>(r), -1, -1, text);
            QTableWidgetItem* item = gridChgPointData->item(static_cast<int>(r), static_cast<int>(c));
            if (r == 0) {
                item->setTextAlignment(Qt::AlignCenter);
                item->setBackground(palette().button());
            } else if (c % 2 == 0) {
                item->setTextAlignment(Qt::AlignCenter);
                item->setFont(digitFont);
            }
        }
    }
    gridChgPointData->setCurrentItem(nullptr);
}

std::vector<std::string> ChangePanel::gridRowTexts() const {
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(gridChgAllGroup->rowCount()));
    for (int r = 0; r < gridChgAllGroup->rowCount(); ++r) {
        const QTableWidgetItem* item = gridChgAllGroup->item(r, 0);
        rows.push_back(item ? item->text().toStdString() : std::string());
    }
    return rows;
}

void ChangePanel::showSelectCounts() {
    lblChgMaxSelect->setText(QString::fromStdString(countText(m_model.lngMaxSelect())));
    showAmount(this, lblChgAllMoney, m_model.lngMaxSelect());
    showUserCounts();
}

void ChangePanel::showUserCounts() {
    lblChgUserSelect->setText(QString::fromStdString(countText(m_model.lngUserSelect())));
    showAmount(this, lblChgUserSelectMoney, m_model.lngUserSelect());
}

void ChangePanel::refreshList(ListId id) {
    QListWidget* list = id == ListId::GrpNums ? lstChgGrpNums : id == ListId::Select ? lstChgSelect : lstChgMini;
    m_refreshing = true;
    list->clear();
    for (const ListItem& item : m_model.list(id)) {
        auto* row = new QListWidgetItem(QString::fromStdString(item.text), list);
        row->setData(Qt::UserRole, item.itemData);
        row->setSelected(item.selected);
    }
    m_refreshing = false;
}

void ChangePanel::refreshUserLists() {
    refreshList(ListId::Select);
    refreshList(ListId::Mini);
}

void ChangePanel::takeSelection(ListId id) {
    if (m_refreshing)
        return;
    QListWidget* list = id == ListId::GrpNums ? lstChgGrpNums : id == ListId::Select ? lstChgSelect : lstChgMini;
    for (int i = 0; i < list->count(); ++i)
        m_model.setSelected(id, static_cast<std::size_t>(i), list->item(i)->isSelected());
}

void ChangePanel::cmdChart_Click() {
    reports::ShowHitChart(this, m_engine, m_game, m_round);
}

void ChangePanel::cmdChgFromYosoKu_Click() {
    const int16_t answer = askSelectGroup(this, cmdChgFromYosoKu, static_cast<int16_t>(common::digitCount(m_game)));
    if (m_model.SetGrpNumsFromYosoku(m_game, answer, m_engine.proposal()))
        refreshList(ListId::GrpNums);
}

void ChangePanel::gridChgAllGroup_Click(int row, int column) {
    const QTableWidgetItem* item = gridChgAllGroup->item(row, column);
    if (!item)
        return; // a click beside the rows of the table
    m_model.SetGrpNumsFromGrid(m_game, item->text().toStdString(), m_engine.proposal());
    refreshList(ListId::GrpNums);
}

void ChangePanel::cmdChgAll_Click() {
    m_model.SelectAllList(ListId::GrpNums);
    refreshList(ListId::GrpNums);
}

void ChangePanel::cmdChgClear_Click() {
    m_model.ClearListSelect(ListId::GrpNums);
    refreshList(ListId::GrpNums);
}

void ChangePanel::cmdChgSelect_Click() {
    m_model.AddToUserSelect();
    refreshList(ListId::Select);
    showUserCounts();
}

void ChangePanel::cmdChgCancel_Click() {
    m_model.RemoveUserSelect(UserList::Select);
    refreshList(ListId::Select);
    showUserCounts();
}

void ChangePanel::cmdChgAllSelectCancel_Click() {
    m_model.RemoveAllUserSelect(UserList::Select);
    refreshList(ListId::Select);
    showUserCounts();
}

void ChangePanel::cmdChgSetMini_Click() {
    m_model.AddSelectToMini();
    refreshList(ListId::Mini);
    showUserCounts();
}

void ChangePanel::cmdChgMiniAll_Click() {
    m_model.AddAllToMini();
    refreshList(ListId::Mini);
    showUserCounts();
}

void ChangePanel::cmdChgMiniCancel_Click() {
    m_model.RemoveUserSelect(UserList::Mini);
    refreshList(ListId::Mini);
    showUserCounts();
}

void ChangePanel::cmdChgMiniAllCanCel_Click() {
    m_model.RemoveAllUserSelect(UserList::Mini);
    refreshList(ListId::Mini);
    showUserCounts();
}

void ChangePanel::cmdChgEnd_Click() {
    // A stored selection is announced (the main window shows it in the status
    // bar); a failure leaves the previous file as it was and says so, so that
    // the user does not rely on a selection that was never kept.
    const common::ReplaceResult saved = m_model.SaveUserSelect(m_workingDir, m_game, m_round, gridRowTexts());
    const QString name = QString::fromStdString(userSelectFileName(m_game));
    if (saved) {
        Q_EMIT selectionStored(name);
        return;
    }
    QString reason = QString::fromStdString(common::describeFileError(saved.error));
    if (saved.error == EOVERFLOW)
        reason = QStringLiteral("選出Noが多すぎます");
    else if (saved.step == common::ReplaceResult::Step::CreateTemporary ||
             saved.step == common::ReplaceResult::Step::WriteTemporary)
        reason = QStringLiteral("一時ファイル「%1」：%2")
                     .arg(QString::fromStdString(std::filesystem::path(saved.failedPath).filename().string()), reason);
    ui::showMessage(
        this,
        QStringLiteral("選出Noを保存できませんでした。\rファイル「%1」は前の内容のままです。（%2）").arg(name, reason),
        ui::Buttons::Ok, QStringLiteral("【保存エラー】"));
}

} // namespace tw::selection
