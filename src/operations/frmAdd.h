#pragma once
// The create/edit dialog: a modeless window over the EntryEditor model. There
// is one of it; showing it while it is open brings the open one forward.

#include <windows.h>

#include <functional>

#include "operations/EntryEditor.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Window.h"

namespace dovoviza {

class frmAdd final : public win32::Window {
public:
    // `saved` is called after an entry was written and the dialog closed. The
    // dialog stays above `owner` and has no task bar button of its own when
    // one is given.
    frmAdd(const OperationContext& context, std::function<void()> saved, HWND owner = nullptr);
    ~frmAdd() override;

    // The window the dialog belongs to from its next opening on.
    void SetOwner(HWND owner) { owner_ = owner; }

    // Opens the dialog empty, for a new entry; an open dialog keeps its
    // content and mode and comes to the front.
    void ShowNew();
    // Fills the dialog from the selected row for editing. Nothing happens when
    // the row cannot be edited.
    void ShowEdit();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Build();
    SIZE Layout();
    void Fill();
    void Collect();
    void UpdateParameters();
    void ShowAndActivate();
    void FocusName(bool selectAll);

    void OnCommand(int id, int code);
    void OnOk();
    void OnBrowse();
    void Close();

    HWND Item(int id) const { return GetDlgItem(Handle(), id); }

    OperationContext context_;
    EntryEditor editor_;
    std::function<void()> saved_;
    HWND owner_;
    bool busy_ = false;
    win32::FocusKeeper focus_;
    win32::UniqueHFont font_;
};

}  // namespace dovoviza
