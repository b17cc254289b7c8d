// The back-test window over the bundled history: the table and the chart of the
// running series equal the library's figures for the same options, the verdict
// is coloured, the worker reports progress and stops on cancel, the exports hold
// the table and the chart, and closing the window during a run stops the worker.
#include "backtest/gui/backtest_dialog.h"

#include "history/table_file.h"
#include "ui/message_box.h"

#include "support/strict_message_hook.h"

#include <QAreaSeries>
#include <QChart>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>
#include <set>

using tw::backtest::BacktestDialog;
using tw::backtest::BacktestLine;

namespace {

tw::history::DrawTable load(tw::common::Game game) {
    return tw::history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game), game)
        .table;
}

QAbstractSeries* seriesNamed(QChart* chart, const QString& objectName) {
    for (QAbstractSeries* s : chart->series())
        if (s->objectName() == objectName)
            return s;
    return nullptr;
}

QString digitsOnly(QString text) {
    return text.remove(QLatin1Char(','));
}

bool runAndWait(BacktestDialog& dialog, int timeoutMs = 120000) {
    QSignalSpy finished(&dialog, &BacktestDialog::runFinished);
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdRun"), Qt::LeftButton);
    return finished.wait(timeoutMs);
}

} // namespace

class TestBacktestDialog : public QObject {
    Q_OBJECT

private:
    tw::history::DrawTable num3 = load(tw::common::Game::Numbers3);
    tw::history::DrawTable num4 = load(tw::common::Game::Numbers4);
    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void defaultsAreRoundTwoToTheLastDrawn() {
        BacktestDialog dialog(num3, num4);
        for (const tw::common::Game game : tw::common::kGames) {
            dialog.setGame(tw::common::Game{game});
            QCOMPARE(dialog.findChild<QSpinBox*>("spnFrom")->value(), 2);
            QCOMPARE(dialog.findChild<QSpinBox*>("spnTo")->value(),
                     int((game == tw::common::Game::Numbers4 ? num4 : num3).count));
        }
    }

    void tableAndChartEqualTheLibrary_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("seed");
        QTest::newRow("NUMBERS3 6800..7054") << 3 << 6800 << 7054 << 5;
        QTest::newRow("NUMBERS4 6000..7054") << 4 << 6000 << 7054 << 11;
    }
    void tableAndChartEqualTheLibrary() {
        QFETCH(int, game);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, seed);
        BacktestDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game{game});
        dialog.setRange(from, to);
        dialog.setPortfolios(200);
        dialog.setSeed(static_cast<uint64_t>(seed));
        dialog.show();
        QVERIFY(runAndWait(dialog));
        QVERIFY(dialog.outcome().has_value());
        QVERIFY2(!dialog.outcome()->error, dialog.outcome()->error.describe().c_str());

        tw::backtest::BacktestOptions options;
        options.game = tw::common::Game{game};
        options.from = from;
        options.to = to;
        options.seed = static_cast<uint64_t>(seed);
        options.portfolios = 200;
        options.seriesPoints = tw::backtest::kDefaultSeriesPoints;
        const tw::backtest::BacktestOutcome lib = tw::backtest::runBacktest(game == 4 ? num4 : num3, options);
        QVERIFY(!lib.error);

        auto* table = dialog.findChild<QTableWidget*>("tblResult");
        QCOMPARE(table->rowCount(), int(lib.result.lines.size()));
        for (int row = 0; row < table->rowCount(); ++row) {
            const BacktestLine& l = lib.result.lines[static_cast<std::size_t>(row)];
            QCOMPARE(table->item(row, 0)->text(), tw::backtest::listNameJa(l.list));
            QCOMPARE(table->item(row, 1)->text(), tw::backtest::betNameJa(l.bet));
            QCOMPARE(digitsOnly(table->item(row, 3)->text()), QString::number(l.tickets));
            QCOMPARE(digitsOnly(table->item(row, 4)->text()), QString::number(l.cost));
            QCOMPARE(digitsOnly(table->item(row, 5)->text()), QString::number(l.payout));
            QCOMPARE(table->item(row, 6)->text(), QString::number(l.returnPercent(), 'f', 1) + "%");
            QCOMPARE(digitsOnly(table->item(row, 9)->text()),
                     QString::number(std::nearbyint(l.expectedPayout), 'f', 0));
            const QString band = digitsOnly(table->item(row, 11)->text());
            QVERIFY2(band.startsWith(QString::number(l.band.low) + " 〜 " + QString::number(l.band.high)),
                     qPrintable(band));
            QCOMPARE(table->item(row, 12)->text(), tw::backtest::verdictNameJa(l.verdict));
            const QColor colour = table->item(row, 12)->background().color();
            QVERIFY(l.verdict == tw::backtest::Verdict::NoTickets || colour.isValid());
        }

        // The chart of every line holds the library's running series.
        for (std::size_t i = 0; i < lib.result.lines.size(); ++i) {
            dialog.showLine(static_cast<int>(i));
            QChart* chart = dialog.netChart();
            auto* net = qobject_cast<QLineSeries*>(seriesNamed(chart, "net"));
            auto* expected = qobject_cast<QLineSeries*>(seriesNamed(chart, "expected"));
            auto* band = qobject_cast<QAreaSeries*>(seriesNamed(chart, "band"));
            QVERIFY(net && expected && band);
            const auto& series = lib.result.lines[i].series;
            QVERIFY(!series.empty());
            QCOMPARE(net->count(), int(series.size()));
            QCOMPARE(band->upperSeries()->count(), int(series.size()));
            for (std::size_t k = 0; k < series.size(); ++k) {
                const int n = static_cast<int>(k);
                QCOMPARE(net->at(n), QPointF(series[k].round, static_cast<qreal>(series[k].net)));
                QCOMPARE(expected->at(n).y(), series[k].expectedNet);
                QCOMPARE(band->lowerSeries()->at(n).y(), static_cast<qreal>(series[k].bandLowNet));
                QCOMPARE(band->upperSeries()->at(n).y(), static_cast<qreal>(series[k].bandHighNet));
            }
            QCOMPARE(net->points().back().x(), qreal(to));
        }
        QVERIFY(!dialog.findChild<QLabel*>("lblSummary")->text().isEmpty());
        QVERIFY(boxes.shown().isEmpty());
    }

    void verdictColoursDiffer() {
        // The colours tell the three verdicts apart; a run that shows two of them must show two colours.
        BacktestDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game::Numbers3);
        dialog.setPortfolios(100);
        QVERIFY(runAndWait(dialog));
        auto* table = dialog.findChild<QTableWidget*>("tblResult");
        std::map<QString, std::set<QRgb>> coloursOf;
        for (int row = 0; row < table->rowCount(); ++row)
            coloursOf[table->item(row, 12)->text()].insert(table->item(row, 12)->background().color().rgb());
        std::set<QRgb> all;
        for (const auto& [verdict, colours] : coloursOf) {
            QCOMPARE(colours.size(), std::size_t{1});
            all.insert(*colours.begin());
        }
        QCOMPARE(all.size(), coloursOf.size());
    }

    void cancelStopsTheWork() {
        BacktestDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game::Numbers3); // the whole history: long enough to cancel midway
        dialog.show();
        QSignalSpy finished(&dialog, &BacktestDialog::runFinished);
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdRun"), Qt::LeftButton);
        QVERIFY(dialog.isRunning());
        auto* cancel = dialog.findChild<QPushButton*>("cmdCancel");
        QVERIFY(cancel->isEnabled());
        QVERIFY(!dialog.findChild<QPushButton*>("cmdRun")->isEnabled());
        // Progress reaches the window while the worker runs.
        auto* bar = dialog.findChild<QProgressBar*>("prgRun");
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 60000);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY(!dialog.isRunning());
        QVERIFY(dialog.outcome()->cancelled());
        QVERIFY(dialog.outcome()->error.round < int(num3.count));
        QCOMPARE(dialog.findChild<QTableWidget*>("tblResult")->rowCount(), 0);
        QVERIFY(!dialog.findChild<QPushButton*>("cmdExportCsv")->isEnabled());
        QVERIFY(dialog.findChild<QPushButton*>("cmdRun")->isEnabled());
        QVERIFY(boxes.shown().isEmpty()); // a cancel is not an error
    }

    void closingDuringARunStopsTheWorker() {
        auto dialog = std::make_unique<BacktestDialog>(num3, num4);
        dialog->setGame(tw::common::Game::Numbers4);
        QVERIFY(dialog->cmdRun_Click());
        QVERIFY(dialog->isRunning());
        dialog.reset(); // must cancel and wait, not crash or hang
    }

    void exportsHoldTheTableAndTheChart() {
        BacktestDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game::Numbers3);
        dialog.setRange(7000, 7054);
        dialog.setPortfolios(50);
        dialog.show();
        QVERIFY(runAndWait(dialog));
        const auto& lines = dialog.outcome()->result.lines;

        QTemporaryDir dir;
        const QString csvPath = dir.filePath("table.csv");
        QVERIFY(dialog.exportCsv(csvPath));
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QStringList rows = QString::fromUtf8(bytes.mid(3)).split("\r\n");
        QCOMPARE(rows.takeLast(), QString()); // ends with a line end
        QCOMPARE(rows.size(), int(lines.size()) + 1);
        QVERIFY(rows[0].startsWith("グループ,券種,"));
        const int columns = int(rows[0].split(',').size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const QStringList fields = rows[int(i) + 1].split(',');
            QCOMPARE(fields.size(), columns);
            QCOMPARE(fields[3], QString::number(lines[i].tickets));
            QCOMPARE(fields[5], QString::number(lines[i].payout));
            QCOMPARE(fields[11], QString::number(lines[i].band.low));
            QCOMPARE(fields[12], QString::number(lines[i].band.high));
            QCOMPARE(fields[13], tw::backtest::verdictNameJa(lines[i].verdict));
        }

        const QString pngPath = dir.filePath("chart.png");
        QVERIFY(dialog.exportPng(pngPath));
        const QImage image(pngPath);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 100 && image.height() > 100);
    }

    void refusedOptionsShowAMessage() {
        BacktestDialog dialog(num3, num4);
        dialog.setGame(tw::common::Game::Numbers3);
        dialog.setRange(500, 400);
        boxes.expect(tw::ui::Answer::Ok);
        QVERIFY(runAndWait(dialog));
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().front().contains("開始回"));
        QCOMPARE(dialog.findChild<QTableWidget*>("tblResult")->rowCount(), 0);

        boxes.clearShown();
        dialog.setRange(2, 10);
        dialog.findChild<QLineEdit*>("txtSeed")->setText("-3");
        boxes.expect(tw::ui::Answer::Ok);
        QVERIFY(!dialog.cmdRun_Click());
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(!dialog.isRunning());
    }
};

QTEST_MAIN(TestBacktestDialog)
#include "test_backtest_dialog.moc"
