// The import plan and its application. The plan is made in one pass over the
// rows in round order, which is also the order new rounds must follow, and a
// second pass for the warnings, which need the dates of the table as it will be.
#include "history/draw_merge.h"

#include "common/date_serial.h"
#include "common/number_format.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tw::history {

namespace {

using common::Game;

int dayOf(double serial) {
    return static_cast<int>(std::floor(serial));
}

int32_t& prizeOf(NumData& rec, std::size_t index) {
    int32_t* const fields[] = {&rec.lngStraight, &rec.lngBox, &rec.lngSetStraight, &rec.lngSetBox, &rec.lngMini};
    return *fields[index];
}

int32_t prizeOf(const NumData& rec, std::size_t index) {
    const int32_t values[] = {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox, rec.lngMini};
    return values[index];
}

bool sameValues(const NumData& a, const NumData& b, Game game) {
    if (dayOf(a.dteDraw) != dayOf(b.dteDraw))
        return false;
    for (int p = 1; p <= common::digitCount(game); ++p)
        if (a.bytNum[static_cast<std::size_t>(p)] != b.bytNum[static_cast<std::size_t>(p)])
            return false;
    for (int i = 0; i < prizeCount(game); ++i)
        if (prizeOf(a, static_cast<std::size_t>(i)) != prizeOf(b, static_cast<std::size_t>(i)))
            return false;
    return true;
}

bool allDigitsEqual(const NumData& rec, Game game) {
    for (int p = 2; p <= common::digitCount(game); ++p)
        if (rec.bytNum[static_cast<std::size_t>(p)] != rec.bytNum[1])
            return false;
    return true;
}

// The date of a row; a month and day without a year take the year that puts them
// on or after the previous round's date, and less than a year after it.
std::optional<double> resolveDate(const ImportDate& d, int32_t round, const std::vector<double>& dates) {
    if (d.year != 0)
        return common::dateSerial({d.year, d.month, d.day});
    if (round < 2 || static_cast<std::size_t>(round - 1) >= dates.size())
        return std::nullopt;
    const double previous = dates[static_cast<std::size_t>(round - 1)];
    const int year = common::civilDate(previous).year;
    for (int y = year; y <= year + 1; ++y) {
        const std::chrono::year_month_day ymd{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(d.month)},
                                              std::chrono::day{static_cast<unsigned>(d.day)}};
        if (!ymd.ok())
            continue;
        const double serial = common::dateSerial({y, d.month, d.day});
        if (dayOf(serial) >= dayOf(previous))
            return serial;
    }
    return std::nullopt;
}

Refusal refusalOf(RefusalCode code, int32_t from = 0, int32_t to = 0) {
    Refusal r;
    r.code = code;
    r.fromRound = from;
    r.toRound = to;
    return r;
}

std::string twoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

void addWarnings(PlannedRow& row, const std::vector<double>& dates, int countBefore, const DrawTable* otherGame,
                 Game game) {
    const NumData& rec = row.incoming;
    const int32_t r = row.round;
    const int day = dayOf(rec.dteDraw);
    const auto warn = [&row](ImportWarning w) { row.warnings.push_back(w); };
    if (r >= 2 && dayOf(dates[static_cast<std::size_t>(r - 1)]) >= day)
        warn({WarningCode::DateNotAfterPrevious, r - 1, dates[static_cast<std::size_t>(r - 1)], 0});
    // A new round's successor is new too and reports the pair itself.
    if (r < countBefore && dayOf(dates[static_cast<std::size_t>(r) + 1]) <= day)
        warn({WarningCode::DateNotBeforeNext, r + 1, dates[static_cast<std::size_t>(r) + 1], 0});
    if (const int weekday = common::weekdayNumber(rec.dteDraw); weekday == 1 || weekday == 7)
        warn({WarningCode::WeekendDate, 0, 0, 0});
    if (otherGame && otherGame->isDrawn(r) && dayOf(otherGame->record(r).dteDraw) != day)
        warn({WarningCode::OtherGameDate, r, otherGame->record(r).dteDraw, 0});
    if (row.prizesMissing)
        return;
    const int64_t straight = rec.lngStraight, box = rec.lngBox;
    if (allDigitsEqual(rec, game)) {
        if (rec.lngBox != 0 || rec.lngSetStraight != 0 || rec.lngSetBox != 0)
            warn({WarningCode::BoxSetOnAllEqual, 0, 0, 0});
        return;
    }
    // Set prizes are half of Straight + Box and half of Box, rounded down to 100 yen.
    const auto usual = [](int64_t amount) { return amount / 2 / 100 * 100; };
    if (const int64_t e = usual(straight + box); std::llabs(rec.lngSetStraight - e) > 100)
        warn({WarningCode::SetStraightRelation, 0, 0, static_cast<int32_t>(e)});
    if (const int64_t e = usual(box); std::llabs(rec.lngSetBox - e) > 100)
        warn({WarningCode::SetBoxRelation, 0, 0, static_cast<int32_t>(e)});
    if (box > 0 && box >= straight)
        warn({WarningCode::BoxNotBelowStraight, 0, 0, 0});
}

} // namespace

ImportPlan planImport(const ImportFile& file, Game game, const DrawTable& table, const DrawTable* otherGame,
                      const ImportOptions& options) {
    ImportPlan plan;
    plan.game = game;
    plan.options = options;
    plan.format = file.format;
    plan.encoding = file.encoding;
    plan.error = file.error;
    plan.ignoredColumns = file.ignoredColumns;
    plan.countBefore = plan.countAfter = table.count;
    if (file.error)
        return plan;

    std::vector<const ImportRow*> order;
    order.reserve(file.rows.size());
    for (const ImportRow& row : file.rows)
        order.push_back(&row);
    const auto key = [](const ImportRow* r) { return r->round > 0 ? r->round : INT32_MAX; };
    std::stable_sort(order.begin(), order.end(),
                     [&key](const ImportRow* a, const ImportRow* b) { return key(a) < key(b); });

    // Repeated rounds: a repeat with the same values is refused alone; rows that
    // disagree are all refused, since the file does not say which one is right.
    std::vector<std::optional<Refusal>> faults(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        faults[i] = order[i]->fault;
    for (std::size_t i = 0; i < order.size();) {
        std::size_t end = i + 1;
        while (end < order.size() && order[end]->round == order[i]->round && order[i]->round > 0)
            ++end;
        if (end - i > 1) {
            const bool same = std::all_of(order.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                          order.begin() + static_cast<std::ptrdiff_t>(end),
                                          [&](const ImportRow* r) { return r->sameDraw(*order[i]); });
            for (std::size_t k = i; k < end; ++k)
                if (same ? k > i : !faults[k])
                    faults[k] =
                        refusalOf(same ? RefusalCode::DuplicateRow : RefusalCode::ConflictingRows, order[i]->round);
        }
        i = end;
    }

    // Dates of the table as it will be, slot = round.
    std::vector<double> dates(static_cast<std::size_t>(table.count) + 1, 0.0);
    for (int r = 1; r <= table.count; ++r)
        dates[static_cast<std::size_t>(r)] = table.record(r).dteDraw;

    const int digits = common::digitCount(game);
    int32_t expected = table.count + 1;
    std::optional<Refusal> stop; // why new rounds can no longer follow
    plan.rows.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const ImportRow& row = *order[i];
        PlannedRow p;
        p.line = row.line;
        p.round = row.round;
        p.stored = table.record(row.round > 0 && row.round <= table.count ? row.round : 0);
        std::optional<Refusal> fault = faults[i];
        if (!fault && row.round > DrawTable::kMaxRounds)
            fault = refusalOf(RefusalCode::RoundTooLarge);
        const bool isNew = row.round > table.count;
        const auto refuse = [&p](Refusal r) {
            p.outcome = ImportOutcome::Refused;
            p.refusal = std::move(r);
        };

        // What the row would store, also for a row refused below, so that the
        // preview can show it.
        std::optional<double> date;
        if (!fault) {
            date = resolveDate(row.date, row.round, dates);
            NumData incoming = isNew ? NumData{} : p.stored;
            incoming.lngRound = row.round;
            incoming.blnUnsaved = false;
            if (date && (isNew || dayOf(*date) != dayOf(incoming.dteDraw)))
                incoming.dteDraw = *date;
            for (int d = 0; d < digits; ++d)
                incoming.bytNum[static_cast<std::size_t>(d) + 1] = row.digits[static_cast<std::size_t>(d)];
            for (int k = 0; k < prizeCount(game); ++k) {
                const std::optional<int32_t>& prize = row.prizes[static_cast<std::size_t>(k)];
                p.prizesMissing = p.prizesMissing || !prize;
                if (prize)
                    prizeOf(incoming, static_cast<std::size_t>(k)) = *prize;
            }
            p.incoming = incoming;
        }
        const auto yearUnknown = [&row] {
            Refusal r = refusalOf(RefusalCode::YearUnknown);
            r.cell = twoDigits(row.date.month) + "/" + twoDigits(row.date.day);
            return r;
        };

        if (isNew) {
            if (!stop && row.round > expected)
                stop = refusalOf(RefusalCode::Gap, expected, row.round - 1);
            if (fault) {
                refuse(*fault);
                if (!stop && row.round == expected)
                    stop = refusalOf(RefusalCode::Blocked, row.round);
            } else if (stop) {
                refuse(*stop);
            } else if (!date) {
                refuse(yearUnknown());
                stop = refusalOf(RefusalCode::Blocked, row.round);
            } else if (p.prizesMissing && !options.allowMissingPrizes) {
                refuse(refusalOf(RefusalCode::PrizesMissing));
                stop = refusalOf(RefusalCode::Blocked, row.round);
            } else {
                p.outcome = p.prizesMissing ? ImportOutcome::AddedWithoutPrizes : ImportOutcome::Added;
                dates.push_back(p.incoming.dteDraw);
                ++expected;
            }
        } else if (fault) {
            refuse(*fault);
        } else if (!date) {
            refuse(yearUnknown());
        } else if (sameValues(p.incoming, p.stored, game)) {
            p.outcome = ImportOutcome::Unchanged;
        } else if (options.acceptCorrections) {
            p.outcome = ImportOutcome::Corrected;
            dates[static_cast<std::size_t>(row.round)] = p.incoming.dteDraw;
        } else {
            p.outcome = ImportOutcome::CorrectionSkipped;
        }
        plan.rows.push_back(std::move(p));
    }
    plan.countAfter = expected - 1;

    for (PlannedRow& p : plan.rows) {
        if (p.outcome != ImportOutcome::Refused && p.outcome != ImportOutcome::Unchanged)
            addWarnings(p, dates, table.count, otherGame, game);
        ImportCounts& c = plan.counts;
        switch (p.outcome) {
        case ImportOutcome::AddedWithoutPrizes:
            ++c.addedWithoutPrizes;
            [[fallthrough]];
        case ImportOutcome::Added:
            ++c.added;
            break;
        case ImportOutcome::Unchanged:
            ++c.unchanged;
            break;
        case ImportOutcome::Corrected:
            ++c.corrected;
            break;
        case ImportOutcome::CorrectionSkipped:
            ++c.correctionsSkipped;
            break;
        case ImportOutcome::Refused:
            ++c.refused;
            break;
        }
        c.warned += p.warnings.empty() ? 0 : 1;
    }
    return plan;
}

ImportPlan planImportFile(const std::string& path, Game game, const DrawTable& table, const DrawTable* otherGame,
                          const ImportOptions& options, ImportFormat format) {
    return planImport(readImportFile(path, game, format), game, table, otherGame, options);
}

DrawTable importedTable(const DrawTable& table, const ImportPlan& plan) {
    DrawTable next = table;
    for (const PlannedRow& p : plan.rows)
        if (p.outcome == ImportOutcome::Added || p.outcome == ImportOutcome::AddedWithoutPrizes ||
            p.outcome == ImportOutcome::Corrected)
            next.store(p.round, p.incoming);
    return next;
}

SaveError writeImportedTable(DrawTable& table, Game game, const std::string& path) {
    return SaveTable(table, game, path);
}

ApplyResult applyImport(DrawTable& table, const ImportPlan& plan, const std::string& path) {
    ApplyResult result;
    if (plan.error || !plan.changesTable())
        return result;
    // The plan lists the stored record of every round it read; they must still be there.
    const auto unchangedSince = [&table](const PlannedRow& p) {
        if (p.outcome == ImportOutcome::Refused || p.round > table.count)
            return true;
        NumData now = table.record(p.round), then = p.stored;
        now.blnUnsaved = then.blnUnsaved = false;
        return now == then;
    };
    if (table.count != plan.countBefore || !std::all_of(plan.rows.begin(), plan.rows.end(), unchangedSince)) {
        result.stale = true;
        return result;
    }
    DrawTable next = importedTable(table, plan);
    result.saveError = writeImportedTable(next, plan.game, path);
    table = std::move(next);
    return result;
}

std::string ApplyResult::message() const {
    if (stale)
        return "取込みの確認のあとで履歴が変わりました。もう一度ファイルを読み込んでください。";
    return saveError.message();
}

std::string fieldText(const NumData& record, DrawField field, Game game) {
    switch (field) {
    case DrawField::Round:
        return std::to_string(record.lngRound);
    case DrawField::Date:
        return common::formatDate(record.dteDraw);
    case DrawField::Number: {
        std::string digits;
        for (int p = 1; p <= common::digitCount(game); ++p)
            digits += static_cast<char>('0' + record.bytNum[static_cast<std::size_t>(p)]);
        return digits;
    }
    case DrawField::Straight:
    case DrawField::Box:
    case DrawField::SetStraight:
    case DrawField::SetBox:
    case DrawField::Mini: {
        const auto index =
            static_cast<std::size_t>(std::find(kPrizeFields.begin(), kPrizeFields.end(), field) - kPrizeFields.begin());
        return common::formatNumber(int64_t{prizeOf(record, index)}, "#,##0");
    }
    }
    return {};
}

std::vector<FieldChange> changedFields(const PlannedRow& row, Game game) {
    std::vector<FieldChange> changes;
    if (row.outcome != ImportOutcome::Corrected && row.outcome != ImportOutcome::CorrectionSkipped)
        return changes;
    std::vector<DrawField> fields{DrawField::Date, DrawField::Number};
    fields.insert(fields.end(), kPrizeFields.begin(), kPrizeFields.begin() + prizeCount(game));
    for (const DrawField f : fields) {
        std::string before = fieldText(row.stored, f, game), after = fieldText(row.incoming, f, game);
        if (before != after)
            changes.push_back({f, std::move(before), std::move(after)});
    }
    return changes;
}

const char* warningKey(WarningCode code) {
    switch (code) {
    case WarningCode::DateNotAfterPrevious:
        return "date_not_after_previous";
    case WarningCode::DateNotBeforeNext:
        return "date_not_before_next";
    case WarningCode::WeekendDate:
        return "weekend_date";
    case WarningCode::OtherGameDate:
        return "other_game_date";
    case WarningCode::BoxSetOnAllEqual:
        return "box_set_on_all_equal";
    case WarningCode::SetStraightRelation:
        return "set_straight_relation";
    case WarningCode::SetBoxRelation:
        return "set_box_relation";
    case WarningCode::BoxNotBelowStraight:
        return "box_not_below_straight";
    }
    return "";
}

std::string warningText(const ImportWarning& w, const NumData& rec, Game game) {
    const auto yen = [](int64_t amount) { return common::formatNumber(amount, "#,##0") + " 円"; };
    const std::string date = common::formatDate(rec.dteDraw);
    const std::string other = "第" + std::to_string(w.otherRound) + "回 " + common::formatDate(w.otherDate);
    switch (w.code) {
    case WarningCode::DateNotAfterPrevious:
        return "抽選日 " + date + " が前の回（" + other + "）より後ではありません";
    case WarningCode::DateNotBeforeNext:
        return "抽選日 " + date + " が次の回（" + other + "）より前ではありません";
    case WarningCode::WeekendDate:
        return "抽選日 " + date + " は" + (common::weekdayNumber(rec.dteDraw) == 1 ? "日曜日" : "土曜日") + "です";
    case WarningCode::OtherGameDate:
        return std::string("抽選日 ") + date + " が " +
               common::gameName(game == Game::Numbers3 ? Game::Numbers4 : Game::Numbers3) + " の同じ回（" + other +
               "）と違います";
    case WarningCode::BoxSetOnAllEqual:
        return "ゾロ目の番号「" + fieldText(rec, DrawField::Number, game) +
               "」にボックスかセットの金額があります（ボックスとセットでは買えない番号です）";
    case WarningCode::SetStraightRelation:
        return "セット（ストレート）の金額 " + yen(rec.lngSetStraight) + "が、いつもの額 " + yen(w.expected) +
               "（ストレートとボックスの和の半分）から離れています";
    case WarningCode::SetBoxRelation:
        return "セット（ボックス）の金額 " + yen(rec.lngSetBox) + "が、いつもの額 " + yen(w.expected) +
               "（ボックスの半分）から離れています";
    case WarningCode::BoxNotBelowStraight:
        return "ボックスの金額 " + yen(rec.lngBox) + "がストレートの金額 " + yen(rec.lngStraight) +
               "より低くありません";
    }
    return {};
}

std::string planSummary(const ImportPlan& plan) {
    const ImportCounts& c = plan.counts;
    std::string text = "新規 " + std::to_string(c.added) + " 回";
    if (c.addedWithoutPrizes > 0)
        text += "（うち金額なし " + std::to_string(c.addedWithoutPrizes) + " 回）";
    text += "、訂正 " + std::to_string(c.corrected) + " 回";
    if (c.correctionsSkipped > 0)
        text += "、訂正しない " + std::to_string(c.correctionsSkipped) + " 回";
    text += "、変更なし " + std::to_string(c.unchanged) + " 回、取り込めない行 " + std::to_string(c.refused) +
            " 行、警告のある回 " + std::to_string(c.warned) + " 回";
    return text;
}

} // namespace tw::history
