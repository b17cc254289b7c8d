// Helpers of the ledger tests: a fixed recording clock, a ledger in a fresh
// folder, the bundled draw history, and a child process for the tests in which
// another program holds the file or the process is killed.
#pragma once

#include "history/table_file.h"
#include "ledger/ledger.h"
#include "support/fixed_clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tw::testing {

inline ledger::OpenOptions fixedClockOptions() {
    ledger::OpenOptions options;
    options.clock = fixedSystemNow;
    options.busyTimeoutMs = 50;
    return options;
}

// Opens the ledger at `path`; a failure fails the test and leaves the optional empty.
inline std::optional<ledger::Ledger> openLedger(const std::string& path) {
    ledger::LedgerOpenResult opened = ledger::Ledger::open(path, fixedClockOptions());
    if (!opened.ledger)
        ADD_FAILURE() << "cannot open " << path << ": " << ledger::describe(opened.error);
    return std::move(opened.ledger);
}

inline history::DrawHistory bundledHistory() {
    history::DrawHistory h;
    for (const common::Game game : common::kGames) {
        auto loaded = history::loadTableFile(std::string(TALLOWIND_DATA_DIR "/") + common::tableFileName(game));
        if (loaded.error)
            ADD_FAILURE() << loaded.error.message();
        h.table(game) = std::move(loaded.table);
    }
    return h;
}

// Runs `body` in a forked child and returns its wait status. The child ends with
// body's value as exit status and never returns into the test.
inline int runInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        ADD_FAILURE() << "cannot run a child process";
    return status;
}

} // namespace tw::testing
