# The back-test of the proposal against random tickets over the whole bundled history.
tw_benchmark(bench_backtest SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_backtest.cpp DEPS tw_backtest tw_history)
