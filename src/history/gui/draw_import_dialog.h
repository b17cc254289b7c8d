// The draw import dialog: the user picks a downloaded results file (CSV, JSON
// or a table file of another copy of the program), the game it holds and
// whether corrections and rounds without prizes are taken; the dialog reads the
// file and shows, before anything is written, what the import would do: a
// summary of the counts and one preview line per new, corrected, refused or
// warned row. 取込み実行 applies the plan to the game's table in the
// DrawHistory it is given and writes the table file through the history
// library's safe write (append, or temporary file + rename); 閉じる leaves
// both alone. Reading and planning are history/draw_merge.h; the dialog only
// shows them. The caller runs exec() and afterwards refills its round list
// when imported() says the table changed.
//
// Controls: txtImportFile, cmdImportBrowse, optImportGame_0 / optImportGame_1,
// chkAcceptCorrections, chkAllowMissingPrizes, cmdImportRead, lblImportSummary,
// grdImportPreview, cmdImportRun, cmdImportClose.
#pragma once

#include "common/lottery.h"
#include "history/draw_merge.h"
#include "history/num_data.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tw::history {

class DrawImportDialog : public QDialog {
    Q_OBJECT
public:
    // The table file of a game, where an import of that game is written.
    using TablePath = std::function<std::string(common::Game game)>;

    DrawImportDialog(DrawHistory& history, TablePath tablePath, common::Game game, QWidget* parent = nullptr);

    // The folder the file chooser opens in.
    void setStartFolder(const QString& folder) { m_startFolder = folder; }
    // Sets the file name as if typed and reads it.
    void setImportFile(const QString& path);

    // After exec(): whether a plan was applied, and to which game's table.
    bool imported() const { return m_imported; }
    common::Game importedGame() const { return m_importedGame; }

    // Preview columns.
    enum Column { ColLine, ColRound, ColOutcome, ColDetail, ColumnCount };

private Q_SLOTS:
    void cmdImportBrowse_Click();
    void cmdImportRun_Click();

private:
    void buildControls();
    common::Game game() const;
    void readFile();
    void showPlan();
    void clearPlan(const QString& summary);

    DrawHistory& m_history;
    TablePath m_tablePath;
    QString m_startFolder;
    std::optional<ImportPlan> m_plan;
    bool m_imported = false;
    common::Game m_importedGame = common::Game::Numbers3;

    QLineEdit* txtImportFile = nullptr;
    QPushButton* cmdImportBrowse = nullptr;
    std::array<QRadioButton*, 2> optImportGame{};
    QCheckBox* chkAcceptCorrections = nullptr;
    QCheckBox* chkAllowMissingPrizes = nullptr;
    QPushButton* cmdImportRead = nullptr;
    QLabel* lblImportSummary = nullptr;
    QTableWidget* grdImportPreview = nullptr;
    QPushButton* cmdImportRun = nullptr;
    QPushButton* cmdImportClose = nullptr;
};

} // namespace tw::history
