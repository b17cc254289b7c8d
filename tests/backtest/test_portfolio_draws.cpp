// The portfolios' class draws: the side-by-side kernel gives every portfolio the
// hits and the stream position that drawing it alone gives, for draws that run
// a ticket short, hit often, reject often and leave some portfolios over.
#include "backtest/portfolio_draws.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace tw::backtest {
namespace {

// A portfolio drawn alone, written out from the sampling rule.
void drawAlone(RandomStream& rng, const ClassDraw& d, int& straight, int& box) {
    uint32_t left = d.tickets;
    straight = 0;
    box = 0;
    if (d.straightClass && rng.below(d.population) < left) {
        straight = 1;
        --left;
    }
    for (uint32_t i = 0; i < d.boxClass && left > 0; ++i)
        if (rng.below(d.population - d.straightClass - i) < left) {
            ++box;
            --left;
        }
}

struct DrawCase {
    const char* what;
    ClassDraw draw;
};

// Populations near 2^32 make the generator reject about one value in four, so
// the lanes that must draw again are exercised too.
const DrawCase kCases[] = {
    {"NUMBERS4 Box, few tickets", {9990, 12, 1, 23}},
    {"NUMBERS4 Straight", {10000, 40, 1, 0}},
    {"NUMBERS3 Box, one pair", {990, 30, 1, 2}},
    {"one ticket runs out at the first hit", {25, 1, 1, 23}},
    {"no drawn number, one ticket", {24, 1, 0, 23}},
    {"most numbers bought", {30, 28, 1, 23}},
    {"Mini", {100, 60, 1, 0}},
    {"rejections", {3'000'000'000u, 2'000'000'000u, 1, 23}},
    {"rejections of every second value", {2'147'483'649u, 1'000'000'000u, 1, 5}},
};

TEST(PortfolioDraws, EachKernelMatchesEveryPortfolioDrawnAlone) {
    // The cases are only a check of the kernels if every one of them hits.
    std::vector<int> hitsOfCase(std::size(kCases), 0);
    for (DrawKernel kernel : {DrawKernel::OneByOne, DrawKernel::FourAtOnce}) {
        if (!PortfolioStreams::available(kernel))
            continue;
        for (std::size_t portfolios : {1u, 3u, 4u, 5u, 9u, 203u}) {
            PortfolioStreams streams(77, portfolios);
            std::vector<RandomStream> alone;
            uint64_t state = 77;
            for (std::size_t p = 0; p < portfolios; ++p)
                alone.emplace_back(splitMix64(state));
            ClassHits hits;
            // Several rounds in a row, so a stream left at the wrong place shows.
            for (int round = 0; round < 12; ++round)
                for (std::size_t k = 0; k < std::size(kCases); ++k) {
                    const DrawCase& c = kCases[k];
                    streams.draw(c.draw, hits, kernel);
                    for (std::size_t p = 0; p < portfolios; ++p) {
                        int straight = 0, box = 0;
                        drawAlone(alone[p], c.draw, straight, box);
                        ASSERT_EQ(hits.straight[p], straight) << c.what << ", portfolio " << p << " of " << portfolios;
                        ASSERT_EQ(hits.box[p], box) << c.what << ", portfolio " << p << " of " << portfolios;
                        hitsOfCase[k] += straight + box;
                    }
                }
            for (std::size_t p = 0; p < portfolios; ++p)
                EXPECT_EQ(streams.stream(p).next(), alone[p].next()) << "portfolio " << p << " of " << portfolios;
        }
    }
    for (std::size_t k = 0; k < std::size(kCases); ++k)
        EXPECT_GT(hitsOfCase[k], 0) << kCases[k].what;
}

} // namespace
} // namespace tw::backtest
