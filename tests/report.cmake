# Report pages: the page model and its text, PostScript and PDF outputs
# (no display needed), and the viewer window, which needs DISPLAY and skips
# itself without it.
tessan_test(test_report SOURCES test_report.cpp LIBS tessan_report LABELS forms)
tessan_test(test_afficheur WINDOWS SOURCES test_afficheur.cpp LIBS tessan_forms LABELS forms)
