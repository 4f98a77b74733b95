# The GIF benchmark decodes with giflib and stb_image too, and builds some of
# its files with the test tree's GIF writer.
target_sources(bench_gif PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/gif_writer.cpp)
target_compile_definitions(bench_gif PRIVATE GLIMMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(bench_gif PRIVATE gif stb)
