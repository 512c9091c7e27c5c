# The chart's checks; the external-program check is in the reader's library.
# BuDDy (see tests/bdd.cmake) is the oracle of the findings' covers.
find_library(TESSAN_BUDDY_LIBRARY NAMES libbdd.a bdd REQUIRED)
tessan_test(test_gal_norm_checks SOURCES test_gal_norm_checks.cpp buddy_ref.c
            LIBS tessan_reader tessan_chart tessan_bdd ${TESSAN_BUDDY_LIBRARY} LABELS chart)
