// The draw history of one game as a CSV or JSON file for other programs, in the
// layout the importer reads back (draw_import.h), so that exporting a history
// and importing it into an empty one gives the same table file byte for byte.
//
// CSV: UTF-8 without byte order mark (the text is ASCII), CR LF line ends, one
// header line
//   draw_no,draw_date,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout[,mini_payout]
// (mini_payout for NUMBERS3 only), then one line per round 1..count:
//   7054,2026-08-21,286,100100,16600,58300,8300,10000
// the round, the date as yyyy-mm-dd, the digits with their leading zeros, the
// amounts in yen as plain integers.
// JSON: an array of one object per round with the same names, the number a
// string (leading zeros), the round and the amounts integers; one object per
// line, LF line ends:
//   [
//     {"draw_no":1,"draw_date":"1994-10-07","winning_number":"191","straight_payout":119800,...},
//     ...
//   ]
// No Qt; writing the bytes to a file is the caller's (common/file_replace.h).
#pragma once

#include "common/lottery.h"
#include "history/num_data.h"

#include <string>

namespace tw::history {

enum class ExportFormat { Csv, Json };

std::string exportDraws(const DrawTable& table, common::Game game, ExportFormat format);

} // namespace tw::history
