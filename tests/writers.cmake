# The Esterel writer and the tessan program.
if(TARGET tessan_writers)
  tessan_test(test_put_strl5 SOURCES test_put_strl5.cpp LIBS tessan_reader tessan_writers LABELS writers)
endif()
if(TARGET test_put_strl5 AND TARGET tessan)
  add_dependencies(test_put_strl5 tessan)  # the random charts go through the program
endif()
if(TARGET tessan)
  tessan_test(test_tessan WINDOWS SOURCES test_tessan.cpp LABELS app)
  add_dependencies(test_tessan tessan)
endif()
