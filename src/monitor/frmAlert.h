#pragma once
// The new-item alert: one topmost window for each entry the monitor reports,
// with Allow, Disable and Delete. Each window keeps its own copy of its entry
// and acts on that one only, whatever happens to the main list meanwhile.

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "catalogue/MainList.h"
#include "history/Journal.h"
#include "language/Texts.h"
#include "monitor/AlertEntry.h"
#include "platform/Platform.h"
#include "platform/Prompt.h"

// Its window class and controls; tests that drive the program find them by these.
namespace dovoviza::ids {

inline constexpr const wchar_t* kAlertClass = L"dovovizaAlert";

// Controls of the alert window.
constexpr int kAlertHeading = 2001;     // "Alert!"
constexpr int kAlertSubHeading = 2002;  // "New startup item detected!"
constexpr int kAlertIcon = 2003;
constexpr int kAlertSectionCaption = 2004;
constexpr int kAlertSection = 2005;
constexpr int kAlertNameCaption = 2006;
constexpr int kAlertName = 2007;
constexpr int kAlertValueCaption = 2008;
constexpr int kAlertValue = 2009;
constexpr int kAlertDetails = 2010;     // the File Details link
constexpr int kAlertAllow = 2011;       // standard Buttons with their captions
constexpr int kAlertDisable = 2012;
constexpr int kAlertDelete = 2013;
constexpr int kAlertPicture = 2014;
constexpr int kAlertPreviousCaption = 2015;  // "Replaces:", shown when the name had another command
constexpr int kAlertPrevious = 2016;

}  // namespace dovoviza::ids

namespace dovoviza {

class frmAlert;

// What every alert window works with.
struct AlertContext {
    const Platform& platform;
    ITexts& texts;
    IPrompt& prompt;
    MainList& list;
    std::function<void()> listChanged;
    IJournal* journal = nullptr;
};

// Owns the open alert windows: a new one for every alert raised, several at
// once. All of them close when this goes, so it must not be destroyed from
// inside one of their handlers (a message box of an alert runs a nested loop).
class AlertWindows : public IAlertSink {
public:
    // `listChanged` is called after an alert's Disable or Delete reloaded the
    // main list (after No too: the list is reloaded then as well).
    AlertWindows(const Platform& platform, ITexts& texts, IPrompt& prompt, MainList& list,
                 std::function<void()> listChanged, IJournal* journal = nullptr);
    ~AlertWindows() override;
    AlertWindows(const AlertWindows&) = delete;
    AlertWindows& operator=(const AlertWindows&) = delete;

    // Opens a new alert window for the entry; the ones already open stay.
    void RaiseAlert(const AlertEntry& entry) override;

private:
    void DropClosed();

    AlertContext context_;
    std::vector<std::unique_ptr<frmAlert>> windows_;
};

}  // namespace dovoviza
