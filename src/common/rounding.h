// Real-to-integer conversion as the program does it everywhere: to the nearest
// integer, halves to even (2.5 -> 2, 3.5 -> 4). std::nearbyint follows the
// current rounding mode, which the program never changes from to-nearest.
#pragma once

#include <cmath>
#include <cstdint>

namespace tw::common {

inline int64_t roundHalfEven(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

} // namespace tw::common
