#include "editors/PinToolPanel.h"

namespace
{
constexpr int modeRadioGroup = 1;
constexpr int gridRadioGroup = 2;
} // namespace

juce::TextButton& PinToolPanel::addToggleButton (juce::OwnedArray<juce::TextButton>& buttons, const juce::String& text,
                                                 int radioGroup, juce::Colour offColour, juce::Colour onColour)
{
    auto* button = buttons.add (new juce::TextButton (text));
    button->setClickingTogglesState (true);
    button->setRadioGroupId (radioGroup);
    button->setColour (juce::TextButton::buttonColourId, offColour);
    button->setColour (juce::TextButton::buttonOnColourId, onColour);
    button->setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    button->setColour (juce::TextButton::textColourOnId, juce::Colours::black);
    button->addListener (this);
    addAndMakeVisible (button);
    return *button;
}

PinToolPanel::~PinToolPanel()
{
    for (auto* button : modeButtons)
        button->removeListener (this);

    for (auto* button : gridButtons)
        button->removeListener (this);
}

void PinToolPanel::addModeButton (const juce::String& text, juce::Rectangle<int> bounds, juce::Colour onColour)
{
    auto& button = addToggleButton (modeButtons, text, modeRadioGroup, juce::Colour (modeOffColour), onColour);
    button.setBounds (bounds);

    // The connector, the first mode, is the one chosen at start.
    if (modeButtons.size() == 1)
        button.setToggleState (true, juce::dontSendNotification);
}

void PinToolPanel::addGrid (int columns, int rows, juce::Point<int> origin, juce::Colour onColour, const char* const* labels)
{
    for (int row = 0; row < rows; ++row)
    {
        for (int column = 0; column < columns; ++column)
        {
            auto& button =
                addToggleButton (gridButtons, labels[gridButtons.size()], gridRadioGroup, juce::Colour (gridOffColour), onColour);
            button.setConnectedEdges (
                (column > 0 ? juce::Button::ConnectedOnLeft : 0) | (column < columns - 1 ? juce::Button::ConnectedOnRight : 0) |
                (row > 0 ? juce::Button::ConnectedOnTop : 0) | (row < rows - 1 ? juce::Button::ConnectedOnBottom : 0));
            button.setBounds (origin.x + gridButtonWidth * column, origin.y + gridButtonHeight * row, gridButtonWidth,
                              gridButtonHeight);
            button.setEnabled (false);
        }
    }

    if (! gridButtons.isEmpty())
        gridButtons[0]->setToggleState (true, juce::dontSendNotification);
}

void PinToolPanel::relabelGrid (const char* const* labels)
{
    for (int i = 0; i < gridButtons.size(); ++i)
        gridButtons[i]->setButtonText (labels[i]);
}

void PinToolPanel::enableGrid (bool enable, int count)
{
    for (int i = 0; i < juce::jmin (count, gridButtons.size()); ++i)
        gridButtons[i]->setEnabled (enable);
}

void PinToolPanel::chooseFirstName()
{
    if (gridButtons.isEmpty())
        return;

    gridButtons[0]->setToggleState (true, juce::dontSendNotification);
    selectedName = gridButtons[0]->getButtonText();
}

void PinToolPanel::buttonClicked (juce::Button* button)
{
    // A radio button also tells of being switched off by its neighbour:
    // only the one switched on counts.
    if (! button->getToggleState())
        return;

    if (const int index = modeButtons.indexOf (dynamic_cast<juce::TextButton*> (button)); index >= 0)
    {
        mode = index;
        modeChosen (index);
        selectedName = gridButtons.isEmpty() ? juce::String() : gridButtons[0]->getButtonText();
    }
    else if (gridButtons.contains (dynamic_cast<juce::TextButton*> (button)))
    {
        selectedName = button->getButtonText();
    }
}

void PinToolPanel::drawSeparator (juce::Graphics& g, float y, float left, float right)
{
    g.setColour (juce::Colours::black.withAlpha (0.7f));
    g.drawLine (left, y, right, y);
    g.setColour (juce::Colours::black.withAlpha (0.1f));
    g.drawLine (left, y + 1.0f, right, y + 1.0f);
}
