#include "history/gui/table_load_dialog.h"

#include "common/rounding.h"
#include "ui/avi_player.h"
#include "ui/clock_status_bar.h"
#include "ui/fonts.h"
#include "ui/message_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QStringList>
#include <QTime>
#include <QVBoxLayout>

namespace tw::history {

namespace {
constexpr int kBannerPoints = 26;

QString bannerText(common::Game game) {
    const char* colour = game == common::Game::Numbers3 ? "#ff00ff" : "#00c000";
    return QStringLiteral("Numbers <span style=\"color:%1\">%2</span>")
        .arg(QLatin1String(colour))
        .arg(common::gameCode(game));
}
} // namespace

TableLoadDialog::TableLoadDialog(DrawHistory& history, std::string num3Path, std::string num4Path, QString aviPath,
                                 QWidget* parent)
    : QDialog(parent), m_history(history), m_paths{std::move(num3Path), std::move(num4Path)},
      m_aviPath(std::move(aviPath)) {
    setObjectName(QStringLiteral("dlgLoadData"));
    setWindowTitle(QStringLiteral("データ読込み中"));
    setModal(true);
    buildControls();
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer3.setObjectName(QStringLiteral("Timer3"));
    connect(&Timer1, &QTimer::timeout, this, &TableLoadDialog::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &TableLoadDialog::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &TableLoadDialog::Timer3_Timer);
}

TableLoadDialog::~TableLoadDialog() = default;

void TableLoadDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* banners = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* banner = new QLabel(bannerText(common::kGames[static_cast<std::size_t>(i)]), this);
        banner->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        banner->setTextFormat(Qt::RichText);
        banner->setFont(ui::bannerFont(kBannerPoints));
        banner->setAlignment(Qt::AlignCenter);
        banner->setFrameShape(QFrame::Box);
        banner->setMinimumWidth(220);
        // A hidden banner keeps its place, so the blinking does not shake the layout.
        QSizePolicy policy = banner->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        banner->setSizePolicy(policy);
        banners->addWidget(banner);
        Picture1[static_cast<std::size_t>(i)] = banner;
    }
    Picture1[1]->hide();
    layout->addLayout(banners);

    Animation1 = new ui::AviPlayer(this);
    Animation1->setObjectName(QStringLiteral("Animation1"));
    Animation1->setMinimumSize(96, 64);
    layout->addWidget(Animation1);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    layout->addWidget(ProgressBar1);

    auto* times = new QHBoxLayout;
    for (std::size_t i = 0; i < Label3.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label3_%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(70);
        times->addWidget(label);
        Label3[i] = label;
    }
    layout->addLayout(times);

    StatusBar1 = new ui::ClockStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(StatusBar1);
}

void TableLoadDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_blnActivated) {
        m_blnActivated = true;
        Form_Activate();
    }
}

void TableLoadDialog::Form_Activate() {
    if (Animation1->open(m_aviPath))
        Animation1->play();
    m_loadGame = common::Game::Numbers3;
    m_blnBlink = true;
    Picture1[0]->show();
    Timer1.start(m_timings.intBlinkMs);
    m_intLoadStep = 0;
    Timer2.start(m_timings.intStepMs);
}

void TableLoadDialog::reject() {
    if (m_blnFinished)
        QDialog::reject();
}

void TableLoadDialog::startFile(common::Game game) {
    m_loader.emplace(m_paths[game == common::Game::Numbers3 ? 0 : 1], game);
    m_loader->SetLoadSlice(kLoadSlice);
    m_loader->ReadTableBlocks();
    m_loader->ResetLineScan();
}

void TableLoadDialog::stampTime(int index) {
    Label3[static_cast<std::size_t>(index)]->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
}

void TableLoadDialog::Timer2_Timer() {
    Timer2.stop();
    LoadStep();
    if (stopOnError())
        return;
    if (m_loadGame)
        Timer2.start(m_timings.intStepMs);
}

void TableLoadDialog::LoadStep() {
    switch (m_intLoadStep) {
    case 0:
        stampTime(0);
        startFile(common::Game::Numbers3);
        m_intLoadStep = 1;
        break;
    case 1:
    case 4:
        m_loader->CountTableLines();
        if (m_loader->IsLoadStepDone() && !m_loader->failed()) {
            m_loader->ResetLineParse();
            if (m_intLoadStep == 1)
                stampTime(1);
            ++m_intLoadStep;
        }
        break;
    case 2:
    case 5:
        m_loader->ParseTableLines();
        if (m_loader->IsLoadStepDone() && !m_loader->failed()) {
            if (m_loader->warning())
                m_loadWarnings.push_back(m_loader->warning());
            m_history.table(*m_loadGame) = m_loader->takeTable();
            if (m_intLoadStep == 2) {
                m_loadGame = common::Game::Numbers4;
                stampTime(2);
            } else {
                m_loadGame.reset();
            }
            ++m_intLoadStep;
        }
        break;
    case 3:
        startFile(common::Game::Numbers4);
        m_intLoadStep = 4;
        break;
    default:
        break;
    }
}

bool TableLoadDialog::stopOnError() {
    if (!m_loader || !m_loader->failed())
        return false;
    m_loadError = m_loader->error();
    Timer1.stop();
    Timer2.stop();
    Animation1->stop();
    ui::showMessage(this, QString::fromStdString(m_loadError.message()), ui::Buttons::Ok,
                    QStringLiteral("【データ読込みエラー】"));
    m_blnFinished = true;
    done(QDialog::Rejected);
    return true;
}

void TableLoadDialog::blinkBanner(QLabel* banner) {
    banner->setVisible(m_blnBlink);
    m_blnBlink = !m_blnBlink;
}

void TableLoadDialog::Timer1_Timer() {
    Timer1.stop();
    const auto progress = [this] {
        return m_loader ? static_cast<int>(common::roundHalfEven(m_loader->LoadProgress())) : 0;
    };
    if (m_loadGame == common::Game::Numbers3) {
        ProgressBar1->setValue(progress());
        blinkBanner(Picture1[0]);
    } else if (m_loadGame == common::Game::Numbers4) {
        ProgressBar1->setValue(progress());
        Picture1[0]->show();
        blinkBanner(Picture1[1]);
    } else {
        // The last file is complete; the bar shows it full until the dialog closes.
        ProgressBar1->setValue(progress());
        Animation1->stop();
        Picture1[0]->show();
        Picture1[1]->show();
        Timer3.start(m_timings.intCloseMs);
    }
    if (m_loadGame)
        Timer1.start(m_timings.intBlinkMs);
}

void TableLoadDialog::Timer3_Timer() {
    Timer3.stop();
    if (!m_loadWarnings.empty()) {
        QStringList lines;
        for (const LoadWarning& warning : m_loadWarnings)
            lines << QString::fromStdString(warning.message());
        lines << QStringLiteral("表のファイルを確かめてください。");
        ui::showMessage(this, lines.join(QLatin1Char('\r')), ui::Buttons::Ok, QStringLiteral("【データ読込み確認】"));
    }
    m_blnFinished = true;
    done(QDialog::Accepted);
}

} // namespace tw::history
