tessan_bench(bench_gal_norm SOURCES bench_gal_norm.cpp LIBS tessan_chart)
