#include "app/gui/prediction_result_panel.h"

#include "app/result_layout.h"
#include "common/number_format.h"
#include "engine/engine.h"
#include "ui/grid_cell.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tw::app {

namespace {

constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kYellow = 0x00FFFF;
constexpr int32_t kKeep = -1;
constexpr int64_t kPricePerBet = 200;

// Pixel sizes of the grids; the column widths follow from the widths by the fixed rule.
constexpr int kGroupGridWidth = 510;
constexpr int kGroupGridHeight = 174;
constexpr int kMiniGridWidth = 260;
constexpr int kGrp3GridWidth = 350;
constexpr int kThirdGridHeight = 150;
constexpr int kRowHeight = 24;
// The restart buttons, the draw result and the hit summary get a column of fixed width, so filling
// them never changes the panel's width.
constexpr int kHitColumnWidth = 280;

QString fmt(int64_t value, std::string_view pattern) {
    return QString::fromStdString(common::formatNumberForDisplay(value, pattern));
}

QLabel* valueLabel(QWidget* parent, const QString& name, int minWidth) {
    QLabel* label = ui::valueLabel(parent, name, minWidth);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    // One text line high whatever room the panel has; the grids take the extra height.
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return label;
}

QLabel* titleLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 1);
    label->setFont(font);
    return label;
}

// Holds a result grid and gives it the largest height that shows whole rows
// only, so that no row is cut at the bottom edge however tall the window is;
// the few pixels left over stay empty below the grid.
class WholeRowsHolder : public QWidget {
public:
    WholeRowsHolder(QTableWidget* table, int rowHeight, QWidget* parent)
        : QWidget(parent), m_table(table), m_rowHeight(rowHeight) {
        m_table->setParent(this);
    }
    int wholeRowsHeight(int room) const {
        const int frame = 2 * m_table->frameWidth();
        return std::max(1, (room - frame) / m_rowHeight) * m_rowHeight + frame;
    }
    QSize sizeHint() const override { return {m_table->width(), wholeRowsHeight(m_table->sizeHint().height())}; }
    QSize minimumSizeHint() const override { return {m_table->width(), wholeRowsHeight(minimumHeight())}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        m_table->setGeometry(0, 0, width(), wholeRowsHeight(height()));
    }

private:
    QTableWidget* m_table;
    int m_rowHeight;
};

QString indexed(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(index);
}

} // namespace

PredictionResultPanel::PredictionResultPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("framYosou"));
    setFrameShape(QFrame::StyledPanel);
    buildControls();
}

void PredictionResultPanel::buildControls() {
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    left->addWidget(buildGroupBox(0, QStringLiteral("予測Grp1"), 0, kGroupGridWidth, kGroupGridHeight), 1);
    left->addWidget(buildGroupBox(1, QStringLiteral("予測Grp2"), 1, kGroupGridWidth, kGroupGridHeight), 1);

    subFramMini = new QFrame(this);
    subFramMini->setObjectName(QStringLiteral("subFramMini"));
    auto* mini = new QHBoxLayout(subFramMini);
    mini->setContentsMargins(0, 0, 0, 0);
    mini->addWidget(buildGroupBox(2, QStringLiteral("ミニ予測"), 2, kMiniGridWidth, kThirdGridHeight));
    Image11 = ui::namedLabel(subFramMini, QStringLiteral("Image11"), QStringLiteral("ミニ\n(下2桁)"));
    Image11->setAlignment(Qt::AlignCenter);
    Image11->setFixedSize(90, 60);
    Image11->setStyleSheet(QStringLiteral("QLabel { background: #ffe0f0; color: #c00060; border: 2px solid #c00060;"
                                          " border-radius: 8px; font-weight: bold; }"));
    mini->addWidget(Image11, 0, Qt::AlignTop);
    mini->addStretch();

    subFramGrp3 = new QFrame(this);
    subFramGrp3->setObjectName(QStringLiteral("subFramGrp3"));
    auto* grp3 = new QHBoxLayout(subFramGrp3);
    grp3->setContentsMargins(0, 0, 0, 0);
    grp3->addWidget(buildGroupBox(3, QStringLiteral("予測Grp3"), 3, kGrp3GridWidth, kThirdGridHeight));
    grp3->addStretch();

    left->addWidget(subFramMini, 1);
    left->addWidget(subFramGrp3, 1);
    layout->addLayout(left);

    auto* rightColumn = new QWidget(this);
    rightColumn->setFixedWidth(kHitColumnWidth);
    auto* right = new QVBoxLayout(rightColumn);
    right->setContentsMargins(0, 0, 0, 0);
    auto* restart = new QHBoxLayout;
    Image2 = new QPushButton(QStringLiteral("解析からやりなおし"), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image3 = new QPushButton(QStringLiteral("再予測"), this);
    Image3->setObjectName(QStringLiteral("Image3"));
    for (QPushButton* button : {Image2, Image3}) {
        button->setMinimumHeight(32);
        restart->addWidget(button);
    }
    connect(Image2, &QPushButton::clicked, this, &PredictionResultPanel::Image2_Click);
    connect(Image3, &QPushButton::clicked, this, &PredictionResultPanel::Image3_Click);
    right->addLayout(restart);
    right->addWidget(buildHitFrame());
    right->addStretch();
    layout->addWidget(rightColumn);
}

QWidget* PredictionResultPanel::buildGroupBox(int grid, const QString& title, int countLabel, int width, int height) {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(2);

    auto* header = new QHBoxLayout;
    header->addWidget(titleLabel(box, title));
    header->addStretch();
    lblBuyCount[static_cast<std::size_t>(countLabel)] = valueLabel(box, indexed("lblBuyCount", countLabel), 44);
    lblBuyMoney[static_cast<std::size_t>(countLabel)] = valueLabel(box, indexed("lblBuyMoney", countLabel), 90);
    header->addWidget(lblBuyCount[static_cast<std::size_t>(countLabel)]);
    header->addWidget(new QLabel(QStringLiteral("組"), box));
    header->addWidget(lblBuyMoney[static_cast<std::size_t>(countLabel)]);
    header->addWidget(new QLabel(QStringLiteral("円"), box));
    layout->addLayout(header);

    auto* table = new QTableWidget(box);
    table->setObjectName(indexed("gridResulte", grid));
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font = table->font();
    font.setPointSize(12);
    font.setBold(true);
    table->setFont(font);
    // A fixed width keeps the column rule, which works from the grid width, independent of the window
    // size; the height grows with the window, showing more rows.
    table->setFixedWidth(width);
    auto* holder = new WholeRowsHolder(table, kRowHeight, box);
    holder->setFixedWidth(width);
    holder->setMinimumHeight(height);
    holder->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    layout->addWidget(holder, 1);
    gridResulte[static_cast<std::size_t>(grid)] = table;
    return box;
}

QWidget* PredictionResultPanel::buildHitFrame() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    setHitData[1] = new QFrame(column);
    setHitData[1]->setObjectName(QStringLiteral("setHitData_1"));
    setHitData[1]->setFrameShape(QFrame::StyledPanel);
    auto* draw = new QGridLayout(setHitData[1]);
    lblMoneyType[6] = ui::namedLabel(setHitData[1], QStringLiteral("lblMoneyType_6"), QStringLiteral("当選番号"));
    lblResNum = ui::namedLabel(setHitData[1], QStringLiteral("lblResNum"));
    QFont big = lblResNum->font();
    big.setPointSize(22);
    big.setBold(true);
    lblResNum->setFont(big);
    lblResNum->setAlignment(Qt::AlignCenter);
    lblResNum->setStyleSheet(QStringLiteral("QLabel { color: #c00000; }"));
    draw->addWidget(lblMoneyType[6], 0, 0);
    draw->addWidget(lblResNum, 0, 1);
    const std::array<QString, 5> captions{QStringLiteral("ストレート配当"), QStringLiteral("ボックス配当"),
                                          QStringLiteral("セット(S)配当"), QStringLiteral("セット(B)配当"),
                                          QStringLiteral("ミニ配当")};
    for (int i = 0; i < 4; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        lblMoneyType[slot] = ui::namedLabel(setHitData[1], indexed("lblMoneyType", i), captions[slot]);
        lblMoney[slot] = valueLabel(setHitData[1], indexed("lblMoney", i), 110);
        draw->addWidget(lblMoneyType[slot], i + 1, 0);
        draw->addWidget(lblMoney[slot], i + 1, 1);
    }
    setHitData[5] = new QFrame(setHitData[1]);
    setHitData[5]->setObjectName(QStringLiteral("setHitData_5"));
    auto* miniPrize = new QGridLayout(setHitData[5]);
    miniPrize->setContentsMargins(0, 0, 0, 0);
    lblMoneyType[4] = ui::namedLabel(setHitData[5], QStringLiteral("lblMoneyType_4"), captions[4]);
    lblMoney[4] = valueLabel(setHitData[5], QStringLiteral("lblMoney_4"), 110);
    miniPrize->addWidget(lblMoneyType[4], 0, 0);
    miniPrize->addWidget(lblMoney[4], 0, 1);
    draw->addWidget(setHitData[5], 5, 0, 1, 2);
    layout->addWidget(setHitData[1]);

    framYHit = new QFrame(column);
    framYHit->setObjectName(QStringLiteral("framYHit"));
    framYHit->setFrameShape(QFrame::StyledPanel);
    auto* hits = new QGridLayout(framYHit);
    hits->setVerticalSpacing(2);
    hits->addWidget(new QLabel(QStringLiteral("当選"), framYHit), 0, 1, Qt::AlignCenter);
    hits->addWidget(new QLabel(QStringLiteral("配当金"), framYHit), 0, 2, Qt::AlignCenter);
    const std::array<const char*, 3> tpNames{"lblGrp1TP", "lblGrp2TP", "lblGrp3TP"};
    for (int g = 0; g < 3; ++g) {
        const auto slot = static_cast<std::size_t>(g);
        const int row = 1 + g * 2;
        QLabel* name = titleLabel(framYHit, g == 0 ? QStringLiteral("予測Grp1") : QStringLiteral("予測Grp2"));
        if (g == 2)
            lblThirdName = name;
        lblGrpHC[slot] = valueLabel(framYHit, indexed("lblGrpHC", g), 40);
        lblGrpMny[slot] = valueLabel(framYHit, indexed("lblGrpMny", g), 100);
        hits->addWidget(name, row, 0);
        hits->addWidget(lblGrpHC[slot], row, 1);
        hits->addWidget(lblGrpMny[slot], row, 2);

        auto* split = new QHBoxLayout;
        QLabel* stCaption = new QLabel(QStringLiteral("ｽﾄﾚｰﾄ(ST)"), framYHit);
        QLabel* bxCaption = new QLabel(QStringLiteral("ﾎﾞｯｸｽ(BX)"), framYHit);
        if (g == 2) {
            stCaption->setObjectName(QStringLiteral("lblGrp3ST_0"));
            bxCaption->setObjectName(QStringLiteral("lblGrp3ST_1"));
            lblGrp3ST = {stCaption, bxCaption};
        }
        for (int i = 1; i <= 2; ++i)
            lblGrpTP[slot][static_cast<std::size_t>(i)] = valueLabel(framYHit, indexed(tpNames[slot], i), 30);
        split->addStretch();
        split->addWidget(stCaption);
        split->addWidget(lblGrpTP[slot][1]);
        split->addWidget(bxCaption);
        split->addWidget(lblGrpTP[slot][2]);
        hits->addLayout(split, row + 1, 0, 1, 3);
    }
    layout->addWidget(framYHit);
    return column;
}

void PredictionResultPanel::SetResultGameView(int index) {
    const bool numbers3 = index == 0;
    Image11->setVisible(numbers3);
    gridResulte[2]->setVisible(numbers3);
    subFramGrp3->setVisible(!numbers3);
    subFramMini->setVisible(numbers3);
    lblThirdName->setText(numbers3 ? QStringLiteral("ミニ") : QStringLiteral("予測Grp3"));
}

void PredictionResultPanel::ClearResultView(const engine::Proposal& lastRun) {
    setHitData[1]->hide();
    framYHit->hide();
    for (std::size_t i = 0; i < lblBuyCount.size(); ++i) {
        lblBuyCount[i]->setText(QStringLiteral("0"));
        lblBuyMoney[i]->setText(fmt(0, common::kYen7));
    }
    const std::array<int, kGrids> counts{lastRun.grp1.count, lastRun.grp2.count, lastRun.mini.count,
                                         lastRun.grp3.count};
    const QBrush fixedColumn = palette().button();
    for (int g = 0; g < kGrids; ++g) {
        QTableWidget* grid = gridResulte[static_cast<std::size_t>(g)];
        const ResultGridShape& shape = kResultGrids[static_cast<std::size_t>(g)];
        grid->clearContents();
        grid->setColumnCount(shape.columns);
        grid->setRowCount(resultGridRows(g, counts[static_cast<std::size_t>(g)]));
        const int unitWidth = g <= 1 ? gridResulte[0]->width() : grid->width();
        const ResultColumnWidths widths = resultColumnWidths(g, unitWidth);
        grid->setColumnWidth(0, widths.rowNumber);
        for (int c = 1; c < shape.columns; ++c)
            grid->setColumnWidth(c, widths.entry);
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 0; c < shape.columns; ++c) {
                auto* item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                item->setFlags(Qt::ItemIsEnabled);
                if (c == 0)
                    item->setBackground(fixedColumn); // the row-number column looks fixed
                grid->setItem(r, c, item);
            }
        }
    }
}

void PredictionResultPanel::ShowPredictionResult(const engine::Proposal& proposal, const history::DrawTable& table,
                                                 common::Game game, int round) {
    ClearResultView(proposal);
    const bool numbers3 = game == common::Game::Numbers3;
    const history::NumData& record = table.record(round);
    const history::NumData* draw = table.isDrawn(round) ? &record : nullptr;
    if (!draw) {
        setHitData[1]->hide();
        framYHit->hide();
    } else {
        QString digits;
        for (int i = 1; i <= common::digitCount(game); ++i)
            digits += QString::number(record.bytNum[static_cast<std::size_t>(i)]);
        lblResNum->setText(digits);
        lblMoney[0]->setText(fmt(record.lngStraight, common::kYen7));
        lblMoney[1]->setText(fmt(record.lngBox, common::kYen6));
        lblMoney[2]->setText(fmt(record.lngSetStraight, common::kYen7));
        lblMoney[3]->setText(fmt(record.lngSetBox, common::kYen6));
        if (numbers3)
            lblMoney[4]->setText(fmt(record.lngMini, common::kYen5));
        setHitData[1]->show();
        setHitData[5]->setVisible(numbers3);
        framYHit->show();
    }

    showBuy(0, proposal.grp1.count, common::kYen7);
    showGroupHits(0, fillGroup(0, proposal.grp1, draw, game), record);
    showBuy(1, proposal.grp2.count, common::kYen7);
    showGroupHits(1, fillGroup(1, proposal.grp2, draw, game), record);

    if (numbers3) {
        showBuy(2, proposal.mini.count, common::kYen6);
        const int hits = fillMini(proposal.mini, draw);
        for (QLabel* label : {lblGrpTP[2][1], lblGrpTP[2][2], lblGrp3ST[0], lblGrp3ST[1]})
            label->hide();
        lblGrpHC[2]->setText(hits > 0 ? fmt(hits, "#0") : QStringLiteral("0"));
        lblGrpMny[2]->setText(hits > 0 ? fmt(int64_t{hits} * record.lngMini, common::kYen7) : fmt(0, common::kYen7));
    } else {
        showBuy(3, proposal.grp3.count, common::kYen7);
        const Hits hits = fillGroup(3, proposal.grp3, draw, game);
        for (QLabel* label : {lblGrpTP[2][1], lblGrpTP[2][2], lblGrp3ST[0], lblGrp3ST[1]})
            label->show();
        showGroupHits(2, hits, record);
    }
    // Writing a cell makes it current, which scrolls the grid to it; a result is read from its first row.
    for (QTableWidget* grid : gridResulte)
        grid->scrollToTop();
}

void PredictionResultPanel::showBuy(int label, int count, std::string_view moneyFormat) {
    lblBuyCount[static_cast<std::size_t>(label)]->setText(fmt(count, "##0"));
    lblBuyMoney[static_cast<std::size_t>(label)]->setText(fmt(count * kPricePerBet, moneyFormat));
}

PredictionResultPanel::Hits PredictionResultPanel::fillGroup(int grid, const engine::CountedList<engine::PredNum>& list,
                                                             const history::NumData* draw, common::Game game) {
    QTableWidget* table = gridResulte[static_cast<std::size_t>(grid)];
    const int perRow = kResultGrids[static_cast<std::size_t>(grid)].perRow;
    Hits hits;
    for (int k = 0; k < list.count; ++k) {
        const auto row = static_cast<int16_t>(k / perRow);
        const auto column = static_cast<int16_t>(k % perRow + 1);
        if (column == 1)
            ui::SetGridCell(table, 0, row, kKeep, kKeep, QString::number(row + 1));
        const engine::PredNum& entry = list[k];
        const QString text = QString::fromStdString(engine::numberOf(game, entry).text());
        if (draw && engine::IsStraightHit(*draw, entry, game)) {
            ++hits.straight;
            ui::SetGridCell(table, column, row, kRed, kYellow, text);
        } else if (draw && engine::IsBoxHit(*draw, entry, game)) {
            ++hits.box;
            ui::SetGridCell(table, column, row, kBlue, kYellow, text);
        } else {
            ui::SetGridCell(table, column, row, kKeep, kKeep, text);
        }
    }
    return hits;
}

int PredictionResultPanel::fillMini(const engine::CountedList<engine::PredNum>& list, const history::NumData* draw) {
    QTableWidget* table = gridResulte[2];
    const int perRow = kResultGrids[2].perRow;
    int hits = 0;
    for (int k = 0; k < list.count; ++k) {
        const auto row = static_cast<int16_t>(k / perRow);
        const auto column = static_cast<int16_t>(k % perRow + 1);
        if (column == 1)
            ui::SetGridCell(table, 0, row, kKeep, kKeep, QString::number(row + 1));
        const engine::PredNum& entry = list[k];
        const QString text = QString::fromStdString(engine::miniNumberOf(entry).text());
        if (draw && engine::IsMiniHit(*draw, entry)) {
            ++hits;
            ui::SetGridCell(table, column, row, kRed, kYellow, text);
        } else {
            ui::SetGridCell(table, column, row, kKeep, kKeep, text);
        }
    }
    return hits;
}

void PredictionResultPanel::showGroupHits(int group, const Hits& hits, const history::NumData& draw) {
    const auto slot = static_cast<std::size_t>(group);
    lblGrpTP[slot][2]->setText(fmt(hits.box, "#0"));
    lblGrpTP[slot][1]->setText(fmt(hits.straight, "#0"));
    if (hits.straight + hits.box > 0) {
        lblGrpHC[slot]->setText(fmt(hits.straight + hits.box, "##0"));
        // A group entry is a Set bet: a straight hit wins the Set-Straight prize, a box hit the Set-Box prize.
        const int64_t money = int64_t{hits.straight} * draw.lngSetStraight + int64_t{hits.box} * draw.lngSetBox;
        lblGrpMny[slot]->setText(fmt(money, common::kYen7));
    } else {
        lblGrpHC[slot]->setText(QStringLiteral("0"));
        lblGrpMny[slot]->setText(fmt(0, common::kYen7));
    }
}

void PredictionResultPanel::Image2_Click() {
    askRestart(QStringLiteral("解析からやり直します。\rよろしいですか？(Yes/No)"), QStringLiteral("再解析確認"));
}

void PredictionResultPanel::Image3_Click() {
    askRestart(QStringLiteral("再予測を行います。\rよろしいですか？(Yes/No)"), QStringLiteral("再予測確認"));
}

void PredictionResultPanel::askRestart(const QString& question, const QString& title) {
    if (ui::showMessage(this, question, ui::Buttons::YesNo, title) != ui::Answer::No)
        Q_EMIT restartRequested();
}

} // namespace tw::app
