#include "operations/EntryEditor.h"

#include "catalogue/EntryStore.h"
#include "catalogue/FileDetails.h"
#include "catalogue/RegistryAccess.h"
#include "operations/CommandLine.h"
#include "platform/Text.h"

namespace dovoviza {

namespace {

constexpr std::string_view kBrowseFilter = "Executable File (*.exe)|*.exe|All Files (*.*)|*.*";

const StartupLocation* ChosenLocation(int index) {
    if (index < 0 || index >= static_cast<int>(kLocationCount)) return nullptr;
    return SectionChoices()[static_cast<std::size_t>(index)];
}

// The registry data of a program and its parameters.
std::string JoinCommand(const std::string& program, const std::string& parameters) {
    if (parameters.empty()) return program;
    return "\"" + program + "\" " + parameters;
}

bool IsWow64Section(const StartupLocation& location) {
    return location.section.ends_with("(WOW64)");
}

}  // namespace

const std::array<const StartupLocation*, kLocationCount>& SectionChoices() {
    // Positions in the location table, in the dialog's order.
    static constexpr std::array<std::size_t, kLocationCount> kOrder{4, 6, 0, 2, 9, 8, 5, 7, 1, 3};
    static const auto choices = [] {
        std::array<const StartupLocation*, kLocationCount> result{};
        for (std::size_t i = 0; i < kLocationCount; ++i) result[i] = &StartupLocations()[kOrder[i]];
        return result;
    }();
    return choices;
}

int SectionChoiceIndex(const StartupLocation* location) {
    const auto& choices = SectionChoices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (location != nullptr && choices[i] == location) return static_cast<int>(i);
    }
    return -1;
}

int SectionChoiceIndex(std::string_view section) { return SectionChoiceIndex(FindLocation(section)); }

void EntryEditor::Reset() {
    fields = EditorFields{};
    mode_ = EditorMode::New;
    edited_ = EditedEntry{};
}

std::string EntryEditor::Text(const TextKey& key) const { return context_.texts.Get(key); }

void EntryEditor::Tell(const TextKey& key, const std::string& caption, int style) const {
    context_.prompt.Show(Text(key), caption, style);
}

bool EntryEditor::OpenForEdit() {
    const MainList& list = context_.list;
    if (list.RowCount() == 0) return false;
    const StartupItem* selected = list.Selected();
    if (selected == nullptr) return false;
    if (selected->IsDisabled()) {
        Tell(lang::kDisabledNotEditable, Text(lang::kEditCaption), MsgStyle::Exclamation);
        return false;
    }
    if (!IsTextType(selected->valueType)) {
        // Saving would write the shown rendering over the stored data.
        context_.prompt.Show(FillIn(Text(lang::kNotTextNotEditable), {RegTypeName(selected->valueType)}),
                             Text(lang::kEditCaption), MsgStyle::Exclamation);
        return false;
    }
    const StartupItem row = *selected;

    mode_ = EditorMode::Edit;
    edited_ = EditedEntry{row.Name(), row.storedName, row.Value(), row.location};
    fields.name = row.Name();
    fields.value = row.Value();
    // Parameters come from this row only, not from whatever the dialog held.
    fields.parameters.clear();

    // A Startup folder shortcut is edited as its target. A registry command
    // that merely names a .lnk file is a command like any other.
    const StartupLocation* location = row.location;
    if (location != nullptr && !location->IsRegistry() &&
        EndsWithAsciiNoCase(row.Value(), ".lnk")) {
        fields.value =
            context_.platform.shell.ReadShortcutTarget(row.Value()).value_or(std::string());
        fields.name = LeftChars(row.Name(), CharCount(row.Name()) - 4);
    }
    // The split into program and parameters is shown only when OK would write
    // the command back as it was; otherwise ("app.exe -x", "rundll32.exe
    // lib.dll,Entry", a shortcut named "App.exe.lnk") it would cut off part of
    // the command, and the whole command stays in the Value field.
    const CommandParts parts = SplitCommandForEdit(fields.value, row.Value());
    if (JoinCommand(parts.program, parts.parameters) == fields.value) {
        fields.value = parts.program;
        fields.parameters = parts.parameters;
    }
    fields.section = SectionChoiceIndex(row.location);
    return true;
}

std::string EntryEditor::Caption() const {
    return mode_ == EditorMode::New ? Text(lang::kAddCaption) : Text(lang::kEditCaption);
}

bool EntryEditor::ParametersEnabled() const {
    const StartupLocation* location = ChosenLocation(fields.section);
    return location == nullptr || location->IsRegistry();
}

BrowseRequest EntryEditor::Browse() const {
    return BrowseRequest{Text(lang::kAddBrowseTitle), context_.platform.system.ProgramFolder(),
                         std::string(kBrowseFilter), true};
}

void EntryEditor::BrowseChosen(const std::string& path) {
    if (!path.empty()) fields.value = path;
}

std::string EntryEditor::RegistryData() const {
    return JoinCommand(fields.value, fields.parameters);
}

std::string EntryEditor::ShortcutPath(const StartupLocation& location) const {
    const std::string& folder = context_.list.Folders().Enabled(location.folder);
    if (folder.empty()) return {};
    return folder + "\\" + fields.name + ".lnk";
}

bool EntryEditor::WowKeyMissing(const StartupLocation& location) const {
    return IsWow64Section(location) && !RegKeyExists(context_.platform.registry, location.hive,
                                                     std::string(location.enabledKey));
}

bool EntryEditor::AskIfDuplicate() const {
    const StartupLocation& location = *ChosenLocation(fields.section);
    ISystem& system = context_.platform.system;
    const std::string name = system.ToUpper(fields.name);
    const std::string shortcutName = system.ToUpper(fields.name + ".lnk");
    const auto sameName = [&](const std::string& text) {
        const std::string upper = system.ToUpper(text);
        return upper == name || (!location.IsRegistry() && upper == shortcutName);
    };

    bool duplicate = false;
    for (const StartupItem& row : context_.list.Rows()) {
        // The real name counts too: a name typed with leading blanks replaces
        // the value whose listed name lost them.
        if (!row.IsDisabled() && row.location == &location &&
            (sameName(row.Name()) || sameName(row.storedName))) {
            duplicate = true;
            break;
        }
    }
    // The list may not show it yet (nothing reloads after a save), but the
    // write would still replace it.
    if (!duplicate) {
        if (location.IsRegistry()) {
            duplicate = ReadRegValue(context_.platform.registry, location.hive,
                                     std::string(location.enabledKey), fields.name)
                            .has_value();
        } else {
            const std::string path = ShortcutPath(location);
            duplicate = !path.empty() && context_.platform.files.GetDetails(path).has_value();
        }
    }
    if (!duplicate) return true;
    return context_.prompt.Show(Text(lang::kAddReplaceQuestion), Text(lang::kAddAlreadyExists), MsgStyle::ExclamationYesNo) ==
           kAnswerYes;
}

bool EntryEditor::WriteNew(const StartupLocation& location, std::string& writtenShortcut) const {
    const Platform& platform = context_.platform;
    if (location.IsRegistry()) {
        // An edited expandable command stays expandable; a plain string
        // would stop "%ProgramFiles%" and the like from working at logon.
        std::uint32_t type = RegType::String;
        if (mode_ == EditorMode::Edit) {
            const StartupLocation* old = edited_.location;
            if (old != nullptr && old->IsRegistry()) {
                const auto value = ReadRegValue(platform.registry, old->hive,
                                                std::string(old->enabledKey), edited_.storedName);
                if (value && value->type == RegType::ExpandString) type = RegType::ExpandString;
            }
        }
        return WriteRegValue(platform.registry, location.hive, std::string(location.enabledKey),
                             RegValue{fields.name, type, EncodeUtf16LeWithNul(RegistryData())});
    }

    ShortcutInfo shortcut;
    shortcut.path = ShortcutPath(location);
    if (shortcut.path.empty()) return false;
    shortcut.target = fields.value;
    // In a normal window: a program the user starts at logon should be seen,
    // and a hidden one could not be closed.
    shortcut.showCommand = ShowCommand::Normal;
    shortcut.iconFile = fields.value;
    shortcut.iconIndex = 0;
    writtenShortcut = shortcut.path;
    return platform.shell.WriteShortcut(shortcut);
}

bool EntryEditor::IsOldEntry(const StartupLocation& location,
                             const std::string& writtenShortcut) const {
    ISystem& system = context_.platform.system;
    const StartupLocation* old = edited_.location;
    if (old == nullptr) return false;
    if (old->IsRegistry()) {
        // The registry matches names without regard to case: the write
        // replaced the old value in place.
        return old == &location &&
               system.ToUpper(edited_.storedName) == system.ToUpper(fields.name);
    }
    return !writtenShortcut.empty() &&
           system.ToUpper(
               EntryFilePath(context_.list.Folders(), EntryRef{old, false, edited_.storedName})) ==
               system.ToUpper(writtenShortcut);
}

SaveResult EntryEditor::Save() {
    if (fields.name.empty() || fields.value.empty()) {
        Tell(lang::kAddNameAndValueNeeded, Text(lang::kAddCannotSave), MsgStyle::Critical);
        return SaveResult::Stay;
    }
    const StartupLocation* location = ChosenLocation(fields.section);
    if (location == nullptr) {
        Tell(lang::kAddSectionNeeded, Text(lang::kAddCannotSave), MsgStyle::Critical);
        return SaveResult::Stay;
    }
    if (!AskIfDuplicate()) return SaveResult::Stay;

    const std::string title(kAppTitle);
    if (WowKeyMissing(*location)) {
        Tell(lang::kAddKeyMissing, title, MsgStyle::Exclamation);
        return SaveResult::Stay;
    }
    // An edit keeps the target it already had, even one that is gone now.
    if (mode_ == EditorMode::New && !location->IsRegistry() &&
        !FileExist(context_.platform.files, fields.value)) {
        Tell(lang::kAddProgramMissing, Text(lang::kAddCannotSave), MsgStyle::Critical);
        return SaveResult::Stay;
    }

    // The new entry first: the old one goes only once its replacement is in place.
    std::string writtenShortcut;
    if (!WriteNew(*location, writtenShortcut)) {
        Tell(lang::kAddSaveFailed, Text(lang::kAddCannotSave), MsgStyle::Critical);
        return SaveResult::Stay;
    }

    if (mode_ == EditorMode::Edit && !IsOldEntry(*location, writtenShortcut)) {
        const StartupLocation* old = edited_.location;
        // Only a Startup folder's own shortcut is replaced; any other file
        // there is the user's program or script itself.
        const bool replaceable =
            old != nullptr &&
            (old->IsRegistry() || EndsWithAsciiNoCase(edited_.storedName, ".lnk"));
        if (replaceable) {
            const Platform& platform = context_.platform;
            const StartupFolderPaths& folders = context_.list.Folders();
            if (!DeleteEntryOrGone(platform, folders, EntryRef{old, false, edited_.storedName})) {
                Tell(lang::kAddOldKept, title, MsgStyle::Exclamation);
            }
        }
    }
    const std::string written = location->IsRegistry()
                                    ? fields.name
                                    : writtenShortcut.substr(writtenShortcut.find_last_of('\\') + 1);
    Note(context_.journal, RecordOf(context_.platform, context_.list.Folders(), EntryRef{location, false, written},
                                    mode_ == EditorMode::New ? "created" : "edited"));
    Reset();
    return SaveResult::Close;
}

}  // namespace dovoviza
