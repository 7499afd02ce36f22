#pragma once
// A test world with the texts the operations, the entry editor and the alert
// show, the boxes shown, and a snapshot of every store (equal: nothing changed).

#include <gtest/gtest.h>

#include <functional>
#include <set>

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
inline const std::string kTitle = "Varnek Ruvazuv Avuzuza";

// Each box as "text | caption | style".
inline std::vector<std::string> Shown(const ScriptedPrompt& prompt) {
    std::vector<std::string> shown;
    for (const PromptCall& c : prompt.calls) {
        shown.push_back(c.text + " | " + c.caption + " | " + std::to_string(c.style));
    }
    return shown;
}

// Every value (hive, key, exact name, type, bytes) of every live and disabled
// registry store, and every file (name, bytes) of the four Startup folders.
inline std::string Snapshot(const TestWorld& w) {
    std::set<std::string> lines;
    for (const StartupLocation& location : StartupLocations()) {
        if (!location.IsRegistry()) continue;
        for (const bool disabled : {false, true}) {
            const std::string key(location.StoreKey(disabled));
            for (const std::string& name : w.registry.ValueNames(location.hive, key)) {
                const auto v = w.registry.GetValue(location.hive, key, name);
                lines.insert(std::to_string(static_cast<int>(location.hive)) + "\\" + key + "|" +
                             v->name + "|" + std::to_string(v->type) + "|" +
                             std::string(v->data.begin(), v->data.end()));
            }
        }
    }
    for (std::string folder : {w.folders.user, w.folders.userDisabled, w.folders.common,
                               w.folders.commonDisabled}) {
        if (folder.back() != '\\') folder += '\\';
        for (const std::string& file : w.files.AllFiles(folder)) {
            lines.insert(folder + file + "|" + w.files.Content(folder + file));
        }
    }
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// An icon list that runs something during a list load, as a window message would.
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
            {"Main", "38", "enable first"}, {"Main", "39", "Edit Startup Item"},
            {"Main", "40", "already disabled"}, {"Main", "41", "already enabled"},
            {"Main", "42", "Delete registry item?"}, {"Main", "43", "Delete folder item?"},
            {"Main", "50", "target exists"}, {"Main", "51", "not moved"},
            {"Main", "52", "not deleted"}, {"Main", "53", "not started"}, {"Main", "58", "not moved"},
            {"Add", "1", "Create New Startup Item"}, {"Add", "2", "Name:"}, {"Add", "3", "Value:"},
            {"Add", "4", "Section:"}, {"Add", "8", "Select Program"},
            {"Add", "9", "need name and value"}, {"Add", "10", "Cannot Save Item"},
            {"Add", "11", "need section"}, {"Add", "12", "replace?"},
            {"Add", "13", "Item Already Exists"}, {"Add", "14", "no program file"},
            {"Add", "15", "no WOW64 key"}, {"Add", "16", "not saved"}, {"Add", "17", "old kept"},
            {"Alert", "10", kNotFound}, {"Alert", "11", "Delete registry item?"},
            {"Alert", "12", "Delete folder item?"}, {"Alert", "13", "File:"},
        };
        for (const auto& text : table) texts.Set(text[0], text[1], text[2]);
    }

    std::optional<std::string> Live(const std::string& name) const {
        return registry.GetString(Hive::CurrentUser, kRunKey, name);
    }
    std::optional<std::string> Parked(const std::string& name) const {
        return registry.GetString(Hive::CurrentUser, kRunDisabledKey, name);
    }
    std::string UserLink(const std::string& file) const { return folders.user + "\\" + file; }
};

}  // namespace dovoviza::test
