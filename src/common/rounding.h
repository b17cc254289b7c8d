// The one real-to-integer conversion of Tallowind, used by every amount, average
// and percentage: to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4), so
// that the same figure rounds the same way in a window, a report and the
// command-line tool. std::nearbyint follows the current rounding mode; nothing
// here changes it from to-nearest.
#pragma once

#include <cmath>
#include <cstdint>

namespace tw::common {

inline int64_t roundHalfEven(double x) {
    return static_cast<int64_t>(std::nearbyint(x));
}

} // namespace tw::common
