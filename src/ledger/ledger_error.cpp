#include "ledger/ledger_error.h"

#include "ledger/schema.h"
#include "ledger/ticket.h"

#include <filesystem>

namespace tw::ledger {

bool LedgerError::isStorageError() const {
    switch (kind) {
    case LedgerErrorKind::Locked:
    case LedgerErrorKind::ReadOnly:
    case LedgerErrorKind::Corrupt:
    case LedgerErrorKind::NewerVersion:
    case LedgerErrorKind::CannotOpen:
    case LedgerErrorKind::DiskFull:
    case LedgerErrorKind::Failed:
        return true;
    default:
        return false;
    }
}

const char* betNameJa(common::BetType bet) {
    switch (bet) {
    case common::BetType::Straight:
        return "ストレート";
    case common::BetType::Box:
        return "ボックス";
    case common::BetType::Set:
        return "セット";
    case common::BetType::Mini:
        return "ミニ";
    }
    return "";
}

namespace {

std::string fileNameOf(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

std::string withDetailJa(const std::string& text, const std::string& detail) {
    return detail.empty() ? text : text + "（" + detail + "）";
}

std::string withDetail(const std::string& text, const std::string& detail) {
    return detail.empty() ? text : text + " (" + detail + ")";
}

std::string numberFormJa(const LedgerError& e) {
    if (e.bet == common::BetType::Mini)
        return "ミニは 2 桁の数字（*12 など）で入力してください。";
    return common::gameName(e.game) + std::string(" の番号は ") + std::to_string(common::digitCount(e.game)) +
           " 桁の数字（" + (e.game == common::Game::Numbers4 ? "0123" : "012") + " など）で入力してください。";
}

std::string numberForm(const LedgerError& e) {
    if (e.bet == common::BetType::Mini)
        return "a Mini bet takes 2 digits such as *12 or 12";
    return "a " + std::string(common::gameName(e.game)) + " number has " + std::to_string(common::digitCount(e.game)) +
           " digits such as " + (e.game == common::Game::Numbers4 ? "0123" : "012");
}

} // namespace

std::string describeJa(const LedgerError& e) {
    const std::string ledger = "購入台帳「" + fileNameOf(e.path) + "」";
    const std::string entry = e.entryIndex >= 0 ? std::to_string(e.entryIndex + 1) + " 件目：" : "";
    switch (e.kind) {
    case LedgerErrorKind::None:
        return {};
    case LedgerErrorKind::Locked:
        return ledger + "は他のプログラムが使用中のため書き込めません。\rしばらくしてからやり直してください。";
    case LedgerErrorKind::ReadOnly:
        return ledger + "に書き込めません。\rファイルまたはフォルダが読み取り専用です。";
    case LedgerErrorKind::Corrupt:
        return withDetailJa(ledger + "が壊れているか、購入台帳のファイルではありません。", e.detail);
    case LedgerErrorKind::NewerVersion:
        return ledger + "は新しいバージョンのプログラムで作られているため開けません。\r（形式 " +
               std::to_string(e.value) + "、このプログラムは形式 " + std::to_string(currentSchemaVersion()) + " まで）";
    case LedgerErrorKind::CannotOpen:
        return withDetailJa(ledger + "を開けません。", e.detail);
    case LedgerErrorKind::DiskFull:
        return ledger + "に書き込めません。\rディスクの空きがありません。";
    case LedgerErrorKind::Failed:
        return withDetailJa(ledger + "でエラーが起きました。", e.detail);
    case LedgerErrorKind::InvalidRound:
        return entry + "抽選回 " + std::to_string(e.value) + " は指定できません。\r抽選回は 1 ～ " +
               std::to_string(kMaxRound) + " で指定してください。";
    case LedgerErrorKind::InvalidNumber:
        return entry + "番号「" + e.number + "」は" +
               (e.bet == common::BetType::Mini ? std::string("ミニ") : std::string(common::gameName(e.game)) + " ") +
               "の番号ではありません。\r" + numberFormJa(e);
    case LedgerErrorKind::MiniNotNumbers3:
        return entry + "ミニは NUMBERS3 だけで購入できます。";
    case LedgerErrorKind::AllDigitsEqual:
        return entry + "番号「" + e.number + "」はすべての数字が同じため、" + betNameJa(e.bet) + "では購入できません。";
    case LedgerErrorKind::InvalidCount:
        return "口数 " + std::to_string(e.value) + " は指定できません。\r口数は 1 ～ " + std::to_string(kMaxCount) +
               " で指定してください。";
    case LedgerErrorKind::TicketNotFound:
        return "券番号 " + std::to_string(e.value) + " の券は購入台帳にありません。";
    case LedgerErrorKind::ExportFailed:
        return withDetailJa("ファイル「" + fileNameOf(e.path) + "」に書き出せません。", e.detail);
    }
    return {};
}

std::string describe(const LedgerError& e) {
    const std::string ledger = "the ledger '" + e.path + "'";
    const std::string entry = e.entryIndex >= 0 ? "entry " + std::to_string(e.entryIndex + 1) + ": " : "";
    switch (e.kind) {
    case LedgerErrorKind::None:
        return "no error";
    case LedgerErrorKind::Locked:
        return ledger + " is in use by another program; try again when it has finished";
    case LedgerErrorKind::ReadOnly:
        return withDetail(ledger + " cannot be written: the file or its folder is read-only", e.detail);
    case LedgerErrorKind::Corrupt:
        return withDetail(ledger + " is damaged or is not a ticket ledger", e.detail);
    case LedgerErrorKind::NewerVersion:
        return ledger + " was written by a newer version of the program (schema version " + std::to_string(e.value) +
               "; this version reads up to " + std::to_string(currentSchemaVersion()) + ")";
    case LedgerErrorKind::CannotOpen:
        return withDetail(ledger + " cannot be opened", e.detail);
    case LedgerErrorKind::DiskFull:
        return ledger + " cannot be written: the disk is full";
    case LedgerErrorKind::Failed:
        return withDetail(ledger + " reported an error", e.detail);
    case LedgerErrorKind::InvalidRound:
        return entry + "round " + std::to_string(e.value) + " is out of range: rounds are 1.." +
               std::to_string(kMaxRound);
    case LedgerErrorKind::InvalidNumber:
        return entry + "'" + e.number + "' is not " +
               (e.bet == common::BetType::Mini ? std::string("a Mini pair")
                                               : "a " + std::string(common::gameName(e.game)) + " number") +
               ": " + numberForm(e);
    case LedgerErrorKind::MiniNotNumbers3:
        return entry + "Mini is sold for NUMBERS3 only";
    case LedgerErrorKind::AllDigitsEqual:
        return entry + e.number + " cannot be bought as " + common::betKey(e.bet) + ": its digits are all equal";
    case LedgerErrorKind::InvalidCount:
        return "the count must be 1.." + std::to_string(kMaxCount) + ", not " + std::to_string(e.value);
    case LedgerErrorKind::TicketNotFound:
        return "the ledger holds no ticket " + std::to_string(e.value);
    case LedgerErrorKind::ExportFailed:
        return withDetail("cannot write '" + e.path + "'", e.detail);
    }
    return "unknown error";
}

} // namespace tw::ledger
