// Which window covers which monitor, with fake monitor lists: monitors left
// of and above the primary (negative coordinates), of different sizes, added,
// removed and rearranged while the run plays.
#include "app/monitor_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const SysMonitor LEFT = {11, -1280, -200, 1280, 1024, false};
const SysMonitor PRIMARY = {22, 0, 0, 1920, 1080, true};
const SysMonitor RIGHT = {33, 1920, 0, 800, 600, false};

// The changes of one update as text: "+0 -2 >1" (add, remove, move and slot).
std::string Update(MonitorLayout& layout, std::vector<SysMonitor> monitors) {
    MonitorChange changes[MAX_MONITOR_CHANGES];
    const int n = layout.Update(monitors.data(), static_cast<int>(monitors.size()), changes);
    std::string text;
    for (int i = 0; i < n; ++i) {
        const char kind = changes[i].kind == MonitorChangeKind::Add      ? '+'
                          : changes[i].kind == MonitorChangeKind::Remove ? '-'
                                                                         : '>';
        text += (text.empty() ? "" : " ") + std::string(1, kind) + std::to_string(changes[i].slot);
    }
    return text;
}

// Slot by slot: the monitor's id and role ("22L 11P 33B"), "." for a free slot.
std::string Slots(const MonitorLayout& layout) {
    std::string text;
    for (int s = 0; s < 4; ++s) {
        const MonitorSlot& slot = layout.slots[s];
        if (s > 0) text += ' ';
        if (!slot.used) {
            text += '.';
            continue;
        }
        text += std::to_string(slot.monitor.id);
        text += slot.role == MonitorRole::Lead ? 'L' : slot.role == MonitorRole::Play ? 'P' : 'B';
    }
    return text;
}

TEST(MonitorLayoutTest, FirstUpdatePlacesTheLeadOnThePrimaryAndEveryOtherMonitorBesideIt) {
    struct Case {
        const char* name;
        std::vector<SysMonitor> monitors;
        bool black;
        const char* changes;
        const char* slots;
    };
    SysMonitor unmarked = PRIMARY;
    unmarked.primary = false;
    SysMonitor empty = RIGHT;
    empty.width = 0;
    SysMonitor noId = RIGHT;
    noId.id = 0;
    const Case cases[] = {
        {"one monitor", {PRIMARY}, false, "+0", "22L . . ."},
        {"primary listed second", {LEFT, PRIMARY, RIGHT}, false, "+0 +1 +2", "22L 11P 33P ."},
        {"others black", {LEFT, PRIMARY, RIGHT}, true, "+0 +1 +2", "22L 11B 33B ."},
        {"none marked primary", {unmarked, RIGHT}, false, "+0 +1", "22L 33P . ."},
        {"listed twice, no area, no id", {PRIMARY, PRIMARY, empty, noId}, false, "+0", "22L . . ."},
        {"no monitor", {}, false, "", ". . . ."},
    };
    for (const Case& c : cases) {
        MonitorLayout layout;
        layout.othersBlack = c.black;
        EXPECT_EQ(Update(layout, c.monitors), c.changes) << c.name;
        EXPECT_EQ(Slots(layout), c.slots) << c.name;
    }
}

TEST(MonitorLayoutTest, SlotsKeepTheMonitorsRectangleInDesktopCoordinates) {
    MonitorLayout layout;
    Update(layout, {LEFT, PRIMARY, RIGHT});
    const SysMonitor& left = layout.slots[1].monitor;
    EXPECT_EQ(left.left, -1280);
    EXPECT_EQ(left.top, -200);
    EXPECT_EQ(left.width, 1280);
    EXPECT_EQ(left.height, 1024);
    EXPECT_EQ(layout.slots[2].monitor.width, 800);
}

TEST(MonitorLayoutTest, MonitorsComeAndGoWhilePlaying) {
    SysMonitor rightMoved = RIGHT;
    rightMoved.top = -100;
    SysMonitor primaryResized = PRIMARY;
    primaryResized.width = 1280;
    const SysMonitor FOURTH = {44, 0, 1080, 1024, 768, false};
    struct Step {
        const char* name;
        std::vector<SysMonitor> monitors;
        const char* changes;
        const char* slots;
    };
    const Step steps[] = {
        {"start", {LEFT, PRIMARY, RIGHT}, "+0 +1 +2", "22L 11P 33P ."},
        {"unchanged", {PRIMARY, RIGHT, LEFT}, "", "22L 11P 33P ."},
        {"left removed", {PRIMARY, RIGHT}, "-1", "22L . 33P ."},
        {"right moved up", {PRIMARY, rightMoved}, ">2", "22L . 33P ."},
        {"left back in the free slot", {LEFT, PRIMARY, rightMoved}, "+1", "22L 11P 33P ."},
        {"primary resized", {LEFT, primaryResized, rightMoved}, ">0", "22L 11P 33P ."},
        {"none for a moment", {}, "", "22L 11P 33P ."},
        {"a fourth", {LEFT, primaryResized, rightMoved, FOURTH}, "+3", "22L 11P 33P 44P"},
    };
    MonitorLayout layout;
    for (const Step& s : steps) {
        EXPECT_EQ(Update(layout, s.monitors), s.changes) << s.name;
        EXPECT_EQ(Slots(layout), s.slots) << s.name;
    }
    EXPECT_EQ(layout.UsedCount(), 4);
}

TEST(MonitorLayoutTest, TheLeadOutlivesItsMonitorOnTheNewPrimary) {
    SysMonitor newPrimary = RIGHT;
    newPrimary.primary = true;
    MonitorLayout layout;
    layout.othersBlack = true;
    Update(layout, {LEFT, PRIMARY, RIGHT});
    // The lead takes the new primary's place: that monitor's window goes.
    EXPECT_EQ(Update(layout, {LEFT, newPrimary}), "-2 >0");
    EXPECT_EQ(Slots(layout), "33L 11B . .");
    EXPECT_EQ(layout.slots[0].monitor.left, 1920);
    EXPECT_EQ(layout.slots[0].monitor.width, 800);
    // Its old monitor comes back: it gets a window of its own.
    EXPECT_EQ(Update(layout, {LEFT, PRIMARY, newPrimary}), "+2");
    EXPECT_EQ(Slots(layout), "33L 11B 22B .");
}

TEST(MonitorLayoutTest, MonitorsBeyondTheCapacityAreLeftOut) {
    std::vector<SysMonitor> many;
    for (int i = 0; i < MAX_MONITORS + 4; ++i) {
        many.push_back({static_cast<uintptr_t>(100 + i), i * 640, 0, 640, 480, i == 0});
    }
    MonitorLayout layout;
    const std::string first = Update(layout, many);
    EXPECT_EQ(std::count(first.begin(), first.end(), '+'), MAX_MONITORS);
    EXPECT_EQ(layout.UsedCount(), MAX_MONITORS);
    many.erase(many.begin() + 1);
    // One slot freed, and the first monitor that had none takes it.
    EXPECT_EQ(Update(layout, many), "-1 +1");
    EXPECT_EQ(layout.slots[1].monitor.id, uintptr_t{100 + MAX_MONITORS});
}

} // namespace
