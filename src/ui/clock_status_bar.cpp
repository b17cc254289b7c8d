#include "ui/clock_status_bar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tw::ui {

ClockStatusBar::ClockStatusBar(QWidget* parent)
    : QStatusBar(parent), m_clock([] { return QDateTime::currentDateTime(); }) {
    setSizeGripEnabled(false);
    // Without a size grip the last panel would touch the window's right edge.
    setContentsMargins(0, 0, kRightMargin, 0);
    const std::array<const char*, 2> names = {"StatusBar1_Date", "StatusBar1_Time"};
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(names[i]));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(i == kDatePanel ? 110 : 80);
        label->installEventFilter(this);
        addPermanentWidget(label);
        m_panels[i] = label;
    }
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &ClockStatusBar::refresh);
    m_tick.start();
    refresh();
}

void ClockStatusBar::setClock(Clock clock) {
    m_clock = std::move(clock);
    refresh();
}

void ClockStatusBar::refresh() {
    const QDateTime now = m_clock();
    m_panels[kDatePanel]->setText(now.date().toString(QStringLiteral("yyyy/MM/dd")));
    m_panels[kTimePanel]->setText(now.time().toString(QStringLiteral("H:mm")));
}

bool ClockStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            for (std::size_t i = 0; i < m_panels.size(); ++i) {
                if (watched == m_panels[i]) {
                    Q_EMIT panelClicked(static_cast<int>(i));
                    return true;
                }
            }
        }
    }
    return QStatusBar::eventFilter(watched, event);
}

} // namespace tw::ui
