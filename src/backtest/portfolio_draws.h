// The random side of the back-test, portfolio by portfolio: how many of a
// round's distinct random tickets fall into the paying classes.
//
// Every portfolio draws from its own xoshiro256** stream. A round's draw asks
// the same of every portfolio (the same population, ticket count and classes),
// so the streams are kept one array per state word and, where the processor
// has AVX2, four portfolios are advanced side by side. Each portfolio consumes
// exactly the values it would consume alone, so both ways give the same
// figures for a seed; the side-by-side way is only faster.
#pragma once

#include "backtest/backtest.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw::backtest {

// One round's draw for one group of lines: `tickets` distinct numbers out of
// `population`, of which `straightClass` (0 or 1) pay as the drawn number and
// `boxClass` as its other arrangements. Needs tickets >= 1 and population >
// straightClass + boxClass.
struct ClassDraw {
    uint32_t population = 0;
    uint32_t tickets = 0;
    uint32_t straightClass = 0;
    uint32_t boxClass = 0;
};

// Per portfolio, the tickets of the last draw in each class (0 or 1 straight,
// 0 .. boxClass box).
struct ClassHits {
    std::vector<uint8_t> straight;
    std::vector<uint8_t> box;
};

enum class DrawKernel { OneByOne, FourAtOnce };

// The streams of all portfolios: portfolio p starts as RandomStream(s_p), s_p
// the p-th output of splitMix64 from the seed, so a portfolio's figures do not
// depend on how many others are simulated beside it.
class PortfolioStreams {
public:
    PortfolioStreams(uint64_t seed, std::size_t portfolios);
    std::size_t size() const { return m_words[0].size(); }
    RandomStream stream(std::size_t portfolio) const;
    void setStream(std::size_t portfolio, const RandomStream& stream);

    // Draws one ClassDraw for every portfolio, in selection sampling: each paying
    // number is among the tickets with probability (tickets left) / (numbers
    // left), the drawn number first, then the box class while tickets are left.
    void draw(const ClassDraw& d, ClassHits& hits, DrawKernel kernel);
    void draw(const ClassDraw& d, ClassHits& hits) { draw(d, hits, fastestKernel()); }

    // FourAtOnce where the processor runs AVX2, else OneByOne.
    static DrawKernel fastestKernel();
    static bool available(DrawKernel kernel);

private:
    void drawOneByOne(const ClassDraw& d, ClassHits& hits, std::size_t from);
    void drawFourAtOnce(const ClassDraw& d, ClassHits& hits);
    std::vector<uint64_t> m_words[4];
};

} // namespace tw::backtest
