# Sum-of-products covers: time and memory against the number of variables.
if(TARGET tessan_bdd)
  tessan_bench(bench_bdd_covers SOURCES bench_bdd_covers.cpp LIBS tessan_bdd)
endif()
# The boolean expression parser on long triggers.
if(TARGET tessan_bdd)
  tessan_bench(bench_parse_exp_bdd SOURCES bench_parse_exp_bdd.cpp LIBS tessan_bdd)
endif()
