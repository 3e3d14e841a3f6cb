#pragma once

#include "HalvixPanelWindow.h"
#include "PanelModel.h"
#include "hvif/HalvixInterface.h"

#include <memory>
#include <vector>

class HvIfCallback;

// A loaded control panel: its model, the windows it opened, and the way to
// the program's callback for the messages its controls send. Every panel
// alive takes the board's System Exclusive answers for its meters.
class HalvixPanel : public HvIfPanel
{
public:
    // Makes the view of a new window; installed by the library's window side.
    using ViewFactory = std::unique_ptr<HalvixPanelWindow::View> (*) (HalvixPanel& panel, HalvixPanelWindow& window);

    // Its windows open where the last window of the same place stood.
    HalvixPanel (std::unique_ptr<PanelModel> model, HvIfCallback* callback,
                 std::shared_ptr<HalvixWindowPlace> windowPlace = std::make_shared<HalvixWindowPlace>());
    ~HalvixPanel() override;

    // A window showing the panel. Views are made on the message thread only;
    // elsewhere the window has none.
    HvIfPanelWindow* createWindow (void* nativeParent) override;

    // Deletes the panel with its windows.
    void release() override;

    // The first value control: the controls follow in text order with the
    // values the panel shows.
    HvIfControlItem* getFirstControlItem (const char* presetName) override;

    PanelModel& getModel() noexcept { return *model; }
    HalvixWindowPlace& getWindowPlace() const noexcept { return *windowPlace; }
    const juce::String& getTitle() const noexcept { return model->getTitle(); }

    // Sets a control's value and sends its message, as moving the control
    // does, and tells the program the value changed.
    void changeValue (PanelControl& control, uint32_t value);

    // Finds the control by name first; false when there is none.
    bool changeValue (const juce::String& controlName, uint32_t value);

    int getWindowCount() const noexcept { return (int) windows.size(); }
    HalvixPanelWindow* getWindow (int index) const noexcept;

    void reportClosed (HalvixPanelWindow& window);

    // Hands a System Exclusive message from the board to every panel alive.
    // Safe on any thread.
    static void receiveSysExInEveryPanel (const uint8_t* data, int length);

    static void setViewFactory (ViewFactory factory) noexcept;

private:
    std::unique_ptr<PanelModel> model;
    HvIfCallback* callback = nullptr;
    std::shared_ptr<HalvixWindowPlace> windowPlace;
    std::vector<std::unique_ptr<HalvixPanelWindow>> windows;
};
