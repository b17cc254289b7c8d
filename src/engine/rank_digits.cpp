#include "engine/rank_digits.h"

#include <cassert>
#include <cstdlib>

namespace tw::engine {

bool operator<(const SortKey& a, const SortKey& b) {
    if (a.isNumber() && b.isNumber())
        return a.number() < b.number();
    if (a.isText() && b.isText())
        return a.text() < b.text(); // char_traits<char> compares as unsigned codes
    return a.isNumber();
}

void QuickSortKeys(std::vector<SortKey>& keys, int lo, int hi) {
    const int m = (lo + hi) / 2;
    const SortKey pivot = keys[static_cast<std::size_t>(m)];
    int i = lo;
    int j = hi;
    for (;;) {
        while (keys[static_cast<std::size_t>(i)] < pivot)
            ++i;
        while (keys[static_cast<std::size_t>(j)] > pivot)
            --j;
        if (i >= j)
            break;
        std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
        ++i;
        --j;
    }
    if (lo < i - 1)
        QuickSortKeys(keys, lo, i - 1);
    if (j + 1 < hi)
        QuickSortKeys(keys, j + 1, hi);
}

std::string digitKey(int point, int digit) {
    // Format "000000": at least six digits, a minus sign in front of a negative value.
    std::string digits = std::to_string(std::abs(point));
    if (digits.size() < 6)
        digits.insert(0, 6 - digits.size(), '0');
    if (point < 0)
        digits.insert(0, 1, '-');
    digits.push_back(static_cast<char>('0' + (9 - digit)));
    return digits;
}

RankedDigits RankDigits(std::span<const int16_t> points) {
    assert(points.size() >= 10);
    std::vector<SortKey> work(11); // slot 10 stays empty and is not sorted
    for (int d = 0; d < 10; ++d)
        work[static_cast<std::size_t>(d)] = SortKey(digitKey(points[static_cast<std::size_t>(d)], d));
    QuickSortKeys(work, 0, 9);
    RankedDigits out{};
    for (int t = 9; t >= 0; --t) {
        const std::string& key = work[static_cast<std::size_t>(t)].text();
        const int digit = 9 - (key.back() - '0');
        out[static_cast<std::size_t>(9 - t)] =
            DigitPoint{static_cast<int16_t>(digit), points[static_cast<std::size_t>(digit)]};
    }
    return out;
}

RankedDigits rankDigitsFast(std::span<const int16_t> points) {
    assert(points.size() >= 10);
    RankedDigits out{};
    // Digits enter in rising order and move only past strictly smaller points,
    // so equal points keep the rising digit order.
    for (int d = 0; d < 10; ++d) {
        const DigitPoint entry{static_cast<int16_t>(d), points[static_cast<std::size_t>(d)]};
        int k = d;
        while (k > 0 && out[static_cast<std::size_t>(k - 1)].intPoint < entry.intPoint) {
            out[static_cast<std::size_t>(k)] = out[static_cast<std::size_t>(k - 1)];
            --k;
        }
        out[static_cast<std::size_t>(k)] = entry;
    }
    return out;
}

} // namespace tw::engine
