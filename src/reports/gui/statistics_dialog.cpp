#include "reports/gui/statistics_dialog.h"

#include "common/lottery.h"
#include "ui/message_box.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tw::reports {

namespace {

const QColor kCountColour(70, 110, 200);
const QColor kExpectedColour(220, 40, 40);

QString placeName(std::size_t position) {
    return QStringLiteral("第%1位").arg(position + 1);
}

QString pValueText(double p) {
    return p >= 0.001 ? QString::number(p, 'f', 4) : QString::number(p, 'g', 3);
}

QTableWidgetItem* numberItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// A bar chart of whole counts with the expected counts drawn as a line over the
// same categories (the line's x is the category's index).
void fillCountChart(QChart* chart, const QStringList& categories, const std::vector<int>& counts,
                    const std::vector<double>& expected, const QString& title) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis); // hands the axis back without deleting it
        delete axis;
    }
    chart->setTitle(title);

    auto* set = new QBarSet(QStringLiteral("出現回数"));
    set->setColor(kCountColour);
    double top = 0;
    for (int c : counts) {
        *set << c;
        top = std::max(top, static_cast<double>(c));
    }
    auto* bars = new QBarSeries;
    bars->setObjectName(QStringLiteral("counts"));
    bars->setBarWidth(0.8);
    bars->append(set);
    chart->addSeries(bars);

    auto* line = new QLineSeries;
    line->setObjectName(QStringLiteral("expected"));
    line->setName(QStringLiteral("均等な場合の期待回数"));
    line->setPen(QPen(kExpectedColour, 2));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        line->append(static_cast<qreal>(i), expected[i]);
        top = std::max(top, expected[i]);
    }
    chart->addSeries(line);

    auto* x = new QBarCategoryAxis;
    x->append(categories);
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    line->attachAxis(x);
    auto* y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.1 : 1);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(y);
    line->attachAxis(y);
}

} // namespace

StatisticsDialog::StatisticsDialog(const history::DrawTable& num3, const history::DrawTable& num4, QWidget* parent)
    : QDialog(parent), m_num3(num3), m_num4(num4) {
    setObjectName(QStringLiteral("DlgStatistics"));
    setWindowTitle(QStringLiteral("統計"));
    resize(1100, 780);

    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    cmbGame = new QComboBox(this);
    cmbGame->setObjectName(QStringLiteral("cmbGame"));
    cmbGame->addItem(QStringLiteral("NUMBERS3"), 3);
    cmbGame->addItem(QStringLiteral("NUMBERS4"), 4);
    spnFrom = new QSpinBox(this);
    spnFrom->setObjectName(QStringLiteral("spnFrom"));
    spnTo = new QSpinBox(this);
    spnTo->setObjectName(QStringLiteral("spnTo"));
    cmdCalc = new QPushButton(QStringLiteral("集計"), this);
    cmdCalc->setObjectName(QStringLiteral("cmdCalc"));
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    controls->addWidget(new QLabel(QStringLiteral("ゲーム"), this));
    controls->addWidget(cmbGame);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QStringLiteral("第"), this));
    controls->addWidget(spnFrom);
    controls->addWidget(new QLabel(QStringLiteral("回 から 第"), this));
    controls->addWidget(spnTo);
    controls->addWidget(new QLabel(QStringLiteral("回 まで"), this));
    controls->addWidget(cmdCalc);
    controls->addStretch();
    controls->addWidget(cmdClose);
    layout->addLayout(controls);

    lblRange = new QLabel(this);
    lblRange->setObjectName(QStringLiteral("lblRange"));
    layout->addWidget(lblRange);

    tabStats = new QTabWidget(this);
    tabStats->setObjectName(QStringLiteral("tabStats"));
    layout->addWidget(tabStats, 1);

    // Digit counts: a chart per position, the test figures below them.
    auto* countsPage = new QWidget(tabStats);
    auto* countsLayout = new QVBoxLayout(countsPage);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* chart = new QChart;
        chart->legend()->hide();
        auto* view = new QChartView(chart, countsPage);
        view->setObjectName(QStringLiteral("chtPosition_%1").arg(i));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumHeight(220);
        grid->addWidget(view, i / 2, i % 2);
        m_positionViews.push_back(view);
        m_positionCharts.push_back(chart);
    }
    countsLayout->addLayout(grid, 1);
    tblChiSquare = new QTableWidget(countsPage);
    tblChiSquare->setObjectName(QStringLiteral("tblChiSquare"));
    tblChiSquare->setColumnCount(4);
    tblChiSquare->setHorizontalHeaderLabels(
        {QStringLiteral("位"), QStringLiteral("期待回数"), QStringLiteral("カイ二乗値"), QStringLiteral("p値")});
    tblChiSquare->verticalHeader()->hide();
    tblChiSquare->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblChiSquare->setMaximumHeight(150);
    countsLayout->addWidget(tblChiSquare);
    auto* chiNote =
        new QLabel(QStringLiteral("カイ二乗検定（自由度9）：各数字が均等に出るとした場合に、この偏り以上になる確率が"
                                  "p値です。p値が小さい（例えば0.05未満）ほど、均等とは言いにくくなります。"),
                   countsPage);
    chiNote->setWordWrap(true);
    countsLayout->addWidget(chiNote);
    tabStats->addTab(countsPage, QStringLiteral("出現回数"));

    // Gaps: digits down, positions across, "current / longest" in each cell.
    auto* gapsPage = new QWidget(tabStats);
    auto* gapsLayout = new QVBoxLayout(gapsPage);
    tblGaps = new QTableWidget(gapsPage);
    tblGaps->setObjectName(QStringLiteral("tblGaps"));
    tblGaps->setRowCount(10);
    QStringList digits;
    for (int d = 0; d <= 9; ++d)
        digits << QString::number(d);
    tblGaps->setVerticalHeaderLabels(digits);
    tblGaps->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gapsLayout->addWidget(tblGaps, 1);
    auto* gapNote =
        new QLabel(QStringLiteral("各欄は「現在の間隔 / 最長の間隔」（回）。現在の間隔はその位に最後に出てから"
                                  "の回数、最長の間隔はその位に出なかった最も長い連続回数です。範囲内に一度も"
                                  "出ていない数字には「以上」を付けています。"),
                   gapsPage);
    gapNote->setWordWrap(true);
    gapsLayout->addWidget(gapNote);
    tabStats->addTab(gapsPage, QStringLiteral("間隔"));

    // Digit sums.
    auto* sumsPage = new QWidget(tabStats);
    auto* sumsLayout = new QVBoxLayout(sumsPage);
    m_sumChart = new QChart;
    chtSums = new QChartView(m_sumChart, sumsPage);
    chtSums->setObjectName(QStringLiteral("chtSums"));
    chtSums->setRenderHint(QPainter::Antialiasing);
    sumsLayout->addWidget(chtSums, 1);
    lblSums = new QLabel(sumsPage);
    lblSums->setObjectName(QStringLiteral("lblSums"));
    lblSums->setWordWrap(true);
    sumsLayout->addWidget(lblSums);
    tabStats->addTab(sumsPage, QStringLiteral("数字の和"));

    connect(cmbGame, &QComboBox::currentIndexChanged, this, &StatisticsDialog::gameChanged);
    connect(cmdCalc, &QPushButton::clicked, this, &StatisticsDialog::cmdCalc_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    gameChanged();
}

const history::DrawTable& StatisticsDialog::tableOf(common::Game g) const {
    return g == common::Game::Numbers4 ? m_num4 : m_num3;
}

// The list's items carry the game codes 3 and 4.
common::Game StatisticsDialog::game() const {
    return common::gameFromCode(cmbGame->currentData().toInt()).value_or(common::Game::Numbers3);
}

void StatisticsDialog::setGame(common::Game g) {
    const int index = g == common::Game::Numbers4 ? 1 : 0;
    if (cmbGame->currentIndex() != index)
        cmbGame->setCurrentIndex(index); // gameChanged resets the range
    else
        gameChanged();
}

void StatisticsDialog::setRange(int from, int to) {
    spnFrom->setValue(from);
    spnTo->setValue(to);
}

void StatisticsDialog::gameChanged() {
    const int last = std::max<int>(1, tableOf(game()).count);
    for (QSpinBox* box : {spnFrom, spnTo})
        box->setRange(1, last);
    spnFrom->setValue(1);
    spnTo->setValue(last);
}

void StatisticsDialog::cmdCalc_Click() {
    calculate();
}

bool StatisticsDialog::calculate() {
    const common::Game g = game();
    const StatisticsOutcome outcome = computeDrawStatistics(tableOf(g), {g, spnFrom->value(), spnTo->value()});
    if (outcome.error) {
        m_statistics.reset();
        QString text;
        switch (outcome.error.kind) {
        case StatisticsErrorKind::EmptyHistory:
            text = QStringLiteral("抽選結果がまだ登録されていません。");
            break;
        case StatisticsErrorKind::EmptyRange:
            text = QStringLiteral("開始回が終了回より後になっています。");
            break;
        case StatisticsErrorKind::InvalidDigit:
            text = QStringLiteral("第%1回の抽選結果に0〜9以外の数字があります。").arg(outcome.error.round);
            break;
        default:
            text = QStringLiteral("集計範囲が正しくありません。");
            break;
        }
        ui::showMessage(this, text, ui::Buttons::Ok, windowTitle());
        return false;
    }
    m_statistics = outcome.statistics;
    showStatistics();
    return true;
}

QChart* StatisticsDialog::positionChart(int position) const {
    if (!m_statistics || position < 0 || static_cast<std::size_t>(position) >= m_statistics->positions.size())
        return nullptr;
    return m_positionCharts[static_cast<std::size_t>(position)];
}

void StatisticsDialog::showStatistics() {
    const DrawStatistics& s = *m_statistics;
    lblRange->setText(QStringLiteral("%1　第%2回〜第%3回（%4回分）")
                          .arg(QString::fromLatin1(common::gameName(s.game)))
                          .arg(s.from)
                          .arg(s.to)
                          .arg(s.roundCount()));
    for (std::size_t i = 0; i < m_positionViews.size(); ++i) {
        const bool used = i < s.positions.size();
        m_positionViews[i]->setVisible(used);
        if (used)
            drawPositionChart(i);
    }

    tblChiSquare->setRowCount(static_cast<int>(s.positions.size()));
    for (std::size_t i = 0; i < s.positions.size(); ++i) {
        const DigitPositionStatistics& p = s.positions[i];
        const int row = static_cast<int>(i);
        tblChiSquare->setItem(row, 0, numberItem(placeName(i)));
        tblChiSquare->setItem(row, 1, numberItem(QString::number(p.expected, 'f', 1)));
        tblChiSquare->setItem(row, 2, numberItem(QString::number(p.chiSquare, 'f', 3)));
        tblChiSquare->setItem(row, 3, numberItem(pValueText(p.pValue)));
    }

    tblGaps->setColumnCount(static_cast<int>(s.positions.size()));
    QStringList places;
    for (std::size_t i = 0; i < s.positions.size(); ++i)
        places << placeName(i);
    tblGaps->setHorizontalHeaderLabels(places);
    for (std::size_t i = 0; i < s.positions.size(); ++i) {
        const DigitPositionStatistics& p = s.positions[i];
        for (std::size_t d = 0; d < 10; ++d) {
            const QString atLeast = p.lastDrawn[d] == 0 ? QStringLiteral("以上") : QString();
            tblGaps->setItem(
                static_cast<int>(d), static_cast<int>(i),
                numberItem(QStringLiteral("%1%3 / %2%3").arg(p.currentGap[d]).arg(p.longestGap[d]).arg(atLeast)));
        }
    }
    drawSumChart();
}

void StatisticsDialog::drawPositionChart(std::size_t position) {
    const DigitPositionStatistics& p = m_statistics->positions[position];
    QStringList categories;
    for (int d = 0; d <= 9; ++d)
        categories << QString::number(d);
    fillCountChart(m_positionCharts[position], categories, std::vector<int>(p.count.begin(), p.count.end()),
                   std::vector<double>(10, p.expected),
                   QStringLiteral("%1　カイ二乗値 %2　p値 %3")
                       .arg(placeName(position), QString::number(p.chiSquare, 'f', 2), pValueText(p.pValue)));
}

void StatisticsDialog::drawSumChart() {
    const DigitSumStatistics& sums = m_statistics->sums;
    QStringList categories;
    for (int s = 0; s <= sums.maxSum(); ++s)
        categories << QString::number(s);
    fillCountChart(m_sumChart, categories, sums.count, sums.expected,
                   QStringLiteral("数字の和の分布（棒：実際の回数、線：ランダムな抽選での期待回数）"));
    m_sumChart->legend()->setVisible(true);
    m_sumChart->legend()->setAlignment(Qt::AlignBottom);

    lblSums->setText(
        QStringLiteral("数字の和は0〜%1。ランダムな抽選での各和の確率は、%2通りの番号のうちその和になる番号の"
                       "割合です（期待回数＝回数×割合）。")
            .arg(sums.maxSum())
            .arg(sums.waysTotal));
}

} // namespace tw::reports
