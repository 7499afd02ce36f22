#pragma once
// A shell with settable Startup folders and shortcuts. Given a FakeFileSystem,
// shortcuts are real files there that carry their target, so a shortcut that is
// moved (disabled, enabled) still reads; without one they live in a map.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "NoCase.h"
#include "platform/Shell.h"

namespace dovoviza::test {

class FakeFileSystem;

struct OpenCall {
    std::string target;
    std::string parameters;
    std::string workingFolder;
};

class FakeShell : public IShell {
public:
    FakeShell() = default;
    explicit FakeShell(FakeFileSystem* files) : files_(files) {}

    std::string StartupFolder(StartupFolderKind kind) override;
    std::optional<std::string> ReadShortcutTarget(const std::string& lnkPath) override;
    bool WriteShortcut(const ShortcutInfo& shortcut) override;
    bool StartCommandLine(const std::string& commandLine) override;
    bool Open(const std::string& target, const std::string& parameters,
              const std::string& workingFolder) override;
    bool ShowProperties(const std::string& path) override;

    // Test set-up: a shortcut that exists before the test acts.
    void AddShortcut(const std::string& lnkPath, const std::string& target);
    // The bytes a shortcut file holds in the FakeFileSystem.
    static std::string ShortcutFileContent(const std::string& target);

    std::string userStartup = "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    std::string commonStartup = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";

    bool writeShortcutResult = true;
    bool startResult = true;
    bool openResult = true;
    bool propertiesResult = true;

    // lnk path -> target, for every shortcut added or written.
    std::map<std::string, std::string, NoCaseLess> shortcuts;
    std::vector<ShortcutInfo> written;      // every WriteShortcut call, failed ones too
    std::vector<std::string> started;       // every StartCommandLine call
    std::vector<OpenCall> opened;           // every Open call
    std::vector<std::string> propertiesShown;

private:
    FakeFileSystem* files_ = nullptr;
};

}  // namespace dovoviza::test
