#include "HalvixPanel.h"

#include "hvif/HvIfCallback.h"

#include <juce_events/juce_events.h>

#include <algorithm>
#include <mutex>

namespace
{
// The panels alive, for the board's answers that arrive on the MIDI-input
// thread while the message thread makes and deletes panels.
struct PanelRegistry
{
    std::mutex lock;
    std::vector<HalvixPanel*> panels;
};

PanelRegistry& getRegistry()
{
    static PanelRegistry registry;
    return registry;
}

std::atomic<HalvixPanel::ViewFactory> viewFactory{ nullptr };
} // namespace

void HalvixPanelWindow::reportClosedByUser()
{
    // Once per window: the program closes it in answer.
    if (! closed && ! std::exchange (reported, true))
        panel.reportClosed (*this);
}

//==============================================================================
HalvixPanel::HalvixPanel (std::unique_ptr<PanelModel> panelModel, HvIfCallback* cb, std::shared_ptr<HalvixWindowPlace> place)
    : model (std::move (panelModel)), callback (cb), windowPlace (std::move (place))
{
    auto& registry = getRegistry();
    const std::lock_guard<std::mutex> guard (registry.lock);
    registry.panels.push_back (this);
}

HalvixPanel::~HalvixPanel()
{
    {
        auto& registry = getRegistry();
        const std::lock_guard<std::mutex> guard (registry.lock);
        registry.panels.erase (std::remove (registry.panels.begin(), registry.panels.end(), this), registry.panels.end());
    }

    windows.clear();
}

HvIfPanelWindow* HalvixPanel::createWindow (void* nativeParent)
{
    windows.push_back (std::make_unique<HalvixPanelWindow> (*this, nativeParent));
    auto& window = *windows.back();

    // Components belong to the message thread.
    if (auto factory = viewFactory.load(); factory != nullptr && juce::MessageManager::existsAndIsCurrentThread())
        window.setView (factory (*this, window));

    return &window;
}

void HalvixPanel::release()
{
    delete this;
}

HvIfControlItem* HalvixPanel::getFirstControlItem (const char*)
{
    return model->getFirstValueControl();
}

void HalvixPanel::changeValue (PanelControl& control, uint32_t value)
{
    model->changeValue (control, value, callback);

    if (callback != nullptr)
        callback->onValueChanged (this);
}

bool HalvixPanel::changeValue (const juce::String& controlName, uint32_t value)
{
    auto* control = model->findControl (controlName);

    if (control == nullptr)
        return false;

    changeValue (*control, value);
    return true;
}

HalvixPanelWindow* HalvixPanel::getWindow (int index) const noexcept
{
    return index >= 0 && index < getWindowCount() ? windows[(size_t) index].get() : nullptr;
}

void HalvixPanel::reportClosed (HalvixPanelWindow& window)
{
    if (callback != nullptr)
        callback->onPanelClosed (&window);
}

void HalvixPanel::receiveSysExInEveryPanel (const uint8_t* data, int length)
{
    if (data == nullptr || length <= 0)
        return;

    auto& registry = getRegistry();
    const std::lock_guard<std::mutex> guard (registry.lock);

    for (auto* panel : registry.panels)
        panel->model->receiveSysEx (data, length);
}

void HalvixPanel::setViewFactory (ViewFactory factory) noexcept
{
    viewFactory = factory;
}
