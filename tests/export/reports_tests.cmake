# Entity texts and profiling reports: golden texts under reports_fixtures/.
vk_test(reports_tests
  SOURCES reports_test.cpp
  LIBS vk_export
  LABELS unit)
