#pragma once

#include "hvif/HalvixInterface.h"

#include <memory>

class HalvixPanel;

// Where the last window of a panel object's panels stood, for the next one
// to open there: a panel built again (a preset loaded, say) stays where the
// user put it. Message thread only.
struct HalvixWindowPlace
{
    int x = 0, y = 0, width = 0, height = 0;
    // The size the panel's controls asked for: another size, another place's size.
    int wantedWidth = 0, wantedHeight = 0;

    // False until a window has stood there (no window is ever 0 wide).
    bool isKnown() const noexcept { return width > 0; }
};

// The handle of one window of a panel, as the program holds it. The window on
// screen (the view) is made by the library's window side; without one (in a
// test, or off the message thread) the handle stands alone. The handle stays
// valid until its panel is released, so the program may close it late, and
// closing it again does nothing.
class HalvixPanelWindow : public HvIfPanelWindow
{
public:
    // What shows the window on screen; deleted when the window is closed.
    class View
    {
    public:
        virtual ~View() = default;

        virtual void bringToFront() {}
    };

    HalvixPanelWindow (HalvixPanel& owner, void* nativeParent) noexcept : panel (owner), parent (nativeParent) {}

    // Deletes the view at once: the program calls it on the message thread.
    void close() override
    {
        closed = true;
        view.reset();
    }

    void bringToFront() override
    {
        if (view != nullptr)
            view->bringToFront();
    }

    bool isClosed() const noexcept { return closed; }
    void* getNativeParent() const noexcept { return parent; }
    HalvixPanel& getPanel() const noexcept { return panel; }

    void setView (std::unique_ptr<View> newView) { view = std::move (newView); }
    View* getView() const noexcept { return view.get(); }

    // The user closed the window: the program is told, and closes it.
    void reportClosedByUser();

private:
    HalvixPanel& panel;
    void* parent = nullptr;
    bool closed = false;
    bool reported = false;
    std::unique_ptr<View> view;
};
