// The group choice dialog: the options per game, the answers of OK and cancel,
// a fresh start on every opening, and its place under the button that opened it.
#include "selection/gui/group_select_dialog.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

using tw::selection::GroupSelectDialog;

namespace {

QRadioButton* option(QWidget* dialog, int index) {
    return dialog->findChild<QRadioButton*>(QStringLiteral("optGroup_%1").arg(index));
}

QPushButton* button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

// Acts on the dialog once its modal loop runs.
void whenShown(const std::function<void(GroupSelectDialog*)>& act) {
    QTimer::singleShot(0, qApp, [act] {
        auto* dialog = qobject_cast<GroupSelectDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("the group dialog is not open");
        act(dialog);
    });
}

} // namespace

class TestGroupSelectDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answers_data() {
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("pick");      // option clicked before the button, -1 none
        QTest::addColumn<QString>("press"); // "ok", "cancel" or "escape"
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("visibleOptions");

        QTest::newRow("N3 OK as opened") << 3 << -1 << "ok" << 1 << 2;
        QTest::newRow("N3 Group2") << 3 << 1 << "ok" << 2 << 2;
        QTest::newRow("N3 cancel after a pick") << 3 << 1 << "cancel" << 0 << 2;
        QTest::newRow("N3 escape") << 3 << -1 << "escape" << 0 << 2;
        QTest::newRow("N4 Group3") << 4 << 2 << "ok" << 3 << 3;
        QTest::newRow("N4 Group1 again") << 4 << 0 << "ok" << 1 << 3;
        QTest::newRow("N4 cancel") << 4 << 2 << "cancel" << 0 << 3;
    }
    void answers() {
        QFETCH(int, digits);
        QFETCH(int, pick);
        QFETCH(QString, press);
        QFETCH(int, answer);
        QFETCH(int, visibleOptions);

        GroupSelectDialog dialog({static_cast<int16_t>(digits)});
        int shownOptions = -1;
        bool firstChecked = false;
        bool group3Enabled = false;
        QString title = QStringLiteral("unset");
        whenShown([&](GroupSelectDialog* d) {
            shownOptions = 0;
            for (int i = 0; i < 3; ++i)
                shownOptions += option(d, i)->isVisible() ? 1 : 0;
            firstChecked = option(d, 0)->isChecked();
            group3Enabled = option(d, 2)->isEnabled();
            title = d->windowTitle();
            if (pick >= 0)
                QTest::mouseClick(option(d, pick), Qt::LeftButton);
            if (press == QLatin1String("ok"))
                QTest::mouseClick(button(d, "cmdOK"), Qt::LeftButton);
            else if (press == QLatin1String("cancel"))
                QTest::mouseClick(button(d, "cmdCancel"), Qt::LeftButton);
            else
                QTest::keyClick(d, Qt::Key_Escape);
        });
        dialog.exec();

        QCOMPARE(shownOptions, visibleOptions);
        QVERIFY(firstChecked);
        QCOMPARE(group3Enabled, digits == 4);
        // No title text; an empty title would make the window system show the
        // application's name, so the title is blank but not empty.
        QVERIFY(!title.isEmpty() && title.trimmed().isEmpty());
        QCOMPARE(int(dialog.intSelectGroup()), answer);
    }

    // Each opening is a new dialog that starts at Group1, whatever was chosen before.
    void secondOpeningStartsAtGroup1() {
        QWidget opener;
        whenShown([](GroupSelectDialog* d) {
            QTest::mouseClick(option(d, 1), Qt::LeftButton);
            QTest::mouseClick(button(d, "cmdOK"), Qt::LeftButton);
        });
        QCOMPARE(int(tw::selection::askSelectGroup(&opener, nullptr, 3)), 2);
        bool startsAtGroup1 = false;
        whenShown([&](GroupSelectDialog* d) {
            startsAtGroup1 = option(d, 0)->isChecked() && !option(d, 1)->isChecked();
            QTest::mouseClick(button(d, "cmdOK"), Qt::LeftButton);
        });
        QCOMPARE(int(tw::selection::askSelectGroup(&opener, nullptr, 3)), 1);
        QVERIFY(startsAtGroup1);
    }

    void opensUnderTheButton() {
        QWidget window;
        window.resize(400, 300);
        window.move(100, 80);
        auto* opener = new QPushButton(QStringLiteral("自動予想から選択"), &window);
        opener->setGeometry(30, 50, 160, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QPoint placed;
        whenShown([&](GroupSelectDialog* d) {
            placed = d->pos();
            QTest::mouseClick(button(d, "cmdCancel"), Qt::LeftButton);
        });
        QCOMPARE(int(tw::selection::askSelectGroup(&window, opener, 4)), 0);
        const QPoint buttonTop = opener->mapToGlobal(QPoint(0, 0));
        QCOMPARE(placed, QPoint(buttonTop.x(), buttonTop.y() + 45));
    }
};

QTEST_MAIN(TestGroupSelectDialog)
#include "test_group_select_dialog.moc"
