vk_test(files_paths_test SOURCES files_paths_test.cpp LIBS vk_platform)
vk_test(process_test SOURCES process_test.cpp LIBS vk_platform LABELS "process;threads")
