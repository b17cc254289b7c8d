# The HTML back-test report: page writing alone and the whole three-file report.
tw_benchmark(bench_reports SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_reports.cpp DEPS tw_reports tw_history)
# The statistics of the drawn digits over the whole bundled history.
tw_benchmark(bench_statistics SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_statistics.cpp DEPS tw_reports tw_history)
