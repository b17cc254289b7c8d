// The moments the tests fix "now" at, so that dates written by a test, the
// purchase-deadline notice and the ledger's recording times never depend on
// when the suite runs.
#pragma once

#include <chrono>

namespace tw::testing {

// 2026-08-21 12:00:00 UTC: when the ledger tests record their tickets.
inline std::chrono::system_clock::time_point fixedSystemNow() {
    using namespace std::chrono;
    return sys_days{year{2026} / 8 / 21} + hours{12};
}

} // namespace tw::testing
