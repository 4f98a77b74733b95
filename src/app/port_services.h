// What a port gives the program: one object for each platform service and
// the dialogs. The port owns them; they live as long as every context made
// over them.
#pragma once

class AudioDevice;
class DialogHost;
class FontSource;
class SettingsStorage;
class SystemServices;
class SystemShell;
class WindowSystem;

struct PortServices {
    SystemServices* system = nullptr;
    SystemShell* shell = nullptr;
    WindowSystem* windows = nullptr;
    FontSource* fonts = nullptr;
    AudioDevice* audio = nullptr;
    SettingsStorage* settings = nullptr;
    DialogHost* dialogs = nullptr;
};
