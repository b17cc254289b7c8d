// The analysis tables viewer after runs on the bundled history: every round's
// digits, the rankings of a clicked round with the drawn digits marked at their
// forecast ranks, the tiers the following rounds hit, the position options, and
// rounds or lists the last run's tables do not hold.
#include "engine/gui/analysis_tables_viewer.h"

#include "support/bundled_run.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <map>
#include <memory>
#include <set>

using tw::engine::AnalysisTablesViewer;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

bool marked(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item && item->background().style() != Qt::NoBrush && item->background().color() == kYellow &&
           item->foreground().color() == kBlue;
}

// Number of written cells in a row, column 0 excluded.
int filledCells(const QTableWidget* grid, int row) {
    int filled = 0;
    for (int c = 1; c < grid->columnCount(); ++c)
        filled += cell(grid, row, c).isEmpty() ? 0 : 1;
    return filled;
}

} // namespace

class TestAnalysisTablesViewer : public QObject {
    Q_OBJECT

private:
    tw::history::DrawHistory history;
    tw::engine::Engine engine;
    std::unique_ptr<AnalysisTablesViewer> viewer;

    AnalysisTablesViewer& open(const tw::engine::Engine& e, int game, int maxCount) {
        viewer = std::make_unique<AnalysisTablesViewer>(
            e, AnalysisTablesViewer::Request{tw::common::Game{game}, static_cast<int16_t>(maxCount)});
        viewer->pubFormSetUP();
        viewer->show();
        return *viewer;
    }
    QTableWidget* grid(const char* name) const { return viewer->findChild<QTableWidget*>(QString::fromLatin1(name)); }
    QRadioButton* option(int index) const {
        return viewer->findChild<QRadioButton*>(QStringLiteral("optColNo_%1").arg(index));
    }
    QString label(const char* name) const { return viewer->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    void clickCell(QTableWidget* g, int row, int column) const {
        QTableWidgetItem* item = g->item(row, column);
        if (!item)
            qFatal("no cell %d,%d", row, column);
        g->scrollToItem(item);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(item).center());
    }

    // In a 13-row ranking grid, the drawn digit of each position is marked once, at
    // row 2 + its rank; `ranks` are the ranks the engine scored for the round.
    void checkRanking(const QTableWidget* g, int round, int game, const std::array<tw::engine::PosBlock, 5>& ranks) {
        QCOMPARE(cell(g, 0, 1), QString::number(round));
        const tw::history::NumData& draw = history.table(tw::common::Game{game}).record(round);
        for (int p = 1; p <= game; ++p) {
            const int column = 2 * (p - 1);
            QCOMPARE(cell(g, 1, column), QString::number(draw.bytNum[static_cast<std::size_t>(p)]));
            QList<int> markedRows;
            for (int row = 3; row <= 12; ++row) {
                QCOMPARE(marked(g, row, column), marked(g, row, column + 1));
                if (marked(g, row, column))
                    markedRows << row;
            }
            QCOMPARE(markedRows.size(), 1);
            QCOMPARE(cell(g, markedRows[0], column), QString::number(draw.bytNum[static_cast<std::size_t>(p)]));
            QCOMPARE(markedRows[0] - 2, int(ranks[static_cast<std::size_t>(p)].intHitRank));
        }
    }

private Q_SLOTS:
    void initTestCase() { history = tw::testing::loadBundledHistory(); }
    void cleanup() { viewer.reset(); }

    void setUpPerGame_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("position"); // the option selected by the set-up
        QTest::newRow("N3") << 3 << 1;
        QTest::newRow("N4") << 4 << 4;
    }
    void setUpPerGame() {
        QFETCH(int, game);
        QFETCH(int, position);
        tw::testing::runFor(engine, history, game, 2545);
        AnalysisTablesViewer& v = open(engine, game, 2544);
        QCOMPARE(v.windowTitle(), QStringLiteral("DataDebug"));
        QCOMPARE(option(3)->isEnabled(), game == 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(option(i)->isChecked(), i == position - 1);

        QTableWidget* hitNo = grid("gridHitNo");
        QCOMPARE(hitNo->rowCount(), 2544);
        for (int r = 1; r <= 2544; ++r) {
            QCOMPARE(cell(hitNo, r - 1, 0), QString::number(r));
            const tw::history::NumData& draw = history.table(tw::common::Game{game}).record(r);
            for (int p = 1; p <= 4; ++p)
                QCOMPARE(cell(hitNo, r - 1, p),
                         p <= game ? QString::number(draw.bytNum[static_cast<std::size_t>(p)]) : QString());
        }
        QCOMPARE(hitNo->item(0, 0)->foreground().color(), kBlue);
        QCOMPARE(grid("gridRowFlow")->rowCount(), engine.FreqFlow(position).count - 2);
        QCOMPARE(grid("gridNumFlow")->rowCount(), engine.FreqFlow(position).count - 2);
        QCOMPARE(grid("gridRowFlow")->columnCount(), 11);
        // Nothing chosen yet: the ranking grids and labels are empty.
        QCOMPARE(cell(grid("gridPTable"), 0, 1), QString());
        QCOMPARE(label("lblAvrg"), QString());
    }

    // Clicking round 1200 fills both rankings; each drawn digit is marked at the
    // row of its rank, so the marked row minus 2 is its rank in each table.
    void roundTablesOfAClickedRound_data() {
        QTest::addColumn<int>("game");
        QTest::newRow("N3") << 3;
        QTest::newRow("N4") << 4;
    }
    void roundTablesOfAClickedRound() {
        QFETCH(int, game);
        tw::testing::runFor(engine, history, game, 2545);
        open(engine, game, 2544);
        clickCell(grid("gridHitNo"), 1199, 2);

        checkRanking(grid("gridPTable"), 1200, game, engine.FreqRows()[1200].blocks);
        checkRanking(grid("gridQTable"), 1200, game, engine.FollowRows()[1200].blocks);
        if (game == 3)
            for (QTableWidget* g : {grid("gridPTable"), grid("gridQTable")})
                for (int row = 0; row < 13; ++row)
                    QVERIFY(cell(g, row, 6).isEmpty() && cell(g, row, 7).isEmpty());
        const tw::engine::FollowRow& follow = engine.FollowRows()[1200];
        QCOMPARE(label("lblAvrg"), QString::number(follow.dblAvgGrpValue, 'f', 3));
        QCOMPARE(label("lblHitAvrg"), QString::number(follow.dblWinGrpValue, 'f', 3));
    }

    // Row k of the flow grids: the tiers of the tallies of the records before k;
    // the tier holding what the following round brought is the one marked.
    void flowTiers_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("optionClicked"); // -1: the set-up's own choice
        QTest::addColumn<int>("position");
        QTest::newRow("N3 position 1") << 3 << -1 << 1;
        QTest::newRow("N3 position 3") << 3 << 2 << 3;
        QTest::newRow("N4 position 4") << 4 << -1 << 4;
        QTest::newRow("N4 position 2") << 4 << 1 << 2;
    }
    void flowTiers() {
        QFETCH(int, game);
        QFETCH(int, optionClicked);
        QFETCH(int, position);
        tw::testing::runFor(engine, history, game, 2545);
        open(engine, game, 2544);
        if (optionClicked >= 0)
            option(optionClicked)->click();

        const tw::engine::CountedList<tw::engine::FlowRec>& list = engine.FreqFlow(position);
        QVERIFY(list.count > 40);
        QTableWidget* rowFlow = grid("gridRowFlow");
        QTableWidget* numFlow = grid("gridNumFlow");
        QCOMPARE(rowFlow->rowCount(), list.count - 2);
        std::map<int, int> rankTally;
        std::map<int, int> digitTally;
        for (int k = 0; k < list.count - 2; ++k) {
            const tw::engine::FlowRec& rec = list[k];
            QCOMPARE(cell(rowFlow, k, 0), QString::number(rec.intFlowRow));
            QCOMPARE(cell(numFlow, k, 0), QString::number(rec.intFlowRow));
            for (auto [g, tally, key] : {std::tuple{rowFlow, &rankTally, rec.intNextHitRank - 1},
                                         std::tuple{numFlow, &digitTally, int(rec.intNextHitDigit)}}) {
                std::set<int, std::greater<>> levels;
                for (int key10 = 0; key10 < 10; ++key10)
                    levels.insert((*tally)[key10]);
                const int tier = static_cast<int>(std::distance(levels.begin(), levels.find((*tally)[key])));
                int keysAtLevel = 0;
                for (int key10 = 0; key10 < 10; ++key10)
                    keysAtLevel += (*tally)[key10] == (*tally)[key] ? 1 : 0;
                QCOMPARE(filledCells(g, k), int(levels.size()));
                for (int c = 1; c <= 10; ++c)
                    QCOMPARE(marked(g, k, c), c == tier + 1);
                QCOMPARE(cell(g, k, tier + 1), QString::number(keysAtLevel));
                ++(*tally)[key];
            }
        }
    }

    // Clicks in the flow grids: column 0 of the rank grid and any column of the
    // digit grid show that row's round; other columns of the rank grid do nothing.
    void flowClicks() {
        tw::testing::runFor(engine, history, 3, 2545);
        open(engine, 3, 2544);
        const tw::engine::CountedList<tw::engine::FlowRec>& list = engine.FreqFlow(1);
        QTableWidget* table = grid("gridPTable");

        clickCell(grid("gridRowFlow"), 5, 3);
        QCOMPARE(cell(table, 0, 1), QString());
        clickCell(grid("gridRowFlow"), 5, 0);
        QCOMPARE(cell(table, 0, 1), QString::number(list[5].intFlowRow));
        clickCell(grid("gridNumFlow"), 9, 2);
        QCOMPARE(cell(table, 0, 1), QString::number(list[9].intFlowRow));
        checkRanking(table, list[9].intFlowRow, 3,
                     engine.FreqRows()[static_cast<std::size_t>(list[9].intFlowRow)].blocks);

        QTest::mouseClick(viewer->findChild<QPushButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        QVERIFY(!viewer->isVisible());
    }

    // What the tables do not hold stays empty: the other game, rounds after the
    // run, no run at all, and lists too short to show.
    void roundsNotHeld_data() {
        QTest::addColumn<int>("runGame"); // 0: no run
        QTest::addColumn<int>("runRound");
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("maxCount");
        QTest::addColumn<int>("click");   // round clicked in gridHitNo
        QTest::addColumn<bool>("digits"); // gridHitNo shows its digits
        QTest::addColumn<bool>("pTable"); // the frequency ranking is shown
        QTest::addColumn<bool>("qTable"); // the follower ranking is shown
        QTest::addColumn<bool>("scored"); // the follower ranking has marks and a winning value

        QTest::newRow("other game") << 3 << 2545 << 4 << 2544 << 1200 << false << false << false << false;
        QTest::newRow("no run") << 0 << 0 << 3 << 300 << 120 << false << false << false << false;
        QTest::newRow("forecast row") << 3 << 2545 << 3 << 3000 << 2545 << false << false << true << false;
        QTest::newRow("after the run") << 3 << 2545 << 3 << 3000 << 2990 << false << false << false << false;
        QTest::newRow("last drawn round") << 3 << 2545 << 3 << 3000 << 2544 << true << true << true << true;
        QTest::newRow("short lists") << 4 << 400 << 4 << 399 << 399 << true << true << true << true;
        QTest::newRow("lists from round 500") << 3 << 502 << 3 << 501 << 20 << true << true << true << true;
    }
    void roundsNotHeld() {
        QFETCH(int, runGame);
        QFETCH(int, runRound);
        QFETCH(int, game);
        QFETCH(int, maxCount);
        QFETCH(int, click);
        QFETCH(bool, digits);
        QFETCH(bool, pTable);
        QFETCH(bool, qTable);
        QFETCH(bool, scored);

        tw::engine::Engine fresh;
        tw::engine::Engine& e = runGame > 0 ? engine : fresh;
        if (runGame > 0)
            tw::testing::runFor(engine, history, runGame, runRound);
        open(e, game, maxCount);

        const int expectedFlowRows = runGame == game ? std::max(0, e.FreqFlow(game == 3 ? 1 : 4).count - 2) : 0;
        QCOMPARE(grid("gridRowFlow")->rowCount(), expectedFlowRows);
        QCOMPARE(grid("gridNumFlow")->rowCount(), expectedFlowRows);
        QCOMPARE(grid("gridHitNo")->rowCount(), maxCount);

        clickCell(grid("gridHitNo"), click - 1, 0);
        QCOMPARE(cell(grid("gridHitNo"), click - 1, 1).isEmpty(), !digits);
        for (auto [name, shown] : {std::pair{"gridPTable", pTable}, std::pair{"gridQTable", qTable}}) {
            const QTableWidget* g = grid(name);
            QCOMPARE(cell(g, 0, 1), QString::number(click));
            QCOMPARE(cell(g, 3, 0).isEmpty(), !shown);
        }
        bool anyMark = false;
        for (int row = 3; row <= 12; ++row)
            anyMark = anyMark || marked(grid("gridQTable"), row, 0);
        QCOMPARE(anyMark, scored);
        QCOMPARE(cell(grid("gridQTable"), 1, 0).isEmpty(), !scored);
        QCOMPARE(label("lblAvrg").isEmpty(), !qTable);
        QCOMPARE(label("lblHitAvrg").isEmpty(), !scored);
    }
};

QTEST_MAIN(TestAnalysisTablesViewer)
#include "test_analysis_tables_viewer.moc"
