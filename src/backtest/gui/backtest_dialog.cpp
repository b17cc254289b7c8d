#include "backtest/gui/backtest_dialog.h"

#include "common/rounding.h"
#include "ui/message_box.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace tw::backtest {

namespace {

const QColor kBelowColour(255, 205, 205);
const QColor kWithinColour(255, 245, 200);
const QColor kAboveColour(205, 240, 205);
const QColor kNetColour(30, 80, 200);
const QColor kExpectedColour(200, 40, 40);
const QColor kBandColour(200, 40, 40, 45);

QString yen(int64_t amount) {
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(amount));
}

QString percentText(double percent) {
    return QString::number(percent, 'f', 1) + QLatin1Char('%');
}

QString gameText(common::Game game) {
    return QString::fromLatin1(common::gameName(game));
}

QColor verdictColour(Verdict verdict) {
    switch (verdict) {
    case Verdict::Below:
        return kBelowColour;
    case Verdict::Within:
        return kWithinColour;
    case Verdict::Above:
        return kAboveColour;
    case Verdict::NoTickets:
        break;
    }
    return {};
}

enum Column {
    ColList,
    ColBet,
    ColRounds,
    ColTickets,
    ColCost,
    ColPayout,
    ColReturn,
    ColStraight,
    ColBox,
    ColExpected,
    ColExpectedReturn,
    ColBand,
    ColVerdict,
    ColumnCount
};

QStringList columnTitles() {
    return {QStringLiteral("グループ"),     QStringLiteral("券種"),
            QStringLiteral("購入回数"),     QStringLiteral("口数"),
            QStringLiteral("購入額"),       QStringLiteral("当せん金"),
            QStringLiteral("回収率"),       QStringLiteral("ストレート的中"),
            QStringLiteral("ボックス的中"), QStringLiteral("ランダム期待値"),
            QStringLiteral("期待回収率"),   QStringLiteral("ランダム95%範囲"),
            QStringLiteral("判定")};
}

QString lineName(const BacktestLine& line) {
    return listNameJa(line.list) + QLatin1Char(' ') + betNameJa(line.bet);
}

// The messages of options the back-test refused.
QString refusalText(const BacktestError& error) {
    switch (error.kind) {
    case BacktestErrorKind::RangeBelowSecond:
        return QStringLiteral("第1回は前の回がないため検証できません。\r第2回以降の範囲を指定してください。");
    case BacktestErrorKind::RangeOutsideHistory:
        return QStringLiteral("検証範囲が正しくありません。\r第2回から第%1回までの範囲で指定してください。")
            .arg(error.lastRound);
    case BacktestErrorKind::EmptyRange:
        return QStringLiteral("開始回が終了回より後になっています。");
    case BacktestErrorKind::InvalidPortfolios:
        return QStringLiteral("ランダム購入の試行回数は1〜%1で指定してください。").arg(kMaxPortfolios);
    case BacktestErrorKind::PredictionFailed:
        return QStringLiteral("第%1回の予測ができませんでした。").arg(error.round);
    default:
        break;
    }
    return QStringLiteral("検証を実行できませんでした。");
}

} // namespace

QString listNameJa(ProposalList list) {
    switch (list) {
    case ProposalList::Group1:
        return QStringLiteral("グループ1");
    case ProposalList::Group2:
        return QStringLiteral("グループ2");
    case ProposalList::Group3:
        return QStringLiteral("グループ3");
    case ProposalList::Mini:
        return QStringLiteral("ミニ");
    }
    return {};
}

QString betNameJa(BetType bet) {
    switch (bet) {
    case BetType::Straight:
        return QStringLiteral("ストレート");
    case BetType::Box:
        return QStringLiteral("ボックス");
    case BetType::Set:
        return QStringLiteral("セット");
    case BetType::Mini:
        return QStringLiteral("ミニ");
    }
    return {};
}

QString verdictNameJa(Verdict verdict) {
    switch (verdict) {
    case Verdict::Below:
        return QStringLiteral("下回る");
    case Verdict::Within:
        return QStringLiteral("範囲内");
    case Verdict::Above:
        return QStringLiteral("上回る");
    case Verdict::NoTickets:
        break;
    }
    return QStringLiteral("購入なし");
}

QString backtestSummary(const BacktestResult& r) {
    int below = 0, within = 0, above = 0, bought = 0, losing = 0;
    double expectedSum = 0;
    double lowest = 0, highest = 0;
    for (const BacktestLine& l : r.lines) {
        if (l.verdict == Verdict::NoTickets)
            continue;
        const double ret = l.returnPercent();
        lowest = bought == 0 ? ret : std::min(lowest, ret);
        highest = bought == 0 ? ret : std::max(highest, ret);
        ++bought;
        below += l.verdict == Verdict::Below ? 1 : 0;
        within += l.verdict == Verdict::Within ? 1 : 0;
        above += l.verdict == Verdict::Above ? 1 : 0;
        losing += l.payout < l.cost ? 1 : 0;
        expectedSum += l.expectedReturnPercent();
    }
    const QLocale locale(QLocale::English);
    QString text = QStringLiteral("%1 第%2回〜第%3回（%4回）の予測を、毎回同じ口数のランダムな番号と比べました。")
                       .arg(gameText(r.game))
                       .arg(r.from)
                       .arg(r.to)
                       .arg(locale.toString(r.roundCount()));
    if (bought == 0)
        return text + QStringLiteral("\n購入した行はありません。");

    text +=
        QStringLiteral("\n%1行のうち、ランダムな番号の95%範囲を下回ったのは%2行、範囲内は%3行、上回ったのは%4行です。")
            .arg(bought)
            .arg(below)
            .arg(within)
            .arg(above);
    if (above == 0 && below == 0)
        text += QStringLiteral("どの行の回収率も、ランダムに買った場合に普通に起こる範囲に収まっています。"
                               "予測がランダムより良いとは言えません。");
    else if (above > 0)
        text += QStringLiteral("範囲を上回った行があっても、多くの行を比べれば偶然に範囲を外れる行も出ます。"
                               "同じ行が別の期間でも上回るかを確かめてください。");
    else
        text += QStringLiteral("範囲を下回った行は、ランダムに買うより成績が悪かったことになります。");

    if (losing == bought)
        text += QStringLiteral("\nすべての行で当せん金が購入額に届かず、損をしています（回収率 %1〜%2）。")
                    .arg(percentText(lowest), percentText(highest));
    else
        text += QStringLiteral("\n%1行のうち%2行は当せん金が購入額に届かず、損をしています（回収率 %3〜%4）。")
                    .arg(bought)
                    .arg(losing)
                    .arg(percentText(lowest), percentText(highest));
    text += QStringLiteral("ランダムな番号を買った場合の期待回収率は約%1です。").arg(percentText(expectedSum / bought));
    return text;
}

QByteArray backtestCsv(const BacktestResult& r) {
    QStringList header = {QStringLiteral("グループ"),      QStringLiteral("券種"),
                          QStringLiteral("購入回数"),      QStringLiteral("口数"),
                          QStringLiteral("購入額"),        QStringLiteral("当せん金"),
                          QStringLiteral("回収率(%)"),     QStringLiteral("ストレート的中"),
                          QStringLiteral("ボックス的中"),  QStringLiteral("ランダム期待値"),
                          QStringLiteral("期待回収率(%)"), QStringLiteral("95%範囲下限"),
                          QStringLiteral("95%範囲上限"),   QStringLiteral("判定")};
    QString out = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const BacktestLine& l : r.lines) {
        const bool mini = l.bet == BetType::Mini;
        const QStringList fields = {listNameJa(l.list),
                                    betNameJa(l.bet),
                                    QString::number(l.rounds),
                                    QString::number(l.tickets),
                                    QString::number(l.cost),
                                    QString::number(l.payout),
                                    QString::number(l.returnPercent(), 'f', 2),
                                    QString::number(l.straightHits),
                                    mini ? QString() : QString::number(l.boxHits),
                                    QString::number(common::roundHalfEven(l.expectedPayout)),
                                    QString::number(l.expectedReturnPercent(), 'f', 2),
                                    QString::number(l.band.low),
                                    QString::number(l.band.high),
                                    verdictNameJa(l.verdict)};
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

// The worker's side of one run. The table is the worker's own copy; the window
// touches the outcome only after the thread has finished.
struct BacktestDialog::Job {
    history::DrawTable table;
    BacktestOptions options;
    std::atomic<bool> cancel{false};
    int lastPosted = -1; // worker only: the last progress step posted
    BacktestOutcome outcome;
};

BacktestDialog::BacktestDialog(const history::DrawTable& num3, const history::DrawTable& num4, QWidget* parent)
    : QDialog(parent), m_num3(num3), m_num4(num4) {
    setObjectName(QStringLiteral("DlgBacktest"));
    setWindowTitle(QStringLiteral("成績検証"));
    resize(1280, 900);

    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    cmbGame = new QComboBox(this);
    cmbGame->setObjectName(QStringLiteral("cmbGame"));
    cmbGame->addItem(QStringLiteral("NUMBERS3"), 3);
    cmbGame->addItem(QStringLiteral("NUMBERS4"), 4);
    spnFrom = new QSpinBox(this);
    spnFrom->setObjectName(QStringLiteral("spnFrom"));
    spnTo = new QSpinBox(this);
    spnTo->setObjectName(QStringLiteral("spnTo"));
    spnPortfolios = new QSpinBox(this);
    spnPortfolios->setObjectName(QStringLiteral("spnPortfolios"));
    spnPortfolios->setRange(1, kMaxPortfolios);
    spnPortfolios->setValue(kDefaultPortfolios);
    txtSeed = new QLineEdit(QString::number(kDefaultSeed), this);
    txtSeed->setObjectName(QStringLiteral("txtSeed"));
    txtSeed->setMaximumWidth(180);
    cmdRun = new QPushButton(QStringLiteral("検証開始"), this);
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdCancel = new QPushButton(QStringLiteral("中止"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    controls->addWidget(new QLabel(QStringLiteral("ゲーム"), this));
    controls->addWidget(cmbGame);
    controls->addSpacing(8);
    controls->addWidget(new QLabel(QStringLiteral("第"), this));
    controls->addWidget(spnFrom);
    controls->addWidget(new QLabel(QStringLiteral("回 から 第"), this));
    controls->addWidget(spnTo);
    controls->addWidget(new QLabel(QStringLiteral("回 まで"), this));
    controls->addSpacing(8);
    controls->addWidget(new QLabel(QStringLiteral("ランダム試行数"), this));
    controls->addWidget(spnPortfolios);
    controls->addWidget(new QLabel(QStringLiteral("乱数の種"), this));
    controls->addWidget(txtSeed);
    controls->addWidget(cmdRun);
    controls->addWidget(cmdCancel);
    controls->addStretch();
    layout->addLayout(controls);

    auto* progress = new QHBoxLayout;
    prgRun = new QProgressBar(this);
    prgRun->setObjectName(QStringLiteral("prgRun"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    progress->addWidget(prgRun, 1);
    progress->addWidget(lblStatus, 1);
    layout->addLayout(progress);

    tblResult = new QTableWidget(0, ColumnCount, this);
    tblResult->setObjectName(QStringLiteral("tblResult"));
    tblResult->setHorizontalHeaderLabels(columnTitles());
    tblResult->verticalHeader()->hide();
    tblResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResult->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblResult->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblResult->setMinimumHeight(250);
    layout->addWidget(tblResult);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    layout->addWidget(lblSummary);

    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(new QLabel(QStringLiteral("グラフの行"), this));
    cmbLine = new QComboBox(this);
    cmbLine->setObjectName(QStringLiteral("cmbLine"));
    chartRow->addWidget(cmbLine);
    chartRow->addStretch();
    cmdExportCsv = new QPushButton(QStringLiteral("表をCSVで保存"), this);
    cmdExportCsv->setObjectName(QStringLiteral("cmdExportCsv"));
    cmdExportPng = new QPushButton(QStringLiteral("グラフをPNGで保存"), this);
    cmdExportPng->setObjectName(QStringLiteral("cmdExportPng"));
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    chartRow->addWidget(cmdExportCsv);
    chartRow->addWidget(cmdExportPng);
    chartRow->addWidget(cmdClose);
    layout->addLayout(chartRow);

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    chtNet = new QChartView(m_chart, this);
    chtNet->setObjectName(QStringLiteral("chtNet"));
    chtNet->setRenderHint(QPainter::Antialiasing);
    chtNet->setMinimumHeight(330);
    layout->addWidget(chtNet, 1);

    connect(cmbGame, &QComboBox::currentIndexChanged, this, &BacktestDialog::gameChanged);
    connect(cmdRun, &QPushButton::clicked, this, &BacktestDialog::cmdRun_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &BacktestDialog::cmdCancel_Click);
    connect(cmbLine, &QComboBox::currentIndexChanged, this, &BacktestDialog::showLine);
    connect(cmdExportCsv, &QPushButton::clicked, this, &BacktestDialog::cmdExportCsv_Click);
    connect(cmdExportPng, &QPushButton::clicked, this, &BacktestDialog::cmdExportPng_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    gameChanged();
    setRunning(false);
}

BacktestDialog::~BacktestDialog() {
    if (m_thread) {
        m_job->cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

const history::DrawTable& BacktestDialog::tableOf(common::Game g) const {
    return g == common::Game::Numbers4 ? m_num4 : m_num3;
}

// The list's items carry the game codes 3 and 4.
common::Game BacktestDialog::game() const {
    return common::gameFromCode(cmbGame->currentData().toInt()).value_or(common::Game::Numbers3);
}

void BacktestDialog::setGame(common::Game g) {
    const int index = g == common::Game::Numbers4 ? 1 : 0;
    if (cmbGame->currentIndex() != index)
        cmbGame->setCurrentIndex(index);
    else
        gameChanged();
}

void BacktestDialog::setRange(int from, int to) {
    spnFrom->setValue(from);
    spnTo->setValue(to);
}

void BacktestDialog::setPortfolios(int portfolios) {
    spnPortfolios->setValue(portfolios);
}

void BacktestDialog::setSeed(uint64_t seed) {
    txtSeed->setText(QString::number(seed));
}

void BacktestDialog::gameChanged() {
    const int last = std::max<int>(2, tableOf(game()).count);
    for (QSpinBox* box : {spnFrom, spnTo})
        box->setRange(2, last);
    spnFrom->setValue(2);
    spnTo->setValue(last);
}

void BacktestDialog::setRunning(bool running) {
    for (QWidget* w : std::initializer_list<QWidget*>{cmbGame, spnFrom, spnTo, spnPortfolios, txtSeed, cmdRun,
                                                      cmdExportCsv, cmdExportPng, cmbLine})
        w->setEnabled(!running);
    cmdCancel->setEnabled(running);
    if (!running) {
        const bool hasLines = m_outcome && !m_outcome->result.lines.empty();
        cmdExportCsv->setEnabled(hasLines);
        cmdExportPng->setEnabled(hasLines);
        cmbLine->setEnabled(hasLines);
    }
}

bool BacktestDialog::cmdRun_Click() {
    if (m_thread)
        return false;
    bool ok = false;
    const uint64_t seed = txtSeed->text().trimmed().toULongLong(&ok);
    if (!ok) {
        ui::showMessage(this, QStringLiteral("乱数の種は0以上の整数で指定してください。"), ui::Buttons::Ok,
                        windowTitle());
        return false;
    }
    if (tableOf(game()).count < 2) {
        ui::showMessage(this, QStringLiteral("検証には2回以上の抽選結果が必要です。"), ui::Buttons::Ok, windowTitle());
        return false;
    }

    auto job = std::make_shared<Job>();
    job->table = tableOf(game());
    job->options.game = game();
    job->options.from = spnFrom->value();
    job->options.to = spnTo->value();
    job->options.seed = seed;
    job->options.portfolios = spnPortfolios->value();
    job->options.seriesPoints = kDefaultSeriesPoints;
    m_job = job;

    prgRun->setRange(0, std::max(1, job->options.to.value_or(0) - job->options.from + 1));
    prgRun->setValue(0);
    lblStatus->setText(QStringLiteral("検証中…"));
    m_thread = QThread::create([this, job] {
        BacktestControl control;
        control.cancel = &job->cancel;
        // A thousand steps at most reach the window, however long the range.
        control.progress = [this, job](int done, int total) {
            const int step = static_cast<int>(int64_t{done} * 1000 / std::max(1, total));
            if (step == job->lastPosted)
                return;
            job->lastPosted = step;
            QMetaObject::invokeMethod(
                this, [this, done, total] { onProgress(done, total); }, Qt::QueuedConnection);
        };
        job->outcome = runBacktest(job->table, job->options, control);
    });
    connect(m_thread, &QThread::finished, this, [this, job] { onFinished(job); });
    setRunning(true);
    m_thread->start();
    return true;
}

void BacktestDialog::cmdCancel_Click() {
    if (m_job)
        m_job->cancel = true;
}

void BacktestDialog::onProgress(int done, int total) {
    if (!m_thread)
        return;
    prgRun->setRange(0, total);
    prgRun->setValue(done);
    lblStatus->setText(QStringLiteral("検証中… %1 / %2 回").arg(done).arg(total));
}

// `job` is the copy the thread's finished handler holds; the handler outlives
// this call (the thread is deleted later), so the job stays alive while its
// outcome is moved out.
void BacktestDialog::onFinished(const std::shared_ptr<Job>& job) {
    if (job != m_job)
        return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    m_job.reset();
    m_outcome = std::move(job->outcome);

    const BacktestOutcome& out = *m_outcome;
    if (out.cancelled()) {
        lblStatus->setText(QStringLiteral("中止しました（第%1回の手前まで）").arg(out.error.round));
    } else if (out.error) {
        lblStatus->setText(QStringLiteral("検証できませんでした"));
    } else {
        prgRun->setValue(prgRun->maximum());
        lblStatus->setText(QStringLiteral("完了しました（%1回）").arg(out.result.roundCount()));
    }
    fillTable();
    setRunning(false);
    if (out.error && !out.cancelled())
        ui::showMessage(this, refusalText(out.error), ui::Buttons::Ok, windowTitle());
    Q_EMIT runFinished();
}

void BacktestDialog::fillTable() {
    const BacktestResult& r = m_outcome->result;
    const bool complete = !m_outcome->error;
    tblResult->setRowCount(complete ? static_cast<int>(r.lines.size()) : 0);
    if (complete) {
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            const BacktestLine& l = r.lines[i];
            const bool mini = l.bet == BetType::Mini;
            const QString band = l.cost > 0 ? yen(l.band.low) + QStringLiteral(" 〜 ") + yen(l.band.high) +
                                                  QStringLiteral("（") + percentText(l.bandLowPercent()) +
                                                  QStringLiteral("〜") + percentText(l.bandHighPercent()) +
                                                  QStringLiteral("）")
                                            : QStringLiteral("-");
            const QStringList texts = {listNameJa(l.list),
                                       betNameJa(l.bet),
                                       yen(l.rounds),
                                       yen(l.tickets),
                                       yen(l.cost),
                                       yen(l.payout),
                                       percentText(l.returnPercent()),
                                       yen(l.straightHits),
                                       mini ? QStringLiteral("-") : yen(l.boxHits),
                                       yen(common::roundHalfEven(l.expectedPayout)),
                                       percentText(l.expectedReturnPercent()),
                                       band,
                                       verdictNameJa(l.verdict)};
            for (int c = 0; c < ColumnCount; ++c) {
                auto* item = new QTableWidgetItem(texts[c]);
                item->setTextAlignment((c <= ColBet || c == ColVerdict ? Qt::AlignLeft : Qt::AlignRight) |
                                       Qt::AlignVCenter);
                tblResult->setItem(static_cast<int>(i), c, item);
            }
            if (const QColor colour = verdictColour(l.verdict); colour.isValid())
                tblResult->item(static_cast<int>(i), ColVerdict)->setBackground(colour);
        }
    }
    lblSummary->setText(complete ? backtestSummary(r) : QString());

    const QSignalBlocker block(cmbLine);
    cmbLine->clear();
    if (complete)
        for (const BacktestLine& l : r.lines)
            cmbLine->addItem(lineName(l));
    showLine(complete && !r.lines.empty() ? 0 : -1);
}

void BacktestDialog::showLine(int index) {
    m_chart->removeAllSeries();
    for (QAbstractAxis* axis : m_chart->axes()) {
        m_chart->removeAxis(axis); // hands the axis back to us
        delete axis;
    }
    m_chart->setTitle(QString());
    if (!m_outcome || m_outcome->error || index < 0 ||
        static_cast<std::size_t>(index) >= m_outcome->result.lines.size())
        return;
    if (cmbLine->currentIndex() != index) {
        const QSignalBlocker block(cmbLine);
        cmbLine->setCurrentIndex(index);
    }
    const BacktestLine& l = m_outcome->result.lines[static_cast<std::size_t>(index)];
    m_chart->setTitle(QStringLiteral("%1 の累計収支（当せん金 − 購入額、円）").arg(lineName(l)));

    auto* net = new QLineSeries;
    net->setObjectName(QStringLiteral("net"));
    net->setName(QStringLiteral("予測の収支"));
    net->setPen(QPen(kNetColour, 2));
    auto* expected = new QLineSeries;
    expected->setObjectName(QStringLiteral("expected"));
    expected->setName(QStringLiteral("ランダムの期待収支"));
    expected->setPen(QPen(kExpectedColour, 1.5, Qt::DashLine));
    // The band's edges belong to the band: the area series does not own the
    // line series it spans, and the chart deletes only the series it holds.
    auto* band = new QAreaSeries;
    auto* low = new QLineSeries(band);
    auto* high = new QLineSeries(band);
    double bottom = 0, top = 0;
    for (const SeriesPoint& p : l.series) {
        const auto x = static_cast<qreal>(p.round);
        net->append(x, static_cast<qreal>(p.net));
        expected->append(x, p.expectedNet);
        low->append(x, static_cast<qreal>(p.bandLowNet));
        high->append(x, static_cast<qreal>(p.bandHighNet));
        bottom = std::min({bottom, static_cast<double>(p.net), p.expectedNet, static_cast<double>(p.bandLowNet)});
        top = std::max({top, static_cast<double>(p.net), p.expectedNet, static_cast<double>(p.bandHighNet)});
    }
    band->setUpperSeries(high);
    band->setLowerSeries(low);
    band->setObjectName(QStringLiteral("band"));
    band->setName(QStringLiteral("ランダムの95%範囲"));
    band->setBrush(kBandColour);
    band->setPen(QPen(QColor(200, 40, 40, 90), 1));
    m_chart->addSeries(band);
    m_chart->addSeries(expected);
    m_chart->addSeries(net);

    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("抽選回"));
    x->setLabelFormat(QStringLiteral("%d"));
    x->setRange(m_outcome->result.from - 1, m_outcome->result.to);
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("円"));
    y->setLabelFormat(QStringLiteral("%.0f"));
    const double pad = std::max(1.0, (top - bottom) * 0.05);
    y->setRange(bottom - pad, top + pad);
    m_chart->addAxis(x, Qt::AlignBottom);
    m_chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : m_chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

bool BacktestDialog::exportCsv(const QString& path) {
    if (!m_outcome || m_outcome->error)
        return false;
    QSaveFile file(path); // written beside the target and renamed over it
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("\xEF\xBB\xBF"); // so that spreadsheet programs read the Japanese headers as UTF-8
    file.write(backtestCsv(m_outcome->result));
    return file.commit();
}

bool BacktestDialog::exportPng(const QString& path) {
    if (!m_outcome || m_outcome->error)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!chtNet->grab().save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void BacktestDialog::cmdExportCsv_Click() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("表をCSVで保存"),
                                                      QStringLiteral("成績検証.csv"), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty() && !exportCsv(path))
        ui::showMessage(this, QStringLiteral("ファイルを保存できませんでした。\r%1").arg(path), ui::Buttons::Ok,
                        windowTitle());
}

void BacktestDialog::cmdExportPng_Click() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("グラフをPNGで保存"),
                                                      QStringLiteral("成績検証.png"), QStringLiteral("PNG (*.png)"));
    if (!path.isEmpty() && !exportPng(path))
        ui::showMessage(this, QStringLiteral("ファイルを保存できませんでした。\r%1").arg(path), ui::Buttons::Ok,
                        windowTitle());
}

} // namespace tw::backtest
