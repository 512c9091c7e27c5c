# The chart reader and the .gal writer.
tessan_test(test_parse_gal SOURCES test_parse_gal.cpp LIBS tessan_reader tessan_writers)
tessan_test(test_put_gal SOURCES test_put_gal.cpp LIBS tessan_reader tessan_writers)
