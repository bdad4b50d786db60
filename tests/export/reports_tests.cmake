# Entity texts and profiling reports: golden texts under reports_fixtures/.
vk_test(reports_tests
  SOURCES
    reports_entity_texts_test.cpp
    reports_ppd_test.cpp
    reports_statistics_test.cpp
    reports_batching_test.cpp
  LIBS vk_export
  LABELS unit)
