#pragma once
// A shell with settable Startup folders. Given a FakeFileSystem, shortcuts are
// real files there that carry their target, so a shortcut that is moved
// (disabled, enabled) still reads; without one there are no shortcuts.

#include <optional>
#include <string>
#include <vector>

#include "FakeFileSystem.h"
#include "platform/Shell.h"

namespace dovoviza::test {

struct OpenCall {
    std::string target, parameters, workingFolder;
};

class FakeShell : public IShell {
public:
    explicit FakeShell(FakeFileSystem* files = nullptr) : files_(files) {}

    std::string StartupFolder(StartupFolderKind kind) override {
        return kind == StartupFolderKind::User ? userStartup : commonStartup;
    }
    std::string CommonDataFolder() override { return "C:\\ProgramData"; }
    std::optional<std::string> ReadShortcutTarget(const std::string& lnkPath) override {
        const std::string content = files_ ? files_->Content(lnkPath) : std::string();
        if (!content.starts_with(kLink)) return std::nullopt;
        return content.substr(kLink.size());
    }
    bool WriteShortcut(const ShortcutInfo& shortcut) override {
        written.push_back(shortcut);
        const std::string content = kLink + shortcut.target;
        return writeShortcutResult && files_ &&
               files_->WriteWholeFile(shortcut.path, {content.begin(), content.end()});
    }
    bool StartCommandLine(const std::string& commandLine) override {
        started.push_back(commandLine);
        return startResult;
    }
    bool Open(const std::string& target, const std::string& parameters,
              const std::string& workingFolder) override {
        opened.push_back(OpenCall{target, parameters, workingFolder});
        return true;
    }
    bool ShowProperties(const std::string& path) override {
        propertiesShown.push_back(path);
        return propertiesResult;
    }

    // A shortcut that exists before the test acts.
    void AddShortcut(const std::string& lnkPath, const std::string& target) {
        if (files_) files_->AddFile(lnkPath, kLink + target);
    }

    std::string userStartup =
        "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    std::string commonStartup =
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    bool writeShortcutResult = true, startResult = true, propertiesResult = true;

    std::vector<ShortcutInfo> written;  // failed ones too
    std::vector<std::string> started, propertiesShown;
    std::vector<OpenCall> opened;

private:
    inline static const std::string kLink = "[test shortcut]\n";
    FakeFileSystem* files_ = nullptr;
};

}  // namespace dovoviza::test
