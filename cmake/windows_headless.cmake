# The headless platform of a Windows build (tests and tools under Wine): the
# FreeType and libpng parts are left out; fonts come from GDI, as in the
# saver, and the presented picture is kept in memory only.
list(FILTER HEADLESS_SOURCES EXCLUDE REGEX "/video_headless\\.cpp$")
list(APPEND HEADLESS_SOURCES
    ${CMAKE_SOURCE_DIR}/src/platform/win32/headless/video_capture.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/text_win32.cpp)
add_library(glimmora_headless OBJECT ${HEADLESS_SOURCES})
target_include_directories(glimmora_headless PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(glimmora_headless PUBLIC gdi32)
target_compile_definitions(glimmora_headless PRIVATE GLIMMORA_HEADLESS_FONTS)
add_link_options(-static -static-libgcc -static-libstdc++)
