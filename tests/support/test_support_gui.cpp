// The window test support itself: controls are found by name at any depth and
// clicked for real, and the strict message hook fails a test for a box nobody
// expected or an answer nobody used.
#include "support/file_bytes.h"
#include "support/qt_files.h"
#include "support/strict_message_hook.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"

#include "ui/message_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using tw::testing::StrictMessageHook;
using tw::ui::Answer;
using tw::ui::Buttons;

class TestSupportGui : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The Qt file helpers are the byte helpers under a QString path, a Japanese
    // file name and every byte value included.
    void qtFilesAreTheSameBytes() {
        const tw::testing::TempFolder folder;
        const QString path = QString::fromStdString(folder.str()) + QStringLiteral("/ユーザー選出.dat");
        QByteArray bytes("A00@123\r\n\x82\xA0");
        bytes.append('\0').append("\x1A\n");
        QVERIFY(tw::testing::writeFile(path, bytes));
        QCOMPARE(tw::testing::readFile(path), bytes);
        QCOMPARE(tw::testing::readBytes(folder.file("ユーザー選出.dat")), bytes.toStdString());
        QCOMPARE(tw::testing::readFile(path + QStringLiteral(".missing")), QByteArray());
        QVERIFY(!tw::testing::writeFile(path + QStringLiteral("/inside-a-file"), bytes));
    }

    void childIsFoundByNameAndTypeAtAnyDepth() {
        QWidget window;
        auto* frame = new QGroupBox(&window);
        auto* button = new QPushButton(QStringLiteral("OK"), frame);
        button->setObjectName(QStringLiteral("cmdOK"));
        auto* label = new QLabel(frame);
        label->setObjectName(QStringLiteral("lblOK"));
        QCOMPARE(tw::testing::child<QPushButton>(&window, "cmdOK"), button);
        QCOMPARE(tw::testing::child<QWidget>(&window, QStringLiteral("lblOK")), label);
    }

    void clickPressesTheButtonWithTheMouse() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* button = new QPushButton(QStringLiteral("実行"), &window);
        button->setObjectName(QStringLiteral("cmdRun"));
        layout->addWidget(button);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&clicks] { ++clicks; });
        tw::testing::click(&window, "cmdRun");
        QCOMPARE(clicks, 1);
        button->setEnabled(false);
        tw::testing::click(&window, "cmdRun");
        QCOMPARE(clicks, 1);
    }

    // Each case: the answers queued, the boxes shown, whether the hook is
    // satisfied and what its problem text must mention.
    void strictHookJudgesBoxesAgainstAnswers_data() {
        QTest::addColumn<int>("queued");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<bool>("satisfied");
        QTest::addColumn<QString>("mentioned");
        QTest::newRow("no box, no answer") << 0 << 0 << true << QString();
        QTest::newRow("every box answered") << 2 << 2 << true << QString();
        QTest::newRow("a box nobody expected") << 1 << 2 << false << QStringLiteral("box 2");
        QTest::newRow("an answer nobody used") << 2 << 1 << false << QStringLiteral("1 queued answer");
        QTest::newRow("only an unexpected box") << 0 << 1 << false << QStringLiteral("box 1");
    }
    void strictHookJudgesBoxesAgainstAnswers() {
        QFETCH(int, queued);
        QFETCH(int, boxes);
        QFETCH(bool, satisfied);
        QFETCH(QString, mentioned);
        StrictMessageHook hook;
        hook.start();
        for (int i = 0; i < queued; ++i)
            hook.expect(i % 2 == 0 ? Answer::No : Answer::Cancel);
        for (int i = 1; i <= boxes; ++i) {
            const Answer answer =
                tw::ui::showMessage(nullptr, QStringLiteral("box %1").arg(i), Buttons::YesNo, QStringLiteral("t"));
            if (i <= queued)
                QCOMPARE(answer, i % 2 == 1 ? Answer::No : Answer::Cancel);
        }
        QCOMPARE(hook.shown().size(), boxes);
        const bool ok = hook.finish();
        QCOMPARE(ok, satisfied);
        QCOMPARE(hook.problem().isEmpty(), satisfied);
        if (!satisfied)
            QVERIFY2(hook.problem().contains(mentioned), qPrintable(hook.problem()));
    }

    // Clearing the shown boxes starts the next step's list, titles included,
    // but an unexpected box before it still fails the test.
    void clearingTheShownBoxesKeepsTheirProblems() {
        StrictMessageHook hook;
        hook.start();
        tw::ui::showMessage(nullptr, QStringLiteral("unexpected"), Buttons::Ok, QStringLiteral("first"));
        hook.clearShown();
        hook.expect(Answer::Ok);
        tw::ui::showMessage(nullptr, QStringLiteral("expected"), Buttons::Ok, QStringLiteral("second"));
        QCOMPARE(hook.shown(), QStringList{QStringLiteral("expected")});
        QCOMPARE(hook.titles(), QStringList{QStringLiteral("second")});
        QVERIFY(!hook.finish());
        QVERIFY2(hook.problem().contains(QStringLiteral("unexpected")), qPrintable(hook.problem()));
    }

    void aFinishedHookLeavesNothingForTheNextTest() {
        {
            StrictMessageHook hook;
            hook.start();
            hook.expect(Answer::No);
            QVERIFY(!hook.finish());
        }
        QCOMPARE(tw::ui::MessageHook::queuedAnswers(), 0);
        QVERIFY(tw::ui::MessageHook::unansweredTexts().isEmpty());
        StrictMessageHook next;
        next.start();
        QVERIFY(next.finish());
    }
};

QTEST_MAIN(TestSupportGui)
#include "test_support_gui.moc"
