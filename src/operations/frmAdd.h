#pragma once
// The create/edit dialog: a modeless window over the EntryEditor model. There
// is one of it; showing it while it is open brings the open one forward.

#include <windows.h>

#include <functional>

#include "operations/EntryEditor.h"
#include "platform/win32/Handles.h"
#include "platform/win32/DialogWindow.h"

namespace dovoviza {

class frmAdd final : public win32::DialogWindow {
public:
    // `saved` is called after an entry was written and the dialog closed. The
    // dialog stays above `owner` and has no task bar button of its own when
    // one is given.
    frmAdd(const OperationContext& context, std::function<void()> saved, HWND owner = nullptr);
    ~frmAdd() override;

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
    void FocusName(bool selectAll);

    void OnCommand(int id, int code);
    void OnOk();
    void OnBrowse();
    void Close();

    OperationContext context_;
    EntryEditor editor_;
    std::function<void()> saved_;
    bool busy_ = false;
    win32::UniqueHFont font_;
};

}  // namespace dovoviza
