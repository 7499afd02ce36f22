#pragma once
// The Windows shell: special folders, shortcuts, starting and opening things.

#include <optional>
#include <string>

namespace dovoviza {

enum class StartupFolderKind { User, Common };

// How a shortcut opens its program's window, numbered as Windows numbers it.
namespace ShowCommand {
constexpr int Normal = 1;
}  // namespace ShowCommand

struct ShortcutInfo {
    std::string path;              // the .lnk file to write
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    int showCommand = ShowCommand::Normal;
    std::string iconFile;
    int iconIndex = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    // The Startup folder's path without a trailing backslash, or empty.
    virtual std::string StartupFolder(StartupFolderKind kind) = 0;
    // The folder of all users' program data (ProgramData), without a trailing
    // backslash, or empty.
    virtual std::string CommonDataFolder() = 0;
    // The target path stored in a shortcut file (arguments are not read).
    virtual std::optional<std::string> ReadShortcutTarget(const std::string& lnkPath) = 0;
    // Writes (or replaces) a shortcut file.
    virtual bool WriteShortcut(const ShortcutInfo& shortcut) = 0;
    // Starts a command line with a normal window and does not wait for it.
    virtual bool StartCommandLine(const std::string& commandLine) = 0;
    // Opens a program, document or address with the shell's "open" verb.
    virtual bool Open(const std::string& target, const std::string& parameters,
                      const std::string& workingFolder) = 0;
    // Shows the shell's properties sheet of a file.
    virtual bool ShowProperties(const std::string& path) = 0;
};

}  // namespace dovoviza
