#include "ledger/ledger.h"

#include "ledger/schema.h"
#include "ledger/sqlite_db.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

namespace tw::ledger {

std::string ledgerPathIn(const std::string& folder) {
    return (std::filesystem::path(folder) / kLedgerFileName).string();
}

Ledger::Ledger(std::string path, sql::Connection db, OpenOptions options, int schemaVersion)
    : m_path(std::move(path)), m_db(std::move(db)), m_options(std::move(options)), m_schemaVersion(schemaVersion) {}

LedgerOpenResult Ledger::open(const std::string& path, OpenOptions options) {
    LedgerOpenResult result;
    if (path.empty()) {
        result.error.kind = LedgerErrorKind::CannotOpen;
        result.error.detail = "no file name";
        return result;
    }
    sqlite3* raw = nullptr;
    // A ledger is used from one thread at a time, so SQLite need not lock the
    // connection on every call (a fifth of the time of listing 100,000 tickets).
    const int openCode =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    sql::Connection db(raw);
    if (openCode != SQLITE_OK) {
        result.error = sql::storageError(db.get(), openCode, path);
        return result;
    }
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), options.busyTimeoutMs);
    // SQLite opens a write-protected file for reading without saying so; the
    // ledger is refused before anything (a journal, a lock file) is made beside it.
    if (sqlite3_db_readonly(db.get(), "main") == 1) {
        result.error.kind = LedgerErrorKind::ReadOnly;
        result.error.path = path;
        result.error.detail = "the file is write-protected";
        return result;
    }
    for (const char* pragma : {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = FULL"})
        if (const int rc = sql::runOne(db.get(), pragma); rc != SQLITE_OK) {
            result.error = sql::storageError(db.get(), rc, path);
            return result;
        }
    // The first read of the file: one that is not a database, not a ledger or of
    // a newer version is refused here, before anything is written to it.
    if (SchemaCheck check = checkSchema(db.get(), path, ledgerMigrations()); check.error) {
        result.error = std::move(check.error);
        return result;
    }
    {
        sql::Statement journal(db.get(), "PRAGMA journal_mode = WAL");
        const int rc = journal.step();
        if (rc != SQLITE_ROW) {
            result.error = sql::storageError(db.get(), rc, path);
            return result;
        }
        if (journal.columnText(0) != "wal") {
            result.error.kind = LedgerErrorKind::Failed;
            result.error.path = path;
            result.error.detail =
                "the journal cannot be switched to WAL (it stays '" + std::string(journal.columnText(0)) + "')";
            return result;
        }
    }

    Ledger ledger(path, std::move(db), std::move(options), 0);
    const MigrationOutcome migration = migrateDatabase(ledger.m_db.get(), path, ledgerMigrations(), ledger.nowText());
    if (migration.error) {
        result.error = migration.error;
        return result;
    }
    ledger.m_schemaVersion = migration.version;
    result.migrated = migration.migrated;
    result.ledger.emplace(std::move(ledger));
    return result;
}

std::string Ledger::nowText() const {
    const auto now = m_options.clock ? m_options.clock() : std::chrono::system_clock::now();
    return formatUtc(std::chrono::floor<std::chrono::seconds>(now));
}

LedgerError Ledger::fail(int code) const {
    return sql::storageError(m_db.get(), code, m_path);
}

void Ledger::reachStage(WriteStage stage) const {
    if (m_writeHook)
        m_writeHook(stage);
}

RecordResult Ledger::recordTickets(const std::vector<TicketEntry>& entries, TicketSource source) {
    RecordResult result;
    std::vector<common::LotteryNumber> numbers;
    numbers.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        CheckedEntry checked = checkTicketEntry(entries[i]);
        if (checked.error) {
            result.error = std::move(checked.error);
            result.error.path = m_path;
            result.error.entryIndex = entries.size() > 1 ? static_cast<int>(i) : -1;
            return result;
        }
        numbers.push_back(*checked.number);
    }
    if (entries.empty())
        return result;

    sql::WriteTransaction transaction(m_db.get());
    if (transaction.beginResult() != SQLITE_OK) {
        result.error = fail(transaction.beginResult());
        return result;
    }
    sql::Statement purchase(m_db.get(), "INSERT INTO purchase (source, recorded_at) VALUES (?1, ?2)");
    purchase.bind(1, std::string_view(sourceKey(source)));
    purchase.bind(2, nowText());
    if (const int rc = purchase.step(); rc != SQLITE_DONE) {
        result.error = fail(rc);
        return result;
    }
    const int64_t purchaseId = sqlite3_last_insert_rowid(m_db.get());

    sql::Statement insert(m_db.get(), "INSERT INTO ticket (purchase_id, game, round, bet, number, price, note) "
                                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    std::vector<int64_t> ids;
    ids.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TicketEntry& entry = entries[i];
        insert.bind(1, purchaseId);
        insert.bind(2, int64_t{common::gameCode(entry.game)});
        insert.bind(3, int64_t{entry.round});
        insert.bind(4, std::string_view(common::betKey(entry.bet)));
        insert.bind(5, numbers[i].text());
        insert.bind(6, int64_t{common::kBetPrice});
        insert.bind(7, entry.note);
        if (const int rc = insert.step(); rc != SQLITE_DONE) {
            result.error = fail(rc);
            return result;
        }
        ids.push_back(sqlite3_last_insert_rowid(m_db.get()));
        insert.reset();
    }
    reachStage(WriteStage::BeforeCommit);
    if (const int rc = transaction.commit(); rc != SQLITE_OK) {
        result.error = fail(rc);
        return result;
    }
    reachStage(WriteStage::AfterCommit);
    result.purchaseId = purchaseId;
    result.ticketIds = std::move(ids);
    return result;
}

RecordResult Ledger::addTickets(common::Game game, int round, std::string_view number, common::BetType bet, int count,
                                std::string_view note) {
    const TicketEntry entry{game, round, bet, std::string(number), std::string(note)};
    if (count < 1 || count > kMaxCount) {
        RecordResult result;
        result.error.kind = LedgerErrorKind::InvalidCount;
        result.error.path = m_path;
        result.error.game = game;
        result.error.bet = bet;
        result.error.number = entry.number;
        result.error.value = count;
        return result;
    }
    // Check once so a refused entry is reported as the single entry it was typed as.
    if (CheckedEntry checked = checkTicketEntry(entry); checked.error) {
        RecordResult result;
        result.error = std::move(checked.error);
        result.error.path = m_path;
        return result;
    }
    return recordTickets(std::vector<TicketEntry>(static_cast<std::size_t>(count), entry), TicketSource::Hand);
}

LedgerError Ledger::removeTicket(int64_t id) {
    sql::WriteTransaction transaction(m_db.get());
    if (transaction.beginResult() != SQLITE_OK)
        return fail(transaction.beginResult());
    sql::Statement find(m_db.get(), "SELECT purchase_id FROM ticket WHERE id = ?1");
    find.bind(1, id);
    int rc = find.step();
    if (rc == SQLITE_DONE) {
        LedgerError error;
        error.kind = LedgerErrorKind::TicketNotFound;
        error.path = m_path;
        error.value = id;
        return error;
    }
    if (rc != SQLITE_ROW)
        return fail(rc);
    const int64_t purchaseId = find.columnInt(0);

    sql::Statement remove(m_db.get(), "DELETE FROM ticket WHERE id = ?1");
    remove.bind(1, id);
    if (rc = remove.step(); rc != SQLITE_DONE)
        return fail(rc);
    sql::Statement removeEmptyPurchase(
        m_db.get(), "DELETE FROM purchase WHERE id = ?1 AND NOT EXISTS (SELECT 1 FROM ticket WHERE purchase_id = ?1)");
    removeEmptyPurchase.bind(1, purchaseId);
    if (rc = removeEmptyPurchase.step(); rc != SQLITE_DONE)
        return fail(rc);
    reachStage(WriteStage::BeforeCommit);
    if (rc = transaction.commit(); rc != SQLITE_OK)
        return fail(rc);
    reachStage(WriteStage::AfterCommit);
    return {};
}

TicketsResult Ledger::tickets(const TicketFilter& filter) const {
    TicketsResult result;
    auto invalid = [&](int64_t id, const char* what) {
        result.tickets.clear();
        result.error.kind = LedgerErrorKind::Corrupt;
        result.error.path = m_path;
        result.error.detail = "ticket " + std::to_string(id) + " holds an invalid " + what;
        return result;
    };
    // Both reads see the same state of the file, whatever another program writes meanwhile.
    sql::ReadTransaction snapshot(m_db.get());
    if (snapshot.beginResult() != SQLITE_OK) {
        result.error = fail(snapshot.beginResult());
        return result;
    }

    // The purchases are few (one per print job or hand entry); each is read once.
    struct Purchase {
        int64_t id;
        TicketSource source;
        std::chrono::sys_seconds time;
    };
    std::vector<Purchase> purchases;
    {
        sql::Statement select(m_db.get(), "SELECT id, source, recorded_at FROM purchase ORDER BY id");
        int rc = SQLITE_OK;
        while ((rc = select.step()) == SQLITE_ROW) {
            const auto source = sourceFromKey(select.columnText(1));
            const auto time = parseUtc(select.columnText(2));
            if (!source || !time) {
                result.error.kind = LedgerErrorKind::Corrupt;
                result.error.path = m_path;
                result.error.detail = "purchase " + std::to_string(select.columnInt(0)) + " holds an invalid " +
                                      (source ? "recording time" : "source");
                return result;
            }
            purchases.push_back({select.columnInt(0), *source, *time});
        }
        if (rc != SQLITE_DONE) {
            result.error = fail(rc);
            return result;
        }
    }

    // The tickets in the order they are stored, which reads the table front to
    // back; sorting afterwards is far cheaper than walking the round index.
    sql::Statement select(m_db.get(), "SELECT id, purchase_id, game, round, bet, number, price, note FROM ticket "
                                      "WHERE (?1 IS NULL OR game = ?1) AND (?2 IS NULL OR round >= ?2) "
                                      "AND (?3 IS NULL OR round <= ?3)");
    if (filter.game)
        select.bind(1, int64_t{common::gameCode(*filter.game)});
    if (filter.fromRound)
        select.bind(2, int64_t{*filter.fromRound});
    if (filter.toRound)
        select.bind(3, int64_t{*filter.toRound});
    {
        sql::Statement count(m_db.get(), "SELECT count(*) FROM ticket");
        if (const int rc = count.step(); rc != SQLITE_ROW) {
            result.error = fail(rc);
            return result;
        }
        result.tickets.reserve(static_cast<std::size_t>(count.columnInt(0)));
    }
    std::size_t purchase = 0; // tickets of one purchase are stored together
    int rc = SQLITE_OK;
    while ((rc = select.step()) == SQLITE_ROW) {
        Ticket t;
        t.id = select.columnInt(0);
        t.purchaseId = select.columnInt(1);
        if (purchase >= purchases.size() || purchases[purchase].id != t.purchaseId) {
            const auto it = std::lower_bound(purchases.begin(), purchases.end(), t.purchaseId,
                                             [](const Purchase& p, int64_t id) { return p.id < id; });
            if (it == purchases.end() || it->id != t.purchaseId)
                return invalid(t.id, "purchase");
            purchase = static_cast<std::size_t>(it - purchases.begin());
        }
        t.source = purchases[purchase].source;
        t.recordedAt = purchases[purchase].time;
        const auto game = common::gameFromCode(static_cast<int>(select.columnInt(2)));
        const auto bet = common::betFromKey(select.columnText(4));
        if (!game)
            return invalid(t.id, "game");
        if (!bet)
            return invalid(t.id, "bet type");
        const int64_t round = select.columnInt(3);
        if (round < 1 || round > kMaxRound)
            return invalid(t.id, "round");
        const auto number = common::LotteryNumber::parse(*game, select.columnText(5));
        if (!number || number->isMini() != (*bet == common::BetType::Mini) || !number->buyableAs(*bet))
            return invalid(t.id, "number");
        const int64_t price = select.columnInt(6);
        if (price <= 0 || price > INT32_MAX)
            return invalid(t.id, "price");
        t.game = *game;
        t.round = static_cast<int>(round);
        t.bet = *bet;
        t.number = *number;
        t.price = static_cast<int32_t>(price);
        t.note = select.columnText(7);
        result.tickets.push_back(std::move(t));
    }
    if (rc != SQLITE_DONE) {
        result.tickets.clear();
        result.error = fail(rc);
        return result;
    }
    std::sort(result.tickets.begin(), result.tickets.end(), [](const Ticket& a, const Ticket& b) {
        return std::tuple(common::gameCode(a.game), a.round, a.id) <
               std::tuple(common::gameCode(b.game), b.round, b.id);
    });
    return result;
}

} // namespace tw::ledger
