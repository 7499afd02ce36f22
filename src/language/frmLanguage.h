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

// Its window class and controls; tests that drive the program find them by these.
namespace dovoviza::ids {

inline constexpr const wchar_t* kLanguageClass = L"dovovizaLanguage";

// Controls of the language dialog.
constexpr int kLanguageSelectLabel = 4001;
constexpr int kLanguageList = 4002;  // a drop-down list (ComboBox)
constexpr int kLanguageTranslator = 4003;
constexpr int kLanguageEmail = 4004;  // SysLink controls
constexpr int kLanguageWeb = 4005;
constexpr int kLanguageApply = 1;   // IDOK: Enter presses it
constexpr int kLanguageCancel = 2;  // IDCANCEL: Escape presses it

}  // namespace dovoviza::ids

namespace dovoviza {

class frmLanguage final : public win32::DialogWindow {
public:
    // `storedName` reads the language name kept in the settings; `store`
    // writes a new one and says whether the settings took it.
    frmLanguage(const Platform& platform, const std::string& currentLanguageFile,
                std::function<std::string()> storedName,
                std::function<bool(const std::string&)> store, HWND owner = nullptr);

    // Opens the dialog with the list read afresh and the stored language
    // picked; an open dialog comes to the front as it is.
    void Show();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInit() override;
    void OnCommand(int id, int code) override;
    // Apply.
    void OnOk() override;

private:
    void ShowPreview();
    SIZE Layout();
    void OnLink(int id);

    const Platform& platform_;
    LanguageChoice choice_;
    std::function<std::string()> storedName_;
    std::function<bool(const std::string&)> store_;
    win32::MessageBoxPrompt prompt_;
    win32::UniqueHFont font_;
};

}  // namespace dovoviza
