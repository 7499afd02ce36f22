#pragma once
// A test world with the texts the item operations, the entry editor and the
// alert show, and two inspection helpers: the message boxes shown, and a
// snapshot of every startup store (equal snapshots: nothing was changed).

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/StartupLocation.h"
#include "operations/ItemOperations.h"
#include "support/TestWorld.h"

namespace dovoviza::test {

inline const std::string kRunKey = TestWorld::kUserRun;
inline const std::string kRunDisabledKey = TestWorld::kUserRunDisabled;
inline const std::string kWowRunKey =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kUserRunSection = "Registry -> User Run";
inline const std::string kUserFolder = "Startup Folder -> User";
inline const std::string kCommonFolder = "Startup Folder -> Common";
inline const std::string kTitle = "Varnek Ruvazuv Avuzuza";

// Each box as "text | caption | style".
inline std::vector<std::string> Shown(const ScriptedPrompt& prompt) {
    std::vector<std::string> shown;
    for (const PromptCall& call : prompt.calls) {
        shown.push_back(call.text + " | " + call.caption + " | " + std::to_string(call.style));
    }
    return shown;
}

// Every value (hive, key, exact name, type, bytes) of every live and disabled
// registry store, and every file (name, bytes) of the four Startup folders, sorted.
inline std::string Snapshot(const TestWorld& w) {
    std::vector<std::string> lines;
    for (const StartupLocation& location : StartupLocations()) {
        if (!location.IsRegistry()) continue;
        for (const bool disabled : {false, true}) {
            const std::string key(location.StoreKey(disabled));
            for (const std::string& name : w.registry.ValueNames(location.hive, key)) {
                const auto value = w.registry.GetValue(location.hive, key, name);
                lines.push_back(std::to_string(static_cast<int>(location.hive)) + "\\" + key + "|" +
                                value->name + "|" + std::to_string(value->type) + "|" +
                                std::string(value->data.begin(), value->data.end()));
            }
        }
    }
    for (std::string folder : {w.folders.user, w.folders.userDisabled, w.folders.common,
                               w.folders.commonDisabled}) {
        if (folder.back() != '\\') folder += '\\';
        for (const std::string& file : w.files.AllFiles(folder)) {
            lines.push_back(folder + file + "|" + w.files.Content(folder + file));
        }
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// An icon list that runs something while a main-list load is under way, as a
// window message handled during a load would.
class HookedIconList : public IIconList {
public:
    void Clear() override {}
    int AddFileIcon(const std::string&) override {
        if (hook) hook();
        return 0;
    }
    int Count() const override { return 0; }
    std::function<void()> hook;
};

struct OpsWorld : TestWorld {
    OpsWorld() {
        const char* const table[][3] = {
            {"Main", "38", "enable first"},   {"Main", "39", "Edit Startup Item"},
            {"Main", "40", "already disabled"}, {"Main", "41", "already enabled"},
            {"Main", "42", "Delete registry item?"}, {"Main", "43", "Delete folder item?"},
            {"Main", "50", "target exists"},  {"Main", "51", "not moved"},
            {"Main", "52", "not deleted"},    {"Main", "53", "not started"},
            {"Main", "58", "not moved"},
            {"Add", "1", "Create New Startup Item"}, {"Add", "2", "Name:"},
            {"Add", "3", "Value:"},           {"Add", "4", "Section:"},
            {"Add", "8", "Select Program"},   {"Add", "9", "need name and value"},
            {"Add", "10", "Cannot Save Item"}, {"Add", "11", "need section"},
            {"Add", "12", "replace?"},        {"Add", "13", "Item Already Exists"},
            {"Add", "14", "no program file"}, {"Add", "15", "no WOW64 key"},
            {"Add", "16", "not saved"},       {"Add", "17", "old kept"},
            {"Alert", "10", kNotFound},       {"Alert", "11", "Delete registry item?"},
            {"Alert", "12", "Delete folder item?"}, {"Alert", "13", "File:"},
        };
        for (const auto& text : table) texts.Set(text[0], text[1], text[2]);
    }

    // The row of an entry as the list shows it now.
    std::optional<std::size_t> RowOf(const std::string& name, const std::string& section,
                                     bool disabled = false) const {
        for (std::size_t i = 0; i < list.Rows().size(); ++i) {
            const StartupItem& row = list.Rows()[i];
            if (row.Name() == name && row.Section() == section && row.IsDisabled() == disabled)
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
    // The status of the first row of that name and Section.
    std::string Status(const std::string& name, const std::string& section) const {
        for (const StartupItem& row : list.Rows()) {
            if (row.Name() == name && row.Section() == section) return row.Status();
        }
        return "<no row>";
    }
    std::optional<std::string> Live(const std::string& name) const {
        return registry.GetString(Hive::CurrentUser, kRunKey, name);
    }
    std::optional<std::string> Parked(const std::string& name) const {
        return registry.GetString(Hive::CurrentUser, kRunDisabledKey, name);
    }
    std::string UserLink(const std::string& file) const { return folders.user + "\\" + file; }
    std::string UserTwin(const std::string& file) const { return folders.userDisabled + file; }

    OperationContext context{platform, texts, prompt, list};
};

class OperationsBench : public ::testing::Test, public OpsWorld {};

}  // namespace dovoviza::test
