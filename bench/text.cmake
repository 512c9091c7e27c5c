tessan_bench(bench_text SOURCES bench_text.cpp LIBS tessan_text)
