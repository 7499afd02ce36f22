#pragma once
// The model behind the create/edit dialog: its fields, how an edit fills them
// from the selected row, and how OK checks and writes the entry. The dialog
// window only copies its controls in and out and shows what this says.

#include <array>
#include <string>
#include <string_view>

#include "operations/ItemOperations.h"

namespace dovoviza {

// The Section drop-down's items, in the dialog's order (Machine, User, the
// Startup folders, then the WOW64 keys); an entry's index here is what the
// edit path selects.
const std::array<const StartupLocation*, kLocationCount>& SectionChoices();

// The index of a location, or of a Section text, in SectionChoices(); -1 for none.
int SectionChoiceIndex(const StartupLocation* location);
int SectionChoiceIndex(std::string_view section);

enum class EditorMode { New, Edit };
enum class SaveResult { Stay, Close };

// What the dialog's visible controls hold.
struct EditorFields {
    std::string name;
    std::string value;
    std::string parameters;
    int section = -1;  // index in SectionChoices(); -1 = nothing chosen
};

// The entry an edit replaces, as its row showed it when the edit began.
struct EditedEntry {
    std::string name;        // the Name column
    std::string storedName;  // the value's or file's real name
    std::string value;       // the Value column
    const StartupLocation* location = nullptr;
};

// The open-file dialog that picks the program.
struct BrowseRequest {
    std::string title;
    std::string initialFolder;
    std::string filter;  // "|"-separated pairs of description and pattern
    bool mustExist = false;  // only an existing file in an existing folder may be chosen
};

class EntryEditor {
public:
    explicit EntryEditor(const OperationContext& context) : context_(context) {}

    // Empty fields in new mode, as a freshly opened dialog.
    void Reset();

    // Fills the fields from the selected row and switches to edit mode. False,
    // with nothing changed, when the list is empty, no row is selected, or the
    // row is disabled (then the user is told).
    bool OpenForEdit();

    EditorMode Mode() const { return mode_; }
    // The dialog's caption for its mode.
    std::string Caption() const;

    // Parameters are not used by the Startup folder Sections.
    bool ParametersEnabled() const;

    BrowseRequest Browse() const;
    // The path the open-file dialog returned; empty (cancelled) changes nothing.
    void BrowseChosen(const std::string& path);

    // Checks the fields and writes the entry. Stay: a message was shown and
    // the dialog keeps its content. Close: the entry was written.
    SaveResult Save();

    EditorFields fields;

private:
    std::string Text(const TextKey& key) const;
    void Tell(const TextKey& key, const std::string& caption, int style) const;
    bool AskIfDuplicate() const;
    bool WowKeyMissing(const StartupLocation& location) const;
    std::string RegistryData() const;
    std::string ShortcutPath(const StartupLocation& location) const;
    bool WriteNew(const StartupLocation& location, std::string& writtenShortcut) const;
    bool IsOldEntry(const StartupLocation& location, const std::string& writtenShortcut) const;

    OperationContext context_;
    EditorMode mode_ = EditorMode::New;
    EditedEntry edited_;
};

}  // namespace dovoviza
