// Before the Qt headers, whose "slots" keyword would hide the view's table.
#include "app/glimmora_context.h"
#include "app/main_loop.h"
#include "app/module_loader.h"
#include "app/saver_run.h"
#include "app/saver_window.h"
#include "base/media_path.h"
#include "engine/frame_tick.h"

namespace {

// A sprite slot of the view, read before Qt's keywords are defined.
const SpriteSlot& SlotOf(const CSSView& view, int32_t slot) {
    return view.slots[slot];
}

} // namespace

#include "ports/qt/preview_qt.h"
#include "ports/qt/qt_port.h"

#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr int SETTLE_MS = 150;              // quiet time after a change before it is read
constexpr size_t MAX_SCRIPT_SCAN = 4 << 20; // bytes of the script searched for media names
constexpr size_t MAX_MEDIA_NAMES = 1000;
constexpr int MESSAGE_LINES = 8; // messages shown over the picture at most

bool EndsWithNoCase(const std::string& text, const char* end) {
    const size_t n = std::strlen(end);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != end[i])
            return false;
    }
    return true;
}

// "size:time:file" of a file as it is now, "-" when it is not there.
std::string Stamp(const std::string& path) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0) return path + ":-;";
    return path + ":" + std::to_string(status.st_size) + ":" +
           std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec) +
           ":" + std::to_string(status.st_ino) + ";";
}

} // namespace

void PreviewSettings::ReadProfile(SettingsProfile& profile) {
    for (int i = 0; i < profile.count; ++i) {
        SettingsValue& v = profile.values[i];
        if (std::strcmp(v.section, "Config") != 0) continue;
        if (std::strcmp(v.name, "ActiveModule") == 0) v.value = activeModule;
        if (std::strcmp(v.name, "Sound") == 0) v.value = sound ? 1 : 0;
        if (std::strcmp(v.name, "PlayMode") == 0) v.value = 0;
    }
}

int PreviewSettings::WriteProfile(const SettingsProfile&, char*, size_t) {
    return 1; // the user's settings stay as they are
}

WindowId PreviewWindows::Create(const WindowLayout& layout, WindowEventSink& sink) {
    attached = &sink;
    if (window == 0) {
        window = inner.Create(layout, *this);
        if (window == 0) attached = nullptr;
        return window;
    }
    WindowEvent event{};
    event.type = WindowEventType::Create;
    event.window = window;
    if (!sink.OnWindowEvent(event)) {
        attached = nullptr;
        return 0;
    }
    return window;
}

void PreviewWindows::SetRect(WindowId id, const WindowLayout& layout) {
    inner.SetRect(id, layout);
}

void PreviewWindows::Destroy(WindowId id) {
    inner.Destroy(id);
}

void PreviewWindows::PostClose(WindowId id) {
    inner.PostClose(id);
}

void PreviewWindows::Present(WindowId id, const VidFrame& frame, const VidRect* rects, int count) {
    if (!drawing || !drawOver || !frame.pixels || frame.width <= 0 || frame.height <= 0) {
        inner.Present(id, frame, rects, count);
        return;
    }
    // The whole picture with the drawings on top: what was drawn over the
    // last one goes with it.
    canvas.assign(frame.pixels, frame.pixels + static_cast<size_t>(frame.width) * frame.height);
    QImage image(reinterpret_cast<uchar*>(canvas.data()), frame.width, frame.height,
                 static_cast<qsizetype>(frame.width) * 4, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        drawOver(painter, image);
    }
    const VidFrame drawn{canvas.data(), frame.width, frame.height};
    const VidRect whole{0, 0, frame.width, frame.height};
    inner.Present(id, drawn, &whole, 1);
}

PumpResult PreviewWindows::PumpMessage() {
    return inner.PumpMessage();
}

bool PreviewWindows::Idle(int count) {
    return inner.Idle(count);
}

void PreviewWindows::WaitMessage(uint32_t ms) {
    inner.WaitMessage(ms);
}

void PreviewWindows::Detach() {
    if (!attached) return;
    WindowEvent event{};
    event.type = WindowEventType::Final;
    event.window = window;
    WindowEventSink* gone = attached;
    attached = nullptr;
    gone->OnWindowEvent(event);
}

bool PreviewWindows::OnWindowEvent(const WindowEvent& event) {
    if (event.type == WindowEventType::Final) window = 0;
    if (!attached) {
        // Between versions: the window system's own handling.
        return event.type == WindowEventType::SysCommand ||
               event.type == WindowEventType::NcActivate;
    }
    WindowEventSink* sink = attached;
    if (event.type == WindowEventType::Final) attached = nullptr;
    return sink->OnWindowEvent(event);
}

// One loaded version of the theme: its run and the display it plays in.
// The run goes first, then the display its view points to.
struct PreviewController::Version {
    std::unique_ptr<CDisplayWnd> display;
    std::unique_ptr<SaverRun> run;
    int module = 0;
    bool good = false;
};

PreviewController::PreviewController(QtPort& port, const PreviewOptions& options)
    : port(port), options(options), windows(port.windows) {
    std::error_code error;
    const std::filesystem::path script = std::filesystem::absolute(options.script, error);
    scriptPath = script.string();
    folder = script.parent_path().string();
    services = port.Services();
    services.windows = &windows;
    services.settings = &settings;
    services.dialogs = nullptr; // no loading splash
    settings.sound = options.sound;
    port.windows.framedRunWindow = true;
    windows.drawOver = [this](QPainter& painter, const QImage& picture) {
        DrawOver(painter, picture);
    };
    settle.setSingleShot(true);
    QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, this,
                     [this] { settle.start(SETTLE_MS); });
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, this,
                     [this] { settle.start(SETTLE_MS); });
    QObject::connect(&settle, &QTimer::timeout, this, [this] {
        WatchFiles(); // a file replaced by another of its name is watched anew
        const std::string now = FileStamps();
        if (now != stamps) reloadDue = true;
    });
}

PreviewController::~PreviewController() {
    if (current) {
        EndRunLoop(*current->run);
        windows.Detach();
    }
}

void PreviewController::CollectError(void* user, const char* text) {
    auto* self = static_cast<PreviewController*>(user);
    if (!self->loadingMessages) {
        std::fprintf(stderr, "glimmora-preview: %s\n", text);
        return;
    }
    self->loadingMessages->push_back({self->loadingLine ? *self->loadingLine : 0, text, true});
}

void PreviewController::CollectWarning(void* user, int32_t line, const char* text) {
    auto* self = static_cast<PreviewController*>(user);
    if (self->loadingMessages) self->loadingMessages->push_back({line, text, false});
}

std::unique_ptr<PreviewController::Version> PreviewController::MakeVersion(int module) {
    auto version = std::make_unique<Version>();
    version->run = std::make_unique<SaverRun>(services);
    version->module = module;
    GlimmoraContext& ctx = version->run->lead;
    RunConfig& run = ctx.run;
    std::snprintf(run.appTitle, sizeof(run.appTitle), "%s", "glimmora-preview");
    std::snprintf(run.saverName, sizeof(run.saverName), "%s", "glimmora-preview");
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", scriptPath.c_str());
    std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", folder.c_str());
    run.exclusiveMode = false;
    run.previewMode = options.previewBlocks;
    ctx.engine.previewMode = options.previewBlocks;
    ctx.view.SetSize(options.width, options.height);
    ctx.script.keepGoing = true;
    ctx.errors.show = CollectError;
    ctx.errors.user = this;
    ctx.errors.warn = CollectWarning;
    ctx.errors.warnUser = this;
    settings.activeModule = module;

    std::vector<PreviewMessage> found;
    loadingLine = ctx.errors.line;
    loadingMessages = &found;
    LoadModule(ctx);
    loadingMessages = nullptr;
    loadingLine = nullptr;
    ctx.errors.warn = nullptr; // a version that plays warns no more

    const ThemeTables& theme = ctx.script.theme;
    bool errors =
        std::any_of(found.begin(), found.end(), [](const PreviewMessage& m) { return m.error; });
    if (!errors && ctx.load.loadStopLine < 0)
        found.push_back({0, "cannot read the script", true});
    else if (!errors && theme.moduleCount == 0)
        found.push_back({0, "no module: a theme needs at least one Module \"Name\" block", true});
    else if (!errors && ctx.load.loadStopLine > 0)
        found.push_back({ctx.load.loadStopLine, "loading stopped here", true});
    version->good =
        std::none_of(found.begin(), found.end(), [](const PreviewMessage& m) { return m.error; });
    messages = std::move(found);
    return version;
}

void PreviewController::Switch(std::unique_ptr<Version> next) {
    if (current) {
        EndRunLoop(*current->run);
        windows.Detach();
        current.reset();
    }
    current = std::move(next);
    GlimmoraContext& ctx = current->run->lead;
    current->display = std::make_unique<CDisplayWnd>(ctx.view, ctx.loop, windows);
    WindowLayout layout{};
    layout.right = options.width;
    layout.bottom = options.height;
    layout.title = "glimmora-preview";
    if (!current->display->Create(layout)) {
        current.reset();
        return;
    }
    BeginRunLoop(*current->run);
    if (paused) {
        frozenTime = 0;
        ctx.audio.SetMasterVolume(0);
    }
}

bool PreviewController::Load(int module) {
    std::unique_ptr<Version> next = MakeVersion(module);
    stamps = FileStamps();
    const char* script = options.script.c_str();
    for (const PreviewMessage& m : messages) {
        const char* kind = m.error ? "" : "warning: ";
        if (m.line > 0) {
            std::fprintf(stderr, "%s:%d: %s%s\n", script, m.line, kind, m.text.c_str());
        } else {
            std::fprintf(stderr, "%s: %s%s\n", script, kind, m.text.c_str());
        }
    }
    GlimmoraContext& ctx = next->run->lead;
    lastLoadFailed = !next->good;
    if (next->good) {
        moduleCount = ctx.script.theme.moduleCount;
        std::printf("%s: module %d \"%s\" loaded\n", script, module,
                    ctx.script.theme.moduleTable[module].name);
        std::fflush(stdout);
        Switch(std::move(next));
    } else if (!current) {
        // Nothing played before: an empty picture shows the messages.
        ctx.ResetModule();
        ctx.view.SetBackgroundColor(0);
        Switch(std::move(next));
    } else {
        std::fprintf(stderr, "%s: not loaded; the last version that loaded plays on\n", script);
    }
    std::fflush(stderr);
    WatchFiles();
    Redraw();
    return current != nullptr;
}

void PreviewController::WatchFiles() {
    // The media files the script names: every quoted name of a GIF, WAV or
    // palette file, and the module's palette.
    mediaNames.clear();
    std::ifstream in(scriptPath, std::ios::binary);
    std::string text(MAX_SCRIPT_SCAN, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    for (size_t open = text.find('"');
         open != std::string::npos && mediaNames.size() < MAX_MEDIA_NAMES;) {
        const size_t close = text.find_first_of("\"\n", open + 1);
        if (close == std::string::npos) break;
        const std::string name = text.substr(open + 1, close - open - 1);
        if (text[close] == '"' && (EndsWithNoCase(name, ".gif") || EndsWithNoCase(name, ".wav") ||
                                   EndsWithNoCase(name, ".pal")))
            mediaNames.push_back(name);
        open = text.find('"', text[close] == '"' ? close + 1 : close);
    }
    char palette[16];
    std::snprintf(palette, sizeof(palette), "256COL%02d.PAL",
                  current ? current->module % 100 : options.module % 100);
    mediaNames.push_back(palette);

    QStringList paths{QString::fromStdString(scriptPath), QString::fromStdString(folder)};
    for (const std::string& name : mediaNames) {
        const std::filesystem::path path =
            FindMediaFile((std::filesystem::path(folder) / name).string());
        paths << QString::fromStdString(path.string())
              << QString::fromStdString(path.parent_path().string());
    }
    paths.removeDuplicates();
    const QStringList watched = watcher.files() + watcher.directories();
    QStringList wanted;
    for (const QString& path : paths) {
        if (!watched.contains(path) && std::filesystem::exists(path.toStdString())) wanted << path;
    }
    if (!wanted.isEmpty()) watcher.addPaths(wanted);
}

std::string PreviewController::FileStamps() const {
    std::string all = Stamp(scriptPath);
    for (const std::string& name : mediaNames)
        all += Stamp(FindMediaFile((std::filesystem::path(folder) / name).string()));
    return all;
}

void PreviewController::Redraw() {
    windows.drawing = boxes || paused || (showMessages && !messages.empty());
    if (current) current->run->lead.view.InvalidateAll();
    UpdateTitle();
}

void PreviewController::UpdateTitle() {
    QWindow* window = port.windows.RunWindow();
    if (!window || !current) return;
    const GlimmoraContext& ctx = current->run->lead;
    const ThemeTables& theme = ctx.script.theme;
    std::string title =
        "glimmora-preview: " + std::filesystem::path(scriptPath).filename().string();
    if (current->good && current->module < theme.moduleCount) {
        title += ": module " + std::to_string(current->module) + " \"" +
                 theme.moduleTable[current->module].name + "\"";
        if (theme.sectionCount > 1)
            title += ", section " + std::to_string(ctx.engine.currentSection);
    }
    if (paused) title += " (paused)";
    if (lastLoadFailed) title += " (not loaded: errors)";
    window->setTitle(QString::fromStdString(title));
}

void PreviewController::DrawOver(QPainter& painter, const QImage& picture) {
    if (!current) return;
    const GlimmoraContext& ctx = current->run->lead;
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    if (boxes) {
        const ThemeTables& theme = ctx.script.theme;
        for (int32_t i = 0; i < theme.featureCount && i < MAX_FEATURES; ++i) {
            const CFeature& f = theme.featureTable[i];
            if (f.displaySlot < 0 || f.displaySlot >= MAX_SLOTS) continue;
            const SpriteSlot& slot = SlotOf(ctx.view, f.displaySlot);
            if (!slot.frame) continue;
            const QRect rect(slot.x, slot.y, slot.frame->width, slot.frame->height);
            painter.setPen(QColor(255, 220, 0));
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
            const FeatureSource& source = ctx.script.FeatureSourceOf(i);
            std::string name = std::to_string(i) + " ";
            name += source.label >= 0 ? theme.labelTable[source.label].name : source.image;
            painter.drawText(rect.topLeft() + QPoint(2, -3), QString::fromStdString(name));
        }
    }
    if (paused) {
        painter.fillRect(QRect(picture.width() - 60, 4, 56, 18), QColor(0, 0, 0, 160));
        painter.setPen(Qt::white);
        painter.drawText(QRect(picture.width() - 60, 4, 56, 18), Qt::AlignCenter, "paused");
    }
    if (!showMessages || messages.empty()) return;
    const int shown = std::min<int>(static_cast<int>(messages.size()), MESSAGE_LINES);
    const int lineHeight = 16;
    const int header = lastLoadFailed ? 1 : 0;
    const int height = (shown + header) * lineHeight + 8;
    const QRect panel(0, picture.height() - height, picture.width(), height);
    painter.fillRect(panel, QColor(0, 0, 0, 190));
    int y = panel.top() + 4;
    if (header) {
        painter.setPen(QColor(255, 120, 120));
        painter.drawText(QRect(6, y, picture.width() - 12, lineHeight), Qt::AlignLeft,
                         current->good ? "Not loaded: the last version that loaded plays on"
                                       : "Not loaded");
        y += lineHeight;
    }
    for (int i = 0; i < shown; ++i) {
        const PreviewMessage& m = messages[static_cast<size_t>(i)];
        painter.setPen(m.error ? QColor(255, 160, 160) : QColor(255, 230, 120));
        std::string text = (m.line > 0 ? std::to_string(m.line) + ": " : std::string()) +
                           (m.error ? "" : "warning: ") + m.text;
        if (i == shown - 1 && static_cast<int>(messages.size()) > shown)
            text = "... and " + std::to_string(messages.size() - static_cast<size_t>(shown) + 1) +
                   " more (see the terminal)";
        painter.drawText(QRect(6, y, picture.width() - 12, lineHeight), Qt::AlignLeft,
                         QString::fromStdString(text));
        y += lineHeight;
    }
}

bool PreviewController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    Action action = Action::None;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_N: action = Action::Next; break;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
    case Qt::Key_P: action = Action::Previous; break;
    case Qt::Key_R:
    case Qt::Key_Home: action = Action::Restart; break;
    case Qt::Key_Space: action = Action::Pause; break;
    case Qt::Key_Period:
    case Qt::Key_S: action = Action::Step; break;
    case Qt::Key_B: action = Action::Boxes; break;
    case Qt::Key_M: action = Action::Messages; break;
    case Qt::Key_F5: action = Action::Reload; break;
    case Qt::Key_Q:
    case Qt::Key_Escape: action = Action::Quit; break;
    default: return true;
    }
    // Acted on between passes of the loop, never inside one.
    if (pending.size() < 16) pending.push_back(action);
    return true;
}

void PreviewController::Pause(bool on) {
    if (!current) return;
    GlimmoraContext& ctx = current->run->lead;
    const uint32_t now = ctx.port.system->Milliseconds();
    if (on == paused) return;
    paused = on;
    if (on) {
        frozenTime = now - ctx.engine.clockStart;
        ctx.audio.SetMasterVolume(0);
    } else {
        ctx.engine.clockStart = now - frozenTime;
        ctx.loop.ticked = false;
        ctx.audio.SetMasterVolume(ctx.settings.MasterVolume);
    }
}

// Moves the paused section clock on to the next time anything changes.
void PreviewController::Step() {
    if (!current) return;
    Pause(true);
    GlimmoraContext& ctx = current->run->lead;
    const uint32_t next = NextChangeTime(ctx.engine, frozenTime);
    const uint32_t step =
        next == 0xFFFFFFFFu ? 100 : std::clamp<uint32_t>(next - frozenTime, 1, 1000);
    frozenTime += step;
    ctx.engine.clockStart = ctx.port.system->Milliseconds() - frozenTime;
    ctx.loop.ticked = false;
    RunLoopPass(*current->run);
    frozenTime = ctx.port.system->Milliseconds() - ctx.engine.clockStart;
}

void PreviewController::Do(Action action) {
    const int module = current ? current->module : options.module;
    const int count = std::max<int32_t>(moduleCount, 1);
    switch (action) {
    case Action::Next: Load((module + 1) % count); break;
    case Action::Previous: Load((module + count - 1) % count); break;
    case Action::Restart:
        if (current) {
            GlimmoraContext& ctx = current->run->lead;
            RestartSection(ctx.engine, ctx.port.system->Milliseconds());
            ctx.loop.idleDeadline = 0;
            ctx.loop.ticked = false;
            frozenTime = 0;
        }
        break;
    case Action::Pause: Pause(!paused); break;
    case Action::Step: Step(); break;
    case Action::Boxes: boxes = !boxes; break;
    case Action::Messages: showMessages = !showMessages; break;
    case Action::Reload: Load(module); break;
    case Action::Quit:
        if (windows.Window()) windows.PostClose(windows.Window());
        break;
    case Action::None: break;
    }
    Redraw();
}

int PreviewController::Run() {
    qApp->installEventFilter(this);
    if (!Load(options.module) || windows.Window() == 0) {
        std::fprintf(stderr, "glimmora-preview: cannot open a window\n");
        return 1;
    }
    int section = -1;
    for (;;) {
        if (!paused) {
            if (!RunLoopPass(*current->run)) break;
        } else {
            const PumpResult pumped = windows.PumpMessage();
            if (pumped == PumpResult::Quit) break;
            if (pumped == PumpResult::NoMessage) windows.WaitMessage(100);
        }
        std::vector<Action> actions;
        actions.swap(pending);
        for (Action a : actions) Do(a);
        if (reloadDue) {
            reloadDue = false;
            Load(current->module);
        }
        if (current && current->run->lead.engine.currentSection != section) {
            section = current->run->lead.engine.currentSection;
            UpdateTitle();
        }
        if (!current) break;
    }
    qApp->removeEventFilter(this);
    return 0;
}
