// The moment the main window tests fix "now" at: a Wednesday morning, a draw
// day well before that day's purchase deadline, so no deadline notice appears
// unless a test moves the clock on.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace tw::testing {

inline const QDateTime kWednesdayMorning(QDate(2024, 1, 10), QTime(10, 0));

} // namespace tw::testing
