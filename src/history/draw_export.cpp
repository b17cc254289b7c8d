#include "history/draw_export.h"

#include "common/date_serial.h"

#include <cstdio>

namespace tw::history {

namespace {

constexpr const char* kNames[] = {"draw_no",    "draw_date",           "winning_number", "straight_payout",
                                  "box_payout", "set_straight_payout", "set_box_payout", "mini_payout"};

std::string isoDate(double serial) {
    const common::CivilDate d = common::civilDate(serial);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

std::string digitText(const NumData& rec, common::Game game) {
    std::string digits;
    for (int p = 1; p <= common::digitCount(game); ++p)
        digits += static_cast<char>('0' + rec.bytNum[static_cast<std::size_t>(p)]);
    return digits;
}

std::string csv(const DrawTable& table, common::Game game, std::size_t fields) {
    std::string out;
    out.reserve(static_cast<std::size_t>(table.count + 1) * 56);
    for (std::size_t i = 0; i < fields; ++i)
        out += (i ? "," : "") + std::string(kNames[i]);
    out += "\r\n";
    for (int r = 1; r <= table.count; ++r) {
        const NumData& rec = table.record(r);
        out += std::to_string(r) + "," + isoDate(rec.dteDraw) + "," + digitText(rec, game);
        const int32_t amounts[] = {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox, rec.lngMini};
        for (std::size_t i = 3; i < fields; ++i)
            out += "," + std::to_string(amounts[i - 3]);
        out += "\r\n";
    }
    return out;
}

std::string json(const DrawTable& table, common::Game game, std::size_t fields) {
    std::string out = "[\n";
    out.reserve(static_cast<std::size_t>(table.count + 1) * 170);
    const auto name = [](std::size_t i) { return "\"" + std::string(kNames[i]) + "\":"; };
    for (int r = 1; r <= table.count; ++r) {
        const NumData& rec = table.record(r);
        out += "  {" + name(0) + std::to_string(r) + "," + name(1) + "\"" + isoDate(rec.dteDraw) + "\"," + name(2) +
               "\"" + digitText(rec, game) + "\"";
        const int32_t amounts[] = {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox, rec.lngMini};
        for (std::size_t i = 3; i < fields; ++i)
            out += "," + name(i) + std::to_string(amounts[i - 3]);
        out += r < table.count ? "},\n" : "}\n";
    }
    return out + "]\n";
}

} // namespace

std::string exportDraws(const DrawTable& table, common::Game game, ExportFormat format) {
    const std::size_t fields = game == common::Game::Numbers4 ? 7 : 8;
    return format == ExportFormat::Json ? json(table, game, fields) : csv(table, game, fields);
}

} // namespace tw::history
