#pragma once
// The language dialog: pick one of the languages found beside the program,
// see its own texts and translator, and Apply it for the next start.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "language/LanguageChoice.h"
#include "platform/Platform.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MessageBoxPrompt.h"

namespace dovoviza {

class frmLanguage final : public win32::DialogWindow {
public:
    // `storedName` reads the language name kept in the settings; `store`
    // writes a new one and says whether the settings took it.
    frmLanguage(const Platform& platform, const std::string& currentLanguageFile,
                std::function<std::string()> storedName,
                std::function<bool(const std::string&)> store, HWND owner = nullptr);
    ~frmLanguage() override;

    // Opens the dialog with the list read afresh and the stored language
    // picked; an open dialog comes to the front as it is.
    void Show();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Build();
    void ShowPreview();
    SIZE Layout();
    void OnCommand(int id, int code);
    void OnLink(int id);
    void OnApply();

    const Platform& platform_;
    LanguageChoice choice_;
    std::function<std::string()> storedName_;
    std::function<bool(const std::string&)> store_;
    win32::MessageBoxPrompt prompt_;
    win32::UniqueHFont font_;
    bool busy_ = false;
};

}  // namespace dovoviza
