#include "ledger/ledger.h"

#include "ledger/schema.h"
#include "ledger/sqlite_db.h"

#include <filesystem>

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
    const int openCode = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
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
    sql::Statement select(m_db.get(), "SELECT t.id, t.purchase_id, p.source, p.recorded_at, t.game, t.round, t.bet, "
                                      "t.number, t.price, t.note "
                                      "FROM ticket t JOIN purchase p ON p.id = t.purchase_id "
                                      "WHERE (?1 IS NULL OR t.game = ?1) AND (?2 IS NULL OR t.round >= ?2) "
                                      "AND (?3 IS NULL OR t.round <= ?3) "
                                      "ORDER BY t.game, t.round, t.id");
    if (filter.game)
        select.bind(1, int64_t{common::gameCode(*filter.game)});
    if (filter.fromRound)
        select.bind(2, int64_t{*filter.fromRound});
    if (filter.toRound)
        select.bind(3, int64_t{*filter.toRound});

    // Tickets of one purchase come in runs; its source and time are read once per run.
    int64_t lastPurchase = -1;
    TicketSource lastSource = TicketSource::Hand;
    std::chrono::sys_seconds lastTime{};
    int rc = SQLITE_OK;
    while ((rc = select.step()) == SQLITE_ROW) {
        Ticket t;
        t.id = select.columnInt(0);
        t.purchaseId = select.columnInt(1);
        auto invalid = [&](const char* what) {
            result.tickets.clear();
            result.error.kind = LedgerErrorKind::Corrupt;
            result.error.path = m_path;
            result.error.detail = "ticket " + std::to_string(t.id) + " holds an invalid " + what;
            return result;
        };
        if (t.purchaseId != lastPurchase) {
            const auto source = sourceFromKey(select.columnText(2));
            const auto time = parseUtc(select.columnText(3));
            if (!source)
                return invalid("source");
            if (!time)
                return invalid("recording time");
            lastPurchase = t.purchaseId;
            lastSource = *source;
            lastTime = *time;
        }
        t.source = lastSource;
        t.recordedAt = lastTime;
        const auto game = common::gameFromCode(static_cast<int>(select.columnInt(4)));
        const auto bet = common::betFromKey(select.columnText(6));
        if (!game)
            return invalid("game");
        if (!bet)
            return invalid("bet type");
        const int64_t round = select.columnInt(5);
        if (round < 1 || round > kMaxRound)
            return invalid("round");
        const auto number = common::LotteryNumber::parse(*game, select.columnText(7));
        if (!number || number->isMini() != (*bet == common::BetType::Mini) || !number->buyableAs(*bet))
            return invalid("number");
        const int64_t price = select.columnInt(8);
        if (price <= 0 || price > INT32_MAX)
            return invalid("price");
        t.game = *game;
        t.round = static_cast<int>(round);
        t.bet = *bet;
        t.number = *number;
        t.price = static_cast<int32_t>(price);
        t.note = select.columnText(9);
        result.tickets.push_back(std::move(t));
    }
    if (rc != SQLITE_DONE) {
        result.tickets.clear();
        result.error = fail(rc);
    }
    return result;
}

} // namespace tw::ledger
