#include "app/Settings.h"

#include <charconv>

#include "catalogue/RegistryAccess.h"
#include "catalogue/StartupLocation.h"

namespace dovoviza {

int GetOS(const std::optional<WindowsVersion>& version) {
    if (!version) return 0;
    if (version->platformId == 1) return 1;
    if (version->platformId == 2 &&
        ((version->major == 5 && version->minor >= 1) || version->major == 6)) {
        return 2;
    }
    return 1;
}

std::string Settings::Read(const std::string& name) {
    return ReadRegString(registry_, Hive::LocalMachine, kSettingsKey, name);
}

std::string Settings::LanguageName() {
    const std::string name = Read("Language");
    return name.empty() ? "English" : name;
}

bool Settings::SetLanguageName(const std::string& name) {
    return WriteRegString(registry_, Hive::LocalMachine, kSettingsKey, "Language", name);
}

bool Settings::RunMinimized() { return Read("RunMinimized") == "True"; }

void Settings::SetRunMinimized(bool on) {
    WriteRegString(registry_, Hive::LocalMachine, kSettingsKey, "RunMinimized", on ? "True" : "False");
}

int Settings::ReadSize(const char* name, int fallback) {
    const std::string text = Read(name);
    if (text.empty()) {
        WriteRegString(registry_, Hive::LocalMachine, kSettingsKey, name, std::to_string(fallback));
        return fallback;
    }
    // Sizes were once written as single-precision numbers; take the whole part.
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || value <= 0) return fallback;
    return value;
}

// The value's name keeps the misspelling its first version wrote.
int Settings::HeightTwips() { return ReadSize("Heigth", kDefaultHeightTwips); }
int Settings::WidthTwips() { return ReadSize("Width", kDefaultWidthTwips); }

void Settings::SaveSize(int heightTwips, int widthTwips) {
    WriteRegString(registry_, Hive::LocalMachine, kSettingsKey, "Heigth", std::to_string(heightTwips));
    WriteRegString(registry_, Hive::LocalMachine, kSettingsKey, "Width", std::to_string(widthTwips));
}

Autostart::Autostart(IRegistry& registry, ISystem& system)
    : registry_(registry),
      keyPath_(RunLocation(Hive::LocalMachine, system.IsWow64()).enabledKey),
      command_(system.ProgramFolder() + "\\" + system.ProgramName() + ".exe") {}

bool Autostart::IsOn() {
    return ReadRegString(registry_, Hive::LocalMachine, keyPath_, kAutostartValue) == command_;
}

bool Autostart::Set(bool on) {
    if (on) return WriteRegString(registry_, Hive::LocalMachine, keyPath_, kAutostartValue, command_);
    return DeleteRegValue(registry_, Hive::LocalMachine, keyPath_, kAutostartValue);
}

}  // namespace dovoviza
