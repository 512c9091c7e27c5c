# The BDD engine: store and operations, BuDDy as an oracle, the expression parser.
# BuDDy is linked from its static archive: only its C kernel is pulled in,
# not the C++ wrapper object whose global handles, of a class also named
# `bdd`, would run the engine's destructor at exit.
find_library(TESSAN_BUDDY_LIBRARY NAMES libbdd.a bdd)
if(TARGET tessan_bdd)
  tessan_test(test_bddpp SOURCES test_bddpp.cpp LIBS tessan_bdd LABELS bdd)
  if(TESSAN_BUDDY_LIBRARY AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/test_bddpp_oracle.cpp)
    tessan_test(test_bddpp_oracle SOURCES test_bddpp_oracle.cpp buddy_ref.c LIBS tessan_bdd ${TESSAN_BUDDY_LIBRARY} LABELS bdd)
  endif()
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/test_parse_exp_bdd.cpp)
    tessan_test(test_parse_exp_bdd SOURCES test_parse_exp_bdd.cpp LIBS tessan_bdd LABELS bdd)
  endif()
endif()
