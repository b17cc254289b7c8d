// The change panel after real runs over the bundled history: editing controls for
// a future round and a read-only view of a drawn one, the all-group grid and its
// key marking, the point table, a stored selection with its counts and amounts,
// the editing buttons down to the stored file, and the amount overflow.
#include "selection/gui/change_panel.h"

#include "common/rounding.h"
#include "selection/gui/group_select_dialog.h"
#include "selection/user_select_file.h"
#include "support/bundled_run.h"
#include "support/qt_files.h"
#include "support/strict_message_hook.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using tw::selection::ChangePanel;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

const char* const kEditingControls[] = {
    "cmdChgFromYosoKu", "cmdChgAll",          "cmdChgClear",  "cmdChgSelect", "cmdChgAllSelectCancel",
    "cmdChgCancel",     "lblSelectNumsTitle", "lstChgSelect", "framKakutei"};
const char* const kAlwaysShown[] = {"gridChgAllGroup", "gridChgPointData", "cmdChart",        "lstChgGrpNums",
                                    "lblChgRound",     "lblChgMaxSelect",  "lblChgUserSelect"};

QStringList listTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Answers the group dialog the panel opens: option `index` then OK, or cancel for -1.
void answerGroupDialog(int index) {
    QTimer::singleShot(0, qApp, [index] {
        auto* dialog = qobject_cast<tw::selection::GroupSelectDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("the group dialog is not open");
        if (index < 0) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            return;
        }
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("optGroup_%1").arg(index)), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
}

QString padded(const tw::engine::PredNum& n, bool fourDigits) {
    QString text = QString::number(n.intNum1) + QString::number(n.intNum2) + QString::number(n.intNum3);
    return fourDigits ? text + QString::number(n.intNum4) : text;
}

} // namespace

class TestChangePanel : public QObject {
    Q_OBJECT

private:
    tw::history::DrawHistory history;
    tw::engine::Engine engine;
    tw::selection::SelectionModel model;
    std::unique_ptr<QTemporaryDir> work;
    // Every box is expected: the panel asks or refuses nothing else.
    tw::testing::StrictMessageHook boxes;
    std::unique_ptr<ChangePanel> panel;

    int count(int game) const { return history.table(tw::common::Game{game}).count; }

    ChangePanel& open(int game, int round) {
        tw::testing::runFor(engine, history, game, round);
        panel = std::make_unique<ChangePanel>(model, engine, history, work->path().toStdString());
        panel->resize(1000, 660);
        panel->ChgPanelSetUp(tw::common::gameFromCode(game).value(), static_cast<int16_t>(round));
        panel->show();
        return *panel;
    }
    template <typename T> T* child(const char* name) const { return tw::testing::child<T>(panel.get(), name); }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    QListWidget* list(const char* name) const { return child<QListWidget>(name); }
    void click(const char* name) const { tw::testing::click(panel.get(), name); }
    void selectRows(const char* name, std::initializer_list<int> rows) const {
        QListWidget* l = list(name);
        for (int row : rows) {
            const QRect rect = l->visualItemRect(l->item(row));
            QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rect.center());
        }
    }

private Q_SLOTS:
    void initTestCase() { history = tw::testing::loadBundledHistory(); }
    void init() {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
        model = {};
        boxes.start();
    }
    void cleanup() {
        panel.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    // Editing controls for the round after the last draw, a read-only view for a
    // drawn round; the Mini frame only for NUMBERS 3; the point table's columns.
    void controlsPerRound_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("offset"); // round = draw count + offset
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("mini");
        QTest::addColumn<int>("pointColumns");
        QTest::addColumn<QString>("maxCount");
        QTest::addColumn<QString>("maxMoney");

        QTest::newRow("N3 future") << 3 << 1 << true << true << 6 << "1,000"
                                   << "¥200,000";
        QTest::newRow("N3 last draw") << 3 << 0 << false << false << 6 << "1,000"
                                      << "¥200,000";
        QTest::newRow("N4 future") << 4 << 1 << true << false << 8 << "10,000"
                                   << "¥2,000,000";
        QTest::newRow("N4 last draw") << 4 << 0 << false << false << 8 << "10,000"
                                      << "¥2,000,000";
    }
    void controlsPerRound() {
        QFETCH(int, game);
        QFETCH(int, offset);
        QFETCH(bool, editing);
        QFETCH(bool, mini);
        QFETCH(int, pointColumns);
        QFETCH(QString, maxCount);
        QFETCH(QString, maxMoney);

        const int round = count(game) + offset;
        ChangePanel& p = open(game, round);
        QCOMPARE(p.isFutureRound(), editing);
        for (const char* name : kEditingControls)
            QVERIFY2(child<QWidget>(name)->isVisible() == editing, name);
        for (const char* name : kAlwaysShown)
            QVERIFY2(child<QWidget>(name)->isVisible(), name);
        QCOMPARE(child<QFrame>("subFramNum3")->isVisible(), mini);
        QCOMPARE(child<QFrame>("subFramNum3")->isEnabled(), game == 3);
        QCOMPARE(text("lblChgRound"), QString::number(round));
        QCOMPARE(text("lblChgMaxSelect"), maxCount);
        QCOMPARE(text("lblChgAllMoney"), maxMoney);
        QCOMPARE(text("lblChgUserSelect"), QStringLiteral("0"));
        QCOMPARE(text("lblChgUserSelectMoney"), QStringLiteral("¥0"));
        QCOMPARE(child<QTableWidget>("gridChgPointData")->columnCount(), pointColumns);
    }

    // The key (the round's average group value) marks the row equal to it red on
    // yellow, or the two rows around it blue on yellow; no other row is coloured.
    void allGroupKeyMarking_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("exact"); // the key equals a row's value in the bundled history

        QTest::newRow("N3 last draw: equal") << 3 << 0 << true;
        QTest::newRow("N3 future: between") << 3 << 1 << false;
        QTest::newRow("N4 future: between") << 4 << 1 << false;
        QTest::newRow("N4 round 2545: between") << 4 << 2545 - count(4) << false;
    }
    void allGroupKeyMarking() {
        QFETCH(int, game);
        QFETCH(int, offset);
        QFETCH(bool, exact);

        const int round = count(game) + offset;
        open(game, round);
        auto* grid = child<QTableWidget>("gridChgAllGroup");
        QCOMPARE(grid->rowCount(), int(engine.proposal().AllGrpValueCount));
        QVERIFY(grid->rowCount() > 10);

        const int64_t key =
            tw::common::roundHalfEven(engine.FollowRows()[static_cast<std::size_t>(round)].dblAvgGrpValue * 1000);
        std::vector<int64_t> values;
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QString cell = grid->item(r, 0)->text();
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{1,3}\\.\\d{3}$")).match(cell).hasMatch(),
                     qPrintable(cell));
            values.push_back(tw::common::roundHalfEven(cell.toDouble() * 1000));
            if (r > 0)
                QVERIFY(values[r] > values[r - 1]);
        }
        std::size_t first = 0;
        while (first < values.size() && values[first] < key)
            ++first;
        QVERIFY2(first > 0 && first < values.size(), "key inside the table");
        QCOMPARE(values[first] == key, exact);

        for (int r = 0; r < grid->rowCount(); ++r) {
            const QTableWidgetItem* item = grid->item(r, 0);
            const bool yellow = item->background().style() != Qt::NoBrush && item->background().color() == kYellow;
            const bool marked = exact ? r == int(first) : (r == int(first) || r == int(first) - 1);
            QVERIFY2(yellow == marked, qPrintable(QStringLiteral("row %1").arg(r)));
            if (marked)
                QCOMPARE(item->foreground().color(), exact ? kRed : kBlue);
        }
    }

    // Headings, the follower ranking of the round, bold centred digit cells at
    // 1.2 times the grid's font size, plain point cells.
    void pointTable_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<QStringList>("headings");
        QTest::newRow("N3") << 3 << QStringList{"Nxx", "Pt.", "xNx", "Pt.", "xxN", "Pt."};
        QTest::newRow("N4") << 4 << QStringList{"Nxxx", "Pt.", "xNxx", "Pt.", "xxNx", "Pt.", "xxxN", "Pt."};
    }
    void pointTable() {
        QFETCH(int, game);
        QFETCH(QStringList, headings);

        const int round = count(game) + 1;
        open(game, round);
        auto* grid = child<QTableWidget>("gridChgPointData");
        QCOMPARE(grid->rowCount(), 11);
        for (int c = 0; c < headings.size(); ++c) {
            QCOMPARE(grid->item(0, c)->text(), headings[c]);
            QCOMPARE(grid->item(0, c)->textAlignment(), int(Qt::AlignCenter));
        }
        const tw::engine::Ranking& ranking = engine.FollowRows()[static_cast<std::size_t>(round)].ranking;
        const qreal baseSize = grid->font().pointSizeF();
        for (int p = 1; p <= headings.size() / 2; ++p) {
            QList<int> digits;
            for (int n = 1; n <= 10; ++n) {
                const QTableWidgetItem* digit = grid->item(n, 2 * (p - 1));
                const QTableWidgetItem* point = grid->item(n, 2 * (p - 1) + 1);
                QCOMPARE(digit->text(), QString::number(ranking.at(n - 1, p).intDigit));
                QCOMPARE(point->text(), QString::number(ranking.at(n - 1, p).intPoint));
                QVERIFY(digit->font().bold());
                QCOMPARE(digit->font().pointSizeF(), baseSize * 1.2);
                QCOMPARE(digit->textAlignment(), int(Qt::AlignCenter));
                QVERIFY(!point->font().bold());
                digits << digit->text().toInt();
                if (n > 1) // points fall down the ranking
                    QVERIFY(point->text().toInt() <= grid->item(n - 1, 2 * (p - 1) + 1)->text().toInt());
            }
            std::sort(digits.begin(), digits.end());
            QCOMPARE(digits, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        }
    }

    // A stored selection of 12 numbers and 3 Mini bets for the coming round shows
    // 15 and \3,000; for a drawn round nothing is loaded even when the file holds it.
    void storedSelection_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("userCount");
        QTest::addColumn<QString>("userMoney");
        QTest::addColumn<int>("numbers");
        QTest::addColumn<int>("minis");
        QTest::newRow("future round") << 1 << "15"
                                      << "¥3,000" << 12 << 3;
        QTest::newRow("drawn round") << 0 << "0"
                                     << "¥0" << 0 << 0;
    }
    void storedSelection() {
        QFETCH(int, offset);
        QFETCH(QString, userCount);
        QFETCH(QString, userMoney);
        QFETCH(int, numbers);
        QFETCH(int, minis);

        const int round = count(3) + offset;
        const std::vector<std::string> entries = {"A00@123", "A00@456", "A00@789", "B00@012", "B00@345",
                                                  "B00@678", "B00@901", "003@234", "003@567", "010@890",
                                                  "010@135", "000@246", "MIN@*23", "MIN@*56", "MIN@*07"};
        QVERIFY(tw::selection::WriteUserSelectFile(work->path().toStdString(), tw::common::Game::Numbers3,
                                                   static_cast<int16_t>(round), entries));

        open(3, round);
        QCOMPARE(text("lblChgUserSelect"), userCount);
        QCOMPARE(text("lblChgUserSelectMoney"), userMoney);
        QCOMPARE(list("lstChgSelect")->count(), numbers);
        QCOMPARE(list("lstChgMini")->count(), minis);
        if (numbers == 0)
            return;
        auto* grid = child<QTableWidget>("gridChgAllGroup");
        QCOMPARE(list("lstChgSelect")->item(0)->text(), QStringLiteral("123(予測Grp1)"));
        QCOMPARE(list("lstChgSelect")->item(3)->text(), QStringLiteral("012(予測Grp2)"));
        QCOMPARE(list("lstChgSelect")->item(7)->text(), QStringLiteral("234(%1)").arg(grid->item(3, 0)->text()));
        QCOMPARE(list("lstChgSelect")->item(9)->text(), QStringLiteral("890(%1)").arg(grid->item(10, 0)->text()));
        QCOMPARE(list("lstChgSelect")->item(3)->data(Qt::UserRole).toInt(), 12);
        QCOMPARE(listTexts(list("lstChgMini")), (QStringList{"23", "56", "07"}));
        QCOMPARE(list("lstChgMini")->item(2)->data(Qt::UserRole).toInt(), 7);
    }

    // The editing road of a NUMBERS 3 round: group 2 through the dialog, a value
    // group from the grid, Mini bets, removals, and the stored file.
    void editingButtonsStoreTheSelection() {
        const int round = count(3) + 1;
        ChangePanel& p = open(3, round);
        const tw::engine::Proposal& proposal = engine.proposal();

        answerGroupDialog(1);
        click("cmdChgFromYosoKu");
        QStringList group2;
        for (int i = 0; i < proposal.grp2.count; ++i)
            group2 << padded(proposal.grp2[i], false);
        QCOMPARE(listTexts(list("lstChgGrpNums")), group2);

        answerGroupDialog(-1); // cancelled: the candidates stay
        click("cmdChgFromYosoKu");
        QCOMPARE(listTexts(list("lstChgGrpNums")), group2);

        selectRows("lstChgGrpNums", {0, 2});
        click("cmdChgSelect");
        QCOMPARE(listTexts(list("lstChgSelect")), (QStringList{group2[0] + "(予測Grp2)", group2[2] + "(予測Grp2)"}));
        QCOMPARE(text("lblChgUserSelect"), QStringLiteral("2"));
        QCOMPARE(text("lblChgUserSelectMoney"), QStringLiteral("¥400"));

        // A value group of the all-group grid, all of it.
        auto* grid = child<QTableWidget>("gridChgAllGroup");
        const QString rowText = grid->item(5, 0)->text();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(5, 0)).center());
        const int valueGroup = list("lstChgGrpNums")->count();
        QVERIFY(valueGroup > 0);
        click("cmdChgAll");
        QCOMPARE(list("lstChgGrpNums")->selectedItems().size(), valueGroup);
        click("cmdChgSelect");
        const int selected = list("lstChgSelect")->count();
        QVERIFY(selected >= valueGroup); // a number already held keeps its first tag
        QVERIFY(list("lstChgSelect")->item(selected - 1)->text().endsWith("(" + rowText + ")"));
        QCOMPARE(text("lblChgUserSelect"), QString::number(selected));

        click("cmdChgMiniAll");
        const int minis = list("lstChgMini")->count();
        QVERIFY(minis > 0 && minis <= selected);
        QCOMPARE(text("lblChgUserSelect"), QString::number(selected + minis));
        QCOMPARE(text("lblChgUserSelectMoney"), "¥" + QLocale(QLocale::English).toString(200 * (selected + minis)));

        // Removing the first two numbers keeps the Mini bets made from them.
        selectRows("lstChgSelect", {0, 1});
        click("cmdChgCancel");
        QCOMPARE(list("lstChgSelect")->count(), selected - 2);
        QCOMPARE(list("lstChgMini")->count(), minis);
        selectRows("lstChgMini", {0});
        click("cmdChgMiniCancel");
        QCOMPARE(list("lstChgMini")->count(), minis - 1);
        QCOMPARE(text("lblChgUserSelect"), QString::number(selected - 2 + minis - 1));

        click("cmdChgEnd");
        const auto stored = tw::selection::ReadUserSelectFile(work->path().toStdString(), tw::common::Game::Numbers3,
                                                              static_cast<int16_t>(round));
        QVERIFY(stored.ok);
        QCOMPARE(int(stored.entries.size()), selected - 2 + minis - 1);
        const QString rowCode = QStringLiteral("005@");
        QVERIFY(QString::fromStdString(stored.entries.front()).startsWith(rowCode));
        QCOMPARE(QString::fromStdString(stored.entries.back()).left(5), QStringLiteral("MIN@*"));
        QCOMPARE(p.round(), int16_t(round));

        // Everything removed, then confirmed: the file holds the round and nothing else.
        click("cmdChgAllSelectCancel");
        click("cmdChgMiniAllCanCel");
        QCOMPARE(text("lblChgUserSelect"), QStringLiteral("0"));
        click("cmdChgEnd");
        const auto emptied = tw::selection::ReadUserSelectFile(work->path().toStdString(), tw::common::Game::Numbers3,
                                                               static_cast<int16_t>(round));
        QVERIFY(emptied.ok);
        QVERIFY(emptied.entries.empty());
    }

    // A confirm that cannot be stored says so, naming the file, and the file
    // keeps the selection confirmed before; before, the failure was silent and
    // the user believed the new selection kept.
    void failedConfirmSaysSoAndKeepsTheStoredSelection_data() {
        QTest::addColumn<bool>("folderGone");
        QTest::addColumn<QString>("reason");
        QTest::newRow("interrupted before the rename") << false << QString();
        QTest::newRow("working folder gone") << true << QStringLiteral("保存先のフォルダが見つかりません");
    }
    void failedConfirmSaysSoAndKeepsTheStoredSelection() {
        QFETCH(bool, folderGone);
        QFETCH(QString, reason);
        const int round = count(3) + 1;
        open(3, round);
        answerGroupDialog(1);
        click("cmdChgFromYosoKu");
        click("cmdChgAll");
        click("cmdChgSelect");
        QSignalSpy stored(panel.get(), &ChangePanel::selectionStored);
        click("cmdChgEnd");
        const std::string dir = work->path().toStdString();
        const QString name = QStringLiteral("NUMBERS３ユーザー選出.dat");
        QCOMPARE(stored.count(), 1); // the stored selection is announced with its file
        QCOMPARE(stored.takeFirst().at(0).toString(), name);
        const QByteArray before = tw::testing::readFile(work->filePath(name));
        QVERIFY(!before.isEmpty());

        click("cmdChgAllSelectCancel");
        if (folderGone) {
            QVERIFY(QFile::rename(work->path(), work->path() + "-moved"));
        } else {
            tw::selection::setUserSelectReplaceHookForTests([] { return false; });
        }
        boxes.expect(tw::ui::Answer::Ok);
        click("cmdChgEnd");
        tw::selection::setUserSelectReplaceHookForTests(nullptr);
        if (folderGone)
            QVERIFY(QFile::rename(work->path() + "-moved", work->path()));

        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【保存エラー】")});
        QCOMPARE(stored.count(), 0); // a failure is never announced as stored
        const QString text = boxes.shown().front();
        QVERIFY2(text.startsWith(QStringLiteral("選出Noを保存できませんでした。\rファイル「") + name +
                                 QStringLiteral("」は前の内容のままです。")),
                 qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        QCOMPARE(tw::testing::readFile(work->filePath(name)), before);
        QCOMPARE(QDir(work->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{name});
        QVERIFY(tw::selection::ReadUserSelectFile(dir, tw::common::Game::Numbers3, static_cast<int16_t>(round)).ok);
    }

    // Opening the panel again after a confirm restores the confirmed selection;
    // an edit that was not confirmed is lost.
    void reopeningRestoresTheConfirmedSelection() {
        const int round = count(4) + 1;
        ChangePanel& p = open(4, round);
        answerGroupDialog(2);
        click("cmdChgFromYosoKu");
        QCOMPARE(list("lstChgGrpNums")->count(), int(engine.proposal().grp3.count));
        click("cmdChgAll");
        click("cmdChgSelect");
        const QStringList confirmed = listTexts(list("lstChgSelect"));
        QVERIFY(confirmed.first().endsWith("(予測Grp3)"));
        QCOMPARE(confirmed.first().indexOf('('), 4);
        click("cmdChgEnd");
        selectRows("lstChgSelect", {0});
        click("cmdChgCancel");
        QCOMPARE(list("lstChgSelect")->count(), confirmed.size() - 1);

        p.ChgPanelSetUp(tw::common::Game::Numbers4, static_cast<int16_t>(round));
        QCOMPARE(listTexts(list("lstChgSelect")), confirmed);
        QCOMPARE(text("lblChgUserSelect"), QString::number(confirmed.size()));
        QVERIFY(list("lstChgGrpNums")->count() == 0);
    }

    // count x 200 yen in the label, or the overflow message and an empty label.
    void amountLabel_data() {
        QTest::addColumn<qlonglong>("count");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("none") << 0LL << "¥0" << false;
        QTest::newRow("15 bets") << 15LL << "¥3,000" << false;
        QTest::newRow("largest amount") << 10737418LL << "¥2,147,483,600" << false;
        QTest::newRow("one bet more") << 10737419LL << "" << true;
    }
    void amountLabel() {
        QFETCH(qlonglong, count);
        QFETCH(QString, shown);
        QFETCH(bool, overflow);
        if (overflow)
            boxes.expect(tw::ui::Answer::Ok);
        QLabel label(QStringLiteral("old"));
        QCOMPARE(tw::selection::showAmount(nullptr, &label, count), !overflow);
        QCOMPARE(label.text(), shown);
        QCOMPARE(boxes.shown().size(), overflow ? 1 : 0);
    }
};

QTEST_MAIN(TestChangePanel)
#include "test_change_panel.moc"
