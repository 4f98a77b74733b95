// glimmora-preview: the theme author's window. It plays one module of a
// theme script as the full-screen saver would, in an ordinary window, and
// loads the script again whenever it or a media file it names changes,
// keeping the module. A version with errors does not replace the one that
// plays: its errors and warnings show over the picture and on stderr until
// the script loads again. Keys step through modules, restart the section,
// pause, step one frame and show the sprites' rectangles and names.
#pragma once

#include "app/port_services.h"
#include "platform/settings_backend.h"
#include "platform/window.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDisplayWnd;
class QImage;
class QPainter;
class QtPort;
class QtWindows;
struct SaverRun;

// The settings the preview plays with, held in memory: the chosen module
// and sound; every setting of a module at its default. Nothing is written.
class PreviewSettings : public SettingsStorage {
  public:
    void ReadProfile(SettingsProfile& profile) override;
    int WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) override;

    int32_t activeModule = 0;
    bool sound = true;
};

// The Qt port's windows with one window kept across versions: each
// version's display attaches to it in turn. Pictures shown while drawings
// are on get them on top (the messages of a version that did not load, the
// sprites' rectangles).
class PreviewWindows : public WindowSystem, private WindowEventSink {
  public:
    explicit PreviewWindows(QtWindows& inner) : inner(inner) {}

    // The first call makes the window; later ones attach `sink` to it.
    WindowId Create(const WindowLayout& layout, WindowEventSink& sink) override;
    void SetRect(WindowId window, const WindowLayout& layout) override;
    void Destroy(WindowId window) override;
    void PostClose(WindowId window) override;
    void Present(WindowId window, const VidFrame& frame, const VidRect* rects, int count) override;
    PumpResult PumpMessage() override;
    bool Idle(int count) override;
    void WaitMessage(uint32_t ms) override;

    // Tells the attached display that its window is gone; the window stays.
    void Detach();
    // The window, 0 before it is made and after it is closed.
    WindowId Window() const { return window; }

    // Draws over each picture while `drawing` is on.
    std::function<void(QPainter&, const QImage&)> drawOver;
    bool drawing = false;

  private:
    bool OnWindowEvent(const WindowEvent& event) override;

    QtWindows& inner;
    WindowEventSink* attached = nullptr;
    WindowId window = 0;
    std::vector<uint32_t> canvas; // a picture with the drawings
};

struct PreviewOptions {
    std::string script;
    int32_t width = 800;
    int32_t height = 600;
    int module = 0;
    bool sound = true;
    bool previewBlocks = false; // the PreviewBackground and PreviewFeature blocks
};

// A script line's message from a load.
struct PreviewMessage {
    int32_t line;
    std::string text;
    bool error;
};

class PreviewController : public QObject {
  public:
    PreviewController(QtPort& port, const PreviewOptions& options);
    ~PreviewController() override;
    PreviewController(const PreviewController&) = delete;
    PreviewController& operator=(const PreviewController&) = delete;

    // Plays until the window is closed; the exit status (1 when the window
    // could not be made).
    int Run();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Version;
    enum class Action { None, Next, Previous, Restart, Pause, Step, Boxes, Messages, Reload, Quit };

    // Loads module `module` of the script as it is now. A version that loads
    // without errors replaces the one playing; one with errors is dropped and
    // its messages are shown. False when no version plays afterwards.
    bool Load(int module);
    std::unique_ptr<Version> MakeVersion(int module);
    void Switch(std::unique_ptr<Version> next);
    void Do(Action action);
    void Pause(bool on);
    void Step();
    void WatchFiles();
    // The script and the media files it names, as they are on the disk now.
    std::string FileStamps() const;
    void Redraw();
    void UpdateTitle();
    void DrawOver(QPainter& painter, const QImage& picture);

    static void CollectError(void* user, const char* text);
    static void CollectWarning(void* user, int32_t line, const char* text);

    QtPort& port;
    PreviewOptions options;
    std::string scriptPath; // absolute
    std::string folder;     // of the script
    PreviewSettings settings;
    PreviewWindows windows;
    PortServices services;
    std::unique_ptr<Version> current;
    int32_t moduleCount = 0;
    // What the last load said; shown until the next load.
    std::vector<PreviewMessage> messages;
    bool lastLoadFailed = false;
    const int32_t* loadingLine = nullptr; // the line read while a version loads
    std::vector<PreviewMessage>* loadingMessages = nullptr;

    QFileSystemWatcher watcher;
    QTimer settle; // a change is acted on once the files are quiet for a moment
    std::string stamps;
    std::vector<std::string> mediaNames;

    std::vector<Action> pending; // keys pressed, acted on between passes
    bool paused = false;
    uint32_t frozenTime = 0; // the section time shown while paused
    bool boxes = false;
    bool showMessages = true;
    bool reloadDue = false;
};
