#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The rubber-band rectangle of a lasso selection over a process graph. The
// process editor creates it on a drag over the background, moves its corner
// with the mouse, selects the boxes it intersects and removes it on release.
class SelectorComponent : public juce::Component, public juce::SettableTooltipClient
{
public:
    static constexpr juce::uint32 defaultColour = 0xFFADD8E6;

    // What the lasso hands its own mouse events to.
    class Owner
    {
    public:
        virtual ~Owner() = default;
        virtual void beginLasso (const juce::MouseEvent& e) = 0;
        virtual void dragLasso (const juce::MouseEvent& e) = 0;
        virtual void endLasso (const juce::MouseEvent& e) = 0;
    };

    explicit SelectorComponent (Owner* owner = nullptr);
    ~SelectorComponent() override;

    // Both corners at the point / the moving corner to the point (owner
    // coordinates); the bounds follow.
    void begin (float x, float y);
    void moveTo (float x, float y);

    juce::Rectangle<float> getArea() const noexcept;

    // The lasso's bounds and the component's bounds intersect.
    bool intersects (const juce::Component& component) const;

    void setLassoActive (bool active) noexcept { lassoActive = active; }
    bool isLassoActive() const noexcept { return lassoActive; }
    void setInProcessEditor (bool isIn) noexcept { inProcessEditor = isIn; }
    bool isInProcessEditor() const noexcept { return inProcessEditor; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool hitTest (int x, int y) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void updateBounds();
    void buildPaths();

    juce::Point<float> anchorCorner, movingCorner;
    juce::Path drawnPath, hitPath;
    bool dragging = false;
    Owner* owner;
    bool lassoActive = false;
    juce::Colour colour{ defaultColour };
    bool inProcessEditor = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SelectorComponent)
};
