# Drawing sheet and simulator panels: real windows on the run's display, read
# back and clicked; they skip themselves without DISPLAY.
tessan_test(test_sheet WINDOWS SOURCES test_sheet.cpp LIBS tessan_forms LABELS forms)
tessan_test(test_simulator WINDOWS SOURCES test_simulator.cpp LIBS tessan_forms LABELS forms)
