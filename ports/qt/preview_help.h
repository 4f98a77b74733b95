// The help text of glimmora-preview, which glimmora-tool preview shows too.
#pragma once

constexpr char PREVIEW_HELP[] =
    "usage: glimmora-preview [options] SCRIPT\n"
    "Plays a theme script in a window and plays it again within a second of any change to\n"
    "the script or a media file it names. A version with errors does not replace the one\n"
    "that plays: its errors and warnings show in the window and here.\n"
    "options:\n"
    "  --size WxH    the picture's size (800x600 unless given)\n"
    "  --module N    the module to play, counting from 0 (0 unless given)\n"
    "  --preview     play the PreviewBackground and PreviewFeature blocks\n"
    "  --no-sound    play without sound\n"
    "  --help        show this text\n"
    "keys:\n"
    "  Right, PageDown, N   next module        Left, PageUp, P   previous module\n"
    "  R, Home              restart the section\n"
    "  Space                pause or go on      S, .              step to the next change\n"
    "  B                    sprites' rectangles and names\n"
    "  M                    messages on or off  F5                load again now\n"
    "  Q, Escape            quit\n";
