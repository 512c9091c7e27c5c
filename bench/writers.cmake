# The Esterel writer on generated charts.
if(TARGET tessan_writers)
  tessan_bench(bench_put_strl5 SOURCES bench_put_strl5.cpp LIBS tessan_writers)
endif()
