# Reading generated charts with parse().
if(TARGET tessan_reader)
  tessan_bench(bench_parse_gal SOURCES bench_parse_gal.cpp LIBS tessan_reader)
endif()
