# Sum-of-products covers: time and memory against the number of variables.
if(TARGET tessan_bdd)
  tessan_bench(bench_bdd_covers SOURCES bench_bdd_covers.cpp LIBS tessan_bdd)
endif()
