// The draw import dialog, driven through its controls: the preview of a file
// (summary counts and one line per new, corrected, refused or warned row), the
// plan following the game and the check boxes, 取込み実行 writing the table file
// and the table in memory, and 閉じる writing nothing.
#include "history/draw_export.h"
#include "history/gui/draw_import_dialog.h"
#include "history/table_file.h"
#include "support/file_bytes.h"
#include "support/strict_message_hook.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

using tw::common::Game;
using tw::history::DrawHistory;
using tw::history::DrawImportDialog;

namespace {

using tw::testing::readBytes;
using tw::testing::writeBytes;

std::string bundled(Game game) {
    return std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game);
}

std::string firstLines(const std::string& text, int rounds) {
    std::size_t end = 0;
    for (int i = 0; i < rounds; ++i)
        end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

} // namespace

class TestDrawImportDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> work;
    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;
    DrawHistory history;
    std::unique_ptr<DrawImportDialog> dlg;

    std::string path(const char* name) const { return work->filePath(QString::fromLatin1(name)).toStdString(); }
    // Both table files in the folder, NUMBERS3 cut after `rounds3`, loaded as the program loads them.
    void setUpHistory(int rounds3) {
        writeBytes(path("Num3Data.tbl"), firstLines(readBytes(bundled(Game::Numbers3)), rounds3));
        writeBytes(path("Num4Data.tbl"), readBytes(bundled(Game::Numbers4)));
        for (const Game game : tw::common::kGames) {
            auto loaded = tw::history::loadTableFile(path(tw::common::tableFileName(game)), game);
            QVERIFY(!loaded.error);
            history.table(game) = std::move(loaded.table);
        }
    }
    void open(Game game) {
        dlg = std::make_unique<DrawImportDialog>(
            history, [this](Game g) { return path(tw::common::tableFileName(g)); }, game);
        dlg->show();
    }
    template <typename T> T* child(const char* name) const { return tw::testing::child<T>(dlg.get(), name); }
    QTableWidget* preview() const { return child<QTableWidget>("grdImportPreview"); }
    QString summary() const { return child<QLabel>("lblImportSummary")->text(); }
    QString cell(int row, int column) const {
        const QTableWidgetItem* item = preview()->item(row, column);
        return item ? item->text() : QString();
    }
    // The file name typed and read with the read button.
    void readFile(const std::string& file) {
        child<QLineEdit>("txtImportFile")->setText(QString::fromStdString(file));
        QTest::mouseClick(child<QPushButton>("cmdImportRead"), Qt::LeftButton);
    }
    std::string exportAll() {
        const std::string file = path("num3_all.csv");
        writeBytes(file, tw::history::exportDraws(tw::history::loadTableFile(bundled(Game::Numbers3)).table,
                                                  Game::Numbers3, tw::history::ExportFormat::Csv));
        return file;
    }

private Q_SLOTS:
    void init() {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
        history = {};
        boxes.start();
    }
    void cleanup() {
        dlg.reset();
        work.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void opensWithTheCallersGameAndNothingToRun() {
        setUpHistory(10);
        open(Game::Numbers4);
        QVERIFY(child<QRadioButton>("optImportGame_1")->isChecked());
        QVERIFY(!child<QCheckBox>("chkAcceptCorrections")->isChecked());
        QVERIFY(!child<QCheckBox>("chkAllowMissingPrizes")->isChecked());
        QVERIFY(!child<QPushButton>("cmdImportRun")->isEnabled());
        QCOMPARE(child<QPushButton>("cmdImportRun")->text(), QStringLiteral("取込み実行"));
        QCOMPARE(preview()->rowCount(), 0);
    }

    // The history cut at 6900 and an export of all rounds: 154 new rows in the
    // preview; running writes the bundled file back and the table follows.
    void runWritesTheFileAndTheTable() {
        setUpHistory(6900);
        const std::string file = exportAll();
        open(Game::Numbers3);
        readFile(file);
        QVERIFY2(summary().contains(QStringLiteral("新規 154 回、訂正 0 回、変更なし 6900 回、取り込めない行 0 行")),
                 qPrintable(summary()));
        QVERIFY(summary().contains(QStringLiteral("登録済み 6900 回 → 取込み後 7054 回")));
        QCOMPARE(preview()->rowCount(), 154);
        QCOMPARE(cell(0, DrawImportDialog::ColRound), QStringLiteral("6901"));
        QCOMPARE(cell(153, DrawImportDialog::ColRound), QStringLiteral("7054"));
        QCOMPARE(cell(0, DrawImportDialog::ColOutcome), QStringLiteral("新規"));
        QVERIFY(cell(153, DrawImportDialog::ColDetail).startsWith(QStringLiteral("2026/08/21 286")));
        // Nothing is written before the run.
        QCOMPARE(history.num3.count, 6900);
        QCOMPARE(readBytes(path("Num3Data.tbl")), firstLines(readBytes(bundled(Game::Numbers3)), 6900));

        QVERIFY(child<QPushButton>("cmdImportRun")->isEnabled());
        boxes.expect(tw::ui::Answer::Ok);
        QTest::mouseClick(child<QPushButton>("cmdImportRun"), Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QVERIFY(dlg->imported());
        QCOMPARE(dlg->importedGame(), Game::Numbers3);
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("データ取込")});
        QVERIFY(readBytes(path("Num3Data.tbl")) == readBytes(bundled(Game::Numbers3)));
        QCOMPARE(history.num3.count, 7054);
        QCOMPARE(history.num3.record(7054).lngRound, 7054);
        QVERIFY(!history.num3.record(7054).blnUnsaved);
        QCOMPARE(history.num4.count, 7054);
    }

    void closeWritesNothing() {
        setUpHistory(6900);
        const std::string file = exportAll();
        open(Game::Numbers3);
        readFile(file);
        QCOMPARE(preview()->rowCount(), 154);
        QTest::mouseClick(child<QPushButton>("cmdImportClose"), Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(!dlg->imported());
        QCOMPARE(history.num3.count, 6900);
        QCOMPARE(readBytes(path("Num3Data.tbl")), firstLines(readBytes(bundled(Game::Numbers3)), 6900));
        QVERIFY(boxes.shown().isEmpty());
    }

    // A hand-made file over a five-round history: a correction, a new round on a
    // Sunday and a round beyond a gap. The preview follows the check box and the
    // game switch; running applies the accepted correction and the new round only.
    void previewFollowsTheChoices() {
        setUpHistory(5);
        const std::string file = path("feed.csv");
        writeBytes(file, "回号,抽選日,当選番号,ストレート,ボックス,セット（ストレート）,セット（ボックス）,ミニ\r\n"
                         "第3回,1994/10/21,194,\"71,800円\",11900,41800,5900,7100\r\n"
                         "第6回,1994/11/13,792,102600,17100,59800,8500,10200\r\n"
                         "第8回,1994/11/25,234,58200,9700,33900,4800,5800\r\n");
        open(Game::Numbers3);
        readFile(file);
        QVERIFY2(summary().contains(QStringLiteral("新規 1 回、訂正 0 回、訂正しない 1 回、変更なし 0 回、"
                                                   "取り込めない行 1 行、警告のある回 1 回")),
                 qPrintable(summary()));
        QCOMPARE(preview()->rowCount(), 3);
        const struct {
            QString round, outcome, detail;
        } before[] = {
            {QStringLiteral("3"), QStringLiteral("訂正しない"), QStringLiteral("71,700 → 71,800")},
            {QStringLiteral("6"), QStringLiteral("新規"), QStringLiteral("日曜日")},
            {QStringLiteral("8"), QStringLiteral("取込不可"), QStringLiteral("第7回")},
        };
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(cell(r, DrawImportDialog::ColRound), before[r].round);
            QCOMPARE(cell(r, DrawImportDialog::ColOutcome), before[r].outcome);
            QVERIFY2(cell(r, DrawImportDialog::ColDetail).contains(before[r].detail),
                     qPrintable(cell(r, DrawImportDialog::ColDetail)));
        }

        child<QCheckBox>("chkAcceptCorrections")->click();
        QCOMPARE(cell(0, DrawImportDialog::ColOutcome), QStringLiteral("訂正"));
        QVERIFY(summary().contains(QStringLiteral("訂正 1 回")));

        // Read as NUMBERS4, every 3-digit number is refused and nothing can be run.
        child<QRadioButton>("optImportGame_1")->click();
        QVERIFY(summary().contains(QStringLiteral("新規 0 回、訂正 0 回")));
        QVERIFY(!child<QPushButton>("cmdImportRun")->isEnabled());
        child<QRadioButton>("optImportGame_0")->click();
        QVERIFY(child<QPushButton>("cmdImportRun")->isEnabled());

        boxes.expect(tw::ui::Answer::Ok); // the summary of what was imported
        QTest::mouseClick(child<QPushButton>("cmdImportRun"), Qt::LeftButton);
        QVERIFY(dlg->imported());
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("データ取込")});
        QCOMPARE(history.num3.count, 6);
        QCOMPARE(history.num3.record(3).lngStraight, 71800);
        const std::string table = readBytes(path("Num3Data.tbl"));
        QVERIFY(table.find("3,1994/10/21,194,71800,") != std::string::npos);
        QVERIFY(table.find("6,1994/11/13,792,102600,") != std::string::npos);
        QCOMPARE(std::count(table.begin(), table.end(), '\n'), 6); // round 8 beyond the gap is not written
        QCOMPARE(history.num4.count, 7054);                        // the other game is left alone
    }

    void unreadableFileShowsItsErrorAndCannotRun() {
        setUpHistory(5);
        const std::string file = path("bad.csv");
        writeBytes(file, "date,number\r\n1994/11/11,792\r\n");
        open(Game::Numbers3);
        readFile(file);
        QVERIFY2(summary().contains(QStringLiteral("回号")), qPrintable(summary()));
        QCOMPARE(preview()->rowCount(), 0);
        QVERIFY(!child<QPushButton>("cmdImportRun")->isEnabled());
        readFile(path("missing.csv"));
        QVERIFY(summary().contains(QStringLiteral("missing.csv")));
        QVERIFY(!child<QPushButton>("cmdImportRun")->isEnabled());
    }
};

QTEST_MAIN(TestDrawImportDialog)
#include "test_draw_import_dialog.moc"
