// The page of the HTML back-test report: the lines of one report file, built
// from the hit summary of each round as the prediction view displays it.
//
// A page starts with its opening line, gets one six-line block per round (the
// newest round first) and ends with eight closing lines that carry the title and
// the totals. The lines are UTF-8 text without line ends; encoding them and
// appending them to a file is the job's work (report_job.h). The page reads the
// view's texts, not the engine's numbers, so that it shows exactly what a user
// reading the labels would have seen. Standard library only.
#pragma once

#include "engine/engine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw::reports {

// The hit summary of one drawn Numbers3 round, as the labels of the prediction
// view show it. Column index: 0 Group1, 1 Group2, 2 Mini.
struct HitViewTexts {
    std::array<std::string, 3> lblGrpHC;    // hits: "##0" (Mini "#0")
    std::array<std::string, 3> lblBuyMoney; // price of the entries: "\#,###,##0" (Mini "\###,##0")
    std::array<std::string, 3> lblGrpMny;   // prize money won: "\#,###,##0"
    std::array<std::string, 3> lblGrp1TP;   // Group1: index 1 straight hits, 2 box hits, "#0"; 0 unused
    std::array<std::string, 3> lblGrp2TP;   // Group2: likewise
};

// The texts the view writes for a Numbers3 round from the engine's summary.
HitViewTexts viewTextsOf(const engine::HitSummary& summary);

// The numeric value of a label text: digits with an optional leading minus sign;
// the yen sign "\" and the thousands separators are dropped.
int64_t labelValue(std::string_view text);

// pad(t, w): t preceded by spaces up to w characters; t itself when not shorter.
std::string pad(std::string_view text, std::size_t width);

class HitReportPage {
public:
    static constexpr std::size_t kBlockLines = 6;
    static constexpr std::size_t kClosingLines = 8;

    // The first line of every page.
    static std::string openingLine();

    // Adds the round's amounts and hits to the page totals and returns its block.
    // nullopt (and the totals unchanged) when a total would no longer fit in 32 bits.
    std::optional<std::array<std::string, kBlockLines>> roundBlock(int round, const HitViewTexts& texts);

    // The title and the totals of the rounds added so far.
    std::array<std::string, kClosingLines> closingLines() const;

private:
    std::array<int32_t, 3> m_purchase{};
    std::array<int32_t, 3> m_payout{};
    int32_t m_grp1Straight = 0;
    int32_t m_grp1Box = 0;
    int32_t m_grp2Straight = 0;
    int32_t m_grp2Box = 0;
    int32_t m_miniHits = 0;
};

} // namespace tw::reports
