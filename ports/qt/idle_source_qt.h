// A source of the session's idle state, as the desktop tells it: after Arm,
// it reports once that the session has been idle for the time asked, then
// once that it is active again (input), and then waits to be armed again.
// Each source is an object over its own connection (Wayland, D-Bus, X11).
#pragma once

#include <cstdint>
#include <functional>

class IdleSource {
  public:
    virtual ~IdleSource() = default;

    // What the source is, for the log ("ext-idle-notify-v1", ...).
    virtual const char* Name() const = 0;
    // Reports `idle` once the session has had no input for `ms`, then
    // `active` at the next input. Arming again starts over.
    virtual void Arm(uint32_t ms) = 0;

    std::function<void()> idle;
    std::function<void()> active;
    // The connection is gone (the compositor or X server ended): nothing
    // more will be reported.
    std::function<void()> lost;
};
