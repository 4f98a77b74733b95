// The fonts the display and engine tests measure and draw with: the headless
// port's FreeType fonts, or on Windows builds (which have no FreeType) the
// saver's own GDI fonts, as the headless port object takes them there.
#pragma once

#ifdef _WIN32
#include "ports/win32/text_win32.h"
using TestFonts = Win32Fonts;
#else
#include "ports/headless/headless_fonts.h"
using TestFonts = HeadlessFonts;
#endif
