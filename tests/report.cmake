# Report pages: the page model and its text, PostScript and PDF outputs (no
# display needed). The viewer window is tested with the Forms toolkit.
tessan_test(test_report SOURCES test_report.cpp LIBS tessan_report LABELS forms)
