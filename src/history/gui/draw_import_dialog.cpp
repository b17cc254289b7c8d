#include "history/gui/draw_import_dialog.h"

#include "ui/message_box.h"

#include <QBrush>
#include <QCheckBox>
#include <QColor>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tw::history {

namespace {

using common::Game;

const QString kTitle = QStringLiteral("データ取込");

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString outcomeText(ImportOutcome outcome) {
    switch (outcome) {
    case ImportOutcome::Added:
        return QStringLiteral("新規");
    case ImportOutcome::AddedWithoutPrizes:
        return QStringLiteral("新規（金額なし）");
    case ImportOutcome::Unchanged:
        return QStringLiteral("変更なし");
    case ImportOutcome::Corrected:
        return QStringLiteral("訂正");
    case ImportOutcome::CorrectionSkipped:
        return QStringLiteral("訂正しない");
    case ImportOutcome::Refused:
        break;
    }
    return QStringLiteral("取込不可");
}

// Refused rows stand out most, then corrections, then rows with warnings.
std::optional<QColor> rowColour(const PlannedRow& row) {
    switch (row.outcome) {
    case ImportOutcome::Refused:
        return QColor(255, 214, 214);
    case ImportOutcome::Corrected:
    case ImportOutcome::CorrectionSkipped:
        return QColor(214, 232, 255);
    default:
        break;
    }
    if (!row.warnings.empty())
        return QColor(255, 246, 200);
    return std::nullopt;
}

QString detailText(const PlannedRow& row, Game game) {
    QStringList parts;
    switch (row.outcome) {
    case ImportOutcome::Refused:
        if (row.refusal)
            parts << qs(refusalText(*row.refusal, game));
        break;
    case ImportOutcome::Corrected:
    case ImportOutcome::CorrectionSkipped:
        for (const FieldChange& c : changedFields(row, game))
            parts << qs(fieldName(c.field)) + QLatin1Char(' ') + qs(c.before) + QStringLiteral(" → ") + qs(c.after);
        break;
    case ImportOutcome::Added:
    case ImportOutcome::AddedWithoutPrizes:
    case ImportOutcome::Unchanged: {
        parts << qs(fieldText(row.incoming, DrawField::Date, game)) + QLatin1Char(' ') +
                     qs(fieldText(row.incoming, DrawField::Number, game));
        for (int k = 0; k < prizeCount(game); ++k) {
            const DrawField f = kPrizeFields[static_cast<std::size_t>(k)];
            parts << qs(fieldName(f)) + QLatin1Char(' ') + qs(fieldText(row.incoming, f, game));
        }
        break;
    }
    }
    QString text = parts.join(QStringLiteral("、"));
    QStringList warnings;
    for (const ImportWarning& w : row.warnings)
        warnings << qs(warningText(w, row.incoming, game));
    if (!warnings.isEmpty())
        text += QStringLiteral("　警告: ") + warnings.join(QStringLiteral("／"));
    return text;
}

QString formatText(const ImportPlan& plan) {
    QString format;
    switch (plan.format) {
    case ImportFormat::Json:
        format = QStringLiteral("JSON");
        break;
    case ImportFormat::Table:
        format = QStringLiteral("データファイル");
        break;
    case ImportFormat::Auto:
    case ImportFormat::Csv:
        format = QStringLiteral("CSV");
        break;
    }
    const QString encoding = plan.encoding == TextEncoding::Cp932     ? QStringLiteral("Shift_JIS")
                             : plan.encoding == TextEncoding::Utf8Bom ? QStringLiteral("UTF-8 BOM付き")
                                                                      : QStringLiteral("UTF-8");
    return format + QStringLiteral("（") + encoding + QStringLiteral("）");
}

} // namespace

DrawImportDialog::DrawImportDialog(DrawHistory& history, TablePath tablePath, Game game, QWidget* parent)
    : QDialog(parent), m_history(history), m_tablePath(std::move(tablePath)) {
    setObjectName(QStringLiteral("DlgImportData"));
    setWindowTitle(kTitle);
    buildControls();
    optImportGame[game == Game::Numbers4 ? 1 : 0]->setChecked(true);
    clearPlan(QStringLiteral("取り込むファイルを選んでください。"));
}

void DrawImportDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("ファイル"), this));
    txtImportFile = new QLineEdit(this);
    txtImportFile->setObjectName(QStringLiteral("txtImportFile"));
    txtImportFile->setPlaceholderText(QStringLiteral("CSV・JSON・データファイル（.tbl）"));
    fileRow->addWidget(txtImportFile, 1);
    cmdImportBrowse = new QPushButton(QStringLiteral("参照..."), this);
    cmdImportBrowse->setObjectName(QStringLiteral("cmdImportBrowse"));
    fileRow->addWidget(cmdImportBrowse);
    cmdImportRead = new QPushButton(QStringLiteral("読込み"), this);
    cmdImportRead->setObjectName(QStringLiteral("cmdImportRead"));
    fileRow->addWidget(cmdImportRead);
    layout->addLayout(fileRow);

    auto* optionRow = new QHBoxLayout;
    auto* games = new QGroupBox(QStringLiteral("ゲーム"), this);
    auto* gameLayout = new QHBoxLayout(games);
    const std::array<QString, 2> captions = {QStringLiteral("NUMBERS3"), QStringLiteral("NUMBERS4")};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(captions[static_cast<std::size_t>(i)], games);
        option->setObjectName(QStringLiteral("optImportGame_%1").arg(i));
        gameLayout->addWidget(option);
        optImportGame[static_cast<std::size_t>(i)] = option;
    }
    optionRow->addWidget(games);
    auto* choices = new QGroupBox(QStringLiteral("取り込み方"), this);
    auto* choiceLayout = new QVBoxLayout(choices);
    chkAcceptCorrections = new QCheckBox(QStringLiteral("登録済みの回と違う値を訂正として取り込む"), choices);
    chkAcceptCorrections->setObjectName(QStringLiteral("chkAcceptCorrections"));
    chkAllowMissingPrizes = new QCheckBox(QStringLiteral("金額のない回も取り込む（金額は 0 円）"), choices);
    chkAllowMissingPrizes->setObjectName(QStringLiteral("chkAllowMissingPrizes"));
    choiceLayout->addWidget(chkAcceptCorrections);
    choiceLayout->addWidget(chkAllowMissingPrizes);
    optionRow->addWidget(choices, 1);
    layout->addLayout(optionRow);

    lblImportSummary = new QLabel(this);
    lblImportSummary->setObjectName(QStringLiteral("lblImportSummary"));
    lblImportSummary->setWordWrap(true);
    lblImportSummary->setTextFormat(Qt::PlainText);
    layout->addWidget(lblImportSummary);

    grdImportPreview = new QTableWidget(0, ColumnCount, this);
    grdImportPreview->setObjectName(QStringLiteral("grdImportPreview"));
    grdImportPreview->setHorizontalHeaderLabels(
        {QStringLiteral("行"), QStringLiteral("回号"), QStringLiteral("区分"), QStringLiteral("内容")});
    grdImportPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdImportPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdImportPreview->verticalHeader()->setVisible(false);
    grdImportPreview->horizontalHeader()->setStretchLastSection(true);
    grdImportPreview->setColumnWidth(ColLine, 60);
    grdImportPreview->setColumnWidth(ColRound, 80);
    grdImportPreview->setColumnWidth(ColOutcome, 120);
    layout->addWidget(grdImportPreview, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdImportRun = new QPushButton(QStringLiteral("取込み実行"), this);
    cmdImportRun->setObjectName(QStringLiteral("cmdImportRun"));
    cmdImportClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdImportClose->setObjectName(QStringLiteral("cmdImportClose"));
    buttons->addWidget(cmdImportRun);
    buttons->addWidget(cmdImportClose);
    layout->addLayout(buttons);
    // Enter in the file name reads the file; it must never run the import.
    for (QPushButton* b : {cmdImportBrowse, cmdImportRead, cmdImportRun, cmdImportClose}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    resize(960, 620);

    connect(cmdImportBrowse, &QPushButton::clicked, this, &DrawImportDialog::cmdImportBrowse_Click);
    connect(cmdImportRead, &QPushButton::clicked, this, &DrawImportDialog::readFile);
    connect(txtImportFile, &QLineEdit::returnPressed, this, &DrawImportDialog::readFile);
    connect(cmdImportRun, &QPushButton::clicked, this, &DrawImportDialog::cmdImportRun_Click);
    connect(cmdImportClose, &QPushButton::clicked, this, &DrawImportDialog::reject);
    // A plan depends on the game and the two choices: it is made again when they change.
    const auto replan = [this] {
        if (m_plan)
            readFile();
    };
    for (QRadioButton* option : optImportGame)
        connect(option, &QRadioButton::toggled, this, [replan](bool on) {
            if (on)
                replan();
        });
    connect(chkAcceptCorrections, &QCheckBox::toggled, this, replan);
    connect(chkAllowMissingPrizes, &QCheckBox::toggled, this, replan);
}

Game DrawImportDialog::game() const {
    return optImportGame[1]->isChecked() ? Game::Numbers4 : Game::Numbers3;
}

void DrawImportDialog::setImportFile(const QString& path) {
    txtImportFile->setText(path);
    readFile();
}

void DrawImportDialog::cmdImportBrowse_Click() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("取り込むファイル"), m_startFolder,
        QStringLiteral("抽選結果ファイル (*.csv *.json *.tbl *.txt);;すべてのファイル (*)"));
    if (!path.isEmpty())
        setImportFile(path);
}

void DrawImportDialog::clearPlan(const QString& summary) {
    m_plan.reset();
    grdImportPreview->setRowCount(0);
    lblImportSummary->setText(summary);
    cmdImportRun->setEnabled(false);
}

void DrawImportDialog::readFile() {
    const QString path = txtImportFile->text().trimmed();
    if (path.isEmpty()) {
        clearPlan(QStringLiteral("取り込むファイルを選んでください。"));
        return;
    }
    const Game g = game();
    const Game other = g == Game::Numbers3 ? Game::Numbers4 : Game::Numbers3;
    const DrawTable& otherTable = m_history.table(other);
    ImportOptions options;
    options.acceptCorrections = chkAcceptCorrections->isChecked();
    options.allowMissingPrizes = chkAllowMissingPrizes->isChecked();
    ImportPlan plan = planImportFile(path.toStdString(), g, m_history.table(g),
                                     otherTable.count > 0 ? &otherTable : nullptr, options);
    if (plan.error) {
        clearPlan(qs(plan.error.message()));
        return;
    }
    m_plan = std::move(plan);
    showPlan();
}

void DrawImportDialog::showPlan() {
    const ImportPlan& plan = *m_plan;
    QString summary = formatText(plan) + QStringLiteral("　") + qs(common::gameName(plan.game)) +
                      QStringLiteral(" 登録済み %1 回 → 取込み後 %2 回").arg(plan.countBefore).arg(plan.countAfter);
    if (!plan.ignoredColumns.empty()) {
        QStringList names;
        for (const std::string& c : plan.ignoredColumns)
            names << qs(c);
        summary += QStringLiteral("\n使わない列: ") + names.join(QStringLiteral("、"));
    }
    summary += QLatin1Char('\n') + qs(planSummary(plan));
    if (!plan.changesTable())
        summary += QStringLiteral("\n取り込む回はありません。");
    lblImportSummary->setText(summary);

    grdImportPreview->setUpdatesEnabled(false);
    grdImportPreview->setRowCount(0);
    int shown = 0;
    for (const PlannedRow& row : plan.rows)
        if (row.outcome != ImportOutcome::Unchanged || !row.warnings.empty())
            ++shown;
    grdImportPreview->setRowCount(shown);
    int r = 0;
    for (const PlannedRow& row : plan.rows) {
        if (row.outcome == ImportOutcome::Unchanged && row.warnings.empty())
            continue;
        const QString cells[ColumnCount] = {QString::number(row.line),
                                            row.round > 0 ? QString::number(row.round) : QString(),
                                            outcomeText(row.outcome), detailText(row, plan.game)};
        const std::optional<QColor> colour = rowColour(row);
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != ColDetail)
                item->setTextAlignment(Qt::AlignCenter);
            if (colour)
                item->setBackground(QBrush(*colour));
            grdImportPreview->setItem(r, c, item);
        }
        ++r;
    }
    grdImportPreview->setUpdatesEnabled(true);
    cmdImportRun->setEnabled(plan.changesTable());
}

void DrawImportDialog::cmdImportRun_Click() {
    if (!m_plan || !m_plan->changesTable())
        return;
    const Game g = m_plan->game;
    DrawTable& table = m_history.table(g);
    const ApplyResult result = applyImport(table, *m_plan, m_tablePath(g));
    if (result.stale) {
        ui::showMessage(this, qs(result.message()), ui::Buttons::Ok, kTitle);
        readFile();
        return;
    }
    // The table holds the confirmed rounds whether or not the file could be written.
    m_imported = true;
    m_importedGame = g;
    if (!result.ok())
        ui::showMessage(this, qs(result.message()) + QStringLiteral("\r取り込んだ回は終了のときにもう一度保存します。"),
                        ui::Buttons::Ok, QStringLiteral("【保存エラー】"));
    else
        ui::showMessage(this, QStringLiteral("取り込みました。\r") + qs(planSummary(*m_plan)), ui::Buttons::Ok, kTitle);
    accept();
}

} // namespace tw::history
