#include "app/module_loader.h"

#include "app/glimmora_context.h"
#include "base/file_checks.h"
#include "script/media_binder.h"
#include "script/module_reader.h"
#include "script/setup_scan.h"
#include "ui/dialog_host.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int MEDIA_PATH_SIZE = 2 * PATH_LEN + 2;

// After "-def" (no media directory) a relative name that leads nowhere from
// the current folder is looked for in the script's own folder, where a theme
// keeps its files: `path` becomes that file when it is there. Returns the
// folders searched when the file is in neither, else nothing.
std::string LookBesideScript(const GlimmoraContext& ctx, const char* name, char* path, int size) {
    std::error_code error;
    if (ctx.run.mediaDirectory[0] != '\0' || PathExists(path) ||
        std::filesystem::path(name).is_absolute())
        return "";
    const std::filesystem::path current = std::filesystem::current_path(error);
    const std::filesystem::path script = std::filesystem::absolute(ctx.run.scriptPath, error);
    const std::string folder = script.parent_path().string();
    std::string searched = current.string();
    if (!folder.empty() && !std::filesystem::equivalent(current, folder, error)) {
        char beside[MEDIA_PATH_SIZE];
        MediaPath(folder.c_str(), name, beside, sizeof(beside));
        FindThemeMedia(ctx.mediaNotice, beside, sizeof(beside));
        if (PathExists(beside)) {
            std::snprintf(path, static_cast<size_t>(size), "%s", beside);
            return "";
        }
        searched += " and " + folder;
    }
    return searched;
}

// The file a theme's media name stands for: in the media folder, in any
// letter case, else beside the script after "-def" (see LookBesideScript).
// Returns the folders searched when it is in none of them, else nothing.
std::string LocateMedia(const GlimmoraContext& ctx, const char* name, char* path, int size) {
    MediaPath(ctx.run.mediaDirectory, name, path, size);
    FindThemeMedia(ctx.mediaNotice, path, size);
    return LookBesideScript(ctx, name, path, size);
}

// Loads what the module's lines name into the context: images through the
// image cache, sounds into the sound bank, sprite slots and the background
// from the view.
class ContextBinder : public MediaBinder {
  public:
    explicit ContextBinder(GlimmoraContext& ctx) : ctx(ctx) {}

    int BindImage(CFeature& feature, const char* name) override {
        WarnIfOutside(name);
        char path[MEDIA_PATH_SIZE];
        if (!Locate(name, path, sizeof(path))) return 0;
        CImage* image = ctx.images.Load(path);
        if (!image) return 0;
        // An earlier image of this block stays with the image cache or goes.
        ctx.images.Discard(feature.image);
        feature.image = image;
        // With every slot taken the feature plays without being drawn; it keeps a
        // slot an earlier image of the block gave it.
        int slot = ctx.view.AllocSlot();
        if (slot >= 0 || feature.displaySlot < 0) feature.displaySlot = slot;
        return 1;
    }

    int BindSound(CSound*& slot, const char* name, int32_t volume, int32_t pan, int32_t loopPoint,
                  int32_t headCount, int32_t tailCount) override {
        WarnIfOutside(name);
        ctx.sounds.Discard(slot);
        slot = ctx.sounds.Create();
        if (!slot) {
            ctx.errors.ReportErrorF("Out of memory: %s", "CFeature::Read() Sound");
            return 0;
        }
        char path[MEDIA_PATH_SIZE];
        if (!Locate(name, path, sizeof(path))) return 0;
        return slot->Load(path, volume, pan, loopPoint, headCount, tailCount, &ctx.errors,
                          &ctx.memory);
    }

    void BindBackgroundColor(uint32_t color) override { ctx.view.SetBackgroundColor(color); }

    // The name is used as written; when nothing of that name exists there (a
    // saver runs in a folder of the system's choosing), it is looked up in the
    // theme's media directory, in any letter case. Whether a name exists is
    // asked without opening it: a FIFO would wait.
    int BindBackgroundImage(const char* name) override {
        WarnIfOutside(name);
        const char* path = name;
        char inMedia[MEDIA_PATH_SIZE];
        if (!PathExists(name)) {
            if (!Locate(name, inMedia, sizeof(inMedia))) return 0;
            if (PathExists(inMedia)) path = inMedia;
        }
        CImage* image = ctx.images.Load(path);
        if (!image) return 0;
        ctx.images.Discard(ctx.load.moduleBackground);
        ctx.load.moduleBackground = image;
        ctx.view.SetBackgroundImage(image);
        return 1;
    }

    void ReleaseFeatureMedia(CFeature& feature) override {
        ctx.sounds.Discard(feature.sound);
        ctx.sounds.Discard(feature.bounceSound);
        ctx.images.Discard(feature.image);
    }

  private:
    // The file of `name` (see LocateMedia); when it is in none of the
    // folders, reports "File Not Found" with them.
    bool Locate(const char* name, char* path, int size) {
        const std::string searched = LocateMedia(ctx, name, path, size);
        if (searched.empty()) return true;
        ctx.errors.ReportErrorF("File Not Found: %s (looked in %s)", name, searched.c_str());
        return false;
    }

    // A name that leaves the theme's folder works only where the theme was
    // made: an installed copy holds the folder alone.
    void WarnIfOutside(const char* name) const {
        if (ctx.errors.WantsWarnings() && NameLeavesFolder(name))
            ctx.errors.WarnF("\"%s\" is outside the theme's folder: an installed copy of the "
                             "theme will not have it",
                             name);
    }

    GlimmoraContext& ctx;
};

// The picture scale of a load: 1 in the preview and for "original", the
// scale the run was given, else the largest at which the design fits the view.
int32_t PictureScaleOf(const GlimmoraContext& ctx) {
    if (ctx.run.previewMode) return 1;
    if (ctx.run.pictureScale > 0) return ctx.run.pictureScale;
    if (ctx.settings.PictureSize == PICTURE_SIZE_ORIGINAL) return 1;
    return FitPictureScale(ctx.view.screenWidth, ctx.view.screenHeight);
}

void LoadActiveModule(GlimmoraContext& ctx) {
    ScriptContext& script = ctx.script;
    ThemeTables& theme = script.theme;
    if (!ScanThemeSetup(script, ctx.run.scriptPath)) {
        ctx.load.loadStopLine = script.reader.lineNumber;
        // A missing script says nothing here; one that is there but not a
        // file (a folder, a FIFO, a device) is named.
        if (ExistsButNotAFile(ctx.run.scriptPath)) {
            char message[PATH_LEN + 32];
            std::snprintf(message, sizeof(message), NOT_A_FILE_FORMAT, ctx.run.scriptPath);
            ctx.errors.ReportFailure(message);
        }
        return;
    }
    ctx.settings.ReadSettings();
    if (ctx.run.otherMonitor) {
        const int32_t module = ctx.run.monitorModule;
        if (module >= 0 && module < theme.moduleCount) ctx.settings.activeModule = module;
        ctx.settings.Sound = false;
    }
    // The images of this load take the user's brightness; the palettizing
    // mode counts their colours.
    ctx.images.gammaSetting = ctx.settings.Gamma;
    ctx.images.exportPalettes = ctx.run.exportPalettes;
    // The pictures are converted for the compositor at the view's scale once
    // they are loaded (ConvertPictures).
    ctx.view.SetPictureScale(PictureScaleOf(ctx));
    ctx.images.pictureScale = ctx.view.pictureScale;
    script.previewBlocks = ctx.run.previewMode;
    script.pixelScaleX = ctx.view.xScale;
    script.pixelScaleY = ctx.view.yScale;
    if (!script.reader.OpenScript(ctx.run.scriptPath)) {
        char message[PATH_LEN + 32];
        std::snprintf(message, sizeof(message), "Can't find %s", ctx.run.scriptPath);
        ctx.errors.ReportFailure(message);
        ctx.load.loadStopLine = -1;
        return;
    }
    const int32_t activeModule = ctx.settings.activeModule;
    ctx.load.module = activeModule;
    // A script without modules has no body to read.
    if (theme.moduleCount > 0) {
        theme.currentModule = &theme.moduleTable[activeModule];
        script.reader.ScriptSeek(theme.currentModule->bodyOffset);
        script.reader.lineNumber = theme.currentModule->bodyLine;
        ContextBinder binder(ctx);
        if (!ReadModuleBody(script, binder)) {
            ctx.load.loadStopLine = script.reader.lineNumber;
            script.reader.CloseScript();
            return;
        }
    }
    script.reader.CloseScript();
    char paletteName[16];
    std::snprintf(paletteName, sizeof(paletteName), "256COL%02d.PAL",
                  static_cast<int>(activeModule % 100));
    char path[MEDIA_PATH_SIZE];
    LocateMedia(ctx, paletteName, path, sizeof(path)); // a missing palette is no error
    ctx.view.LoadPalette(path);
}

// Converts the frames of the module's pictures for the compositor, after
// they loaded: converting takes what the memory budget has left and never
// stops a picture from loading. The background then needs no tile cache.
void ConvertPictures(GlimmoraContext& ctx) {
    ctx.images.ConvertLoaded();
    if (ctx.view.backgroundImage) ctx.view.SetBackgroundImage(ctx.view.backgroundImage);
}

} // namespace

void MediaPath(const char* mediaDirectory, const char* name, char* path, int size) {
    if (mediaDirectory[0] == '\0') {
        std::snprintf(path, static_cast<size_t>(size), "%s", name);
    } else {
        std::snprintf(path, static_cast<size_t>(size), "%s%c%s", mediaDirectory, PATH_SEPARATOR,
                      name);
    }
}

void FindThemeMedia(const MediaPathNotice& notice, char* path, int size) {
    unsigned fixes = 0;
    const std::string found = FindMediaFile(path, &fixes);
    if (!fixes) return;
    if (notice.notice) notice.notice(notice.user, path, found.c_str(), fixes);
    std::snprintf(path, static_cast<size_t>(size), "%s", found.c_str());
}

void LoadModule(GlimmoraContext& ctx) {
    ctx.load.loadStopLine = 0;
    DialogHost* splash = !ctx.run.previewMode && !ctx.run.otherMonitor ? ctx.port.dialogs : nullptr;
    if (splash) splash->ShowSplash();
    LoadActiveModule(ctx);
    ConvertPictures(ctx);
    if (splash) splash->HideSplash();
}
