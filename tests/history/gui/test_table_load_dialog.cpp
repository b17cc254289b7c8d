// The loading dialog: its load steps driven tick by tick, the banners and the
// progress bar, the faults it reports, and loading without a clip.
#include "history/gui/table_load_dialog.h"
#include "support/strict_message_hook.h"
#include "support/table_text.h"
#include "support/timer_tick.h"
#include "ui/avi_player.h"
#include "ui/message_box.h"

#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using tw::common::Game;
using tw::history::DrawHistory;
using tw::history::TableLoadDialog;
using tw::testing::fireTimer;
using namespace tw::testing;

namespace {
constexpr int kRounds3 = 450;
constexpr int kRounds4 = 230;
constexpr int kTickLimit = 10000;

// Timers that never fire within a test, so the test alone drives the ticks.
constexpr TableLoadDialog::Timings kManual{3600000, 3600000, 3600000};
// Short timers for running the dialog through exec().
constexpr TableLoadDialog::Timings kFast{2, 1, 2};

struct Folder {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};
} // namespace

class TestTableLoadDialog : public QObject {
    Q_OBJECT

private:
    Folder folder;
    // Every box is expected; a load error nobody expected fails the test.
    tw::testing::StrictMessageHook boxes;

    std::unique_ptr<TableLoadDialog> makeDialog(DrawHistory& history) {
        auto dialog =
            std::make_unique<TableLoadDialog>(history, folder.path("Num3Data.tbl").toStdString(),
                                              folder.path("Num4Data.tbl").toStdString(), folder.path("FileCopy.avi"));
        return dialog;
    }
    static QLabel* label(QWidget& w, const QString& name) { return w.findChild<QLabel*>(name); }

    // Runs exec() with short timers; a watchdog ends a dialog that would never close.
    static int runModal(TableLoadDialog& dialog) {
        dialog.setTimings(kFast);
        QTimer::singleShot(60000, &dialog, [&dialog] { dialog.done(-1); });
        return dialog.exec();
    }

private Q_SLOTS:
    void init() {
        QVERIFY(folder.dir.isValid());
        QVERIFY(writeFile(folder.path("Num3Data.tbl"), tableText(3, kRounds3)));
        QVERIFY(writeFile(folder.path("Num4Data.tbl"), tableText(4, kRounds4)));
        QVERIFY(QFile::copy(QStringLiteral(TALLOWIND_DATA_DIR "/FileCopy.avi"), folder.path("FileCopy.avi")));
        boxes.start();
    }
    void cleanup() {
        for (const QString& name : QDir(folder.dir.path()).entryList(QDir::Files))
            QFile::remove(folder.dir.filePath(name));
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void showsCaptionAndStartsOnActivation() {
        DrawHistory history;
        auto dialog = makeDialog(history);
        dialog->setTimings(kManual);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("データ読込み中"));
        QVERIFY(!dialog->findChild<QTimer*>("Timer2")->isActive());
        dialog->show();
        QCOMPARE(dialog->findChild<QTimer*>("Timer1")->interval(), kManual.intBlinkMs);
        QVERIFY(dialog->findChild<QTimer*>("Timer1")->isActive());
        QVERIFY(dialog->findChild<QTimer*>("Timer2")->isActive());
        QVERIFY(!dialog->findChild<QTimer*>("Timer3")->isActive());
        QVERIFY(dialog->loadGame() == Game::Numbers3);
        QCOMPARE(dialog->loadStep(), 0);
        QVERIFY(label(*dialog, "Picture1_0")->isVisible());
        QVERIFY(!label(*dialog, "Picture1_1")->isVisible());
        QVERIFY(label(*dialog, "Picture1_0")->text().contains(QStringLiteral("Numbers")));
        auto* clip = dialog->findChild<tw::ui::AviPlayer*>("Animation1");
        QVERIFY(clip->isPlaying());
        QVERIFY(!clip->pixmap().isNull());
    }

    void shippedIntervalsAreTheDefaults() {
        const TableLoadDialog::Timings shipped;
        QCOMPARE(shipped.intBlinkMs, 500);
        QCOMPARE(shipped.intStepMs, 50);
        QCOMPARE(shipped.intCloseMs, 1000);
    }

    // Step by step through the table: both files load in slices, Numbers3 first,
    // and each time label is written when its phase ends.
    void loadsBothTablesInSlices() {
        DrawHistory history;
        auto dialog = makeDialog(history);
        dialog->setTimings(kManual);
        dialog->show();

        QList<int> steps;
        const QRegularExpression clock(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
        for (int tick = 0; dialog->loadGame() && tick < kTickLimit; ++tick) {
            const int before = dialog->loadStep();
            QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer2"))));
            const int after = dialog->loadStep();
            steps << after;
            QVERIFY2(after == before || after == before + 1, "a tick moves at most one step on");
            // Each time label appears exactly when its phase of the Numbers3 file ends.
            QCOMPARE(label(*dialog, "Label3_0")->text().isEmpty(), after < 1);
            QCOMPARE(label(*dialog, "Label3_1")->text().isEmpty(), after < 2);
            QCOMPARE(label(*dialog, "Label3_2")->text().isEmpty(), after < 3);
            QVERIFY(dialog->loadGame() == (after < 3   ? std::optional(Game::Numbers3)
                                           : after < 6 ? std::optional(Game::Numbers4)
                                                       : std::nullopt));
            QCOMPARE(history.num3.count, after < 3 ? 0 : kRounds3);
        }
        QVERIFY(!dialog->loadGame());
        QCOMPARE(steps.last(), 6);
        // 450 lines with at most 200 per tick: counting alone needs three ticks.
        QVERIFY2(steps.count(1) >= 3, qPrintable(QStringLiteral("ticks in the count step: %1").arg(steps.count(1))));
        QVERIFY(steps.count(2) >= 3);
        QVERIFY(!dialog->findChild<QTimer*>("Timer2")->isActive());

        for (const char* name : {"Label3_0", "Label3_1", "Label3_2"})
            QVERIFY2(clock.match(label(*dialog, name)->text()).hasMatch(), name);
        QVERIFY(label(*dialog, "Label3_3")->text().isEmpty());

        QCOMPARE(history.num3.count, kRounds3);
        QCOMPARE(history.num4.count, kRounds4);
        // Line 450 of the Numbers3 file: digits (450, 453, 456) mod 10, Mini 9450.
        const auto& last3 = history.num3.record(kRounds3);
        QCOMPARE(int(last3.bytNum[1]), 0);
        QCOMPARE(int(last3.bytNum[3]), 6);
        QCOMPARE(last3.lngMini, 9450);
        QCOMPARE(history.num4.record(kRounds4).lngSetBox, 7500 + kRounds4);
        QCOMPARE(history.num4.record(kRounds4).lngMini, 0);
        QCOMPARE(boxes.shown().size(), 0);
    }

    // The banner of the game being loaded blinks with Timer1; the bar follows the
    // loader; at the end both banners stay, the clip stops and Timer3 closes.
    void blinksFollowsProgressAndCloses() {
        DrawHistory history;
        auto dialog = makeDialog(history);
        dialog->setTimings(kManual);
        dialog->show();
        QLabel* banner3 = label(*dialog, "Picture1_0");
        QLabel* banner4 = label(*dialog, "Picture1_1");
        auto* bar = dialog->findChild<QProgressBar*>("ProgressBar1");
        auto* timer1 = dialog->findChild<QTimer*>("Timer1");

        QList<bool> shown3;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer1"))));
            shown3 << banner3->isVisible();
            QVERIFY(timer1->isActive());
        }
        QCOMPARE(shown3, (QList<bool>{true, false, true, false}));
        QVERIFY(!banner4->isVisible());

        // Into the count phase of Numbers3: past the read (20), not yet counted (60).
        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer2"))));
        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer2"))));
        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer1"))));
        QVERIFY2(bar->value() >= 20 && bar->value() <= 60, qPrintable(QString::number(bar->value())));

        while (dialog->loadGame() == Game::Numbers3)
            QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer2"))));
        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer2")))); // read the Numbers4 file
        QList<bool> shown4;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer1"))));
            QVERIFY(banner3->isVisible());
            shown4 << banner4->isVisible();
        }
        QCOMPARE(shown4[0], !shown4[1]);
        QCOMPARE(shown4[1], !shown4[2]);
        QCOMPARE(bar->value(), 20);

        for (int tick = 0; dialog->loadGame() && tick < kTickLimit; ++tick)
            QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer2"))));
        auto* timer3 = dialog->findChild<QTimer*>("Timer3");
        QVERIFY(!timer3->isActive());
        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer1"))));
        QVERIFY(banner3->isVisible());
        QVERIFY(banner4->isVisible());
        QCOMPARE(bar->value(), 100);
        QVERIFY(!timer1->isActive());
        QVERIFY(timer3->isActive());
        QCOMPARE(timer3->interval(), kManual.intCloseMs);
        QVERIFY(!dialog->findChild<tw::ui::AviPlayer*>("Animation1")->isPlaying());

        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("Timer3"))));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void escapeDoesNotCloseWhileLoading() {
        DrawHistory history;
        auto dialog = makeDialog(history);
        dialog->setTimings(kManual);
        dialog->show();
        dialog->reject();
        QVERIFY(dialog->isVisible());
        dialog->close();
        QVERIFY(dialog->isVisible());
    }

    void loadsWithoutAClip_data() {
        QTest::addColumn<QByteArray>("clip");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not a video") << QByteArray("RIFF\x10\0\0\0AVI LIST", 16) << true;
    }
    void loadsWithoutAClip() {
        QFETCH(QByteArray, clip);
        QFETCH(bool, present);
        QFile::remove(folder.path("FileCopy.avi"));
        if (present)
            QVERIFY(writeFile(folder.path("FileCopy.avi"), clip));
        DrawHistory history;
        auto dialog = makeDialog(history);
        dialog->setTimings(kManual);
        dialog->show();
        auto* player = dialog->findChild<tw::ui::AviPlayer*>("Animation1");
        QVERIFY(!player->isOpen());
        QVERIFY(!player->isPlaying());
        QVERIFY(player->pixmap().isNull());
        dialog->hide();

        DrawHistory modalHistory;
        auto modal = makeDialog(modalHistory);
        QCOMPARE(runModal(*modal), int(QDialog::Accepted));
        QCOMPARE(modalHistory.num3.count, kRounds3);
        QCOMPARE(modalHistory.num4.count, kRounds4);
    }

    // A fault in either file: one message naming the file (and the line), the
    // dialog ends Rejected, nothing is written.
    void reportsTheFault_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: the file is missing
        QTest::addColumn<int>("line");           // 0: no line to name
        QTest::newRow("Numbers3 missing") << "Num3Data.tbl" << QByteArray() << 0;
        QTest::newRow("Numbers4 missing") << "Num4Data.tbl" << QByteArray() << 0;
        QTest::newRow("empty line") << "Num3Data.tbl" << QByteArray(tableText(3, 4) + "\r\n" + tableLine(3, 6)) << 5;
        QTest::newRow("bad date") << "Num4Data.tbl" << QByteArray(tableText(4, 2) + "3,2024/02/30,1234,1,2,3,4\r\n")
                                  << 3;
        QTest::newRow("short digits") << "Num4Data.tbl"
                                      << QByteArray(tableText(4, 250) + "251,2024/01/05,12,1,2,3,4\r\n") << 251;
        QTest::newRow("Numbers3 without Mini")
            << "Num3Data.tbl" << QByteArray(tableLine(3, 1) + "2,2024/01/05,123,1,2,3,4\r\n") << 2;
    }
    void reportsTheFault() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(int, line);
        const QString path = folder.dir.filePath(file);
        QFile::remove(path);
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        const auto before = snapshot(folder.dir.path());

        DrawHistory history;
        auto dialog = makeDialog(history);
        boxes.expect(tw::ui::Answer::Ok);
        QCOMPARE(runModal(*dialog), int(QDialog::Rejected));

        QCOMPARE(boxes.shown().size(), 1);
        const QString text = boxes.shown().front();
        QVERIFY2(text.contains(file), qPrintable(text));
        if (line > 0)
            QVERIFY2(text.contains(QStringLiteral("%1 行").arg(line)), qPrintable(text));
        QVERIFY(dialog->loadError());
        QCOMPARE(snapshot(folder.dir.path()), before);
        // A Numbers4 fault never lets the dialog pretend both tables are in.
        QVERIFY(history.num4.count == 0);
    }
};

QTEST_MAIN(TestTableLoadDialog)
#include "test_table_load_dialog.moc"
