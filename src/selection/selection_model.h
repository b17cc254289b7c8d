// The user's selection for one coming round of one game: the candidate list of
// one source group, the selected numbers and the Mini bets, the two counters the
// change panel shows, and storing / restoring the selection through the user
// selection file. The change panel mirrors the three lists into its list boxes
// and forwards the user's clicks here; the model never shows anything.
//
// Depends on the proposal records of the engine (read only) and on the common
// helpers; no Qt.
#pragma once

#include "common/file_replace.h"
#include "common/lottery.h"
#include "engine/engine_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tw::selection {

// One list-box item: what is shown, the integer carried with it, and whether the
// user has it selected.
struct ListItem {
    std::string text;
    int32_t itemData = 0;
    bool selected = false;
    bool operator==(const ListItem&) const = default;
};
using ItemList = std::vector<ListItem>;

enum class ListId { GrpNums, Select, Mini }; // lstChgGrpNums, lstChgSelect, lstChgMini
enum class UserList { Select, Mini };        // the two lists the user's bets live in

// Source tags of the prediction groups, without the parentheses.
inline constexpr const char* kGroupSource[] = {"", "予測Grp1", "予測Grp2", "予測Grp3"};

class SelectionModel {
public:
    const ItemList& list(ListId id) const;
    const ItemList& lstChgGrpNums() const { return m_grpNums; }
    const ItemList& lstChgSelect() const { return m_select; }
    const ItemList& lstChgMini() const { return m_mini; }

    int32_t lngMaxSelect() const { return m_lngMaxSelect; }
    int32_t lngUserSelect() const { return m_lngUserSelect; }
    const std::string& strSelectTag() const { return m_strSelectTag; }

    // The panel reports the user's clicks; an index outside the list is ignored.
    void setSelected(ListId id, std::size_t index, bool selected);

    // lngMaxSelect = the all-group table's entry count; lngUserSelect = 0.
    void ResetSelectCount(int32_t allGrpCount);
    // Empties the three lists (the counters are left to ResetSelectCount / loading).
    void ClearLists();

    // Fills the candidates from prediction group 1, 2 or 3 (the group dialog's
    // answer). Answer 0 (cancelled) or anything else changes nothing; returns
    // whether the list was filled. Group 3 is always read as four digits.
    bool SetGrpNumsFromYosoku(common::Game game, int groupAnswer, const engine::Proposal& proposal);
    // Fills the candidates with every number whose group value is the one written
    // in an all-group grid cell, and tags them with that text.
    void SetGrpNumsFromGrid(common::Game game, const std::string& cellText, const engine::Proposal& proposal);

    void SelectAllList(ListId id);
    void ClearListSelect(ListId id);
    bool IsInList(int32_t number, ListId id) const;

    // Copies the selected candidates not yet in the selection, tagged with the
    // current strSelectTag. A number already there keeps its old tag.
    void AddToUserSelect();
    void RemoveUserSelect(UserList which);
    void RemoveAllUserSelect(UserList which);
    // The last two digits of every (or every selected) selection item as Mini bets.
    void AddAllToMini();
    void AddSelectToMini();

    // The entries that SaveUserSelect writes: "A00@123", "017@456", "MIN@*23".
    // gridRows are the column-0 texts of the all-group grid.
    std::vector<std::string> selectionEntries(common::Game game, const std::vector<std::string>& gridRows) const;
    // Writes the selection file of the game in folder dir; returns the file
    // helper's answer, which the panel turns into a message when it failed.
    common::ReplaceResult SaveUserSelect(const std::string& dir, common::Game game, int16_t round,
                                         const std::vector<std::string>& gridRows) const;

    // What loading found, for callers that want to know; the panel ignores it.
    struct LoadReport {
        bool fileMatched = false; // a readable file of that round was found
        int loaded = 0;           // entries that became list items
        int skipped = 0;          // entries that were malformed, foreign or duplicates
    };
    // Replaces both user lists with the stored selection of that round. Entries
    // that do not fit the entry grammar are skipped; a foreign round loads nothing.
    LoadReport LoadUserSelect(const std::string& dir, common::Game game, int16_t round,
                              const std::vector<std::string>& gridRows);
    // The same from entries already read (the part of loading after the file).
    LoadReport loadEntries(common::Game game, const std::vector<std::string>& entries,
                           const std::vector<std::string>& gridRows);

private:
    ItemList& mutableList(ListId id);
    ItemList& userList(UserList which) { return which == UserList::Select ? m_select : m_mini; }
    void addMini(bool selectedOnly);

    ItemList m_grpNums;
    ItemList m_select;
    ItemList m_mini;
    int32_t m_lngMaxSelect = 0;
    int32_t m_lngUserSelect = 0;
    std::string m_strSelectTag;
};

} // namespace tw::selection
