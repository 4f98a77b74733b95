#include "app/monitor_layout.h"

namespace {

bool SameRect(const SysMonitor& a, const SysMonitor& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// The usable monitors of the list, each once, at most MAX_MONITORS.
int Usable(const SysMonitor* monitors, int count, SysMonitor* out) {
    int n = 0;
    for (int i = 0; monitors && i < count && n < MAX_MONITORS; ++i) {
        const SysMonitor& m = monitors[i];
        if (m.id == 0 || m.width <= 0 || m.height <= 0) continue;
        bool seen = false;
        for (int j = 0; j < n && !seen; ++j) seen = out[j].id == m.id;
        if (!seen) out[n++] = m;
    }
    return n;
}

int Find(const SysMonitor* list, int count, uintptr_t id) {
    for (int i = 0; i < count; ++i) {
        if (list[i].id == id) return i;
    }
    return -1;
}

} // namespace

int MonitorLayout::Update(const SysMonitor* monitors, int count, MonitorChange* changes) {
    SysMonitor list[MAX_MONITORS];
    const int n = Usable(monitors, count, list);
    if (n == 0) return 0;
    int primary = 0;
    for (int i = n - 1; i >= 0; --i) {
        if (list[i].primary) primary = i;
    }
    int changed = 0;
    auto report = [&](MonitorChangeKind kind, int slot) { changes[changed++] = {kind, slot}; };
    auto slotOf = [&](uintptr_t id) {
        for (int s = 0; s < MAX_MONITORS; ++s) {
            if (slots[s].used && slots[s].monitor.id == id) return s;
        }
        return -1;
    };

    MonitorSlot& lead = slots[LEAD_SLOT];
    bool leadMoved = false;
    if (!lead.used) {
        lead = {true, list[primary], MonitorRole::Lead};
        report(MonitorChangeKind::Add, LEAD_SLOT);
    }
    for (int s = 0; s < MAX_MONITORS; ++s) {
        if (s == LEAD_SLOT || !slots[s].used || Find(list, n, slots[s].monitor.id) >= 0) continue;
        slots[s].used = false;
        report(MonitorChangeKind::Remove, s);
    }
    if (Find(list, n, lead.monitor.id) < 0) {
        const int taken = slotOf(list[primary].id);
        if (taken >= 0) {
            slots[taken].used = false;
            report(MonitorChangeKind::Remove, taken);
        }
        lead.monitor = list[primary];
        leadMoved = true;
        report(MonitorChangeKind::Move, LEAD_SLOT);
    }
    for (int s = 0; s < MAX_MONITORS; ++s) {
        if (!slots[s].used || (s == LEAD_SLOT && leadMoved)) continue;
        const SysMonitor& now = list[Find(list, n, slots[s].monitor.id)];
        const bool moved = !SameRect(slots[s].monitor, now);
        slots[s].monitor = now;
        if (moved) report(MonitorChangeKind::Move, s);
    }
    for (int i = 0; i < n; ++i) {
        if (slotOf(list[i].id) >= 0) continue;
        for (int s = 0; s < MAX_MONITORS; ++s) {
            if (slots[s].used) continue;
            slots[s] = {true, list[i], othersBlack ? MonitorRole::Black : MonitorRole::Play};
            report(MonitorChangeKind::Add, s);
            break;
        }
    }
    return changed;
}

int MonitorLayout::UsedCount() const {
    int used = 0;
    for (const MonitorSlot& slot : slots) used += slot.used ? 1 : 0;
    return used;
}
