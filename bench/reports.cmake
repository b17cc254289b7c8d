# The HTML back-test report: page writing alone and the whole three-file report.
tw_benchmark(bench_reports SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_reports.cpp DEPS tw_reports tw_history)
