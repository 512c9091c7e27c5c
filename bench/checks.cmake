# The chart's trigger checks on 30-signal triggers.
tessan_bench(bench_checks SOURCES bench_checks.cpp LIBS tessan_chart)
