// Message boxes, the log and the millisecond clock on Qt.
#pragma once

#include "platform/system.h"

#include <QElapsedTimer>
#include <cstdint>

class QtSystem : public SystemServices {
  public:
    // `embedHost`: the screen-saver daemon's window the run plays in, 0 for
    // none. The clock starts with the object.
    explicit QtSystem(uintptr_t embedHost);

    // Also written to the standard error stream, where logs of unattended
    // runs keep it. No box shows without a QApplication, nor over a daemon's
    // window, where it would wait unseen behind it.
    void ShowMessageBox(const char* caption, const char* text) override;
    void LogMessage(const char* caption, const char* text) override;
    uint32_t Milliseconds() override;

  private:
    const uintptr_t embedHost;
    QElapsedTimer clock; // monotonic: wall-clock changes never disturb the animation
};
