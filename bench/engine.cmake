# The prediction engine: a complete sliced run, the fast path over every report
# round, and both side by side per round.
tw_benchmark(bench_engine SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_engine.cpp DEPS tw_engine tw_history)
