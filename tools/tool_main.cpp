// glimmora-tool: command-line helpers for theme authors.
#include "tool_commands.h"

#include "base/error_sink.h"
#include "ports/qt/preview_help.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace {

struct ToolCommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage; // one line of the overview
    const char* help;  // everything the command takes
};

const ToolCommand COMMANDS[] = {
    {"check", CmdCheck, "check [options] SCRIPT   load every module and report every error",
     "usage: glimmora-tool check [--preview] [--strict] [--json] SCRIPT\n"
     "Loads every module of a theme as the saver would, with its pictures, sounds and\n"
     "palette, and reports every error it can as SCRIPT:LINE: message, with the keyword or\n"
     "file name probably meant, and the warnings: what loads otherwise than written.\n"
     "Reading goes on after an error from the next line or the end of its block.\n"
     "  --preview   describe the preview blocks (PreviewBackground, PreviewFeature)\n"
     "  --strict    exit with 1 when there are warnings and no errors\n"
     "  --json      print the modules, features, errors and warnings as JSON\n"
     "Exit status: the script line of the first error (255 for a line beyond 254), 1 when\n"
     "the script cannot be read, 0 when nothing is wrong.\n"},
    {"render", CmdRender,
     "render SCRIPT [options]  play a theme into PNG frames, WAV, GIF or video",
     "usage: glimmora-tool render SCRIPT [options]\n"
     "Plays a theme as the saver would, against a clock of its own, and writes what it\n"
     "shows and plays. Before playing it reports the errors and warnings check finds in\n"
     "the module it plays; it exits with the first error's line.\n"
     "  --out DIR            the frames (frame-000000.png...) and the sound (audio.wav);\n"
     "                       a new or empty folder\n"
     "  --force              use a folder that is not empty: the frames and sound of an\n"
     "                       earlier render there are removed, nothing else\n"
     "  --gif FILE           an animated GIF of the run, one colour table for all frames\n"
     "  --video FILE         a .webm or .mp4 video with the sound, made by the ffmpeg\n"
     "                       program when it is installed\n"
     "  --size WxH           the screen's size (800x600)\n"
     "  --seconds T          how long to play (10)\n"
     "  --fps F              frames a second (10)\n"
     "  --seed S             the random numbers' seed (1)\n"
     "  --module N           the module to play, counting from 0 (0)\n"
     "  --preview            play the preview blocks, as in the small preview\n"
     "  --param NAME=VALUE   a setting of the module, within its slider's range\n"
     "  --gamma G            the brightness setting, -3 to 3\n"
     "  --no-sound           play without sound\n"
     "  --step MS            move the clock by fixed steps instead of the loop's waits\n"
     "  --no-frames          write no frames (the sound and the passes only)\n"
     "  --exp256             write the module's palette file 256COLnn.PAL\n"
     "  --scale N            draw pictures N times their size, 1 to 16 (as the\n"
     "                       \"PictureSize\" setting says: fit the screen)\n"
     "One of --out, --gif, --video or --no-frames is needed.\n"},
#ifndef _WIN32
    {"preview", CmdPreview,
     "preview [options] SCRIPT a window that plays the theme, again on change", PREVIEW_HELP},
#endif
#ifdef GLIMMORA_IMPORT
    {"import", CmdImport,
     "import [options] INPUT... OUTPUT  make a GIF or WAV the saver loads from a picture or sound",
     "usage: glimmora-tool import [options] INPUT... OUTPUT\n"
     "Makes a file the saver loads. What an input is comes from its content.\n"
     "  pictures: a GIF, a PNG or animated PNG, a JPEG, a WebP or a BMP, or several\n"
     "            pictures as the frames of an animation -> OUTPUT.gif\n"
     "  sounds:   WAV, FLAC, Ogg Vorbis, MP3, AIFF... -> OUTPUT.wav (8-bit mono 22050 Hz)\n"
     "Several frames are taken in the order people count (f2 before f10), and the order\n"
     "is printed.\n"
     "  --delay MS        frame delay in milliseconds (still pictures: 100)\n"
     "  --no-loop         play the animation once\n"
     "  --dither          spread the error when colours must be reduced\n"
     "  --matte COLOR     blend partly transparent pixels onto COLOR (#RRGGBB or R,G,B),\n"
     "                    the colour the picture will stand on\n"
     "  --screen WxH      warn of pictures larger than this screen (1920x1080)\n"
     "  --keep-order      take the frames in the order given\n"
     "  --gain DB         change the loudness of a sound\n"
     "  --normalize       bring the loudest sample of a sound to full scale\n"},
#endif
    {"setup", CmdSetup, "setup [--json] SCRIPT    print the theme name and the module table",
     "usage: glimmora-tool setup [--json] SCRIPT\n"
     "Prints the theme's name and its modules (numbered from 0) with their settings.\n"
     "  --json   print them as JSON\n"},
    {"gif-info", CmdGifInfo, "gif-info [--json] FILE   describe the frames of a GIF image",
     "usage: glimmora-tool gif-info [--json] FILE\n"
     "Describes how the saver loads a GIF: its frames, delays and colours.\n"
     "  --json   print it as JSON\n"},
    {"wav-info", CmdWavInfo, "wav-info FILE            show how a WAV sound is loaded",
     "usage: glimmora-tool wav-info FILE\n"
     "Shows how the saver loads a WAV sound, or why it refuses it.\n"},
#ifndef _WIN32
    {"install-theme", CmdInstallTheme,
     "install-theme [--uninstall | --name] DIR  check a theme and install it for this user",
     "usage: glimmora-tool install-theme [--uninstall | --name] DIR\n"
     "Checks the theme in DIR and installs it for this user, with a saver named\n"
     "\"QV <theme>\" that plays it.\n"
     "  --uninstall   remove the theme installed from DIR\n"
     "  --name        print the name the theme is installed under\n"},
#endif
    {"scramble", CmdScramble, "scramble IN OUT          write IN as a scrambled script",
     "usage: glimmora-tool scramble IN OUT\n"
     "Writes the theme script IN in the scrambled form as OUT.\n"},
    {"unscramble", CmdUnscramble,
     "unscramble IN OUT        write a scrambled script IN as plain text",
     "usage: glimmora-tool unscramble IN OUT\n"
     "Writes the scrambled theme script IN as plain text as OUT.\n"},
};

void Overview(std::FILE* to) {
    std::fprintf(to, "usage: glimmora-tool COMMAND [ARGS]\n"
                     "Helpers for theme authors. Modules are numbered from 0.\n");
    for (const ToolCommand& c : COMMANDS) std::fprintf(to, "  %s\n", c.usage);
    std::fprintf(to, "glimmora-tool COMMAND --help tells more of a command.\n");
}

bool IsHelp(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

// Runs a command. Commands bound what they hold and report what they
// refuse; should memory still run out, the command ends with a message and a
// failure status rather than an abort.
int Run(const ToolCommand& c, int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (IsHelp(argv[i])) {
            std::fputs(c.help, stdout);
            return 0;
        }
    }
    try {
        // Commands return the script line of an error; the status keeps what fits.
        return ExitStatusForLine(c.run(argc, argv));
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "glimmora-tool %s: out of memory\n", c.name);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "glimmora-tool %s: %s\n", c.name, e.what());
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Overview(stderr);
        return 2;
    }
    if (IsHelp(argv[1]) || std::strcmp(argv[1], "help") == 0) {
        if (argc > 2) {
            for (const ToolCommand& c : COMMANDS) {
                if (std::strcmp(argv[2], c.name) == 0) {
                    std::fputs(c.help, stdout);
                    return 0;
                }
            }
        }
        Overview(stdout);
        return 0;
    }
    for (const ToolCommand& c : COMMANDS) {
        if (std::strcmp(argv[1], c.name) == 0) return Run(c, argc - 2, argv + 2);
    }
    std::fprintf(stderr, "glimmora-tool: no command \"%s\"\n", argv[1]);
    Overview(stderr);
    return 2;
}
