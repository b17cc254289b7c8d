#include "history/draw_export.h"

#include "common/date_serial.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

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

// Appends text piece by piece: building "," + std::string temporaries makes
// GCC 12 warn falsely about overlapping copies at -O3.
void append(std::string& out, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts)
        out += part;
}

std::string csv(const DrawTable& table, common::Game game, std::size_t fields) {
    std::string out;
    out.reserve(static_cast<std::size_t>(table.count + 1) * 56);
    for (std::size_t i = 0; i < fields; ++i)
        append(out, {i ? "," : "", kNames[i]});
    out += "\r\n";
    for (int r = 1; r <= table.count; ++r) {
        const NumData& rec = table.record(r);
        append(out, {std::to_string(r), ",", isoDate(rec.dteDraw), ",", digitText(rec, game)});
        const int32_t amounts[] = {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox, rec.lngMini};
        for (std::size_t i = 3; i < fields; ++i)
            append(out, {",", std::to_string(amounts[i - 3])});
        out += "\r\n";
    }
    return out;
}

std::string json(const DrawTable& table, common::Game game, std::size_t fields) {
    std::string out = "[\n";
    out.reserve(static_cast<std::size_t>(table.count + 1) * 170);
    for (int r = 1; r <= table.count; ++r) {
        const NumData& rec = table.record(r);
        append(out, {"  {\"", kNames[0], "\":", std::to_string(r), ",\"", kNames[1], "\":\"", isoDate(rec.dteDraw),
                     "\",\"", kNames[2], "\":\"", digitText(rec, game), "\""});
        const int32_t amounts[] = {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox, rec.lngMini};
        for (std::size_t i = 3; i < fields; ++i)
            append(out, {",\"", kNames[i], "\":", std::to_string(amounts[i - 3])});
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
