# The BDD engine against BuDDy (static archive: see tests/bdd.cmake).
find_library(TESSAN_BUDDY_LIBRARY NAMES libbdd.a bdd)
if(TARGET tessan_bdd AND TESSAN_BUDDY_LIBRARY)
  tessan_bench(bench_bdd SOURCES bench_bdd.cpp ${PROJECT_SOURCE_DIR}/tests/buddy_ref.c
               LIBS tessan_bdd ${TESSAN_BUDDY_LIBRARY})
  target_include_directories(bench_bdd PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endif()
