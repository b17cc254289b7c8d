#include "backtest/portfolio_draws.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TW_DRAWS_AVX2 1
#include <immintrin.h>
#endif

namespace tw::backtest {

namespace {

// One portfolio's draw: what a single stream does for a ClassDraw.
void drawOne(RandomStream& rng, const ClassDraw& d, uint8_t& straightHit, uint8_t& boxHits) {
    uint32_t left = d.tickets;
    straightHit = 0;
    if (d.straightClass && rng.below(d.population) < left) {
        straightHit = 1;
        --left;
    }
    uint32_t box = 0;
    const uint32_t rest = d.population - d.straightClass;
    for (uint32_t i = 0; i < d.boxClass && left > 0; ++i)
        if (rng.below(rest - i) < left) {
            ++box;
            --left;
        }
    boxHits = static_cast<uint8_t>(box);
}

} // namespace

PortfolioStreams::PortfolioStreams(uint64_t seed, std::size_t portfolios) {
    for (std::vector<uint64_t>& words : m_words)
        words.resize(portfolios);
    uint64_t state = seed;
    for (std::size_t p = 0; p < portfolios; ++p)
        setStream(p, RandomStream(splitMix64(state)));
}

RandomStream PortfolioStreams::stream(std::size_t p) const {
    return RandomStream::fromState(m_words[0][p], m_words[1][p], m_words[2][p], m_words[3][p]);
}

void PortfolioStreams::setStream(std::size_t p, const RandomStream& stream) {
    for (int w = 0; w < 4; ++w)
        m_words[w][p] = stream.stateWord(w);
}

void PortfolioStreams::draw(const ClassDraw& d, ClassHits& hits, DrawKernel kernel) {
    hits.straight.resize(size());
    hits.box.resize(size());
    if (kernel == DrawKernel::FourAtOnce && available(DrawKernel::FourAtOnce))
        drawFourAtOnce(d, hits);
    else
        drawOneByOne(d, hits, 0);
}

void PortfolioStreams::drawOneByOne(const ClassDraw& d, ClassHits& hits, std::size_t from) {
    for (std::size_t p = from; p < size(); ++p) {
        RandomStream rng = stream(p);
        drawOne(rng, d, hits.straight[p], hits.box[p]);
        setStream(p, rng);
    }
}

bool PortfolioStreams::available(DrawKernel kernel) {
    if (kernel == DrawKernel::OneByOne)
        return true;
#ifdef TW_DRAWS_AVX2
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

DrawKernel PortfolioStreams::fastestKernel() {
    static const DrawKernel fastest = available(DrawKernel::FourAtOnce) ? DrawKernel::FourAtOnce : DrawKernel::OneByOne;
    return fastest;
}

#ifdef TW_DRAWS_AVX2

namespace {

// Four xoshiro256** streams in the four 64-bit lanes of the state words. Only
// this code is built for AVX2; it runs after the processor has been asked.
struct Lanes {
    __m256i s0, s1, s2, s3;
};

__attribute__((target("avx2"), always_inline)) inline __m256i rotl(__m256i x, int k) {
    return _mm256_or_si256(_mm256_slli_epi64(x, k), _mm256_srli_epi64(x, 64 - k));
}

// RandomStream::next in every lane; x * 5 and x * 9 as shifts and adds.
__attribute__((target("avx2"), always_inline)) inline __m256i next(Lanes& l) {
    const __m256i times5 = _mm256_add_epi64(l.s1, _mm256_slli_epi64(l.s1, 2));
    const __m256i rotated = rotl(times5, 7);
    const __m256i result = _mm256_add_epi64(rotated, _mm256_slli_epi64(rotated, 3));
    const __m256i t = _mm256_slli_epi64(l.s1, 17);
    l.s2 = _mm256_xor_si256(l.s2, l.s0);
    l.s3 = _mm256_xor_si256(l.s3, l.s1);
    l.s1 = _mm256_xor_si256(l.s1, l.s2);
    l.s0 = _mm256_xor_si256(l.s0, l.s3);
    l.s2 = _mm256_xor_si256(l.s2, t);
    l.s3 = rotl(l.s3, 45);
    return result;
}

__attribute__((target("avx2"))) RandomStream laneStream(const Lanes& l, int lane) {
    alignas(32) uint64_t w[4][4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(w[0]), l.s0);
    _mm256_store_si256(reinterpret_cast<__m256i*>(w[1]), l.s1);
    _mm256_store_si256(reinterpret_cast<__m256i*>(w[2]), l.s2);
    _mm256_store_si256(reinterpret_cast<__m256i*>(w[3]), l.s3);
    return RandomStream::fromState(w[0][lane], w[1][lane], w[2][lane], w[3][lane]);
}

__attribute__((target("avx2"))) void setLaneStream(Lanes& l, int lane, const RandomStream& rng) {
    alignas(32) uint64_t w[4][4];
    __m256i* words[4] = {&l.s0, &l.s1, &l.s2, &l.s3};
    for (int i = 0; i < 4; ++i) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(w[i]), *words[i]);
        w[i][lane] = rng.stateWord(i);
        *words[i] = _mm256_load_si256(reinterpret_cast<const __m256i*>(w[i]));
    }
}

// The lanes whose product's low word fell below the bound: each is finished on
// its own with the rejection loop of the one-stream generator.
__attribute__((target("avx2"), noinline)) __m256i rejectLanes(Lanes& l, __m256i m, uint32_t bound) {
    alignas(32) uint64_t products[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(products), m);
    const uint32_t threshold = (0u - bound) % bound;
    for (int lane = 0; lane < 4; ++lane) {
        if (static_cast<uint32_t>(products[lane]) >= threshold)
            continue;
        RandomStream rng = laneStream(l, lane);
        uint64_t product = products[lane];
        while (static_cast<uint32_t>(product) < threshold)
            product = (rng.next() >> 32) * bound;
        products[lane] = product;
        setLaneStream(l, lane, rng);
    }
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(products));
}

// RandomStream::below(bound) in every lane. A low product word below the bound
// (about one draw in 400,000 for the back-test's bounds) sends the lanes to the
// exact check.
__attribute__((target("avx2"), always_inline)) inline __m256i below(Lanes& l, uint32_t bound) {
    const __m256i b = _mm256_set1_epi64x(bound);
    __m256i m = _mm256_mul_epu32(_mm256_srli_epi64(next(l), 32), b);
    const __m256i low = _mm256_and_si256(m, _mm256_set1_epi64x(0xFFFFFFFF));
    // Both sides are below 2^32, so the signed 64-bit compare is exact.
    const __m256i check = _mm256_cmpgt_epi64(b, low);
    if (!_mm256_testz_si256(check, check)) [[unlikely]]
        m = rejectLanes(l, m, bound);
    return _mm256_srli_epi64(m, 32);
}

} // namespace

__attribute__((target("avx2"))) void PortfolioStreams::drawFourAtOnce(const ClassDraw& d, ClassHits& hits) {
    const std::size_t whole = size() / 4 * 4;
    const uint32_t rest = d.population - d.straightClass;
    for (std::size_t p = 0; p < whole; p += 4) {
        Lanes l{_mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_words[0].data() + p)),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_words[1].data() + p)),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_words[2].data() + p)),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_words[3].data() + p))};
        __m256i left = _mm256_set1_epi64x(d.tickets);
        __m256i straight = _mm256_setzero_si256();
        __m256i box = _mm256_setzero_si256();
        // hit lanes are all ones: subtracting counts a hit, adding spends a ticket.
        uint32_t drawn = 0; // box-class numbers drawn so far
        bool allLeft = true;
        if (d.straightClass) {
            const __m256i hit = _mm256_cmpgt_epi64(left, below(l, d.population));
            straight = _mm256_sub_epi64(straight, hit);
            left = _mm256_add_epi64(left, hit);
            allLeft = d.tickets > 1 || _mm256_testz_si256(hit, hit);
        }
        for (; allLeft && drawn < d.boxClass; ++drawn) {
            const __m256i hit = _mm256_cmpgt_epi64(left, below(l, rest - drawn));
            if (_mm256_testz_si256(hit, hit))
                continue;
            box = _mm256_sub_epi64(box, hit);
            left = _mm256_add_epi64(left, hit);
            const __m256i empty = _mm256_cmpeq_epi64(left, _mm256_setzero_si256());
            allLeft = _mm256_testz_si256(empty, empty);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(m_words[0].data() + p), l.s0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(m_words[1].data() + p), l.s1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(m_words[2].data() + p), l.s2);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(m_words[3].data() + p), l.s3);
        alignas(32) uint64_t straightOf[4], boxOf[4], leftOf[4];
        _mm256_store_si256(reinterpret_cast<__m256i*>(straightOf), straight);
        _mm256_store_si256(reinterpret_cast<__m256i*>(boxOf), box);
        _mm256_store_si256(reinterpret_cast<__m256i*>(leftOf), left);
        for (std::size_t lane = 0; lane < 4; ++lane) {
            uint32_t laneLeft = static_cast<uint32_t>(leftOf[lane]);
            uint32_t laneBox = static_cast<uint32_t>(boxOf[lane]);
            // A lane whose tickets ran out stops drawing; the others go on alone.
            if (drawn < d.boxClass && laneLeft > 0) {
                RandomStream rng = stream(p + lane);
                for (uint32_t i = drawn; i < d.boxClass && laneLeft > 0; ++i)
                    if (rng.below(rest - i) < laneLeft) {
                        ++laneBox;
                        --laneLeft;
                    }
                setStream(p + lane, rng);
            }
            hits.straight[p + lane] = static_cast<uint8_t>(straightOf[lane]);
            hits.box[p + lane] = static_cast<uint8_t>(laneBox);
        }
    }
    drawOneByOne(d, hits, whole);
}

#else

void PortfolioStreams::drawFourAtOnce(const ClassDraw& d, ClassHits& hits) {
    drawOneByOne(d, hits, 0);
}

#endif

} // namespace tw::backtest
