#include "reports/hit_report.h"

#include "common/number_format.h"

#include <limits>

namespace tw::reports {

namespace {

using common::kYen6;
using common::kYen7;

// Every amount and count of the report is an integer; this keeps int arguments
// away from the double overload.
std::string formatNumber(int64_t value, std::string_view pattern) {
    return common::formatNumber(value, pattern);
}

// Blanks in the templates are ideographic spaces unless written as ASCII.
constexpr std::string_view kRed = "<font color=\"red\">";
constexpr std::string_view kFontEnd = "</font>";
constexpr std::string_view kBoldRed = "<font color=\"red\" style=\"font-weight:bolder;top:0\">";
constexpr std::string_view kBoldBlack = "<font color=\"black\" style=\"font-weight:bolder;top:0\">";
constexpr std::string_view kGreen = "<font size=\"3\" color=\"darkgreen\">";

// The per-round count texts: red when above zero.
std::string cnt(std::string_view text) {
    std::string padded = pad(text, 4);
    if (labelValue(text) > 0)
        return std::string(kRed) + padded + std::string(kFontEnd);
    return padded;
}

// Column mark of the first block line for Group1 and Group2.
std::string mark(bool hit) {
    if (hit)
        return std::string(kRed) + "当　選" + std::string(kFontEnd) + "　　　　　　";
    return "はずれ　　　　　　";
}

bool addChecked(int32_t& total, int64_t value) {
    const int64_t sum = static_cast<int64_t>(total) + value;
    if (sum > std::numeric_limits<int32_t>::max() || sum < std::numeric_limits<int32_t>::min())
        return false;
    total = static_cast<int32_t>(sum);
    return true;
}

} // namespace

HitViewTexts viewTextsOf(const engine::HitSummary& summary) {
    HitViewTexts t;
    const engine::GroupHits* groups[2] = {&summary.group1, &summary.group2};
    std::array<std::string, 3>* tp[2] = {&t.lblGrp1TP, &t.lblGrp2TP};
    for (std::size_t k = 0; k < 2; ++k) {
        const engine::GroupHits& g = *groups[k];
        t.lblBuyMoney[k] = formatNumber(static_cast<int64_t>(g.count) * 200, kYen7);
        (*tp[k])[1] = formatNumber(g.straight, "#0");
        (*tp[k])[2] = formatNumber(g.box, "#0");
        const int hits = g.straight + g.box;
        t.lblGrpHC[k] = hits > 0 ? formatNumber(hits, "##0") : "0";
        t.lblGrpMny[k] = hits > 0 ? formatNumber(g.money, kYen7) : "\\0";
    }
    const engine::GroupHits& mini = summary.third;
    t.lblBuyMoney[2] = formatNumber(static_cast<int64_t>(mini.count) * 200, kYen6);
    t.lblGrpHC[2] = mini.straight > 0 ? formatNumber(mini.straight, "#0") : "0";
    t.lblGrpMny[2] = mini.straight > 0 ? formatNumber(mini.money, kYen7) : "\\0";
    return t;
}

int64_t labelValue(std::string_view text) {
    int64_t value = 0;
    bool negative = false;
    for (char c : text) {
        if (c == '-')
            negative = true;
        else if (c >= '0' && c <= '9')
            value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string pad(std::string_view text, std::size_t width) {
    if (text.size() >= width)
        return std::string(text);
    return std::string(width - text.size(), ' ') + std::string(text);
}

std::string HitReportPage::openingLine() {
    return "<html><head></head><body><pre><font size=\"2\" color=\"mediumblue\">";
}

std::optional<std::array<std::string, HitReportPage::kBlockLines>> HitReportPage::roundBlock(int round,
                                                                                             const HitViewTexts& t) {
    // Add on a copy so that a refused round leaves the totals as they were.
    HitReportPage next = *this;
    bool ok = true;
    for (std::size_t k = 0; k < 3; ++k) {
        ok = ok && addChecked(next.m_purchase[k], labelValue(t.lblBuyMoney[k]));
        ok = ok && addChecked(next.m_payout[k], labelValue(t.lblGrpMny[k]));
    }
    ok = ok && addChecked(next.m_grp1Straight, labelValue(t.lblGrp1TP[1]));
    ok = ok && addChecked(next.m_grp1Box, labelValue(t.lblGrp1TP[2]));
    ok = ok && addChecked(next.m_grp2Straight, labelValue(t.lblGrp2TP[1]));
    ok = ok && addChecked(next.m_grp2Box, labelValue(t.lblGrp2TP[2]));
    ok = ok && addChecked(next.m_miniHits, labelValue(t.lblGrpHC[2]));
    if (!ok)
        return std::nullopt;
    *this = next;

    // The count lines end with trailing blanks only when Group2's count on that line is shown in red.
    const auto end = [](std::string_view grp2Count) {
        return std::string(labelValue(grp2Count) > 0 ? "本　　　　　　" : "本");
    };
    const std::string miniMark = labelValue(t.lblGrpHC[2]) != 0 ? std::string(kRed) + "当　選" + std::string(kFontEnd)
                                                                : std::string("はずれ<BR>");

    std::array<std::string, kBlockLines> lines;
    lines[0] = "第" + pad(formatNumber(round, "###0"), 4) + "回　　　" + mark(labelValue(t.lblGrpHC[0]) != 0) +
               mark(labelValue(t.lblGrpHC[1]) != 0) + miniMark;
    lines[1] = "　　購入　　" + pad(t.lblBuyMoney[0], 8) + "　　　　　" + pad(t.lblBuyMoney[1], 8) + "　　　　　" +
               pad(t.lblBuyMoney[2], 8);
    lines[2] = "　　配当　" + pad(t.lblGrpMny[0], 10) + "　　　　" + pad(t.lblGrpMny[1], 10) + "　　　　" +
               pad(t.lblGrpMny[2], 10);
    lines[3] = "ストレート　　" + cnt(t.lblGrp1TP[1]) + "本　　　　　　" + cnt(t.lblGrp2TP[1]) + end(t.lblGrp2TP[1]);
    lines[4] = "　ボックス　　" + cnt(t.lblGrp1TP[2]) + "本　　　　　　" + cnt(t.lblGrp2TP[2]) + end(t.lblGrp2TP[2]);
    lines[5] = "　　　ミニ　　" + std::string(6, ' ') + "　　　　　　" + std::string(6, ' ') + "　　　　　　" +
               cnt(t.lblGrpHC[2]) + "本" + "<br>";
    return lines;
}

std::array<std::string, HitReportPage::kClosingLines> HitReportPage::closingLines() const {
    const auto money = [](int64_t value, std::size_t column) {
        return formatNumber(value, column == 2 ? kYen6 : kYen7);
    };
    const auto count = [](int32_t value) { return formatNumber(value, "###0"); };
    const auto diff = [&](std::size_t k) {
        const int64_t d = static_cast<int64_t>(m_payout[k]) - m_purchase[k];
        return std::string(d < 0 ? kBoldRed : kBoldBlack) + pad(money(d, k), 10) + std::string(kFontEnd);
    };
    const auto total = [&](int32_t value) {
        return std::string(value < 1 ? kBoldBlack : kBoldRed) + pad(count(value), 4) + std::string(kFontEnd) + "本";
    };

    std::array<std::string, kClosingLines> lines;
    lines[0] = "<font size=\"3\" color=\"darkgreen\" style=\"font-size:medium;font-weight:bolder;top:0\">"
               "　　　　　　Numbers３予測結果</font>（※購入は全てセット購入）<br>";
    lines[1] = std::string(kGreen) + "　　　　　グループ１　　　グループ２　　　ミ　ニ</font>";
    lines[2] = std::string(kGreen) + "購入　　" + pad(money(m_purchase[0], 0), 10) + "円　　" +
               pad(money(m_purchase[1], 1), 10) + "円　　" + pad(money(m_purchase[2], 2), 8) + "円</font>";
    lines[3] = std::string(kGreen) + "配当　　" + pad(money(m_payout[0], 0), 10) + "円　　" +
               pad(money(m_payout[1], 1), 10) + "円　　" + pad(money(m_payout[2], 2), 8) + "円</font>";
    lines[4] = std::string(kGreen) + "差額　　" + diff(0) + "円　　" + diff(1) + "円　　" + diff(2) + "円<br>";
    lines[5] = "　　　　　　ST" + total(m_grp1Straight) + "　　　　ST" + total(m_grp2Straight) + "　　ミニ" +
               total(m_miniHits);
    lines[6] = "　　　　　　BX" + total(m_grp1Box) + "　　　　BX" + total(m_grp2Box) + "<br>";
    lines[7] = "</pre></font></body></html>";
    return lines;
}

} // namespace tw::reports
