tessan_test(test_gal_norm_records SOURCES test_gal_norm_records.cpp LIBS tessan_chart LABELS chart)
tessan_test(test_gal_norm_states SOURCES test_gal_norm_states.cpp LIBS tessan_chart LABELS chart)
tessan_test(test_gal_norm_fichier SOURCES test_gal_norm_fichier.cpp LIBS tessan_chart LABELS chart)
