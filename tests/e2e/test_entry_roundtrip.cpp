// Entering draws end to end: the real start-up path in a temporary working
// folder, the entry dialog driven through its keypads, and a second start that
// must find exactly what was entered, with every other line of both table files
// unchanged. Each stored round is on disk as soon as the dialog stores it, so a
// program that dies before its exit loses nothing; exit then has nothing left to
// write. A store that dies between writing its temporary file and renaming it
// leaves the old file as it was.
#include "app/gui/main_window.h"
#include "app/gui/startup.h"
#include "history/table_file.h"
#include "support/strict_message_hook.h"
#include "support/table_text.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using tw::app::StartupOptions;
using tw::app::TallowindApp;
using namespace tw::testing;

namespace {

constexpr int kRounds3 = 30;
constexpr int kRounds4 = 25;

struct Draw {
    QString digits;               // one character per place
    std::array<int, 5> amounts{}; // Straight, Box, Set-Straight, Set-Box, Mini
};

void click(QWidget* root, const QString& name) {
    auto* button = root->findChild<QPushButton*>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

// Types a draw into the open entry dialog: digit keypads, then each amount keypad.
void typeDraw(QWidget* dialog, const Draw& draw) {
    for (int place = 0; place < draw.digits.size(); ++place)
        click(dialog, QStringLiteral("cmdNum%1_%2").arg(place + 1).arg(draw.digits[place]));
    for (int pad = 0; pad < 5; ++pad) {
        if (draw.amounts[static_cast<std::size_t>(pad)] == 0)
            continue;
        click(dialog, QStringLiteral("cmdMoney%1_12").arg(pad + 1)); // "C" first, for a correction
        for (const QChar c : QString::number(draw.amounts[static_cast<std::size_t>(pad)]))
            click(dialog, QStringLiteral("cmdMoney%1_%2").arg(pad + 1).arg(c));
    }
}

// Runs `work` on the modal dialog named `name` as soon as it is open.
void whenDialogOpens(const QString& name, std::function<void(QWidget*)> work) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, work = std::move(work)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        work(modal);
    });
    poll->start();
}

QByteArray lineOf(int game, int round, const QString& date, const Draw& draw) {
    QString line = QStringLiteral("%1,%2,%3").arg(round).arg(date, draw.digits);
    for (int i = 0; i < (game == 3 ? 5 : 4); ++i)
        line += QStringLiteral(",%1").arg(draw.amounts[static_cast<std::size_t>(i)]);
    return line.toLatin1() + "\r\n";
}

QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast(); // after the last CR LF
    for (QByteArray& line : lines)
        line += '\n';
    return lines;
}

} // namespace

class TestEntryRoundTrip : public QObject {
    Q_OBJECT

    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

    QTemporaryDir work;
    QTemporaryDir lockDir;
    QString previousDir;

    StartupOptions options() const {
        StartupOptions o;
        o.lockPath = lockDir.filePath(QStringLiteral("tallowind.lock"));
        o.loadTimings = {2, 1, 2};
        return o;
    }

    // Opens the entry dialog from the main window for the selected game and lets `work` drive it.
    static void enter(tw::app::MainWindow* window, std::function<void(QWidget*)> work) {
        whenDialogOpens(QStringLiteral("dlgEntryData"), std::move(work));
        window->findChild<QPushButton*>(QStringLiteral("cmdDataEntry"))->click();
    }

    static void selectGame(tw::app::MainWindow* window, int index) {
        window->findChild<QRadioButton*>(QStringLiteral("optNumbers_%1").arg(index))->click();
    }

    // From the open entry dialog, loads an earlier round through the round dialog.
    static void loadRound(QWidget* entry, int round) {
        whenDialogOpens(QStringLiteral("dlgNumRound"), [round](QWidget* picker) {
            auto* list = picker->findChild<QListWidget*>(QStringLiteral("lstRound"));
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->data(Qt::UserRole).toInt() == round)
                    list->setCurrentRow(i);
            click(picker, QStringLiteral("cmdOK"));
        });
        click(entry, QStringLiteral("cmdLoad"));
    }

private Q_SLOTS:
    void init() {
        QVERIFY(work.isValid() && lockDir.isValid());
        QVERIFY(writeFile(work.filePath("Num3Data.tbl"), tableText(3, kRounds3)));
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), tableText(4, kRounds4)));
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        boxes.start();
    }
    void cleanup() {
        tw::history::setRewriteHookForTests({});
        QDir::setCurrent(previousDir);
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void enteredDrawsSurviveExitAndRestart() {
        const QByteArray original3 = readFile(work.filePath("Num3Data.tbl"));
        const QByteArray original4 = readFile(work.filePath("Num4Data.tbl"));
        const Draw new3{QStringLiteral("407"), {98700, 16400, 57500, 8200, 9800}};
        const Draw new4{QStringLiteral("1234"), {1234500, 51400, 642900, 25700, 0}};
        const Draw fix3{QStringLiteral("955"), {71000, 23600, 47300, 11800, 7100}};
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
        const QByteArray round10Line = linesOf(original3)[9];
        const QString round10Date = QString::fromLatin1(round10Line.split(',')[1]);

        int exitStatus = -1;
        {
            TallowindApp app(options());
            QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
            tw::app::MainWindow* window = app.mainWindow();
            window->setExitHandler([&exitStatus](int status) { exitStatus = status; });

            enter(window, [&](QWidget* dialog) {
                typeDraw(dialog, new3);
                click(dialog, QStringLiteral("cmdSave"));
                click(dialog, QStringLiteral("cmdExit"));
            });
            selectGame(window, 1);
            enter(window, [&](QWidget* dialog) {
                typeDraw(dialog, new4);
                click(dialog, QStringLiteral("cmdSave"));
                click(dialog, QStringLiteral("cmdExit"));
            });
            selectGame(window, 0);
            enter(window, [&](QWidget* dialog) {
                loadRound(dialog, 10);
                typeDraw(dialog, fix3);
                click(dialog, QStringLiteral("cmdSave"));
                click(dialog, QStringLiteral("cmdExit"));
            });
            QCOMPARE(app.drawHistory().num3.count, kRounds3 + 1);
            QCOMPARE(app.drawHistory().num4.count, kRounds4 + 1);
            QVERIFY(boxes.shown().isEmpty());

            // Every line but the corrected one and the appended one is unchanged,
            // byte for byte, before the program has even been asked to end.
            QList<QByteArray> expected3 = linesOf(original3);
            expected3[9] = lineOf(3, 10, round10Date, fix3);
            expected3 << lineOf(3, kRounds3 + 1, today, new3);
            QCOMPARE(linesOf(readFile(work.filePath("Num3Data.tbl"))), expected3);
            QCOMPARE(readFile(work.filePath("Num4Data.tbl")), original4 + lineOf(4, kRounds4 + 1, today, new4));
            const auto stored = snapshot(work.path());

            boxes.clearShown();
            boxes.expect(tw::ui::Answer::Ok); // "終了しますか？"
            window->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
            QCOMPARE(boxes.shown(), QStringList{QStringLiteral("終了しますか？")});
            QCOMPARE(exitStatus, 0);
            QCOMPARE(snapshot(work.path()), stored); // nothing was left for the exit to write
        }

        // A second start loads exactly the entered values.
        TallowindApp again(options());
        QCOMPARE(again.Main(), TallowindApp::Outcome::Running);
        const auto& num3 = again.drawHistory().num3;
        const auto& num4 = again.drawHistory().num4;
        QCOMPARE(num3.count, kRounds3 + 1);
        QCOMPARE(num4.count, kRounds4 + 1);
        const tw::history::NumData& r31 = num3.record(kRounds3 + 1);
        QCOMPARE(QString::fromStdString(tw::history::FormatTableLine(r31, kRounds3 + 1, tw::common::Game::Numbers3))
                         .toLatin1() +
                     "\r\n",
                 lineOf(3, kRounds3 + 1, today, new3));
        const tw::history::NumData& r10 = num3.record(10);
        QCOMPARE((std::array<int, 3>{r10.bytNum[1], r10.bytNum[2], r10.bytNum[3]}), (std::array<int, 3>{9, 5, 5}));
        QCOMPARE(r10.lngMini, 7100);
        QCOMPARE(num4.record(kRounds4 + 1).lngStraight, 1234500);
        QVERIFY(!r10.blnUnsaved && !r31.blnUnsaved);
    }

    // A round stored in the dialog and a program that then dies without its
    // exit: the next start finds the round. Before, entered rounds lived only in
    // memory until a clean exit.
    void storedRoundSurvivesAProgramThatNeverExits() {
        const Draw draw{QStringLiteral("862"), {100100, 16600, 58300, 8300, 10000}};
        {
            TallowindApp app(options());
            QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
            app.mainWindow()->setExitHandler([](int) { QFAIL("no exit in this test"); });
            enter(app.mainWindow(), [&](QWidget* dialog) {
                typeDraw(dialog, draw);
                click(dialog, QStringLiteral("cmdSave"));
                click(dialog, QStringLiteral("cmdExit"));
            });
        } // gone without cmdExit, as after a crash or a power cut
        TallowindApp again(options());
        QCOMPARE(again.Main(), TallowindApp::Outcome::Running);
        QCOMPARE(again.drawHistory().num3.count, kRounds3 + 1);
        QCOMPARE(again.drawHistory().num3.record(kRounds3 + 1).lngStraight, 100100);
    }

    // The process "dies" while storing a correction, between the complete
    // temporary file and the rename: at that moment the table file still holds
    // its old bytes and the temporary file the whole new table, so either is
    // complete whenever a kill strikes. The dialog says the store failed and
    // keeps the typed values; the exit tries again and stays open while that
    // fails; once it can, the correction is written.
    void killBetweenWriteAndRenameOfAStoreLeavesTheOldFile() {
        const QString path = work.filePath("Num3Data.tbl");
        const QByteArray old = readFile(path);
        const auto before = snapshot(work.path());
        QList<QByteArray> corrected = linesOf(old);
        const QString round3Date = QString::fromLatin1(corrected[2].split(',')[1]);
        const Draw fix{QStringLiteral("111"), {30000, 5000, 15000, 2500, 3000}};
        corrected[2] = lineOf(3, 3, round3Date, fix);

        int exitStatus = -1;
        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
        tw::app::MainWindow* window = app.mainWindow();
        window->setExitHandler([&exitStatus](int status) { exitStatus = status; });

        int kills = 0;
        tw::history::setRewriteHookForTests([&] {
            ++kills;
            const QStringList temps = QDir(work.path()).entryList({QStringLiteral("Num3Data.tbl.tmp-*")}, QDir::Files);
            [&] {
                QCOMPARE(readFile(path), old);
                QCOMPARE(temps.size(), 1);
                QCOMPARE(linesOf(readFile(work.filePath(temps.front()))), corrected);
            }();
            return false;
        });
        QString shownInDialog;
        enter(window, [&](QWidget* dialog) {
            loadRound(dialog, 3);
            typeDraw(dialog, fix);
            boxes.expect(tw::ui::Answer::Ok); // the save error
            click(dialog, QStringLiteral("cmdSave"));
            shownInDialog = boxes.titles().join(QLatin1Char('|'));
            boxes.expect(tw::ui::Answer::Yes); // close with the values still unstored
            click(dialog, QStringLiteral("cmdExit"));
        });
        QCOMPARE(kills, 1);
        QCOMPARE(shownInDialog, QStringLiteral("【保存エラー】"));
        QVERIFY(boxes.shown().front().startsWith(QStringLiteral("ファイル「Num3Data.tbl」に保存できません。")));
        QCOMPARE(boxes.titles().at(1), QStringLiteral("未登録確認"));
        QCOMPARE(snapshot(work.path()), before);
        QVERIFY(app.drawHistory().num3.record(3).blnUnsaved);

        boxes.clearShown();
        boxes.expect(tw::ui::Answer::Ok); // the exit question
        boxes.expect(tw::ui::Answer::Ok); // the save error
        window->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
        QCOMPARE(kills, 2);
        QCOMPARE(boxes.titles(), (QStringList{QStringLiteral("【終了確認】"), QStringLiteral("【保存エラー】")}));
        QCOMPARE(exitStatus, -1);
        QCOMPARE(snapshot(work.path()), before);

        tw::history::setRewriteHookForTests({});
        boxes.clearShown();
        boxes.expect(tw::ui::Answer::Ok);
        window->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
        QCOMPARE(exitStatus, 0);
        QCOMPARE(linesOf(readFile(path)), corrected);
        QCOMPARE(QDir(work.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files), QStringList{});
    }
};

QTEST_MAIN(TestEntryRoundTrip)
#include "test_entry_roundtrip.moc"
