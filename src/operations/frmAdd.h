#pragma once
// The create/edit dialog: a modeless window over the EntryEditor model. There
// is one of it; showing it while it is open brings the open one forward.

#include <windows.h>

#include <functional>

#include "operations/EntryEditor.h"
#include "platform/win32/Handles.h"
#include "platform/win32/DialogWindow.h"

// Its window class and controls; tests that drive the program find them by these.
namespace dovoviza::ids {

inline constexpr const wchar_t* kAddClass = L"dovovizaAdd";

// Controls of the create/edit dialog.
constexpr int kAddNameLabel = 3001;
constexpr int kAddName = 3002;
constexpr int kAddValueLabel = 3003;
constexpr int kAddValue = 3004;
constexpr int kAddBrowse = 3005;
constexpr int kAddParametersLabel = 3006;
constexpr int kAddParameters = 3007;
constexpr int kAddSectionLabel = 3008;
constexpr int kAddSection = 3009;  // a drop-down list (ComboBox)
constexpr int kAddOk = 1;      // IDOK: Enter presses it
constexpr int kAddCancel = 2;  // IDCANCEL: Escape presses it

}  // namespace dovoviza::ids

namespace dovoviza {

class frmAdd final : public win32::DialogWindow {
public:
    // `saved` is called after an entry was written and the dialog closed. The
    // dialog stays above `owner` and has no task bar button of its own when
    // one is given.
    frmAdd(const OperationContext& context, std::function<void()> saved, HWND owner = nullptr);

    // Opens the dialog empty, for a new entry; an open dialog keeps its
    // content and mode and comes to the front.
    void ShowNew();
    // Fills the dialog from the selected row for editing. Nothing happens when
    // the row cannot be edited.
    void ShowEdit();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInit() override;
    void OnCommand(int id, int code) override;
    void OnOk() override;

private:
    SIZE Layout();
    void Fill();
    void Collect();
    void UpdateParameters();
    void FocusName(bool selectAll);

    void OnBrowse();

    OperationContext context_;
    EntryEditor editor_;
    std::function<void()> saved_;
    win32::UniqueHFont font_;
};

}  // namespace dovoviza
