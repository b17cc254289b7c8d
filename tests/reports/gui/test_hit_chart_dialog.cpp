// The hit chart over runs on the bundled history: the newest window and the
// scroll bar's minimum, the value axis, the lines with the missing winning value
// of the chosen round, and rounds the last run's tables do not hold.
#include "reports/gui/hit_chart_dialog.h"

#include "support/bundled_run.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

using tw::reports::HitChartDialog;
using tw::reports::HitChartRow;

namespace {

// Points of the chart's lines of one name, in drawing order.
QList<QPointF> points(QChart* chart, const QString& name) {
    QList<QPointF> all;
    for (QAbstractSeries* series : chart->series())
        if (series->name() == name)
            all += static_cast<QLineSeries*>(series)->points();
    return all;
}

} // namespace

class TestHitChartDialog : public QObject {
    Q_OBJECT

private:
    tw::history::DrawHistory history;
    tw::engine::Engine engine;
    std::unique_ptr<HitChartDialog> chart;

    HitChartDialog& open(int game, int maxRange) {
        chart = std::make_unique<HitChartDialog>(
            engine, HitChartDialog::Request{tw::common::Game{game}, static_cast<int16_t>(maxRange)});
        chart->show();
        return *chart;
    }
    QChart* qchart() const { return chart->findChild<QChartView*>(QStringLiteral("chartHistory"))->chart(); }
    QScrollBar* scroll() const { return chart->findChild<QScrollBar*>(QStringLiteral("HScroll")); }
    const tw::engine::FollowRow& follow(int round) const {
        return engine.FollowRows()[static_cast<std::size_t>(round)];
    }

    // The rows hold the follower table's values; rounds from `lastWin` + 1 on have no winning value.
    void checkRows(int start, int lastWin) {
        const std::vector<HitChartRow>& rows = chart->rows();
        QCOMPARE(int(rows.size()), 10);
        QStringList labels;
        QList<QPointF> avg;
        QList<QPointF> win;
        for (int n = 0; n < 10; ++n) {
            const int round = start + n;
            labels << QString::number(round);
            QCOMPARE(rows[n].round, round);
            QCOMPARE(rows[n].avg, std::optional<double>(follow(round).dblAvgGrpValue));
            avg << QPointF(n, follow(round).dblAvgGrpValue);
            if (round <= lastWin) {
                QCOMPARE(rows[n].win, std::optional<double>(follow(round).dblWinGrpValue));
                win << QPointF(n, follow(round).dblWinGrpValue);
            } else {
                QVERIFY2(!rows[n].win, qPrintable(QString::number(round)));
            }
        }
        auto* x = qobject_cast<QBarCategoryAxis*>(qchart()->axes(Qt::Horizontal).value(0));
        QVERIFY(x);
        QCOMPARE(x->categories(), labels);
        QCOMPARE(points(qchart(), QStringLiteral("平均")), avg);
        QCOMPARE(points(qchart(), QStringLiteral("当選")), win);
    }

private Q_SLOTS:
    void initTestCase() { history = tw::testing::loadBundledHistory(); }
    void cleanup() { chart.reset(); }

    void newestWindowOfRound2545() {
        tw::testing::runFor(engine, history, 3, 2545);
        HitChartDialog& c = open(3, 2545);
        QCOMPARE(c.windowStart(), 2536);
        checkRows(2536, 2544);
        QCOMPARE(scroll()->minimum(), 1000);
        QCOMPARE(scroll()->maximum(), 2536);
        QCOMPARE(scroll()->value(), 2536);
        QVERIFY(scroll()->isEnabled());

        // A real line: the averages are not all equal and lie on the axis' scale.
        const std::vector<HitChartRow>& rows = c.rows();
        QVERIFY(std::any_of(rows.begin(), rows.end(), [&](const HitChartRow& r) { return *r.avg != *rows[0].avg; }));

        auto* y = qobject_cast<QValueAxis*>(qchart()->axes(Qt::Vertical).value(0));
        QVERIFY(y);
        QCOMPARE(y->min(), 0.0);
        QCOMPARE(y->max(), 20.0);
        QCOMPARE(y->tickCount(), 5);
        QCOMPARE(y->minorTickCount(), 1);

        for (QAbstractSeries* series : qchart()->series()) {
            const QColor pen = static_cast<QLineSeries*>(series)->pen().color();
            QCOMPARE(pen, series->name() == QStringLiteral("平均") ? QColor(0, 0, 255) : QColor(255, 0, 0));
        }
    }

    void scrollingBackAndForth_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("value");
        QTest::newRow("N3 minimum") << 3 << 1000;
        QTest::newRow("N3 middle") << 3 << 1777;
        QTest::newRow("N4 minimum") << 4 << 1000;
    }
    void scrollingBackAndForth() {
        QFETCH(int, game);
        QFETCH(int, value);
        tw::testing::runFor(engine, history, game, 2545);
        HitChartDialog& c = open(game, 2545);
        scroll()->setValue(value);
        QCOMPARE(c.windowStart(), value);
        checkRows(value, value + 9);
        QVERIFY(scroll()->isEnabled());
        scroll()->setValue(scroll()->maximum());
        checkRows(2536, 2544);
    }

    void numbersLabel_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("N3 magenta") << 3 << QColor(255, 0, 255);
        QTest::newRow("N4 green") << 4 << QColor(0, 192, 0);
    }
    void numbersLabel() {
        QFETCH(int, game);
        QFETCH(QColor, colour);
        tw::testing::runFor(engine, history, game, 1500);
        open(game, 1500);
        auto* label = chart->findChild<QLabel*>(QStringLiteral("lblNum"));
        QCOMPARE(label->text(), QString::number(game));
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    }

    // Rounds the last run's tables do not hold are missing points, never reads
    // outside the tables: the other game, rounds past the run, a short history.
    void roundsNotHeld_data() {
        QTest::addColumn<int>("runGame");
        QTest::addColumn<int>("runRound"); // 0 = no run at all
        QTest::addColumn<int>("chartGame");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("maxRange");
        QTest::addColumn<QPoint>("avgRounds"); // first and last round with an average (x > y: none)
        QTest::addColumn<QPoint>("winRounds"); // the same for the winning value

        const QPoint none(1, 0);
        QTest::newRow("other game") << 3 << 2545 << 4 << 2536 << 2545 << none << none;
        QTest::newRow("no run yet") << 0 << 0 << 3 << 1000 << 2545 << none << none;
        QTest::newRow("beyond the run") << 3 << 2545 << 3 << 2541 << 2560 << QPoint(2541, 2545) << QPoint(2541, 2544);
        QTest::newRow("far beyond the run") << 3 << 2545 << 3 << 3000 << 3009 << none << none;
        QTest::newRow("earlier round of the run's game")
            << 4 << 2545 << 4 << 1991 << 2000 << QPoint(1991, 2000) << QPoint(1991, 1999);
        QTest::newRow("short history") << 3 << 1004 << 3 << 995 << 1004 << QPoint(995, 1004) << QPoint(995, 1003);
        QTest::newRow("before round 1") << 3 << 5 << 3 << -4 << 5 << QPoint(1, 5) << QPoint(1, 4);
    }
    void roundsNotHeld() {
        QFETCH(int, runGame);
        QFETCH(int, runRound);
        QFETCH(int, chartGame);
        QFETCH(int, start);
        QFETCH(int, maxRange);
        QFETCH(QPoint, avgRounds);
        QFETCH(QPoint, winRounds);

        tw::engine::Engine fresh;
        tw::engine::Engine& e = runRound > 0 ? engine : fresh;
        if (runRound > 0)
            tw::testing::runFor(engine, history, runGame, runRound);
        const std::vector<HitChartRow> rows =
            tw::reports::hitChartRows(e, tw::common::Game{chartGame}, start, maxRange);
        QCOMPARE(int(rows.size()), 10);
        for (int n = 0; n < 10; ++n) {
            const int round = start + n;
            QCOMPARE(rows[n].round, round);
            const bool avg = round >= avgRounds.x() && round <= avgRounds.y();
            const bool win = round >= winRounds.x() && round <= winRounds.y();
            QVERIFY2(rows[n].avg.has_value() == avg, qPrintable(QString::number(round)));
            QVERIFY2(rows[n].win.has_value() == win, qPrintable(QString::number(round)));
            if (avg)
                QCOMPARE(*rows[n].avg, e.FollowRows()[static_cast<std::size_t>(round)].dblAvgGrpValue);
        }
    }

    // A history shorter than the scroll bar's minimum: the bar stays at 1000 and
    // the chart still shows the newest window, the unheld rounds missing.
    void shortHistoryWindow() {
        tw::testing::runFor(engine, history, 3, 1004);
        HitChartDialog& c = open(3, 1004);
        QCOMPARE(scroll()->minimum(), 1000);
        QCOMPARE(scroll()->maximum(), 1000);
        QCOMPARE(c.windowStart(), 995);
        checkRows(995, 1003);
    }

    // The value axis stays 0..20 while every value fits; above that its top is
    // the next multiple of 5, keeping the divisions of 5.
    void valueAxisTop_data() {
        QTest::addColumn<QList<double>>("values"); // averages and winning values, NaN for a missing one
        QTest::addColumn<int>("top");
        const double none = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("all missing") << QList<double>{none, none} << 20;
        QTest::newRow("low values") << QList<double>{3.5, 12.0, 0.0} << 20;
        QTest::newRow("exactly 20") << QList<double>{19.9, 20.0} << 20;
        QTest::newRow("just above 20") << QList<double>{20.01, 4.0} << 25;
        QTest::newRow("21 with gaps") << QList<double>{none, 21.0, none} << 25;
        QTest::newRow("exactly 25") << QList<double>{25.0} << 25;
        QTest::newRow("above 25") << QList<double>{25.5, 18.0} << 30;
        QTest::newRow("far above") << QList<double>{61.2} << 65;
    }
    void valueAxisTop() {
        QFETCH(QList<double>, values);
        QFETCH(int, top);
        std::vector<HitChartRow> rows;
        for (qsizetype i = 0; i < values.size(); ++i) {
            HitChartRow row;
            row.round = 100 + static_cast<int>(i);
            if (!std::isnan(values[i]))
                (i % 2 == 0 ? row.avg : row.win) = values[i];
            rows.push_back(row);
        }
        QCOMPARE(tw::reports::hitChartAxisTop(rows), top);
    }

    // Charts opened at the first rounds start at round 1 and never label a round below it.
    void earlyRoundsStartAtRound1_data() {
        QTest::addColumn<int>("round");
        QTest::newRow("round 2") << 2;
        QTest::newRow("round 5") << 5;
        QTest::newRow("round 10") << 10;
    }
    void earlyRoundsStartAtRound1() {
        QFETCH(int, round);
        tw::testing::runFor(engine, history, 3, round);
        HitChartDialog& c = open(3, round);
        QCOMPARE(c.windowStart(), 1);
        auto* x = qobject_cast<QBarCategoryAxis*>(qchart()->axes(Qt::Horizontal).value(0));
        QVERIFY(x);
        QCOMPARE(x->categories().value(0), QStringLiteral("1"));
        for (const QString& label : x->categories())
            QVERIFY2(label.toInt() >= 1, qPrintable(label));
        QCOMPARE(c.rows().front().round, 1);
        QVERIFY(c.rows().front().avg.has_value());
    }

    void exitCloses() {
        tw::testing::runFor(engine, history, 3, 1500);
        HitChartDialog& c = open(3, 1500);
        QTest::mouseClick(c.findChild<QPushButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        QVERIFY(!c.isVisible());
    }
};

QTEST_MAIN(TestHitChartDialog)
#include "test_hit_chart_dialog.moc"
