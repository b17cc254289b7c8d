// The change panel, the hit chart and the tables viewer reached from the main
// window after runs on the bundled history: the stored selection is loaded after
// every run (before the panel is ever opened), the panel opens for the run's
// round, a confirmed selection survives a restart of the program, and the
// maintenance button opens the viewer for the round in the selector.
#include "app/app_state.h"
#include "app/gui/main_window.h"
#include "engine/gui/analysis_tables_viewer.h"
#include "history/table_file.h"
#include "reports/gui/hit_chart_dialog.h"
#include "selection/gui/group_select_dialog.h"
#include "selection/user_select_file.h"
#include "support/bundled_workdir.h"
#include "support/strict_message_hook.h"
#include "support/window_clock.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using tw::app::MainWindow;

namespace {

template <typename Dialog> void whenOpen(std::function<void(Dialog*)> act) {
    QTimer::singleShot(0, qApp, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("the expected dialog is not open");
        act(dialog);
    });
}

QStringList texts(const QListWidget* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

} // namespace

class TestChangePanelInMainWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work;
    tw::app::AppState appState;
    tw::history::DrawHistory bundled;
    tw::history::DrawHistory history;
    std::unique_ptr<MainWindow> window;
    // No step here shows a box; one that appears fails the test.
    tw::testing::StrictMessageHook boxes;

    template <typename T> T* child(const char* name) const { return tw::testing::child<T>(window.get(), name); }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    void click(const char* name) const { tw::testing::click(window.get(), name); }
    void openWindow() {
        window = std::make_unique<MainWindow>(history, appState, [] { return tw::testing::kWednesdayMorning; });
        window->setPredictionIntervals({1, 1, 1});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void predict(int game, int round) {
        if (game == 4)
            QTest::mouseClick(child<QRadioButton>("optNumbers_1"), Qt::LeftButton);
        child<QComboBox>("cmbRound")->lineEdit()->selectAll();
        QTest::keyClicks(child<QComboBox>("cmbRound"), QString::number(round));
        click("cmdYosoku");
        QCOMPARE(window->engine().intLastRow(), round - 1);
    }
    int next(int game) const { return history.table(tw::common::Game{game}).count + 1; }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(work.isValid());
        auto workdir = tw::testing::prepareBundledWorkdir(work.path());
        appState = workdir.appState;
        bundled = std::move(workdir.history);
    }
    void init() {
        history = bundled;
        for (const tw::common::Game game : tw::common::kGames)
            QFile::remove(work.filePath(QString::fromStdString(tw::selection::userSelectFileName(game))));
        boxes.start();
        openWindow();
    }
    void cleanup() {
        window.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    // The selection stored for the run's round is in the window's selection model
    // right after the run, before the change panel is opened; a file of another
    // round loads nothing.
    void runLoadsTheStoredSelection_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("storedOffset"); // stored round = next round + offset
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("minis");

        QTest::newRow("N3") << 3 << 0 << QStringList{"A00@123", "B00@045", "MIN@*23"}
                            << QStringList{"123(予測Grp1)", "045(予測Grp2)"} << QStringList{"23"};
        QTest::newRow("N4") << 4 << 0 << QStringList{"C00@0456", "A00@9876"}
                            << QStringList{"0456(予測Grp3)", "9876(予測Grp1)"} << QStringList{};
        QTest::newRow("N3 other round") << 3 << -1 << QStringList{"A00@123"} << QStringList{} << QStringList{};
    }
    void runLoadsTheStoredSelection() {
        QFETCH(int, game);
        QFETCH(int, storedOffset);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, minis);

        std::vector<std::string> stored;
        for (const QString& e : entries)
            stored.push_back(e.toStdString());
        QVERIFY(tw::selection::WriteUserSelectFile(work.path().toStdString(), tw::common::gameFromCode(game).value(),
                                                   static_cast<int16_t>(next(game) + storedOffset), stored));
        predict(game, next(game));

        const tw::selection::SelectionModel& model = window->selection();
        QStringList modelSelected;
        for (const auto& item : model.lstChgSelect())
            modelSelected << QString::fromStdString(item.text);
        QStringList modelMinis;
        for (const auto& item : model.lstChgMini())
            modelMinis << QString::fromStdString(item.text);
        QCOMPARE(modelSelected, selected);
        QCOMPARE(modelMinis, minis);
        QCOMPARE(model.lngUserSelect(), selected.size() + minis.size());

        // The panel opens on the same selection and the run's round.
        click("cmdHenko");
        QVERIFY(child<QWidget>("framHenkou")->isVisible());
        QVERIFY(!child<QWidget>("framYosou")->isVisible());
        QCOMPARE(text("lblChgRound"), QString::number(next(game)));
        QCOMPARE(texts(child<QListWidget>("lstChgSelect")), selected);
        QCOMPARE(texts(child<QListWidget>("lstChgMini")), minis);
        QCOMPARE(text("lblChgUserSelect"), QString::number(selected.size() + minis.size()));
    }

    // A selection built and confirmed in the panel is in the working folder and
    // comes back after the program is started again and the round predicted again.
    void confirmedSelectionSurvivesARestart() {
        const int round = next(3);
        predict(3, round);
        click("cmdHenko");
        whenOpen<tw::selection::GroupSelectDialog>([](tw::selection::GroupSelectDialog* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        click("cmdChgFromYosoKu");
        click("cmdChgAll");
        click("cmdChgSelect");
        click("cmdChgMiniAll");
        const QStringList selected = texts(child<QListWidget>("lstChgSelect"));
        const QStringList minis = texts(child<QListWidget>("lstChgMini"));
        QCOMPARE(selected.size(), int(window->engine().proposal().grp1.count));
        QVERIFY(!minis.isEmpty());
        click("cmdChgEnd");
        QVERIFY(QFile::exists(
            work.filePath(QString::fromStdString(tw::selection::userSelectFileName(tw::common::Game::Numbers3)))));

        window.reset();
        openWindow();
        QVERIFY(window->selection().lstChgSelect().empty());
        predict(3, round);
        QCOMPARE(int(window->selection().lstChgSelect().size()), selected.size());
        QCOMPARE(int(window->selection().lngUserSelect()), selected.size() + minis.size());
        click("cmdHenko");
        QCOMPARE(texts(child<QListWidget>("lstChgSelect")), selected);
        QCOMPARE(texts(child<QListWidget>("lstChgMini")), minis);
    }

    // After a back-test the panel is read-only, and its chart button opens the
    // chart ending at the run's round.
    void drawnRoundPanelAndChart() {
        predict(3, 2545);
        click("cmdHenko");
        QVERIFY(child<QWidget>("framHenkou")->isVisible());
        QVERIFY(!child<QWidget>("cmdChgEnd")->isVisible());
        QVERIFY(!child<QWidget>("lstChgSelect")->isVisible());
        QCOMPARE(child<QTableWidget>("gridChgAllGroup")->rowCount(), int(window->engine().proposal().AllGrpValueCount));

        int start = 0;
        bool lastWinMissing = false;
        whenOpen<tw::reports::HitChartDialog>([&](tw::reports::HitChartDialog* chart) {
            start = chart->windowStart();
            lastWinMissing = !chart->rows().back().win.has_value() && chart->rows().back().round == 2545;
            QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        });
        click("cmdChart");
        QCOMPARE(start, 2536);
        QVERIFY(lastWinMissing);
    }

    // The maintenance button opens the viewer for the selector's round minus one.
    void maintenanceButtonOpensTheViewer() {
        predict(4, 2545);
        int rows = 0;
        QString title;
        bool group4Selected = false;
        whenOpen<tw::engine::AnalysisTablesViewer>([&](tw::engine::AnalysisTablesViewer* viewer) {
            title = viewer->windowTitle();
            rows = viewer->findChild<QTableWidget*>(QStringLiteral("gridHitNo"))->rowCount();
            group4Selected = viewer->findChild<QRadioButton*>(QStringLiteral("optColNo_3"))->isChecked();
            QTest::mouseClick(viewer->findChild<QPushButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        });
        click("cmdCheck");
        QCOMPARE(title, QStringLiteral("DataDebug"));
        QCOMPARE(rows, 2544);
        QVERIFY(group4Selected);
    }
};

QTEST_MAIN(TestChangePanelInMainWindow)
#include "test_change_panel_in_main_window.moc"
