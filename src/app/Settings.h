#pragma once
// The program's own settings and start options, kept under the machine's
// settings key, and the start-up decisions taken from them.

#include <optional>
#include <string>

#include "language/Texts.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace dovoviza {

inline constexpr const char* kSettingsKey = "SOFTWARE\\Varnek Ruvazuv Avuzuza";
inline constexpr const char* kAutostartValue = "Varnek RuvazUv Avuzuza";

// Window size defaults and minimum, in twips.
inline constexpr int kDefaultHeightTwips = 7950;
inline constexpr int kDefaultWidthTwips = 11175;

// 0 = the version query failed, 1 = unsupported, 2 = supported (NT 5.1 and later;
// releases after 6.2 report themselves as 6.2 to a program without a
// supported-OS list).
int GetOS(const std::optional<WindowsVersion>& version);

class Settings {
public:
    explicit Settings(IRegistry& registry) : registry_(registry) {}

    // The stored language name, "English" when none is stored.
    std::string LanguageName();
    // True when the registry took the name.
    bool SetLanguageName(const std::string& name);

    // True only for the exact text "True".
    bool RunMinimized();
    void SetRunMinimized(bool on);

    // The saved window size in twips. Missing values are written with their
    // defaults first; a value that is not a number reads as the default.
    int HeightTwips();
    int WidthTwips();
    void SaveSize(int heightTwips, int widthTwips);

private:
    std::string Read(const std::string& name);
    int ReadSize(const char* name, int fallback);
    IRegistry& registry_;
};

// The program's own entry in the machine's Run key: which key (the WOW64 one
// for a 32-bit program on 64-bit Windows) and what it must hold.
class Autostart {
public:
    Autostart(IRegistry& registry, ISystem& system);
    std::string KeyPath() const { return keyPath_; }
    // True when the value holds exactly this program's path.
    bool IsOn();
    // Writes or deletes the value; true when the registry took the change.
    bool Set(bool on);

private:
    IRegistry& registry_;
    std::string keyPath_;
    std::string command_;
};

}  // namespace dovoviza
