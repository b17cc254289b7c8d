# Loading and saving the draw table files.
tw_benchmark(bench_history SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_history.cpp DEPS tw_history)
