#include "app/module_loader.h"

#include "app/glimmora_context.h"
#include "platform/dialogs.h"
#include "script/media_binder.h"
#include "script/module_reader.h"
#include "script/setup_scan.h"

#include <cstdio>
#include <string>

namespace {

constexpr int MEDIA_PATH_SIZE = 2 * PATH_LEN + 2;

bool FileExists(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// Loads what the module's lines name into the context: images through the
// image cache, sounds into the sound bank, sprite slots and the background
// from the view.
class ContextBinder : public MediaBinder {
  public:
    explicit ContextBinder(GlimmoraContext& ctx) : ctx(ctx) {}

    int BindImage(CFeature& feature, const char* name) override {
        char path[MEDIA_PATH_SIZE];
        MediaPath(ctx, name, path, sizeof(path));
        FindThemeMedia(ctx, path, sizeof(path));
        CImage* image = ctx.images.Load(path);
        if (!image) return 0;
        // An earlier image of this block stays with the image cache or goes.
        ctx.images.cache.Discard(feature.image);
        feature.image = image;
        // With every slot taken the feature plays without being drawn; it keeps a
        // slot an earlier image of the block gave it.
        int slot = ctx.view.AllocSlot();
        if (slot >= 0 || feature.displaySlot < 0) feature.displaySlot = slot;
        return 1;
    }

    int BindSound(CSound*& slot, const char* name, int32_t volume, int32_t pan, int32_t loopPoint,
                  int32_t headCount, int32_t tailCount) override {
        ctx.sounds.Discard(slot);
        slot = ctx.sounds.Create();
        if (!slot) {
            ctx.errors.ReportErrorF("Out of memory: %s", "CFeature::Read() Sound");
            return 0;
        }
        char path[MEDIA_PATH_SIZE];
        MediaPath(ctx, name, path, sizeof(path));
        FindThemeMedia(ctx, path, sizeof(path));
        return slot->Load(path, volume, pan, loopPoint, headCount, tailCount, &ctx.errors);
    }

    void BindBackgroundColor(uint32_t color) override { ctx.view.SetBackgroundColor(color); }

    // The name is used as written; when no such file exists there (a saver
    // runs in a folder of the system's choosing), it is looked up in the
    // theme's media directory, in any letter case.
    int BindBackgroundImage(const char* name) override {
        const char* path = name;
        char inMedia[MEDIA_PATH_SIZE];
        if (!FileExists(name)) {
            MediaPath(ctx, name, inMedia, sizeof(inMedia));
            FindThemeMedia(ctx, inMedia, sizeof(inMedia));
            if (FileExists(inMedia)) path = inMedia;
        }
        CImage* image = ctx.images.Load(path);
        if (!image) return 0;
        ctx.images.cache.Discard(ctx.load.moduleBackground);
        ctx.load.moduleBackground = image;
        ctx.view.SetBackgroundImage(image);
        return 1;
    }

    void ReleaseFeatureMedia(CFeature& feature) override {
        ctx.sounds.Discard(feature.sound);
        ctx.sounds.Discard(feature.bounceSound);
        ctx.images.cache.Discard(feature.image);
    }

  private:
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
    // Pictures are converted for the compositor as they load, at the view's scale.
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
    MediaPath(ctx, paletteName, path, sizeof(path));
    FindThemeMedia(ctx, path, sizeof(path));
    ctx.view.LoadPalette(path);
}

} // namespace

void MediaPath(const GlimmoraContext& ctx, const char* name, char* path, int size) {
    if (ctx.run.mediaDirectory[0] == '\0') {
        std::snprintf(path, static_cast<size_t>(size), "%s", name);
    } else {
        std::snprintf(path, static_cast<size_t>(size), "%s%c%s", ctx.run.mediaDirectory,
                      PATH_SEPARATOR, name);
    }
}

void FindThemeMedia(const GlimmoraContext& ctx, char* path, int size) {
    unsigned fixes = 0;
    const std::string found = FindMediaFile(path, &fixes);
    if (!fixes) return;
    const MediaPathNotice& notice = ctx.mediaNotice;
    if (notice.notice) notice.notice(notice.user, path, found.c_str(), fixes);
    std::snprintf(path, static_cast<size_t>(size), "%s", found.c_str());
}

void LoadModule(GlimmoraContext& ctx) {
    ctx.load.loadStopLine = 0;
    bool splash = !ctx.run.previewMode && !ctx.run.otherMonitor;
    if (splash) DlgShowSplash();
    LoadActiveModule(ctx);
    if (splash) DlgHideSplash();
}
