#include "reports/gui/report_progress_dialog.h"

#include "ui/message_box.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tw::reports {

namespace {

const QString kTitle = QStringLiteral("抽選結果出力");

QString failureText(const ReportError& error) {
    switch (error.kind) {
    case ReportErrorKind::HistoryTooShort:
        return QStringLiteral("抽選結果の出力には、NUMBERS3 の第%1回までの抽選データが必要です。\r"
                              "（現在の登録は第%2回までです）")
            .arg(kReportMinRounds)
            .arg(error.round);
    case ReportErrorKind::PredictionFailed:
        return QStringLiteral("第%1回の予測ができなかったため、抽選結果の出力を中止しました。").arg(error.round);
    case ReportErrorKind::TotalOverflow:
        return QStringLiteral("第%1回の配当金の集計が大きすぎるため、抽選結果の出力を中止しました。").arg(error.round);
    case ReportErrorKind::None:
        break;
    }
    return {};
}

} // namespace

ReportProgressDialog::ReportProgressDialog(std::unique_ptr<HitReportJob> job, QWidget* parent)
    : QDialog(parent), m_job(std::move(job)) {
    setObjectName(QStringLiteral("dlgReportProgress"));
    setWindowTitle(QStringLiteral("抽選結果出力中"));
    setModal(true);

    m_label = new QLabel(QStringLiteral("予測を再現して抽選結果を出力しています…"), this);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("barReport"));
    m_bar->setRange(0, std::max(1, m_job->roundsTotal()));
    m_bar->setValue(0);
    m_bar->setFormat(QStringLiteral("%v / %m 回"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    setMinimumWidth(360);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ReportProgressDialog::writeSome);
    m_timer->start(0);
}

void ReportProgressDialog::writeSome() {
    for (int i = 0; i < m_roundsPerTick && !m_job->done(); ++i) {
        m_error = m_job->step();
        if (m_error) {
            reject();
            return;
        }
    }
    m_bar->setValue(m_job->roundsDone());
    if (m_job->done()) {
        accept();
        return;
    }
    m_timer->start(0);
}

std::vector<ReportRange> runHitReportWithProgress(const history::DrawTable& num3, const QString& dir, QWidget* parent) {
    StartedReport started = startHitReports(num3, dir.toStdString());
    if (!started.job) {
        ui::showMessage(parent, failureText(started.error), ui::Buttons::Ok, kTitle);
        return {};
    }
    ReportProgressDialog dialog(std::move(started.job), parent);
    if (dialog.exec() != QDialog::Accepted) {
        if (dialog.error())
            ui::showMessage(parent, failureText(dialog.error()), ui::Buttons::Ok, kTitle);
        return {};
    }
    return dialog.job().ranges();
}

} // namespace tw::reports
