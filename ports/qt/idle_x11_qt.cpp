#include "ports/qt/idle_x11_qt.h"

#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

xcb_sync_int64_t SyncValue(int64_t value) {
    return {static_cast<int32_t>(value >> 32), static_cast<uint32_t>(value & 0xFFFFFFFF)};
}

// The IDLETIME system counter, 0 when the server has none. The entries are
// read by hand: each is the counter (4 bytes), its resolution (8), the
// name's length (2) and the name, padded to a multiple of 4 bytes, which
// libxcb's own iterator steps over wrongly.
xcb_sync_counter_t IdleCounter(xcb_connection_t* connection) {
    xcb_sync_list_system_counters_reply_t* list = xcb_sync_list_system_counters_reply(
        connection, xcb_sync_list_system_counters(connection), nullptr);
    if (!list) return 0;
    const auto* at = reinterpret_cast<const uint8_t*>(list + 1);
    const uint8_t* end = reinterpret_cast<const uint8_t*>(list) + 32 + 4 * size_t{list->length};
    xcb_sync_counter_t found = 0;
    for (uint32_t i = 0; i < list->counters_len && found == 0 && end - at >= 14; ++i) {
        uint32_t counter = 0;
        uint16_t length = 0;
        std::memcpy(&counter, at, 4);
        std::memcpy(&length, at + 12, 2);
        if (end - at < 14 + length) break;
        if (std::string_view(reinterpret_cast<const char*>(at + 14), length) == "IDLETIME") {
            found = counter;
        }
        at += (14 + length + 3) & ~size_t{3};
    }
    std::free(list);
    return found;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    xcb_atom_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

// The 32-bit values of a property of `window`, at most 64.
int Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
             xcb_atom_t type, uint32_t* values) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 64), nullptr);
    int count = 0;
    if (reply && reply->format == 32) {
        count = xcb_get_property_value_length(reply) / 4;
        if (count > 64) count = 64;
        std::memcpy(values, xcb_get_property_value(reply), static_cast<size_t>(count) * 4);
    }
    std::free(reply);
    return count;
}

} // namespace

std::unique_ptr<X11IdleSource> X11IdleSource::Connect() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_query_extension_reply_t* sync = xcb_get_extension_data(connection, &xcb_sync_id);
    xcb_sync_counter_t counter = 0;
    if (sync && sync->present) {
        std::free(xcb_sync_initialize_reply(
            connection,
            xcb_sync_initialize(connection, XCB_SYNC_MAJOR_VERSION, XCB_SYNC_MINOR_VERSION),
            nullptr));
        counter = IdleCounter(connection);
    }
    if (counter == 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11IdleSource>(
        new X11IdleSource(connection, counter, sync->first_event));
}

X11IdleSource::X11IdleSource(xcb_connection_t* connection, xcb_sync_counter_t counter,
                             uint8_t firstEvent)
    : connection(connection), counter(counter), firstEvent(firstEvent) {
    notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                 QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
}

X11IdleSource::~X11IdleSource() {
    notifier.reset();
    if (alarm != 0) xcb_sync_destroy_alarm(connection, alarm);
    xcb_disconnect(connection);
}

namespace {

// The alarm's attributes, in either request's list (they are alike).
template <typename List> List AlarmValues(xcb_sync_counter_t counter, int64_t value, bool atLeast) {
    List values{};
    values.counter = counter;
    values.valueType = XCB_SYNC_VALUETYPE_ABSOLUTE;
    values.value = SyncValue(value);
    values.testType =
        atLeast ? XCB_SYNC_TESTTYPE_POSITIVE_COMPARISON : XCB_SYNC_TESTTYPE_NEGATIVE_COMPARISON;
    values.delta = SyncValue(0); // fires once, then waits to be set again
    values.events = 1;
    return values;
}

} // namespace

void X11IdleSource::SetAlarm(int64_t value, bool whenAtLeast) {
    const uint32_t mask = XCB_SYNC_CA_COUNTER | XCB_SYNC_CA_VALUE_TYPE | XCB_SYNC_CA_VALUE |
                          XCB_SYNC_CA_TEST_TYPE | XCB_SYNC_CA_DELTA | XCB_SYNC_CA_EVENTS;
    if (alarm == 0) {
        alarm = xcb_generate_id(connection);
        const auto values =
            AlarmValues<xcb_sync_create_alarm_value_list_t>(counter, value, whenAtLeast);
        xcb_sync_create_alarm_aux(connection, alarm, mask, &values);
    } else {
        const auto values =
            AlarmValues<xcb_sync_change_alarm_value_list_t>(counter, value, whenAtLeast);
        xcb_sync_change_alarm_aux(connection, alarm, mask, &values);
    }
    xcb_flush(connection);
}

void X11IdleSource::Arm(uint32_t ms) {
    armedMs = ms;
    waitingForIdle = true;
    SetAlarm(ms, true);
}

void X11IdleSource::ReadEvents() {
    if (xcb_connection_has_error(connection)) {
        // The X server went: no more events come.
        notifier->setEnabled(false);
        if (lost) lost();
        return;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        const bool alarmEvent =
            (event->response_type & 0x7F) == firstEvent + XCB_SYNC_ALARM_NOTIFY &&
            reinterpret_cast<xcb_sync_alarm_notify_event_t*>(event)->alarm == alarm;
        std::free(event);
        if (!alarmEvent) continue;
        if (waitingForIdle) {
            // Idle now; the next input brings the counter below the idle time.
            waitingForIdle = false;
            SetAlarm(armedMs > 0 ? armedMs - 1 : 0, false);
            if (idle) idle();
        } else {
            if (active) active();
        }
    }
}

bool X11ActiveWindowIsFullScreen() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    uint32_t values[64];
    bool fullScreen = false;
    if (Property(connection, root, Atom(connection, "_NET_ACTIVE_WINDOW"), XCB_ATOM_ANY, values) >
            0 &&
        values[0] != 0) {
        const xcb_atom_t full = Atom(connection, "_NET_WM_STATE_FULLSCREEN");
        const int n = Property(connection, values[0], Atom(connection, "_NET_WM_STATE"),
                               XCB_ATOM_ANY, values);
        for (int i = 0; i < n; ++i) fullScreen = fullScreen || values[i] == full;
    }
    xcb_disconnect(connection);
    return fullScreen;
}
