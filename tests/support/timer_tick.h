// Lets a running QTimer's interval pass at once: the timer receives its own
// timer event and emits timeout(), so the owner's handler runs as it would
// when the time is up. A timer that is not running does not fire, which a
// test must see rather than step over.
#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

namespace tw::testing {

// True when the timer was running and has fired.
inline bool fireTimer(QTimer* timer) {
    if (!timer || !timer->isActive())
        return false;
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
    return true;
}

} // namespace tw::testing
