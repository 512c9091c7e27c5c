# Editing a chart, laying out its self-loops, and its debug dump. Charts are
# loaded from .gal fixtures with the reader.
tessan_test(test_gal_norm_edition SOURCES test_gal_norm_edition.cpp LIBS tessan_chart tessan_reader LABELS chart)
