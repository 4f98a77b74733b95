# The mixer benchmark writes its sounds with the tests' WAV writer.
target_sources(bench_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/wav_writer.cpp
                                     ${CMAKE_SOURCE_DIR}/tests/support/test_files.cpp)
