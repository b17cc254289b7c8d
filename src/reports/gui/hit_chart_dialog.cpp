#include "reports/gui/hit_chart_dialog.h"

#include "engine/engine.h"
#include "ui/widgets.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tw::reports {

namespace {

const QColor kAvgColour(0, 0, 255);
const QColor kWinColour(255, 0, 0);

QLabel* lineSample(QWidget* parent, const QColor& colour) {
    QPixmap pixmap(36, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(colour, 3));
    painter.drawLine(2, 6, 34, 6);
    painter.end();
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    return label;
}

// Adds one value column as line pieces: a missing value breaks the line, so a
// piece holds only consecutive rows that have a value.
void addPieces(QChart* chart, const std::vector<HitChartRow>& rows, std::optional<double> HitChartRow::*value,
               const QColor& colour, const QString& name, QAbstractAxis* xAxis, QAbstractAxis* yAxis) {
    QLineSeries* piece = nullptr;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const std::optional<double>& v = rows[n].*value;
        if (!v) {
            piece = nullptr;
            continue;
        }
        if (!piece) {
            piece = new QLineSeries;
            piece->setObjectName(name);
            piece->setName(name);
            piece->setPen(QPen(colour, 2));
            piece->setPointsVisible(true);
            chart->addSeries(piece);
            piece->attachAxis(xAxis);
            piece->attachAxis(yAxis);
        }
        piece->append(static_cast<qreal>(n), *v);
    }
}

} // namespace

std::vector<HitChartRow> hitChartRows(const engine::Engine& engine, common::Game game, int start, int maxRange) {
    const engine::RowTable<engine::FollowRow> follow = engine.FollowRows();
    const bool sameGame = engine.hasRun() && engine.game() == game;
    std::vector<HitChartRow> rows;
    for (int n = 0; n < kHitChartRows; ++n) {
        HitChartRow row;
        row.round = start + n;
        const int r = row.round;
        if (sameGame && r >= 1 && static_cast<std::size_t>(r) < follow.size()) {
            const engine::FollowRow& f = follow[static_cast<std::size_t>(r)];
            row.avg = f.dblAvgGrpValue;
            // The chosen round is not drawn yet, and neither is the run's forecast row.
            if (r < maxRange && r <= engine.intLastRow())
                row.win = f.dblWinGrpValue;
        }
        rows.push_back(row);
    }
    return rows;
}

int hitChartAxisTop(const std::vector<HitChartRow>& rows) {
    double highest = 0;
    for (const HitChartRow& row : rows)
        highest = std::max({highest, row.avg.value_or(0.0), row.win.value_or(0.0)});
    if (highest <= kHitChartAxisTop)
        return kHitChartAxisTop;
    return static_cast<int>(std::ceil(highest / kHitChartAxisStep)) * kHitChartAxisStep;
}

HitChartDialog::HitChartDialog(const engine::Engine& engine, const Request& request, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_request(request) {
    setObjectName(QStringLiteral("dlgHitChart"));
    setWindowTitle(QStringLiteral("過去の平均と当選グループ比較"));
    resize(760, 520);

    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("過去のポイント相関グラフ"), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title->setFont(titleFont);
    header->addWidget(title);
    header->addStretch();
    auto* numbers = new QLabel(QStringLiteral("Numbers"), this);
    QFont bannerFont = numbers->font();
    bannerFont.setBold(true);
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
    numbers->setFont(bannerFont);
    lblNum = new QLabel(this);
    lblNum->setObjectName(QStringLiteral("lblNum"));
    lblNum->setFont(bannerFont);
    header->addWidget(numbers);
    header->addWidget(lblNum);
    header->addSpacing(24);
    header->addWidget(lineSample(this, kAvgColour));
    header->addWidget(new QLabel(QStringLiteral("平均"), this));
    header->addSpacing(12);
    header->addWidget(lineSample(this, kWinColour));
    header->addWidget(new QLabel(QStringLiteral("当選"), this));
    layout->addLayout(header);

    m_chart = new QChart;
    m_chart->legend()->hide(); // the labels above are the legend
    chartHistory = new QChartView(m_chart, this);
    chartHistory->setObjectName(QStringLiteral("chartHistory"));
    chartHistory->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(chartHistory, 1);

    HScroll = new QScrollBar(Qt::Horizontal, this);
    HScroll->setObjectName(QStringLiteral("HScroll"));
    HScroll->setPageStep(kHitChartRows);
    layout->addWidget(HScroll);

    auto* footer = new QHBoxLayout;
    footer->addStretch();
    cmdExit = new QPushButton(QStringLiteral("終了"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    footer->addWidget(cmdExit);
    layout->addLayout(footer);

    connect(HScroll, &QScrollBar::valueChanged, this, &HitChartDialog::HScroll_Change);
    connect(cmdExit, &QPushButton::clicked, this, &HitChartDialog::cmdExit_Click);
}

void HitChartDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void HitChartDialog::Form_Activate() {
    if (m_activated)
        return;
    m_activated = true;
    lblNum->setText(QString::number(common::gameCode(m_request.game)));
    QPalette palette = lblNum->palette();
    palette.setColor(QPalette::WindowText, ui::gameColour(m_request.game));
    lblNum->setPalette(palette);

    // The newest window ends at the chosen round, but never starts before round 1.
    const int newest = std::max(1, m_request.maxRange - (kHitChartRows - 1));
    {
        // The thumb goes to the newest window, which is drawn below; placing it must not draw.
        const QSignalBlocker blocker(HScroll);
        HScroll->setRange(kHitChartFirstRound, std::max(kHitChartFirstRound, newest));
        HScroll->setValue(HScroll->maximum());
    }
    drawWindow(newest);
}

void HitChartDialog::HScroll_Change(int value) {
    HScroll->setEnabled(false);
    drawWindow(value);
    HScroll->setEnabled(true);
}

void HitChartDialog::drawWindow(int start) {
    chartHistory->setVisible(false);
    m_start = start;
    m_rows = hitChartRows(m_engine, m_request.game, start, m_request.maxRange);

    m_chart->removeAllSeries();
    // Removing an axis hands it back without deleting it.
    for (QAbstractAxis* axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }

    auto* xAxis = new QBarCategoryAxis;
    QStringList labels;
    for (const HitChartRow& row : m_rows)
        labels << QString::number(row.round);
    xAxis->append(labels);
    auto* yAxis = new QValueAxis;
    const int top = hitChartAxisTop(m_rows);
    yAxis->setRange(0, top);
    yAxis->setTickCount(top / kHitChartAxisStep + 1); // major divisions of 5
    yAxis->setMinorTickCount(1);                      // each split in two
    yAxis->setLabelFormat(QStringLiteral("%d"));
    m_chart->addAxis(xAxis, Qt::AlignBottom);
    m_chart->addAxis(yAxis, Qt::AlignLeft);

    addPieces(m_chart, m_rows, &HitChartRow::avg, kAvgColour, QStringLiteral("平均"), xAxis, yAxis);
    addPieces(m_chart, m_rows, &HitChartRow::win, kWinColour, QStringLiteral("当選"), xAxis, yAxis);
    chartHistory->setVisible(true);
}

void HitChartDialog::cmdExit_Click() {
    accept();
}

void ShowHitChart(QWidget* parent, const engine::Engine& engine, common::Game game, int16_t round) {
    HitChartDialog dialog(engine, {game, round}, parent);
    dialog.exec();
}

} // namespace tw::reports
