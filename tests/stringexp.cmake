# The expression syntax checker.
tessan_test(test_Stringexp SOURCES test_Stringexp.cpp LIBS tessan_text LABELS text)
