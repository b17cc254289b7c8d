#include "ledger/gui/ledger_window.h"

#include "common/date_serial.h"
#include "ledger/ledger_csv.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace tw::ledger {

namespace {

const QDate kSerialEpoch(1899, 12, 30);

QDate dateOfSerial(double serial) {
    return kSerialEpoch.addDays(static_cast<qint64>(serial));
}

double serialOfDate(const QDate& date) {
    return static_cast<double>(kSerialEpoch.daysTo(date));
}

QString yen(int64_t amount) {
    return QLocale(QLocale::Japanese).toString(static_cast<qlonglong>(amount));
}

QTableWidgetItem* cell(const QString& text, bool right = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    return ui::namedButton(parent, QString::fromLatin1(name), text);
}

const QString kTitle = QStringLiteral("【購入記録】");

} // namespace

LedgerWindow::LedgerWindow(std::string ledgerPath, const history::DrawHistory& history, QWidget* parent)
    : QDialog(parent), m_path(std::move(ledgerPath)), m_history(history) {
    setObjectName(QStringLiteral("frmLedger"));
    setWindowTitle(QStringLiteral("購入記録"));
    buildControls();
}

LedgerWindow::~LedgerWindow() = default;

void LedgerWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("ゲーム"), this));
    cmbLedgerGame = new QComboBox(this);
    cmbLedgerGame->setObjectName(QStringLiteral("cmbLedgerGame"));
    cmbLedgerGame->addItems({QStringLiteral("すべて"), QStringLiteral("NUMBERS3"), QStringLiteral("NUMBERS4")});
    filters->addWidget(cmbLedgerGame);
    chkLedgerDates = new QCheckBox(QStringLiteral("抽選日で絞り込む"), this);
    chkLedgerDates->setObjectName(QStringLiteral("chkLedgerDates"));
    filters->addWidget(chkLedgerDates);
    dteLedgerFrom = new QDateEdit(QDate::currentDate().addYears(-1), this);
    dteLedgerFrom->setObjectName(QStringLiteral("dteLedgerFrom"));
    dteLedgerTo = new QDateEdit(QDate::currentDate(), this);
    dteLedgerTo->setObjectName(QStringLiteral("dteLedgerTo"));
    for (QDateEdit* d : {dteLedgerFrom, dteLedgerTo}) {
        d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        d->setCalendarPopup(true);
        d->setEnabled(false);
    }
    filters->addWidget(dteLedgerFrom);
    filters->addWidget(new QLabel(QStringLiteral("～"), this));
    filters->addWidget(dteLedgerTo);
    filters->addStretch();
    layout->addLayout(filters);

    auto* split = new QSplitter(Qt::Vertical, this);
    tblLedgerRounds = new QTableWidget(0, 9, split);
    tblLedgerRounds->setObjectName(QStringLiteral("tblLedgerRounds"));
    tblLedgerRounds->setHorizontalHeaderLabels(
        {QStringLiteral("抽選回"), QStringLiteral("抽選日"), QStringLiteral("ゲーム"), QStringLiteral("口数"),
         QStringLiteral("購入額"), QStringLiteral("当選金"), QStringLiteral("収支"), QStringLiteral("累計収支"),
         QStringLiteral("状態")});
    tblLedgerTickets = new QTableWidget(0, 6, split);
    tblLedgerTickets->setObjectName(QStringLiteral("tblLedgerTickets"));
    tblLedgerTickets->setHorizontalHeaderLabels({QStringLiteral("券番号"), QStringLiteral("種類"),
                                                 QStringLiteral("番号"), QStringLiteral("当選"),
                                                 QStringLiteral("当選金"), QStringLiteral("記録元")});
    for (QTableWidget* t : {tblLedgerRounds, tblLedgerTickets}) {
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->verticalHeader()->hide();
        t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        t->horizontalHeader()->setStretchLastSection(true);
    }
    chartLedgerBalance = new QChartView(split);
    chartLedgerBalance->setObjectName(QStringLiteral("chartLedgerBalance"));
    chartLedgerBalance->setRenderHint(QPainter::Antialiasing);
    chartLedgerBalance->setMinimumHeight(180);
    layout->addWidget(split, 1);

    lblLedgerTotals = new QLabel(this);
    lblLedgerTotals->setObjectName(QStringLiteral("lblLedgerTotals"));
    lblLedgerTotals->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(lblLedgerTotals);

    auto* entry = new QGroupBox(QStringLiteral("手入力で追加"), this);
    auto* form = new QHBoxLayout(entry);
    cmbAddGame = new QComboBox(entry);
    cmbAddGame->setObjectName(QStringLiteral("cmbAddGame"));
    cmbAddGame->addItems({QStringLiteral("NUMBERS3"), QStringLiteral("NUMBERS4")});
    spnAddRound = new QSpinBox(entry);
    spnAddRound->setObjectName(QStringLiteral("spnAddRound"));
    spnAddRound->setRange(1, kMaxRound);
    spnAddRound->setValue(std::max<int>(1, m_history.num3.count + 1));
    txtAddNumber = new QLineEdit(entry);
    txtAddNumber->setObjectName(QStringLiteral("txtAddNumber"));
    txtAddNumber->setPlaceholderText(QStringLiteral("012 / *12"));
    cmbAddBet = new QComboBox(entry);
    cmbAddBet->setObjectName(QStringLiteral("cmbAddBet"));
    for (common::BetType bet : common::kBetTypes)
        cmbAddBet->addItem(QString::fromUtf8(betNameJa(bet)), static_cast<int>(bet));
    spnAddCount = new QSpinBox(entry);
    spnAddCount->setObjectName(QStringLiteral("spnAddCount"));
    spnAddCount->setRange(1, kMaxCount);
    form->addWidget(new QLabel(QStringLiteral("ゲーム"), entry));
    form->addWidget(cmbAddGame);
    form->addWidget(new QLabel(QStringLiteral("抽選回"), entry));
    form->addWidget(spnAddRound);
    form->addWidget(new QLabel(QStringLiteral("番号"), entry));
    form->addWidget(txtAddNumber);
    form->addWidget(new QLabel(QStringLiteral("種類"), entry));
    form->addWidget(cmbAddBet);
    form->addWidget(new QLabel(QStringLiteral("口数"), entry));
    form->addWidget(spnAddCount);
    cmdLedgerAdd = button(entry, "cmdLedgerAdd", QStringLiteral("追加"));
    form->addWidget(cmdLedgerAdd);
    layout->addWidget(entry);

    auto* buttons = new QHBoxLayout;
    cmdLedgerRemove = button(this, "cmdLedgerRemove", QStringLiteral("選択した券を削除"));
    cmdLedgerExport = button(this, "cmdLedgerExport", QStringLiteral("CSV 出力"));
    cmdLedgerClose = button(this, "cmdLedgerClose", QStringLiteral("閉じる"));
    buttons->addWidget(cmdLedgerRemove);
    buttons->addWidget(cmdLedgerExport);
    buttons->addStretch();
    buttons->addWidget(cmdLedgerClose);
    layout->addLayout(buttons);

    connect(cmbLedgerGame, &QComboBox::currentIndexChanged, this, &LedgerWindow::refresh);
    connect(chkLedgerDates, &QCheckBox::toggled, this, [this](bool on) {
        dteLedgerFrom->setEnabled(on);
        dteLedgerTo->setEnabled(on);
        refresh();
    });
    connect(dteLedgerFrom, &QDateEdit::dateChanged, this, &LedgerWindow::refresh);
    connect(dteLedgerTo, &QDateEdit::dateChanged, this, &LedgerWindow::refresh);
    connect(tblLedgerRounds, &QTableWidget::itemSelectionChanged, this, &LedgerWindow::showDetail);
    connect(cmdLedgerAdd, &QPushButton::clicked, this, &LedgerWindow::cmdLedgerAdd_Click);
    connect(cmdLedgerRemove, &QPushButton::clicked, this, &LedgerWindow::cmdLedgerRemove_Click);
    connect(cmdLedgerExport, &QPushButton::clicked, this, &LedgerWindow::cmdLedgerExport_Click);
    connect(cmdLedgerClose, &QPushButton::clicked, this, &QDialog::accept);
    resize(980, 760);
}

bool LedgerWindow::openLedger() {
    LedgerOpenResult opened = Ledger::open(m_path);
    if (!opened.ledger) {
        ui::showMessage(this, QString::fromStdString(describeJa(opened.error)), ui::Buttons::Ok, kTitle);
        return false;
    }
    m_ledger = std::move(opened.ledger);
    refresh();
    return true;
}

ReportFilter LedgerWindow::currentFilter() const {
    ReportFilter filter;
    if (cmbLedgerGame->currentIndex() == 1)
        filter.game = common::Game::Numbers3;
    else if (cmbLedgerGame->currentIndex() == 2)
        filter.game = common::Game::Numbers4;
    if (chkLedgerDates->isChecked()) {
        filter.fromDate = serialOfDate(dteLedgerFrom->date());
        filter.toDate = serialOfDate(dteLedgerTo->date());
    }
    return filter;
}

void LedgerWindow::refresh() {
    if (!m_ledger)
        return;
    TicketsResult listed = m_ledger->tickets();
    if (listed.error) {
        ui::showMessage(this, QString::fromStdString(describeJa(listed.error)), ui::Buttons::Ok, kTitle);
        listed.tickets.clear();
    }
    m_report = buildReport(std::move(listed.tickets), m_history, currentFilter());
    showRows();
    showChart();
}

void LedgerWindow::showRows() {
    tblLedgerRounds->setRowCount(static_cast<int>(m_report.rows.size()));
    for (std::size_t i = 0; i < m_report.rows.size(); ++i) {
        const RoundRow& row = m_report.rows[i];
        const int r = static_cast<int>(i);
        tblLedgerRounds->setItem(r, 0, cell(QString::number(row.round), true));
        tblLedgerRounds->setItem(
            r, 1, cell(row.settled ? QString::fromStdString(common::formatDate(*row.drawDate)) : QStringLiteral("－")));
        tblLedgerRounds->setItem(r, 2, cell(QString::fromUtf8(common::gameName(row.game))));
        tblLedgerRounds->setItem(r, 3, cell(QString::number(row.tickets), true));
        tblLedgerRounds->setItem(r, 4, cell(yen(row.cost), true));
        const QString none = QStringLiteral("－");
        tblLedgerRounds->setItem(r, 5, cell(row.settled ? yen(row.won) : none, true));
        tblLedgerRounds->setItem(r, 6, cell(row.settled ? yen(row.balance) : none, true));
        tblLedgerRounds->setItem(r, 7, cell(row.settled ? yen(row.runningBalance) : none, true));
        tblLedgerRounds->setItem(r, 8, cell(row.settled ? QStringLiteral("確定") : QStringLiteral("未抽選")));
        if (row.settled && row.won > 0)
            for (int c = 0; c < 9; ++c)
                tblLedgerRounds->item(r, c)->setBackground(QColor(255, 240, 200));
    }
    const ReportTotals& t = m_report.totals;
    lblLedgerTotals->setText(QStringLiteral("合計：%1 回 %2 口 購入額 %3 円　確定分：購入額 %4 円 当選金 %5 円 "
                                            "収支 %6 円（当選 %7 口）　未抽選：%8 口 %9 円")
                                 .arg(t.rounds)
                                 .arg(t.tickets)
                                 .arg(yen(t.cost), yen(t.settledCost), yen(t.won), yen(t.balance))
                                 .arg(t.hits)
                                 .arg(t.unsettledTickets)
                                 .arg(yen(t.unsettledCost)));
    if (!m_report.rows.empty())
        tblLedgerRounds->selectRow(0);
    showDetail();
}

void LedgerWindow::showDetail() {
    const QList<QTableWidgetSelectionRange> ranges = tblLedgerRounds->selectedRanges();
    const int r = ranges.isEmpty() ? -1 : ranges.front().topRow();
    if (r < 0 || r >= static_cast<int>(m_report.rows.size())) {
        tblLedgerTickets->setRowCount(0);
        return;
    }
    const auto detail = m_report.detail(m_report.rows[static_cast<std::size_t>(r)]);
    tblLedgerTickets->setRowCount(static_cast<int>(detail.size()));
    for (std::size_t i = 0; i < detail.size(); ++i) {
        const SettledTicket& st = detail[i];
        const int k = static_cast<int>(i);
        auto* id = cell(QString::number(st.ticket.id), true);
        id->setData(Qt::UserRole, static_cast<qlonglong>(st.ticket.id));
        tblLedgerTickets->setItem(k, 0, id);
        tblLedgerTickets->setItem(k, 1, cell(QString::fromUtf8(betNameJa(st.ticket.bet))));
        tblLedgerTickets->setItem(k, 2, cell(QString::fromStdString(st.ticket.number.text())));
        const bool hit = st.settlement.hit != HitKind::None;
        tblLedgerTickets->setItem(k, 3,
                                  cell(!st.settlement.settled ? QStringLiteral("未抽選")
                                       : hit ? QStringLiteral("★ ") + QString::fromUtf8(hitNameJa(st.settlement.hit))
                                             : QStringLiteral("はずれ")));
        tblLedgerTickets->setItem(k, 4,
                                  cell(st.settlement.settled ? yen(st.settlement.won) : QStringLiteral("－"), true));
        tblLedgerTickets->setItem(
            k, 5, cell(st.ticket.source == TicketSource::Printed ? QStringLiteral("印刷") : QStringLiteral("手入力")));
        if (hit)
            for (int c = 0; c < 6; ++c)
                tblLedgerTickets->item(k, c)->setBackground(QColor(255, 220, 160));
    }
}

void LedgerWindow::showChart() {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("累計収支の推移"));
    chart->legend()->hide();
    auto* series = new QLineSeries(chart);
    int64_t low = 0;
    int64_t high = 0;
    for (const RoundRow& row : m_report.rows) {
        if (!row.settled)
            continue;
        series->append(static_cast<qreal>(QDateTime(dateOfSerial(*row.drawDate), QTime(0, 0)).toMSecsSinceEpoch()),
                       static_cast<qreal>(row.runningBalance));
        low = std::min(low, row.runningBalance);
        high = std::max(high, row.runningBalance);
    }
    chart->addSeries(series);
    auto* x = new QDateTimeAxis(chart);
    x->setFormat(QStringLiteral("yyyy/MM/dd"));
    auto* y = new QValueAxis(chart);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setRange(static_cast<qreal>(low), static_cast<qreal>(high == low ? low + 1000 : high));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    QChart* old = chartLedgerBalance->chart();
    chartLedgerBalance->setChart(chart);
    delete old;
}

void LedgerWindow::cmdLedgerAdd_Click() {
    if (!m_ledger)
        return;
    const common::Game game = cmbAddGame->currentIndex() == 1 ? common::Game::Numbers4 : common::Game::Numbers3;
    const auto bet = static_cast<common::BetType>(cmbAddBet->currentData().toInt());
    const RecordResult recorded = m_ledger->addTickets(
        game, spnAddRound->value(), txtAddNumber->text().trimmed().toStdString(), bet, spnAddCount->value());
    if (recorded.error) {
        ui::showMessage(this, QString::fromStdString(describeJa(recorded.error)), ui::Buttons::Ok, kTitle);
        return;
    }
    txtAddNumber->clear();
    refresh();
}

void LedgerWindow::cmdLedgerRemove_Click() {
    if (!m_ledger)
        return;
    const QList<QTableWidgetSelectionRange> ranges = tblLedgerTickets->selectedRanges();
    if (ranges.isEmpty()) {
        ui::showMessage(this, QStringLiteral("削除する券を下の一覧で選んでください。"), ui::Buttons::Ok, kTitle);
        return;
    }
    const int k = ranges.front().topRow();
    const qlonglong id = tblLedgerTickets->item(k, 0)->data(Qt::UserRole).toLongLong();
    const QString what =
        tblLedgerTickets->item(k, 1)->text() + QStringLiteral(" ") + tblLedgerTickets->item(k, 2)->text();
    if (ui::showMessage(this, QStringLiteral("券番号 %1（%2）を購入記録から削除しますか？").arg(id).arg(what),
                        ui::Buttons::YesNo, kTitle) != ui::Answer::Yes)
        return;
    if (const LedgerError error = m_ledger->removeTicket(id); error)
        ui::showMessage(this, QString::fromStdString(describeJa(error)), ui::Buttons::Ok, kTitle);
    refresh();
}

bool LedgerWindow::exportCsv(const QString& path) {
    if (const LedgerError error = exportRowsCsv(path.toStdString(), m_report); error) {
        ui::showMessage(this, QString::fromStdString(describeJa(error)), ui::Buttons::Ok, kTitle);
        return false;
    }
    return true;
}

void LedgerWindow::cmdLedgerExport_Click() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("CSV 出力"), QStringLiteral("ledger.csv"),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        exportCsv(path);
}

} // namespace tw::ledger
