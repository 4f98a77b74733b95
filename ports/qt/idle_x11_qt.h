// The idle source of X11: the SYNC extension's IDLETIME counter, watched by
// alarms (no polling), over a connection of its own to the X server.
#pragma once

#include "ports/qt/idle_source_qt.h"

#include <memory>
#include <xcb/sync.h>
#include <xcb/xcb.h>

class QSocketNotifier;

class X11IdleSource : public IdleSource {
  public:
    // Null when there is no X server ($DISPLAY) or it has no IDLETIME counter.
    static std::unique_ptr<X11IdleSource> Connect();
    ~X11IdleSource() override;

    const char* Name() const override { return "X11 SYNC IDLETIME"; }
    void Arm(uint32_t ms) override;

  private:
    X11IdleSource(xcb_connection_t* connection, xcb_sync_counter_t counter, uint8_t firstEvent);
    // Sets the alarm: it fires when the counter is at least `value` (idle),
    // or when it falls to `value` or below (input reset it).
    void SetAlarm(int64_t value, bool whenAtLeast);
    void ReadEvents();

    xcb_connection_t* connection;
    const xcb_sync_counter_t counter;
    const uint8_t firstEvent;
    xcb_sync_alarm_t alarm = 0;
    bool waitingForIdle = false;
    uint32_t armedMs = 0;
    std::unique_ptr<QSocketNotifier> notifier;
};

// The X11 desktop's own view: whether the active window is full screen (a
// film or a game, which the saver must not cover). False without X11 or a
// window manager that names the active window.
bool X11ActiveWindowIsFullScreen();
