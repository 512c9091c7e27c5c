# BDD engine, part two: covers, printers, netlists, substitution table.
# The cover tests use BuDDy as their oracle through tests/buddy_ref.c, from
# its static archive (see tests/bdd.cmake); the printer and netlist tests
# run berkeley-abc, ghdl and the C compiler from /usr/bin and fail when one
# is missing.
find_library(TESSAN_BUDDY_LIBRARY NAMES libbdd.a bdd REQUIRED)
if(TARGET tessan_bdd)
  tessan_test(test_bdd_covers SOURCES test_bdd_covers.cpp buddy_ref.c
              LIBS tessan_bdd ${TESSAN_BUDDY_LIBRARY} LABELS bdd)
  tessan_test(test_bdd_printers SOURCES test_bdd_printers.cpp buddy_ref.c
              LIBS tessan_bdd ${TESSAN_BUDDY_LIBRARY} LABELS bdd)
  tessan_test(test_bdd_substitution SOURCES test_bdd_substitution.cpp LIBS tessan_bdd LABELS bdd)
  tessan_test(test_bdd_netlists SOURCES test_bdd_netlists.cpp buddy_ref.c
              LIBS tessan_bdd ${TESSAN_BUDDY_LIBRARY} LABELS bdd)
endif()
