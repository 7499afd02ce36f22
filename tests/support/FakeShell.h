#pragma once
// A shell with settable Startup folders. Given a FakeFileSystem, shortcuts are
// real files there that carry their target, so a shortcut that is moved
// (disabled, enabled) still reads; without one there are no shortcuts.

#include <optional>
#include <string>
#include <vector>

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
    explicit FakeShell(FakeFileSystem* files = nullptr) : files_(files) {}

    std::string StartupFolder(StartupFolderKind kind) override {
        return kind == StartupFolderKind::User ? userStartup : commonStartup;
    }
    std::string CommonDataFolder() override { return commonData; }
    std::optional<std::string> ReadShortcutTarget(const std::string& lnkPath) override;
    bool WriteShortcut(const ShortcutInfo& shortcut) override;
    bool StartCommandLine(const std::string& commandLine) override {
        started.push_back(commandLine);
        return startResult;
    }
    bool Open(const std::string& target, const std::string& parameters, const std::string& workingFolder) override {
        opened.push_back(OpenCall{target, parameters, workingFolder});
        return true;
    }
    bool ShowProperties(const std::string& path) override {
        propertiesShown.push_back(path);
        return propertiesResult;
    }

    // Test set-up: a shortcut that exists before the test acts.
    void AddShortcut(const std::string& lnkPath, const std::string& target);
    // The bytes a shortcut file holds in the FakeFileSystem.
    static std::string ShortcutFileContent(const std::string& target) { return "[test shortcut]\n" + target; }

    std::string userStartup = "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    std::string commonStartup = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    std::string commonData = "C:\\ProgramData";

    bool writeShortcutResult = true;
    bool startResult = true;
    bool propertiesResult = true;

    std::vector<ShortcutInfo> written;  // every WriteShortcut call, failed ones too
    std::vector<std::string> started;   // every StartCommandLine call
    std::vector<OpenCall> opened;       // every Open call
    std::vector<std::string> propertiesShown;

private:
    FakeFileSystem* files_ = nullptr;
};

}  // namespace dovoviza::test
