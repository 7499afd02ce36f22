#pragma once
// The new-item alert: one topmost window for each entry the monitor reports,
// with Allow, Disable and Delete. Each window keeps its own copy of its entry
// and acts on that one only, whatever happens to the main list meanwhile.

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "catalogue/MainList.h"
#include "language/Texts.h"
#include "monitor/AlertEntry.h"
#include "platform/Platform.h"
#include "platform/Prompt.h"

namespace dovoviza {

class frmAlert;

// What every alert window works with.
struct AlertContext {
    const Platform& platform;
    ITexts& texts;
    IPrompt& prompt;
    MainList& list;
    std::function<void()> listChanged;
};

// Owns the open alert windows: a new one for every alert raised, several at
// once. All of them close when this goes, so it must not be destroyed from
// inside one of their handlers (a message box of an alert runs a nested loop).
class AlertWindows : public IAlertSink {
public:
    // `listChanged` is called after an alert's Disable or Delete reloaded the
    // main list (after No too: the list is reloaded then as well).
    AlertWindows(const Platform& platform, ITexts& texts, IPrompt& prompt, MainList& list,
                 std::function<void()> listChanged);
    ~AlertWindows() override;
    AlertWindows(const AlertWindows&) = delete;
    AlertWindows& operator=(const AlertWindows&) = delete;

    // Opens a new alert window for the entry; the ones already open stay.
    void RaiseAlert(const AlertEntry& entry) override;

    // The alert windows open now.
    std::size_t OpenCount() const;

private:
    void DropClosed();

    AlertContext context_;
    std::vector<std::unique_ptr<frmAlert>> windows_;
};

}  // namespace dovoviza
