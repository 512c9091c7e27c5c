# The LE writer and the two drawing writers (xfig 3.2, SVG).
if(TARGET tessan_writers AND TARGET tessan_reader)
  tessan_test(test_put_le SOURCES test_put_le.cpp LIBS tessan_reader tessan_writers LABELS writers)
  tessan_test(test_put_xfig SOURCES test_put_xfig.cpp LIBS tessan_reader tessan_writers LABELS writers)
  tessan_test(test_put_inkscape SOURCES test_put_inkscape.cpp LIBS tessan_reader tessan_writers LABELS writers)
endif()
