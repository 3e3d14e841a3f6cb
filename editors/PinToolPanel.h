#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

// What the bus editor's tool panel and a DSP page's process tool panel
// share: a column of mode buttons (mode 0 draws connections, the others give
// names to pins), a grid of name buttons, and the state an editor reads when
// a pin is clicked: the mode, the pin side the names fit (1 inputs, 0
// outputs) and the chosen name.
class PinToolPanel : public juce::Component, public juce::Button::Listener
{
public:
    static constexpr int connectorMode = 0;
    static constexpr juce::uint32 modeOffColour = 0xFFFFFFF0;
    static constexpr juce::uint32 gridOffColour = 0xFF9F9F96;
    static constexpr int gridButtonWidth = 50;
    static constexpr int gridButtonHeight = 20;

    ~PinToolPanel() override;

    int getMode() const noexcept { return mode; }
    bool isNamingMode() const noexcept { return mode != connectorMode; }
    uint8_t getDirection() const noexcept { return direction; }
    void setDirection (uint8_t newDirection) noexcept { direction = newDirection; }
    juce::String getSelectedName() const { return selectedName; }
    void setSelectedName (const juce::String& name) { selectedName = name; }

    int getNumModeButtons() const noexcept { return modeButtons.size(); }
    juce::TextButton& getModeButton (int index) const { return *modeButtons[index]; }
    int getNumGridButtons() const noexcept { return gridButtons.size(); }
    juce::TextButton& getGridButton (int index) const { return *gridButtons[index]; }

    void buttonClicked (juce::Button* button) override;

protected:
    PinToolPanel() = default;

    void addModeButton (const juce::String& text, juce::Rectangle<int> bounds, juce::Colour onColour);

    // Buttons of the grid in row order, labelled from the table, joined to
    // their neighbours, all disabled, the first toggled on.
    void addGrid (int columns, int rows, juce::Point<int> origin, juce::Colour onColour, const char* const* labels);

    void relabelGrid (const char* const* labels);
    void enableGrid (bool enable, int count);

    // The first grid button toggled on (no notification) and its text chosen.
    void chooseFirstName();

    // A mode button was clicked: the panel sets its grid up for that mode.
    virtual void modeChosen (int newMode) = 0;

    // A pair of separator lines, dark above and faint below.
    static void drawSeparator (juce::Graphics& g, float y, float left, float right);

    int mode = connectorMode;
    uint8_t direction = 0;
    juce::String selectedName;

private:
    // A toggle of a radio group, black-lettered, listened to and shown.
    juce::TextButton& addToggleButton (juce::OwnedArray<juce::TextButton>& buttons, const juce::String& text, int radioGroup,
                                       juce::Colour offColour, juce::Colour onColour);

    juce::OwnedArray<juce::TextButton> modeButtons;
    juce::OwnedArray<juce::TextButton> gridButtons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PinToolPanel)
};
