# The ticket ledger: showing 100,000 tickets over 5,000 rounds (load, settle,
# rows) and recording a print job's tickets.
tw_benchmark(bench_ledger SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ledger.cpp DEPS tw_ledger tw_history)
