// Loading the active module: the Setup scan, the settings, then the body of
// the module with its background, sections and features, then its palette.
// The script readers produce the records; the binder here loads the media
// each media line names, takes sprite slots and sets the view's background,
// right as the line is read, so messages keep their lines and order.
#pragma once

struct GlimmoraContext;
struct MediaPathNotice;

// Scans the Setup blocks, reads the settings and loads the body of module
// `activeModule` into the tables and the view, with the loading splash in
// saver mode. Failures are reported and leave `errorLine` set; an incomplete
// sound line stops loading without a message (see ModuleLoad).
void LoadModule(GlimmoraContext& ctx);

// The path of a media file named by the script: in `mediaDirectory`, or the
// name itself when that is empty. Written into `path` (`size` bytes).
void MediaPath(const char* mediaDirectory, const char* name, char* path, int size);
// The file such a path names as themes written on Windows name them: when it
// does not exist as written, a backslash is a folder separator and names
// match in any letter case (see FindMediaFile); `notice` hears of any
// change. `path` is rewritten in place.
void FindThemeMedia(const MediaPathNotice& notice, char* path, int size);
