#pragma once
// A whole machine of doubles for tests of the logic: registry, files with real
// shortcut files, shell, version resources, system, texts, icons and a main
// list over them, with the two Startup folders and their twins in place.

#include <string>
#include <vector>

#include "FakeFileSystem.h"
#include "FakeRegistry.h"
#include "FakeShell.h"
#include "FakeSystem.h"
#include "FakeTexts.h"
#include "FakeVersionReader.h"
#include "ScriptedPrompt.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "platform/Icons.h"
#include "platform/Platform.h"

namespace dovoviza::test {

// An image list that records which files' icons were asked for; as with the
// shell, only paths that exist (files or folders) have an icon.
class FakeIconList : public IIconList {
public:
    explicit FakeIconList(const FakeFileSystem& files) : files_(files) {}

    void Clear() override { count_ = 0; }
    int AddFileIcon(const std::string& path) override {
        requests.push_back(path);
        return files_.Exists(path) ? ++count_ : 0;
    }
    int Count() const override { return count_; }

    std::vector<std::string> requests;

private:
    const FakeFileSystem& files_;
    int count_ = 0;
};

struct TestWorld {
    TestWorld()
        : folders(PreparedFolders(shell, files)), list(platform, fileInfo, texts, icons, folders) {
        texts.texts = {{{"Main", "34"}, "items"}, {{"Main", "35"}, "disabled"},
                       {{"Main", "36"}, kNotFound}, {{"Main", "37"}, kDisabled}};
    }

    // Adds a program file with version strings (US English, Unicode block).
    void AddProgram(const std::string& path, const std::string& product = "Product",
                    const std::string& company = "Company") {
        files.AddFile(path, std::string(1500, 'x'));
        versions.AddStrings(path, 0x0409, 0x04B0,
                            {{"CompanyName", company},
                             {"FileDescription", product + " description"},
                             {"FileVersion", "1.2.3"}, {"ProductName", product}});
    }
    void SetRunValue(Hive hive, const std::string& key, const std::string& name,
                     const std::string& command) {
        registry.SetString(hive, key, name, command);
    }
    void AddShortcut(const std::string& folder, const std::string& name,
                     const std::string& target) {
        shell.AddShortcut(folder + "\\" + name, target);
    }

    FakeRegistry registry;
    FakeFileSystem files;
    FakeShell shell{&files};
    FakeVersionReader versions;
    FakeSystem system;
    FakeTexts texts;
    FakeIconList icons{files};
    ScriptedPrompt prompt;
    Platform platform{registry, files, shell, versions, system};
    FileInfoClass fileInfo{versions, &files};
    StartupFolderPaths folders;
    MainList list;

    static constexpr const char* kUserRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kUserRunDisabled =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
    static constexpr const char* kNotFound = "File not found";
    static constexpr const char* kDisabled = "Disabled";

private:
    static StartupFolderPaths PreparedFolders(FakeShell& shell, FakeFileSystem& files) {
        files.AddFolder(shell.userStartup);
        files.AddFolder(shell.commonStartup);
        StartupFolderPaths prepared = ResolveStartupFolders(shell);
        PrepareDisabledFolders(files, prepared);
        return prepared;
    }
};

}  // namespace dovoviza::test
