# The chart's checks; the external-program check is in the reader's library.
tessan_test(test_gal_norm_checks SOURCES test_gal_norm_checks.cpp LIBS tessan_reader LABELS chart)
