# Libraries of the headless platform: libpng writes the presented picture,
# FreeType renders text with the Liberation fonts (metric-compatible with the
# Windows faces).
find_package(PkgConfig REQUIRED)
pkg_check_modules(GLIMMORA_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(GLIMMORA_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
target_link_libraries(glimmora_headless PUBLIC PkgConfig::GLIMMORA_PNG PkgConfig::GLIMMORA_FREETYPE)
set(GLIMMORA_FONT_DIR "/usr/share/fonts/truetype/liberation" CACHE PATH
    "Folder of the Liberation TrueType fonts used by the headless platform")
target_compile_definitions(glimmora_headless PRIVATE GLIMMORA_FONT_DIR="${GLIMMORA_FONT_DIR}")
