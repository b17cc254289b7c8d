#include "selection/selection_model.h"

#include "common/number_format.h"
#include "common/rounding.h"
#include "selection/user_select_file.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace tw::selection {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int32_t digitValue(std::string_view digits) {
    int32_t v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// The number at the start of a grid cell's text, 0 when there is none: the cell
// holds a value written "##0.000", possibly with blanks around it.
double leadingNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? value : 0.0;
}

// The source written between the first "(" and the next ")" of an item's text.
std::string sourceOf(const std::string& text) {
    const std::size_t open = text.find('(');
    if (open == std::string::npos)
        return {};
    const std::size_t close = text.find(')', open + 1);
    return text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

const char* const kGroupCode[] = {"", "A00", "B00", "C00"};

// A Mini bet's list value (tens x 10 + units) as its pair.
common::LotteryNumber miniOfValue(int32_t value) {
    return common::LotteryNumber::mini(static_cast<uint8_t>(value / 10 % 10), static_cast<uint8_t>(value % 10));
}

} // namespace

const ItemList& SelectionModel::list(ListId id) const {
    switch (id) {
    case ListId::GrpNums:
        return m_grpNums;
    case ListId::Select:
        return m_select;
    case ListId::Mini:
        break;
    }
    return m_mini;
}

ItemList& SelectionModel::mutableList(ListId id) {
    return const_cast<ItemList&>(list(id));
}

void SelectionModel::setSelected(ListId id, std::size_t index, bool selected) {
    ItemList& items = mutableList(id);
    if (index < items.size())
        items[index].selected = selected;
}

void SelectionModel::ResetSelectCount(int32_t allGrpCount) {
    m_lngMaxSelect = allGrpCount;
    m_lngUserSelect = 0;
}

void SelectionModel::ClearLists() {
    m_grpNums.clear();
    m_select.clear();
    m_mini.clear();
}

bool SelectionModel::SetGrpNumsFromYosoku(common::Game game, int groupAnswer, const engine::Proposal& proposal) {
    const engine::CountedList<engine::PredNum>* group = nullptr;
    switch (groupAnswer) {
    case 1:
        group = &proposal.grp1;
        break;
    case 2:
        group = &proposal.grp2;
        break;
    case 3:
        group = &proposal.grp3;
        break;
    default:
        return false; // the dialog was cancelled: list and tag stay as they are
    }
    const common::Game shape = groupAnswer == 3 ? common::Game::Numbers4 : game;
    m_strSelectTag = std::string("(") + kGroupSource[groupAnswer] + ")";
    m_grpNums.clear();
    const int count = std::min<int>(group->count, static_cast<int>(group->items.size()));
    for (int i = 0; i < count; ++i) {
        const common::LotteryNumber n = engine::numberOf(shape, (*group)[i]);
        m_grpNums.push_back({n.text(), n.value(), false});
    }
    return true;
}

void SelectionModel::SetGrpNumsFromGrid(common::Game game, const std::string& cellText,
                                        const engine::Proposal& proposal) {
    m_grpNums.clear();
    const int64_t key = common::roundHalfEven(leadingNumber(cellText) * 1000.0);
    m_strSelectTag = "(" + cellText + ")";
    const int count = std::min<int>(proposal.AllGrpCount, static_cast<int>(proposal.AllGrpNums.size()));
    for (int i = 0; i < count; ++i) {
        const engine::GrpValueNum& e = proposal.AllGrpNums[static_cast<std::size_t>(i)];
        if (e.lngGrpValue > key)
            break; // the table ascends: nothing further can match
        if (e.lngGrpValue != key)
            continue;
        const common::LotteryNumber n = engine::numberOf(game, {e.intNum1, e.intNum2, e.intNum3, e.intNum4});
        m_grpNums.push_back({n.text(), n.value(), false});
    }
}

void SelectionModel::SelectAllList(ListId id) {
    for (ListItem& item : mutableList(id))
        item.selected = true;
}

void SelectionModel::ClearListSelect(ListId id) {
    for (ListItem& item : mutableList(id))
        item.selected = false;
}

bool SelectionModel::IsInList(int32_t number, ListId id) const {
    const ItemList& items = list(id);
    return std::any_of(items.begin(), items.end(), [number](const ListItem& i) { return i.itemData == number; });
}

void SelectionModel::AddToUserSelect() {
    for (const ListItem& candidate : m_grpNums) {
        if (!candidate.selected || IsInList(candidate.itemData, ListId::Select))
            continue;
        m_select.push_back({candidate.text + m_strSelectTag, candidate.itemData, false});
        ++m_lngUserSelect;
    }
}

void SelectionModel::RemoveUserSelect(UserList which) {
    ItemList& items = userList(which);
    for (std::size_t i = items.size(); i-- > 0;) {
        if (items[i].selected) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            --m_lngUserSelect;
        }
    }
}

void SelectionModel::RemoveAllUserSelect(UserList which) {
    ItemList& items = userList(which);
    m_lngUserSelect -= static_cast<int32_t>(items.size());
    items.clear();
}

void SelectionModel::addMini(bool selectedOnly) {
    for (const ListItem& item : m_select) {
        if (selectedOnly && !item.selected)
            continue;
        // Characters 2 and 3 of "012(...)": the tens and units digit.
        if (item.text.size() < 3)
            continue;
        const std::string digits = item.text.substr(1, 2);
        if (!allDigits(digits))
            continue;
        const int32_t value = digitValue(digits);
        if (IsInList(value, ListId::Mini))
            continue;
        m_mini.push_back({digits, value, false});
        ++m_lngUserSelect;
    }
}

void SelectionModel::AddAllToMini() {
    addMini(false);
}
void SelectionModel::AddSelectToMini() {
    addMini(true);
}

std::vector<std::string> SelectionModel::selectionEntries(common::Game game,
                                                          const std::vector<std::string>& gridRows) const {
    std::vector<std::string> entries;
    entries.reserve(m_select.size() + m_mini.size());
    // A tag found neither among the groups nor in the grid (the grid was rebuilt
    // since the item was added) keeps the code of the entry before it, so the
    // number itself is not lost; the first entry falls back to row 0.
    std::string code = "000";
    for (const ListItem& item : m_select) {
        const std::string source = sourceOf(item.text);
        bool found = false;
        for (int g = 1; g <= 3 && !found; ++g) {
            if (source == kGroupSource[g]) {
                code = kGroupCode[g];
                found = true;
            }
        }
        for (std::size_t r = 0; r < gridRows.size() && !found; ++r) {
            if (gridRows[r] == source) {
                code = common::formatNumber(static_cast<int64_t>(r), "000");
                found = true;
            }
        }
        entries.push_back(code + "@" + common::LotteryNumber::ofValue(game, item.itemData).text());
    }
    if (game == common::Game::Numbers3) {
        for (const ListItem& item : m_mini)
            entries.push_back("MIN@" + miniOfValue(item.itemData).text());
    }
    return entries;
}

common::ReplaceResult SelectionModel::SaveUserSelect(const std::string& dir, common::Game game, int16_t round,
                                                     const std::vector<std::string>& gridRows) const {
    return WriteUserSelectFile(dir, game, round, selectionEntries(game, gridRows));
}

SelectionModel::LoadReport SelectionModel::LoadUserSelect(const std::string& dir, common::Game game, int16_t round,
                                                          const std::vector<std::string>& gridRows) {
    m_select.clear();
    m_mini.clear();
    m_lngUserSelect = 0;
    const UserSelectRead read = ReadUserSelectFile(dir, game, round);
    if (!read.ok)
        return {};
    LoadReport report = loadEntries(game, read.entries, gridRows);
    report.fileMatched = true;
    return report;
}

SelectionModel::LoadReport SelectionModel::loadEntries(common::Game game, const std::vector<std::string>& entries,
                                                       const std::vector<std::string>& gridRows) {
    m_select.clear();
    m_mini.clear();
    m_lngUserSelect = 0;
    LoadReport report;
    const bool numbers3 = game == common::Game::Numbers3;
    const auto digits = static_cast<std::size_t>(common::digitCount(game));
    for (const std::string& entry : entries) {
        const std::size_t at = entry.find('@');
        if (at == std::string::npos) {
            ++report.skipped;
            continue;
        }
        const std::string_view code = std::string_view(entry).substr(0, at);
        const std::string_view rest = std::string_view(entry).substr(at + 1);

        if (!rest.empty() && rest.front() == '*') {
            const std::string_view two = rest.substr(1);
            if (!numbers3 || code != "MIN" || two.size() != 2 || !allDigits(two) ||
                IsInList(digitValue(two), ListId::Mini)) {
                ++report.skipped;
                continue;
            }
            m_mini.push_back({std::string(two), digitValue(two), false});
            ++report.loaded;
            continue;
        }

        std::string source;
        for (int g = 1; g <= 3 && source.empty(); ++g)
            if (code == kGroupCode[g])
                source = kGroupSource[g];
        if (source.empty()) {
            // A row index of the all-group grid as it stands now.
            if (code.size() != 3 || !allDigits(code) || static_cast<std::size_t>(digitValue(code)) >= gridRows.size()) {
                ++report.skipped;
                continue;
            }
            source = gridRows[static_cast<std::size_t>(digitValue(code))];
        }
        if (rest.size() != digits || !allDigits(rest) || IsInList(digitValue(rest), ListId::Select)) {
            ++report.skipped;
            continue;
        }
        m_select.push_back({std::string(rest) + "(" + source + ")", digitValue(rest), false});
        ++report.loaded;
    }
    m_lngUserSelect = report.loaded;
    return report;
}

} // namespace tw::selection
