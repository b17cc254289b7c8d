// The statistics window over the bundled history: the bar charts and the lines of
// expected counts hold the library's figures for both games, the fourth position
// only for NUMBERS4, the gap table's cells, and a refused range.
#include "reports/gui/statistics_dialog.h"

#include "history/table_file.h"
#include "support/strict_message_hook.h"
#include "ui/message_box.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using tw::reports::DrawStatistics;
using tw::reports::StatisticsDialog;

namespace {

tw::history::DrawTable load(tw::common::Game game) {
    const tw::history::LoadResult loaded =
        tw::history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game), game);
    return loaded.table;
}

QList<qreal> barValues(QChart* chart) {
    QList<qreal> values;
    for (QAbstractSeries* series : chart->series())
        if (auto* bars = qobject_cast<QBarSeries*>(series))
            for (QBarSet* set : bars->barSets())
                for (int i = 0; i < set->count(); ++i)
                    values << set->at(i);
    return values;
}

QList<QPointF> linePoints(QChart* chart) {
    for (QAbstractSeries* series : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(series))
            return line->points();
    return {};
}

} // namespace

class TestStatisticsDialog : public QObject {
    Q_OBJECT

private:
    tw::history::DrawTable num3 = load(tw::common::Game::Numbers3);
    tw::history::DrawTable num4 = load(tw::common::Game::Numbers4);
    // Every message box must be expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void chartsHoldTheLibraryFigures_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("NUMBERS3 whole history") << 3 << 0 << 0;
        QTest::newRow("NUMBERS4 whole history") << 4 << 0 << 0;
        QTest::newRow("NUMBERS3 rounds 100..160") << 3 << 100 << 160;
        QTest::newRow("NUMBERS4 rounds 6000..6999") << 4 << 6000 << 6999;
    }
    void chartsHoldTheLibraryFigures() {
        QFETCH(int, game);
        QFETCH(int, from);
        QFETCH(int, to);
        const tw::history::DrawTable& table = game == 4 ? num4 : num3;
        const tw::common::Game g = game == 4 ? tw::common::Game::Numbers4 : tw::common::Game::Numbers3;
        const tw::reports::StatisticsOutcome lib =
            tw::reports::computeDrawStatistics(table, {g, from ? from : 1, to ? std::optional<int>(to) : std::nullopt});
        QVERIFY(!lib.error);
        const DrawStatistics& s = lib.statistics;

        StatisticsDialog dialog(num3, num4);
        dialog.setGame(g);
        QCOMPARE(dialog.findChild<QSpinBox*>("spnTo")->value(), int(table.count));
        if (from)
            dialog.setRange(from, to);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCalc"), Qt::LeftButton);
        QVERIFY(dialog.statistics().has_value());
        QCOMPARE(dialog.statistics()->from, s.from);
        QCOMPARE(dialog.statistics()->to, s.to);

        for (int i = 0; i < 4; ++i) {
            QChart* chart = dialog.positionChart(i);
            auto* view = dialog.findChild<QChartView*>(QStringLiteral("chtPosition_%1").arg(i));
            QVERIFY(view);
            if (i >= game) {
                QVERIFY(!chart);
                QVERIFY(!view->isVisible());
                continue;
            }
            QVERIFY(chart);
            QVERIFY(view->isVisible());
            const auto& p = s.positions[static_cast<std::size_t>(i)];
            QList<qreal> counts;
            for (int c : p.count)
                counts << c;
            QCOMPARE(barValues(chart), counts);
            const QList<QPointF> expected = linePoints(chart);
            QCOMPARE(expected.size(), 10);
            for (const QPointF& point : expected)
                QCOMPARE(point.y(), p.expected);
            QVERIFY2(chart->title().contains(QString::number(p.chiSquare, 'f', 2)), qPrintable(chart->title()));
        }

        QList<qreal> sumCounts;
        for (int c : s.sums.count)
            sumCounts << c;
        QCOMPARE(barValues(dialog.sumChart()), sumCounts);
        const QList<QPointF> sumLine = linePoints(dialog.sumChart());
        QCOMPARE(sumLine.size(), int(s.sums.expected.size()));
        for (qsizetype k = 0; k < sumLine.size(); ++k) {
            QCOMPARE(sumLine[k].x(), qreal(k));
            QCOMPARE(sumLine[k].y(), s.sums.expected[static_cast<std::size_t>(k)]);
        }

        auto* chi = dialog.findChild<QTableWidget*>("tblChiSquare");
        QCOMPARE(chi->rowCount(), game);
        auto* gaps = dialog.findChild<QTableWidget*>("tblGaps");
        QCOMPARE(gaps->columnCount(), game);
        for (int i = 0; i < game; ++i) {
            const auto& p = s.positions[static_cast<std::size_t>(i)];
            QCOMPARE(chi->item(i, 2)->text(), QString::number(p.chiSquare, 'f', 3));
            for (int d = 0; d < 10; ++d) {
                const QString cell = gaps->item(d, i)->text();
                QVERIFY2(cell.startsWith(QString::number(p.currentGap[static_cast<std::size_t>(d)]) +
                                         (p.lastDrawn[static_cast<std::size_t>(d)] ? " / " : "以上 / ")),
                         qPrintable(cell));
                QVERIFY2(cell.contains("/ " + QString::number(p.longestGap[static_cast<std::size_t>(d)])),
                         qPrintable(cell));
            }
        }
        QVERIFY(boxes.shown().isEmpty());
    }

    // A digit that never came in a short range shows "以上": its gap is at least the range.
    void neverDrawnDigitIsMarked() {
        StatisticsDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game::Numbers3);
        dialog.setRange(7001, 7003);
        dialog.findChild<QPushButton*>("cmdCalc")->click();
        QVERIFY(dialog.statistics().has_value());
        const DrawStatistics& s = *dialog.statistics();
        auto* gaps = dialog.findChild<QTableWidget*>("tblGaps");
        int marked = 0;
        for (int d = 0; d < 10; ++d) {
            const bool never = s.positions[0].lastDrawn[static_cast<std::size_t>(d)] == 0;
            QCOMPARE(gaps->item(d, 0)->text() == "3以上 / 3以上", never);
            marked += never ? 1 : 0;
        }
        QVERIFY(marked >= 7); // three rounds show at most three digits at a place
    }

    void refusedRangeShowsAMessageAndNoFigures() {
        StatisticsDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game::Numbers4);
        dialog.findChild<QPushButton*>("cmdCalc")->click();
        QVERIFY(dialog.statistics().has_value());
        dialog.setRange(200, 100);
        boxes.expect(tw::ui::Answer::Ok);
        dialog.findChild<QPushButton*>("cmdCalc")->click();
        QVERIFY(!dialog.statistics().has_value());
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().front().contains(QStringLiteral("開始回")));
    }
};

QTEST_MAIN(TestStatisticsDialog)
#include "test_statistics_dialog.moc"
