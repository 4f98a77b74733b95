#include "ports/qt/idle_wayland_qt.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

#include <QSocketNotifier>
#include <cstring>
#include <wayland-client.h>

namespace {

WaylandIdleSource* Source(void* data) {
    return static_cast<WaylandIdleSource*>(data);
}

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    Source(data)->Global(registry, name, interface, version);
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener REGISTRY_LISTENER = {OnGlobal, OnGlobalRemove};

void OnIdled(void* data, ext_idle_notification_v1*) {
    Source(data)->Idled();
}

void OnResumed(void* data, ext_idle_notification_v1*) {
    Source(data)->Resumed();
}

const ext_idle_notification_v1_listener NOTIFICATION_LISTENER = {OnIdled, OnResumed};

void OnKdeIdle(void* data, org_kde_kwin_idle_timeout*) {
    Source(data)->Idled();
}

void OnKdeResumed(void* data, org_kde_kwin_idle_timeout*) {
    Source(data)->Resumed();
}

const org_kde_kwin_idle_timeout_listener KDE_TIMEOUT_LISTENER = {OnKdeIdle, OnKdeResumed};

} // namespace

std::unique_ptr<WaylandIdleSource> WaylandIdleSource::Connect() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    std::unique_ptr<WaylandIdleSource> source(new WaylandIdleSource(display));
    source->registry = wl_display_get_registry(display);
    wl_registry_add_listener(source->registry, &REGISTRY_LISTENER, source.get());
    if (wl_display_roundtrip(display) < 0 || wl_display_dispatch_pending(display) < 0) {
        return nullptr;
    }
    if (!source->seat || (!source->notifier && !source->kdeIdle)) return nullptr;
    source->readable =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display), QSocketNotifier::Read);
    WaylandIdleSource* self = source.get();
    QObject::connect(source->readable.get(), &QSocketNotifier::activated,
                     [self] { self->Dispatch(); });
    return source;
}

WaylandIdleSource::WaylandIdleSource(wl_display* display) : display(display) {}

WaylandIdleSource::~WaylandIdleSource() {
    readable.reset();
    Release();
    if (notifier) ext_idle_notifier_v1_destroy(notifier);
    if (kdeIdle) org_kde_kwin_idle_destroy(kdeIdle);
    if (seat) wl_seat_destroy(seat);
    if (registry) wl_registry_destroy(registry);
    wl_display_flush(display);
    wl_display_disconnect(display);
}

const char* WaylandIdleSource::Name() const {
    return notifier ? "ext-idle-notify-v1" : "org_kde_kwin_idle";
}

void WaylandIdleSource::Global(wl_registry* from, uint32_t name, const char* interface,
                               uint32_t version) {
    (void)version;
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat) {
        seat = static_cast<wl_seat*>(wl_registry_bind(from, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !notifier) {
        notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(from, name, &ext_idle_notifier_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !kdeIdle) {
        kdeIdle = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(from, name, &org_kde_kwin_idle_interface, 1));
    }
}

void WaylandIdleSource::Release() {
    if (notification) ext_idle_notification_v1_destroy(notification);
    if (kdeTimeout) org_kde_kwin_idle_timeout_release(kdeTimeout);
    notification = nullptr;
    kdeTimeout = nullptr;
}

void WaylandIdleSource::Arm(uint32_t ms) {
    Release();
    isIdle = false;
    if (notifier) {
        notification = ext_idle_notifier_v1_get_idle_notification(notifier, ms, seat);
        ext_idle_notification_v1_add_listener(notification, &NOTIFICATION_LISTENER, this);
    } else {
        kdeTimeout = org_kde_kwin_idle_get_idle_timeout(kdeIdle, seat, ms);
        org_kde_kwin_idle_timeout_add_listener(kdeTimeout, &KDE_TIMEOUT_LISTENER, this);
    }
    wl_display_flush(display);
}

// A notification reports idle and resumed again and again; the source reports
// each once per arming, as the other sources do.
void WaylandIdleSource::Idled() {
    if (isIdle || (!notification && !kdeTimeout)) return;
    isIdle = true;
    if (idle) idle();
}

void WaylandIdleSource::Resumed() {
    if (!isIdle) return;
    isIdle = false;
    if (active) active();
}

void WaylandIdleSource::Dispatch() {
    if (wl_display_dispatch(display) < 0) {
        // The compositor went: no more events come.
        readable->setEnabled(false);
        if (lost) lost();
        return;
    }
    wl_display_flush(display);
}
