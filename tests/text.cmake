tessan_test(test_list SOURCES test_list.cpp LIBS tessan_text LABELS text)
tessan_test(test_g_time SOURCES test_g_time.cpp LIBS tessan_text LABELS text)
tessan_test(test_Stringpp SOURCES test_Stringpp.cpp LIBS tessan_text LABELS text)
