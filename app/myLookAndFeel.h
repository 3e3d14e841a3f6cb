#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program's look: JUCE's third look with title-bar buttons of our own
// drawing (a cross, a bar along the bottom and a square outline), alert
// boxes whose icon stands whole inside the box, and tabs whose labels stay
// readable on narrow tab bars and whose selected tab stands out (its label
// and a bar along its outer edge in the program's orange).
class myLookAndFeel : public juce::LookAndFeel_V3
{
public:
    static constexpr juce::uint32 buttonColour = 0xfffffff0;
    static constexpr juce::uint32 frontTabColour = 0xffff8c00;
    // A tab label is never drawn smaller than this, whatever the bar's depth
    // (JUCE's half of the depth leaves 8 pixels on a bar of 16).
    static constexpr float minimumTabFontHeight = 12.0f;

    myLookAndFeel();

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

    static juce::Font getTabFont (float depth);
    int getTabButtonBestWidth (juce::TabBarButton& button, int tabDepth) override;
    void drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown) override;

    void drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert, const juce::Rectangle<int>& textArea,
                       juce::TextLayout& textLayout) override;

    // Where an alert box draws its icon: whole, within the room the box
    // keeps for it left of the text.
    static juce::Rectangle<int> getAlertIconArea (juce::Rectangle<int> textArea);

private:
    static void drawTabText (juce::TabBarButton& button, juce::Graphics& g, juce::Colour colour);
};
