// The idle sources of Wayland compositors, over a connection of the idle
// service's own: ext-idle-notify-v1 where the compositor offers it, else
// KDE's idle protocol (org_kde_kwin_idle), which KWin and wlroots
// compositors such as sway offer.
#pragma once

#include "ports/qt/idle_source_qt.h"

#include <memory>

struct ext_idle_notification_v1;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
struct wl_display;
struct wl_registry;
struct wl_seat;
class QSocketNotifier;

class WaylandIdleSource : public IdleSource {
  public:
    // Null without a Wayland compositor ($WAYLAND_DISPLAY), or when it offers
    // neither protocol or no seat.
    static std::unique_ptr<WaylandIdleSource> Connect();
    ~WaylandIdleSource() override;

    const char* Name() const override;
    void Arm(uint32_t ms) override;

    // The protocols' listeners call these.
    void Global(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void Idled();
    void Resumed();

  private:
    explicit WaylandIdleSource(wl_display* display);
    void Release();
    void Dispatch();

    wl_display* display;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* notifier = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    ext_idle_notification_v1* notification = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout = nullptr;
    bool isIdle = false;
    std::unique_ptr<QSocketNotifier> readable;
};
