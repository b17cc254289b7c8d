#include "engine/gui/prediction_progress_dialog.h"

#include "common/rounding.h"
#include "ui/fonts.h"
#include "ui/message_box.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace tw::engine {

namespace {

const QString kRunning = QStringLiteral("分析実行中");
const QString kFinished = QStringLiteral("分析終了");
const QColor kFinishedColour(0, 0, 255); // 0xFF0000, blue

QFont captionFont() {
    QFont font;
    // The caption asks for the Mincho face; where it is missing the Japanese UI face stands in.
    QStringList families{QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho"), QStringLiteral("IPAexMincho"),
                         QStringLiteral("IPAMincho")};
    if (const QString fallback = ui::japaneseFamily(); !fallback.isEmpty())
        families << fallback;
    font.setFamilies(families);
    font.setStyleHint(QFont::Serif);
    font.setPointSize(20);
    font.setBold(true);
    return font;
}

} // namespace

PredictionProgressDialog::PredictionProgressDialog(Engine& engine, const history::DrawTable& table,
                                                   const Request& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_engine(engine), m_table(table),
      m_request(request) {
    setObjectName(QStringLiteral("dlgYosoku"));
    setWindowTitle(QStringLiteral("予測分析"));
    setModal(true);

    frmPanel = new QFrame(this);
    frmPanel->setObjectName(QStringLiteral("frmPanel"));
    frmPanel->setFrameShape(QFrame::Panel);
    frmPanel->setFrameShadow(QFrame::Sunken);
    lblString = new QLabel(frmPanel);
    lblString->setObjectName(QStringLiteral("lblString"));
    lblString->setFont(captionFont());
    lblString->setAlignment(Qt::AlignCenter);
    // Blinking hides the label; its place in the frame must not collapse meanwhile.
    QSizePolicy policy = lblString->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    lblString->setSizePolicy(policy);
    auto* inner = new QVBoxLayout(frmPanel);
    inner->setContentsMargins(24, 18, 24, 18);
    inner->addWidget(lblString);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frmPanel);
    setFixedSize(320, 110);

    tmYosoku.setObjectName(QStringLiteral("tmYosoku"));
    tmDisp.setObjectName(QStringLiteral("tmDisp"));
    tmExit.setObjectName(QStringLiteral("tmExit"));
    connect(&tmYosoku, &QTimer::timeout, this, &PredictionProgressDialog::tmYosoku_Timer);
    connect(&tmDisp, &QTimer::timeout, this, &PredictionProgressDialog::tmDisp_Timer);
    connect(&tmExit, &QTimer::timeout, this, &PredictionProgressDialog::tmExit_Timer);
    Form_Load();
}

void PredictionProgressDialog::Form_Load() {
    tmDisp.stop();
    tmYosoku.stop();
    m_blnActivated = false;
    m_blnLabelShown = false;
    lblString->setText(kRunning);
}

bool PredictionProgressDialog::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // Offscreen and some window managers never activate a dialog, so showing it counts too.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void PredictionProgressDialog::Form_Activate() {
    if (m_blnActivated)
        return;
    m_blnActivated = true;
    const EngineError error = m_engine.YosouSetUp(m_table, m_request.game, m_request.runType, m_request.maxCount);
    if (error != EngineError::None) {
        // exec() has not entered its event loop yet; closing now would leave it waiting.
        QTimer::singleShot(0, this, [this, error] { stopRun(error); });
        return;
    }
    tmYosoku.start(m_intervals.yosokuMs);
    tmDisp.start(m_intervals.dispMs);
}

void PredictionProgressDialog::tmYosoku_Timer() {
    tmYosoku.stop();
    const StepResult step = m_engine.YosouStep();
    ++m_outcome.slicesRun;
    if (step.error != EngineError::None) {
        stopRun(step.error);
        return;
    }
    if (step.intBar >= 0 && step.intBar < kPasses)
        Q_EMIT passProgress(step.intBar, static_cast<int>(common::roundHalfEven(step.percent)));
    if (step.blnComplete) {
        m_outcome.completed = true;
        tmDisp.stop();
        lblString->setText(kFinished);
        QPalette palette = lblString->palette();
        palette.setColor(QPalette::WindowText, kFinishedColour);
        lblString->setPalette(palette);
        lblString->setVisible(true);
        tmExit.start(m_intervals.exitMs);
    } else {
        tmYosoku.start(m_intervals.yosokuMs);
    }
}

void PredictionProgressDialog::tmDisp_Timer() {
    tmDisp.stop();
    m_blnLabelShown = !m_blnLabelShown;
    lblString->setVisible(m_blnLabelShown);
    tmDisp.start(m_intervals.dispMs);
}

void PredictionProgressDialog::tmExit_Timer() {
    tmExit.stop();
    m_closing = true;
    accept();
}

void PredictionProgressDialog::stopRun(EngineError error) {
    tmYosoku.stop();
    tmDisp.stop();
    tmExit.stop();
    m_outcome.error = error;
    ui::showMessage(this, errorMessage(error, m_request.maxCount), ui::Buttons::Ok, QStringLiteral("【分析エラー】"));
    m_closing = true;
    done(QDialog::Rejected);
}

QString PredictionProgressDialog::errorMessage(EngineError error, int maxCount) {
    switch (error) {
    case EngineError::RoundOutOfRange:
        if (maxCount < 1)
            return QStringLiteral("第%1回の予測はできません。\r分析に使える抽選結果がありません。").arg(maxCount + 1);
        return QStringLiteral("第%1回の予測はできません。\r分析に使う第1回～第%2回の抽選結果が登録されていません。")
            .arg(maxCount + 1)
            .arg(maxCount);
    case EngineError::CountOverflow:
        return QStringLiteral("集計値が上限を超えたため、分析を中止しました。");
    case EngineError::InvalidArgument:
    case EngineError::NotSetUp:
    case EngineError::None:
        break;
    }
    return QStringLiteral("分析の指定が正しくないため、分析を中止しました。");
}

void PredictionProgressDialog::closeEvent(QCloseEvent* event) {
    if (m_closing)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void PredictionProgressDialog::reject() {
    // Escape ends nothing: the run has no cancel.
    if (m_closing)
        QDialog::reject();
}

} // namespace tw::engine
