// Controls of the headless window: input to feed in and what happened to it.
#pragma once

#include <cstdint>

class CSaverWnd;
struct WindowSpec;

enum class HeadlessInput { Key, SysKey, Button, MouseMove, Deactivate, DeactivateApp, SysCommand };

// Queues an input event for the window, delivered by a later pump.
void HeadlessPostInput(HeadlessInput input, int32_t x = 0, int32_t y = 0);
// Queues an input event for the secondary window `secondary` (in the order
// of creation among those that exist).
void HeadlessPostInputTo(int secondary, HeadlessInput input, int32_t x = 0, int32_t y = 0);
// The other monitors' windows that exist, and how each was placed.
int HeadlessSecondaryCount();
const WindowSpec* HeadlessSecondaryLayout(int secondary);
// How the run's window was placed.
const WindowSpec& HeadlessWindowSpec();
// Queues the host's destruction of the window (how a preview ends).
void HeadlessPostDestroy();
// The window of this run while it exists.
CSaverWnd* HeadlessWindow();
// Whether the window was created, and how.
bool HeadlessWindowExists();
bool HeadlessWindowTopmost();
bool HeadlessWindowChild();
bool HeadlessCursorHidden();
// How often the idle work has run.
int HeadlessIdleCalls();
// Resets the window system (no window, empty queue).
void HeadlessResetWindow();
