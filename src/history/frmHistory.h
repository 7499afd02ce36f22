#pragma once
// The History window: the journal newest first, and Restore for an entry that
// was deleted or a copy the watchdog removed.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "history/Journal.h"
#include "history/Restore.h"
#include "language/Texts.h"
#include "platform/Prompt.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/Handles.h"

namespace dovoviza::ids {

inline constexpr const wchar_t* kHistoryClass = L"dovovizaHistory";
constexpr int kHistoryList = 6001;
constexpr int kHistoryRestore = 6002;
constexpr int kHistoryClose = 2;  // IDCANCEL: Escape presses it

}  // namespace dovoviza::ids

namespace dovoviza {

struct HistoryContext {
    const Platform& platform;
    ITexts& texts;
    IPrompt& prompt;
    Journal& journal;
    const StartupFolderPaths& folders;
    std::function<void()> restored;  // after an entry came back: the main list reloads
};

// The message for a restore that did not happen; empty for one that did.
std::string RestoreMessage(ITexts& texts, RestoreResult result, const JournalRecord& record);

class frmHistory final : public win32::DialogWindow {
public:
    frmHistory(HistoryContext context, HWND owner);

    // Opens the window with the journal as it is now, or brings it to the front.
    void Show();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInit() override;
    void OnCommand(int id, int code) override;
    void OnOk() override { RestoreSelected(); }
    int DefaultButton() const override { return ids::kHistoryRestore; }

private:
    void Reread();
    void RestoreSelected();
    void EnableRestore();
    int Selected() const;

    HistoryContext context_;
    std::vector<JournalRecord> records_;
    std::wstring shown_;  // the text a list cell asked for, kept while the list reads it
    win32::UniqueHFont font_;
};

}  // namespace dovoviza
