# Loading and saving the draw table files.
tw_benchmark(bench_history SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_history.cpp DEPS tw_history)
# Importing a whole history file and exporting it.
tw_benchmark(bench_draw_import SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_draw_import.cpp DEPS tw_history)
