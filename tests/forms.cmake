# Forms toolkit: dialogs, its own windows (the report viewer among them),
# wrappers and drawing; window tests need DISPLAY and skip themselves without it.
tessan_test(test_formspp WINDOWS SOURCES test_formspp.cpp LIBS tessan_forms LABELS forms)
