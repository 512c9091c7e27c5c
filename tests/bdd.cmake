# The BDD engine: store and operations, covers, printers, netlists, the
# substitution table, the expression parser. BuDDy, the oracle, is linked
# from its static archive: only its C kernel is pulled in, not the C++ wrapper
# whose global handles, of a class also named `bdd`, would run the engine's
# destructor at exit. The printer and netlist tests run berkeley-abc and ghdl
# from /usr/bin and fail when one is missing.
find_library(TESSAN_BUDDY_LIBRARY NAMES libbdd.a bdd REQUIRED)
if(TARGET tessan_bdd)
  foreach(name test_bdd_substitution test_parse_exp_bdd)
    tessan_test(${name} SOURCES ${name}.cpp LIBS tessan_bdd LABELS bdd)
  endforeach()
  foreach(name test_bddpp test_bdd_covers test_bdd_printers test_bdd_netlists)
    tessan_test(${name} SOURCES ${name}.cpp buddy_ref.c LIBS tessan_bdd ${TESSAN_BUDDY_LIBRARY} LABELS bdd)
  endforeach()
endif()
