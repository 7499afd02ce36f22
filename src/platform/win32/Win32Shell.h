#pragma once
// The Windows shell: special folders, shell links, starting and opening things.
// Use one object on the thread that made it: it initialises COM for that thread
// (apartment-threaded) for as long as it lives, as the shell link objects need.

#include "platform/Shell.h"
#include "platform/win32/Handles.h"

namespace dovoviza::win32 {

class Win32Shell final : public IShell {
public:
    Win32Shell() = default;

    std::string StartupFolder(StartupFolderKind kind) override;
    std::string CommonDataFolder() override;
    // The stored target with environment variables expanded; an empty text for
    // a shortcut to something that is not a file (a shell folder, say).
    std::optional<std::string> ReadShortcutTarget(const std::string& lnkPath) override;
    // An empty icon file leaves the target's own icon.
    bool WriteShortcut(const ShortcutInfo& shortcut) override;
    bool StartCommandLine(const std::string& commandLine) override;
    bool Open(const std::string& target, const std::string& parameters,
              const std::string& workingFolder) override;
    bool ShowProperties(const std::string& path) override;

private:
    ComInitializer com_;
};

}  // namespace dovoviza::win32
