#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program's look: JUCE's third look with title-bar buttons of our own
// drawing (a cross, a bar along the bottom and a square outline), and alert
// boxes whose icon stands whole inside the box.
class myLookAndFeel : public juce::LookAndFeel_V3
{
public:
    static constexpr juce::uint32 buttonColour = 0xfffffff0;

    // Makes one shared look JUCE's default for every window (alerts,
    // choosers, menus, the log window, tooltips) while any holder lives. The
    // application holds it from the start, before its first message box, and
    // the main window holds it as its own.
    class Default
    {
    public:
        Default();
        ~Default();

        myLookAndFeel& get() const noexcept { return look.get(); }

    private:
        juce::SharedResourcePointer<myLookAndFeel> look;

        JUCE_DECLARE_NON_COPYABLE (Default)
    };

    juce::Button* createDocumentWindowButton (int buttonType) override;

    void drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert, const juce::Rectangle<int>& textArea,
                       juce::TextLayout& textLayout) override;

    // Where an alert box draws its icon: whole, within the room the box
    // keeps for it left of the text.
    static juce::Rectangle<int> getAlertIconArea (juce::Rectangle<int> textArea);
};
