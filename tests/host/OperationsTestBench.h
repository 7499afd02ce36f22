#pragma once
// A main list over the test doubles, with the English texts the operations
// show, for the item-operation and entry-editor tests.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "catalogue/FileDetails.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "operations/ItemOperations.h"
#include "support/FakeFileSystem.h"
#include "support/FakeIconList.h"
#include "support/FakeRegistry.h"
#include "support/FakeShell.h"
#include "support/FakeSystem.h"
#include "support/FakeTexts.h"
#include "support/FakeVersionReader.h"
#include "support/ScriptedPrompt.h"

namespace dovoviza::test {

inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kRunDisabledKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
inline const std::string kWowRunKey =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kUserRun = "Registry -> User Run";
inline const std::string kUserFolder = "Startup Folder -> User";
inline const std::string kCommonFolder = "Startup Folder -> Common";
inline const std::string kTitle = "Varnek Ruvazuv Avuzuza";

class OperationsBench : public ::testing::Test {
protected:
    OperationsBench() {
        const std::pair<const char*, const char*> main[] = {
            {"36", "File not found"},
            {"37", "Disabled"},
            {"38", "A disabled item cannot be edited. Enable it first."},
            {"39", "Edit Startup Item"},
            {"40", "This item, or an item of the same name in this section, is already disabled."},
            {"41", "This item, or an item of the same name in this section, is already enabled."},
            {"42", "Delete this registry item?"},
            {"43", "Delete this Startup folder item?"},
            {"50",
             "The item was not moved: the other store already holds an item of the same name. "
             "Nothing was changed."},
            {"51", "The item could not be moved. Nothing was changed."},
            {"52", "The item could not be deleted."},
            {"53", "The program could not be started."},
        };
        for (const auto& [key, text] : main) texts.Set("Main", key, text);
        const std::pair<const char*, const char*> add[] = {
            {"1", "Create New Startup Item"},
            {"2", "Name:"},
            {"3", "Value:"},
            {"4", "Section:"},
            {"8", "Select Program"},
            {"9", "Please enter a name and a value."},
            {"10", "Cannot Save Item"},
            {"11", "Please select a section."},
            {"12", "An item with this name already exists in this section. Replace it?"},
            {"13", "Item Already Exists"},
            {"14", "The program file given as Value does not exist."},
            {"15", "The registry key of this section does not exist on this system."},
            {"16", "The item could not be saved. Nothing was changed."},
            {"17", "The new item was saved, but the old item could not be removed."},
        };
        for (const auto& [key, text] : add) texts.Set("Add", key, text);
        texts.Set("Alert", "13", "File:");

        files.AddFolder(shell.userStartup);
        files.AddFolder(shell.commonStartup);
        PrepareDisabledFolders(files, folders);
    }

    // The row of an entry as the list shows it now.
    std::optional<std::size_t> RowOf(const std::string& name, const std::string& section,
                                     bool disabled = false) const {
        const auto& rows = list.Rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].Name() == name && rows[i].Section() == section &&
                rows[i].IsDisabled() == disabled)
                return i;
        }
        return std::nullopt;
    }

    // Reloads the list and selects one entry.
    void LoadAndSelect(const std::string& name, const std::string& section, bool disabled = false) {
        list.LoadRegistryInfo();
        const auto row = RowOf(name, section, disabled);
        ASSERT_TRUE(row) << name << " in " << section;
        list.Select(row);
    }

    const std::string& Status(const std::string& name, const std::string& section) const {
        static const std::string missing = "<no row>";
        for (const auto& row : list.Rows()) {
            if (row.Name() == name && row.Section() == section) return row.Status();
        }
        return missing;
    }

    std::string UserLink(const std::string& file) const { return shell.userStartup + "\\" + file; }
    std::string UserTwin(const std::string& file) const { return folders.userDisabled + file; }

    FakeRegistry reg;
    FakeFileSystem files;
    FakeShell shell{&files};
    FakeVersionReader versions;
    FakeSystem system;
    Platform platform{reg, files, shell, versions, system};
    FakeTexts texts;
    ScriptedPrompt prompt;
    FakeIconList icons{&files};
    FileInfoClass fileInfo{versions};
    StartupFolderPaths folders =
        StartupFolderPaths::FromEnabled(shell.userStartup, shell.commonStartup);
    MainList list{platform, fileInfo, texts, icons, folders};
    OperationContext context{platform, texts, prompt, list};
};

}  // namespace dovoviza::test
