#include "app/gui/main_window.h"

#include "app/gui/prediction_result_panel.h"
#include "backtest/gui/backtest_dialog.h"
#include "engine/gui/analysis_tables_viewer.h"
#include "history/gui/draw_entry_dialog.h"
#include "history/gui/draw_import_dialog.h"
#include "history/table_file.h"
#include "ledger/gui/ledger_window.h"
#include "ledger/ledger.h"
#include "printing/gui/current_printer.h"
#include "printing/gui/print_panel.h"
#include "reports/gui/report_progress_dialog.h"
#include "reports/gui/statistics_dialog.h"
#include "selection/gui/change_panel.h"
#include "ui/clock_status_bar.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <limits>

namespace tw::app {

namespace {

// The game of a game code held in the window state, and its option; a code that
// is no game (no run yet) reads as the first game.
common::Game gameOfCode(int code) {
    return common::gameFromCode(code).value_or(common::Game::Numbers3);
}
int optionOfCode(int code) {
    return app::optionOfGame(gameOfCode(code));
}

QString discardQuestion() {
    return QStringLiteral("この機能を使用すると、現在の予測結果が失われます。\rよろしいですか？");
}

// The first round has no earlier round to analyse; nothing is run for it.
QString roundRefusal(int round) {
    if (round == 1)
        return QStringLiteral("第1回の予測はできません。\r予測には前の回までの抽選結果が必要です。");
    return QStringLiteral("予測抽選回が正しくありません。\r第2回以降の抽選回を指定してください。");
}

QPushButton* commandButton(QWidget* parent, const char* name, const QString& text) {
    QPushButton* button = ui::namedButton(parent, QString::fromLatin1(name), text);
    button->setMinimumHeight(34);
    return button;
}

// The leading number of a typed text (sign and digits) when it lies beyond the
// rounds the program can hold, as typed; empty when the number fits.
QString oversizedRound(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    const qsizetype digitsFrom = end;
    long long value = 0;
    for (; end < t.size() && t[end].isDigit() && t[end].unicode() < 128; ++end)
        value = std::min<long long>(value * 10 + (t[end].unicode() - '0'), 100000);
    if (end == digitsFrom || t[0] == QLatin1Char('-') || value <= std::numeric_limits<int16_t>::max())
        return {};
    return t.left(end);
}

QString oversizedRefusal(const QString& typed) {
    return QStringLiteral("第%1回の予測はできません。\r予測できる抽選回は第2回～第%2回です。")
        .arg(typed)
        .arg(std::numeric_limits<int16_t>::max());
}

// The leading number of a typed round: blanks, an optional sign and digits;
// anything else ends the number, no digits give 0, so "12回" reads as round 12.
int16_t leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        negative = t[i++] == QLatin1Char('-');
    long long value = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i)
        value = std::min<long long>(value * 10 + (t[i].unicode() - '0'), 100000);
    value = negative ? -value : value;
    return static_cast<int16_t>(
        std::clamp<long long>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}
} // namespace

MainWindow::MainWindow(history::DrawHistory& history, const AppState& appState, Clock clock, QWidget* parent)
    : QMainWindow(parent), m_history(history), m_appState(appState), m_clock(std::move(clock)),
      m_exit([](int status) { QCoreApplication::exit(status); }) {
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
    setObjectName(QStringLiteral("Tallowind"));
    setWindowTitle(QStringLiteral("Tallowind"));
    printing::setPdfFolder(QString::fromStdString(m_appState.workingFolder().string()));
    buildControls();
    Form_Load();
}

MainWindow::~MainWindow() {
    // Closing the window moves the focus out of the round box, which an editable
    // combo box reports as a pick; by then this object is half destroyed, so
    // the round box must no longer reach its handlers.
    cmbRound->disconnect(this);
    cmbRound->lineEdit()->disconnect(this);
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(buildCommandColumn());

    auto* right = new QVBoxLayout;
    auto* bars = new QHBoxLayout;
    for (int i = 0; i < kProgressBars; ++i) {
        auto* bar = new QProgressBar(central);
        bar->setObjectName(QStringLiteral("prgBar_%1").arg(i));
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setMaximumHeight(12);
        bars->addWidget(bar);
        m_prgBar[static_cast<std::size_t>(i)] = bar;
    }
    right->addLayout(bars);

    // The three panels lie on top of each other in one cell; only one is ever visible.
    m_panelArea = new QWidget(central);
    auto* panels = new QGridLayout(m_panelArea);
    panels->setContentsMargins(0, 0, 0, 0);
    createPanels();
    // The area takes the size the largest panel needs, so no panel is clipped and switching never resizes.
    QSize area(720, 560);
    for (QWidget* panel : std::initializer_list<QWidget*>{framYosou, framHenkou, framPrint}) {
        panels->addWidget(panel, 0, 0);
        area = area.expandedTo(panel->minimumSizeHint());
    }
    m_panelArea->setMinimumSize(area);
    right->addWidget(m_panelArea, 1);
    layout->addLayout(right, 1);
    setCentralWidget(central);

    StatusBar1 = new ui::ClockStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setClock(m_clock);
    setStatusBar(StatusBar1);
    connect(StatusBar1, &ui::ClockStatusBar::panelClicked, this, &MainWindow::StatusBar1_PanelClick);

    mvWindow = new QCalendarWidget(central);
    mvWindow->setObjectName(QStringLiteral("mvWindow"));
    mvWindow->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    mvWindow->setFirstDayOfWeek(Qt::Sunday);
    mvWindow->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    mvWindow->setSelectedDate(m_clock().date());
    mvWindow->setFixedSize(mvWindow->sizeHint());
    mvWindow->hide();

    tmStart.setObjectName(QStringLiteral("tmStart"));
    connect(&tmStart, &QTimer::timeout, this, &MainWindow::tmStart_Timer);
}

QWidget* MainWindow::buildCommandColumn() {
    auto* column = new QWidget(this);
    column->setFixedWidth(230);
    auto* layout = new QVBoxLayout(column);

    Frame1 = new QFrame(column);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* games = new QVBoxLayout(Frame1);
    const std::array<QString, 2> captions = {QStringLiteral("Number３予測"), QStringLiteral("Number４予測")};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(captions[static_cast<std::size_t>(i)], Frame1);
        option->setObjectName(QStringLiteral("optNumbers_%1").arg(i));
        games->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, i] { optNumbers_Click(i); });
        optNumbers[static_cast<std::size_t>(i)] = option;
    }
    layout->addWidget(Frame1);

    auto* banner = new QHBoxLayout;
    Label2 = new QLabel(QStringLiteral("Numbers"), column);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(ui::bannerFont(24));
    lblNum = new QLabel(column);
    lblNum->setObjectName(QStringLiteral("lblNum"));
    lblNum->setFont(ui::bannerFont(32));
    banner->addStretch();
    banner->addWidget(Label2);
    banner->addWidget(lblNum);
    banner->addStretch();
    layout->addLayout(banner);

    Label1 = new QLabel(QStringLiteral("予測抽選回"), column);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);
    cmbRound = new QComboBox(column);
    cmbRound->setObjectName(QStringLiteral("cmbRound"));
    cmbRound->setEditable(true);
    cmbRound->setInsertPolicy(QComboBox::NoInsert);
    cmbRound->setMaxVisibleItems(20);
    // A typed round stays exactly as typed: completing "25" to a listed round
    // such as "2599" would run a round the user never asked for.
    cmbRound->setCompleter(nullptr);
    // Typing and picking an item are different events: only typing counts as a change.
    connect(cmbRound->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::cmbRound_Change);
    connect(cmbRound, &QComboBox::activated, this, &MainWindow::cmbRound_Click);
    layout->addWidget(cmbRound);
    layout->addSpacing(8);

    cmdYosoku = commandButton(column, "cmdYosoku", QStringLiteral("予測"));
    cmdHenko = commandButton(column, "cmdHenko", QStringLiteral("選出変更"));
    cmdPrint = commandButton(column, "cmdPrint", QStringLiteral("印刷"));
    cmdDataEntry = commandButton(column, "cmdDataEntry", QStringLiteral("データ登録"));
    cmdImport = commandButton(column, "cmdImport", QStringLiteral("データ取込"));
    cmdPutHitData = commandButton(column, "cmdPutHitData", QStringLiteral("抽選結果出力"));
    cmdCheck = commandButton(column, "cmdCheck", QStringLiteral("管理用"));
    cmdBacktest = commandButton(column, "cmdBacktest", QStringLiteral("成績検証"));
    cmdStatistics = commandButton(column, "cmdStatistics", QStringLiteral("統計"));
    cmdLedger = commandButton(column, "cmdLedger", QStringLiteral("購入記録"));
    cmdExit = commandButton(column, "cmdExit", QStringLiteral("終了"));
    for (QPushButton* button : {cmdYosoku, cmdHenko, cmdPrint, cmdDataEntry, cmdImport})
        layout->addWidget(button);
    layout->addStretch();
    for (QPushButton* button : {cmdBacktest, cmdStatistics, cmdLedger, cmdPutHitData, cmdCheck, cmdExit})
        layout->addWidget(button);

    connect(cmdYosoku, &QPushButton::clicked, this, &MainWindow::cmdYosoku_Click);
    connect(cmdHenko, &QPushButton::clicked, this, &MainWindow::cmdHenko_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &MainWindow::cmdPrint_Click);
    connect(cmdDataEntry, &QPushButton::clicked, this, &MainWindow::cmdDataEntry_Click);
    connect(cmdImport, &QPushButton::clicked, this, &MainWindow::cmdImport_Click);
    connect(cmdExit, &QPushButton::clicked, this, &MainWindow::cmdExit_Click);
    connect(cmdPutHitData, &QPushButton::clicked, this, &MainWindow::cmdPutHitData_Click);
    connect(cmdCheck, &QPushButton::clicked, this, &MainWindow::cmdCheck_Click);
    connect(cmdBacktest, &QPushButton::clicked, this, &MainWindow::cmdBacktest_Click);
    connect(cmdStatistics, &QPushButton::clicked, this, &MainWindow::cmdStatistics_Click);
    connect(cmdLedger, &QPushButton::clicked, this, &MainWindow::cmdLedger_Click);
    return column;
}

void MainWindow::createPanels() {
    framYosou = new PredictionResultPanel(this);
    connect(framYosou, &PredictionResultPanel::restartRequested, this, [this] { StartPrediction(checkedGame()); });
    framHenkou =
        new selection::ChangePanel(m_selection, m_engine, m_history, m_appState.workingFolder().string(), this);
    framPrint = new printing::PrintPanel(this);
    connect(framHenkou, &selection::ChangePanel::selectionStored, this, [this](const QString& fileName) {
        StatusBar1->showMessage(QStringLiteral("選出Noを保存しました（%1）").arg(fileName));
    });
}

void MainWindow::Form_Load() {
    const int weekday = m_clock().date().dayOfWeek(); // 1 = Monday .. 7 = Sunday
    if (weekday >= Qt::Monday && weekday <= Qt::Friday)
        tmStart.start(kNoticeIntervalMs);
    m_state.intGame = 3;
    m_state.intRunGame = -1;
    m_state.intRunRound = -1;
    m_state.blnHasPrediction = false;
    ShowYosouPanel();
    SetGameView(0);
    ResetCommandButtons();
    FillRoundList();
    ClearResultView();
    m_state.intShownRound = roundInSelector();
}

int MainWindow::countOf(common::Game game) const {
    return m_history.table(game).count;
}

bool MainWindow::isFutureRound(common::Game game, int round) const {
    return round > countOf(game);
}

common::Game MainWindow::checkedGame() const {
    return app::gameOfOption(optNumbers[0]->isChecked() ? 0 : 1);
}

int16_t MainWindow::roundInSelector() const {
    return leadingNumber(cmbRound->currentText());
}

void MainWindow::FillRoundList() {
    m_state.blnFillingRounds = true;
    cmbRound->clear();
    const int count = countOf(checkedGame());
    QStringList items;
    items.reserve(count + 1);
    for (int round = count + 1; round >= 1; --round)
        items << QString::number(round);
    cmbRound->addItems(items);
    cmbRound->setCurrentIndex(0);
    m_state.blnFillingRounds = false;
}

void MainWindow::ResetCommandButtons() {
    cmdYosoku->setEnabled(true);
    for (QPushButton* button : {cmdHenko, cmdPrint}) {
        button->setEnabled(false);
        button->setVisible(false);
    }
}

void MainWindow::SetPanelButtons() {
    cmdHenko->setEnabled(true);
    cmdHenko->setVisible(true);
    const bool future = isFutureRound(checkedGame(), roundInSelector());
    cmdPrint->setEnabled(future);
    cmdPrint->setVisible(future);
}

void MainWindow::SetYosouPanel(bool on) {
    framYosou->setEnabled(on);
    framYosou->setVisible(on);
}

void MainWindow::SetHenkouPanel(bool on) {
    framHenkou->setEnabled(on);
    framHenkou->setVisible(on);
}

void MainWindow::SetPrintPanel(bool on) {
    framPrint->setEnabled(on);
    framPrint->setVisible(on);
}

void MainWindow::ShowYosouPanel() {
    SetPrintPanel(false);
    SetHenkouPanel(false);
    SetYosouPanel(true);
}

void MainWindow::ShowHenkouPanel() {
    SetYosouPanel(false);
    SetPrintPanel(false);
    ChgPanelSetUp();
    SetHenkouPanel(true);
}

void MainWindow::ShowPrintPanel() {
    SetYosouPanel(false);
    SetHenkouPanel(false);
    PrtPanelSetUp();
    SetPrintPanel(true);
}

void MainWindow::SetGameView(int index) {
    optNumbers[static_cast<std::size_t>(index)]->setChecked(true);
    lblNum->setText(index == 0 ? QStringLiteral("3") : QStringLiteral("4"));
    QPalette palette = lblNum->palette();
    palette.setColor(QPalette::WindowText,
                     ui::gameColour(index == 0 ? common::Game::Numbers3 : common::Game::Numbers4));
    lblNum->setPalette(palette);
    SetResultGameView(index);
}

void MainWindow::ClearResultView() {
    framYosou->ClearResultView(m_engine.proposal());
    for (QProgressBar* bar : m_prgBar)
        bar->setValue(0);
}

void MainWindow::SetResultGameView(int index) {
    framYosou->SetResultGameView(index);
}

void MainWindow::ChgPanelSetUp() {
    framHenkou->ChgPanelSetUp(checkedGame(), roundInSelector());
}
void MainWindow::PrtPanelSetUp() {
    // What gets printed is bought for the round shown in the round selector.
    framPrint->setLedgerTarget(printing::PrintPanel::LedgerTarget{ledgerPath(), roundInSelector()});
    framPrint->PrtPanelSetUp(checkedGame(), m_engine.proposal(), m_selection.lstChgSelect(), m_selection.lstChgMini());
}

void MainWindow::optNumbers_Click(int index) {
    const int16_t game = static_cast<int16_t>(common::gameCode(app::gameOfOption(index)));
    if (game == m_state.intGame)
        return;
    if (ConfirmNewPrediction()) {
        m_state.intGame = game;
        SetGameView(index);
        // The list offers the rounds this game can predict: its count + 1 down to 1.
        FillRoundList();
        m_state.intShownRound = roundInSelector();
    }
}

void MainWindow::cmbRound_Change() {
    ConfirmNewPrediction();
    ShowYosouPanel();
}

void MainWindow::cmbRound_Click() {
    if (!m_state.blnFillingRounds)
        ConfirmNewPrediction();
}

bool MainWindow::askDiscardPrediction(const QString& title) {
    return ui::showMessage(this, discardQuestion(), ui::Buttons::YesNo, title) == ui::Answer::Yes;
}

bool MainWindow::ConfirmNewPrediction() {
    const QString title = QStringLiteral("新規予測確認");
    if (m_state.blnHasPrediction) {
        const int shownOption = optionOfCode(m_state.intGame);
        if (!optNumbers[static_cast<std::size_t>(shownOption)]->isChecked()) {
            if (!askDiscardPrediction(title)) {
                m_state.blnReverting = true;
                for (QRadioButton* option : optNumbers)
                    option->setEnabled(false);
                optNumbers[static_cast<std::size_t>(shownOption)]->setChecked(true);
                // Selecting the button fires its click event, as a user's click would.
                optNumbers_Click(shownOption);
                for (QRadioButton* option : optNumbers)
                    option->setEnabled(true);
                // That click returns before asking anything, so the flag is lowered here;
                // left up, it would keep the next confirmed change from clearing the view.
                m_state.blnReverting = false;
                return false;
            }
            m_state.blnReverting = false;
        }
        if (roundInSelector() != m_state.intShownRound) {
            if (!askDiscardPrediction(title)) {
                m_state.blnReverting = true;
                const bool typing = cmbRound->lineEdit()->hasFocus();
                {
                    // An editable combo box takes the focus leaving it as a pick
                    // of the listed round its text names. Disabling the box the
                    // user is typing in moves the focus out: without the blocker
                    // the question would come again for the round just refused.
                    // The current item is set back with the text, so that a later
                    // focus change is no pick either (it would clear the shown
                    // prediction without asking).
                    const QSignalBlocker quiet(cmbRound);
                    cmbRound->setEnabled(false);
                    const QString shownRound = QString::number(m_state.intShownRound);
                    if (const int item = cmbRound->findText(shownRound); item >= 0)
                        cmbRound->setCurrentIndex(item);
                    cmbRound->setEditText(shownRound);
                }
                // Setting the text fires the change event, as typing would.
                cmbRound_Change();
                cmbRound->setEnabled(true);
                if (typing)
                    cmbRound->setFocus();
                return false;
            }
            m_state.blnReverting = false;
        }
    }
    if (!m_state.blnReverting) {
        ClearResultView();
        ResetCommandButtons();
        ShowYosouPanel();
        m_state.blnHasPrediction = false;
    }
    m_state.blnReverting = false;
    return true;
}

void MainWindow::cmdYosoku_Click() {
    if (!framYosou->isVisible())
        ShowYosouPanel();
    if (refuseOversizedRound())
        return;
    const int16_t round = roundInSelector();
    const int runGameIndex = optionOfCode(m_state.intRunGame);
    const bool sameRun = round == m_state.intRunRound && m_state.intRunGame > 0 &&
                         optNumbers[static_cast<std::size_t>(runGameIndex)]->isChecked();
    if (!isFutureRound(gameOfCode(m_state.intGame), round)) {
        if (sameRun)
            return;
    } else if (m_state.blnHasPrediction && sameRun) {
        return;
    }
    if (round < 2) {
        ui::showMessage(this, roundRefusal(round), ui::Buttons::Ok, QStringLiteral("【予測確認】"));
        return;
    }
    m_state.intRunRound = round;
    m_state.intRunGame = static_cast<int16_t>(common::gameCode(checkedGame()));
    StartPrediction(checkedGame());
}

bool MainWindow::refuseOversizedRound() {
    const QString typed = oversizedRound(cmbRound->currentText());
    if (typed.isEmpty())
        return false;
    ui::showMessage(this, oversizedRefusal(typed), ui::Buttons::Ok, QStringLiteral("【予測確認】"));
    return true;
}

void MainWindow::StartPrediction(common::Game game) {
    if (refuseOversizedRound())
        return;
    const int16_t round = roundInSelector();
    if (round < 2) {
        ui::showMessage(this, roundRefusal(round), ui::Buttons::Ok, QStringLiteral("【予測確認】"));
        return;
    }
    ClearResultView();
    ++m_intRunsStarted;
    const bool completed = m_predictionRun ? m_predictionRun(game, round) : runPrediction(game, round);
    if (!completed) {
        // The view stays empty; a failed run must not count as the run already shown.
        ResetCommandButtons();
        m_state.blnHasPrediction = false;
        m_state.intRunGame = -1;
        m_state.intRunRound = -1;
        return;
    }
    const common::Game shownGame = checkedGame();
    m_state.blnHasPrediction = isFutureRound(shownGame, round);
    m_state.intGame = static_cast<int16_t>(common::gameCode(shownGame));
    m_state.intShownRound = round;
    framYosou->ShowPredictionResult(m_engine.proposal(), m_history.table(shownGame), shownGame, round);
    SetPanelButtons();
    LoadUserSelect(shownGame, round);
}

bool MainWindow::runPrediction(common::Game game, int round) {
    engine::PredictionProgressDialog::Request request;
    request.game = game;
    request.runType = 1;
    request.maxCount = static_cast<int16_t>(round - 1);
    engine::PredictionProgressDialog dialog(m_engine, m_history.table(game), request, this);
    dialog.setIntervals(m_yosokuIntervals);
    connect(&dialog, &engine::PredictionProgressDialog::passProgress, this,
            [this](int pass, int percent) { m_prgBar[static_cast<std::size_t>(pass)]->setValue(percent); });
    dialog.exec();
    return dialog.outcome().completed;
}

// The stored selection of the game and round joins the change panel's lists, so
// the print panel sees it even if the change panel is never opened.
void MainWindow::LoadUserSelect(common::Game game, int round) {
    framHenkou->LoadUserSelect(game, static_cast<int16_t>(round));
}

void MainWindow::cmdHenko_Click() {
    if (!framHenkou->isVisible())
        ShowHenkouPanel();
}

void MainWindow::cmdPrint_Click() {
    if (!framPrint->isVisible())
        ShowPrintPanel();
}

void MainWindow::cmdDataEntry_Click() {
    if (m_state.blnHasPrediction && !askDiscardPrediction(QStringLiteral("データ登録")))
        return;
    ConfirmNewPrediction();

    history::DrawEntryDialog::WeekdayMarks marks;
    for (std::size_t i = 0; i < marks.size(); ++i)
        marks[i] = QString::fromStdString(m_appState.WeekdayMark[i]);
    const common::Game game = checkedGame();
    const history::DrawEntryDialog::Request request{game, countOf(game) + 1, true};
    history::DrawEntryDialog dialog(m_history, marks, request, this);
    dialog.setClock(m_clock);
    dialog.setTableStore([this](common::Game g) { return saveTable(g); });
    dialog.exec();
    FillRoundList();
}

// Draws imported from a downloaded file go to the table and its file as the
// entry dialog's rounds do; the round list then offers the new next round.
void MainWindow::cmdImport_Click() {
    if (m_state.blnHasPrediction && !askDiscardPrediction(QStringLiteral("データ取込")))
        return;
    ConfirmNewPrediction();

    history::DrawImportDialog dialog(
        m_history, [this](common::Game game) { return m_appState.tableFilePath(game); }, checkedGame(), this);
    dialog.setStartFolder(QString::fromStdString(m_appState.workingFolder().string()));
    dialog.exec();
    FillRoundList();
}

void MainWindow::cmdExit_Click() {
    if (ui::showMessage(this, QStringLiteral("終了しますか？"), ui::Buttons::OkCancel,
                        QStringLiteral("【終了確認】")) != ui::Answer::Ok)
        return;
    // Both files are tried whatever happens to the first; after any failure the
    // program stays open with the unsaved rounds, so that the user can free
    // space or fix permissions and exit again.
    QStringList failures;
    for (const common::Game game : common::kGames)
        if (const history::SaveError error = saveTable(game))
            failures << QString::fromStdString(error.message());
    if (!failures.isEmpty()) {
        ui::showMessage(this, failures.join(QLatin1Char('\r')) + QStringLiteral("\r終了を取りやめました。"),
                        ui::Buttons::Ok, QStringLiteral("【保存エラー】"));
        return;
    }
    m_exit(0);
}

history::SaveError MainWindow::saveTable(common::Game game) {
    return history::SaveTable(m_history.table(game), game, m_appState.tableFilePath(game));
}

// The back-test report: the three report files are written into the working
// directory with a progress window (the replayed predictions come from the
// engine's fast path, which gives the same proposals as a run of the window);
// afterwards the window shows Numbers3 and the oldest round of the last range
// with its prediction, as a run from the predict button would.
// Where the report went: the working folder and the files, newest range first.
QString MainWindow::reportWrittenMessage(const std::vector<reports::ReportRange>& ranges) const {
    QStringList names;
    for (const reports::ReportRange& range : ranges)
        names << QString::fromStdString(range.fileName);
    const QString folder = QDir::toNativeSeparators(QString::fromStdString(m_appState.workingFolder().string()));
    return QStringLiteral("抽選結果を出力しました：%1（%2）").arg(folder, names.join(QStringLiteral("、")));
}

void MainWindow::cmdPutHitData_Click() {
    const QString title = QStringLiteral("抽選結果出力");
    if (m_state.blnHasPrediction && !askDiscardPrediction(title))
        return;
    ConfirmNewPrediction();
    const std::vector<reports::ReportRange> ranges = reports::runHitReportWithProgress(
        m_history.num3, QString::fromStdString(m_appState.workingFolder().string()), this);
    if (ranges.empty())
        return;
    StatusBar1->showMessage(reportWrittenMessage(ranges));

    optNumbers[0]->setChecked(true);
    m_state.intGame = 3;
    SetGameView(0);
    FillRoundList();
    m_state.blnFillingRounds = true;
    cmbRound->setEditText(QString::number(ranges.back().oldest));
    m_state.blnFillingRounds = false;
    m_state.intRunRound = -1; // the shown view was cleared: run the prediction again
    cmdYosoku_Click();
}
void MainWindow::cmdCheck_Click() {
    engine::AnalysisTablesViewer viewer(m_engine, {checkedGame(), static_cast<int16_t>(roundInSelector() - 1)}, this);
    viewer.pubFormSetUP();
    viewer.exec();
}

// Both windows read the tables as they are; the main window is blocked while they are open.
void MainWindow::cmdBacktest_Click() {
    backtest::BacktestDialog dialog(m_history.num3, m_history.num4, this);
    dialog.setGame(checkedGame());
    dialog.exec();
}

std::string MainWindow::ledgerPath() const {
    return ledger::ledgerPathIn(m_appState.workingFolder().string());
}

void MainWindow::cmdLedger_Click() {
    ledger::LedgerWindow window(ledgerPath(), m_history, this);
    if (window.openLedger())
        window.exec();
}

void MainWindow::cmdStatistics_Click() {
    reports::StatisticsDialog dialog(m_history.num3, m_history.num4, this);
    dialog.setGame(checkedGame());
    dialog.calculate();
    dialog.exec();
}

void MainWindow::tmStart_Timer() {
    tmStart.stop();
    const QDateTime now = m_clock();
    const LocalDateTime local{now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                              now.time().minute()};
    if (const auto notice = m_deadlineNotice.check(local))
        ui::showMessage(this, QString::fromStdString(notice->text), ui::Buttons::Ok,
                        QString::fromStdString(notice->title));
    tmStart.start(kNoticeIntervalMs);
}

void MainWindow::StatusBar1_PanelClick(int index) {
    if (index != ui::ClockStatusBar::kDatePanel)
        return;
    m_state.blnCalendarShown = !m_state.blnCalendarShown;
    if (m_state.blnCalendarShown) {
        mvWindow->setSelectedDate(m_clock().date());
        placeCalendar();
        mvWindow->raise();
    }
    mvWindow->setVisible(m_state.blnCalendarShown);
}

void MainWindow::placeCalendar() {
    QWidget* area = centralWidget();
    mvWindow->move(std::max(0, area->width() - mvWindow->width() - 8),
                   std::max(0, area->height() - mvWindow->height() - 8));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeCalendar();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box goes the way of the exit button, so entered draws are not lost.
    event->ignore();
    cmdExit_Click();
}

} // namespace tw::app
