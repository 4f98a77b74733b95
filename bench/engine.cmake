# The engine benchmark builds its animated images with the test helper.
target_sources(bench_engine PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/test_animation.cpp)
