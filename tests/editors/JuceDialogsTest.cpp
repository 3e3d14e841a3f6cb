#include "editors/JuceDialogs.h"

#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

namespace
{
// A user at the keyboard: waits for the name dialog to hold the focus in its
// field, types a name and presses Return, never clicking. The keys go
// through the X server (xdotool) where the window that has its focus takes
// them, or straight to the dialog's window without xdotool. One who finds no
// focus there gives up after a few seconds and closes the dialog.
class Typist : private juce::Timer
{
public:
    explicit Typist (juce::String textToType) : text (std::move (textToType)) { startTimer (50); }

    bool foundTheField = false;

private:
    void timerCallback() override
    {
        auto* focused = dynamic_cast<juce::TextEditor*> (juce::Component::getCurrentlyFocusedComponent());

        if (! foundTheField && focused != nullptr && focused->getName() == "Preset" && focused->getPeer() != nullptr)
        {
            foundTheField = true;
            ticks = 0;

            if (! typeThroughTheServer())
            {
                auto* peer = focused->getPeer();

                for (auto c : text)
                    peer->handleKeyPress (juce::KeyPress (c, 0, c));

                peer->handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));
            }
        }
        else if (++ticks > 100)
        {
            // No focus found, or the keys went elsewhere: the dialog closes.
            stopTimer();

            if (auto* modal = juce::Component::getCurrentlyModalComponent())
                modal->exitModalState (0);
        }
    }

    // The keys reach the program once this callback has returned.
    bool typeThroughTheServer() const
    {
        return runXdotool ({ "type", "--delay", "30", text }) && runXdotool ({ "key", "Return" });
    }

    static bool runXdotool (juce::StringArray arguments)
    {
        juce::ChildProcess xdotool;
        arguments.insert (0, "xdotool");

        if (! xdotool.start (arguments))
            return false;

        return xdotool.waitForProcessToFinish (10000) && xdotool.getExitCode() == 0;
    }

    juce::String text;
    int ticks = 0;
};
} // namespace

TEST (KeyboardFocus, TheNameDialogTakesTypingAtOnce)
{
    VX_REQUIRE_OWN_DISPLAY();
    JuceDialogs dialogs;
    Typist typist ("Loud");

    juce::String name;
    EXPECT_TRUE (dialogs.askForName ("New Global preset", "GlobalPresetA", name));
    EXPECT_TRUE (typist.foundTheField) << "the name field had no keyboard focus";
    EXPECT_EQ (name, "Loud") << "the typed name replaces the proposed one";
}

TEST (JuceDialogs, ATextTallerThanTheScreenScrollsInABoxThatFitsIt)
{
    VX_REQUIRE_DISPLAY();
    const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    const juce::StringArray buttons{ "Download automatically now", "Go to download page", "Remind me later" };
    const auto heading = juce::String ("A software update is available: OstraneQuellion V1.34");
    juce::String notes;

    for (int i = 1; i <= 3000; ++i)
        notes << "Note " << i << ": faster.\n";

    const auto fieldOf = [] (juce::Component& box) -> juce::TextEditor*
    {
        for (auto* child : box.getChildren())
            if (auto* field = dynamic_cast<juce::TextEditor*> (child))
                return field;

        return nullptr;
    };

    // A text that fits stays the box's message, as JUCE shows it.
    auto shortBox = JuceDialogs::makeButtonBox (juce::MessageBoxIconType::WarningIcon, "Update notification",
                                                heading + "\nFaster.\n", buttons);
    EXPECT_EQ (fieldOf (*shortBox), nullptr);
    EXPECT_EQ (shortBox->getNumButtons(), 3);

    for (const auto& text : { heading + "\n" + notes, juce::String::repeatedString ("Faster. ", 2000) })
    {
        auto box = JuceDialogs::makeButtonBox (juce::MessageBoxIconType::WarningIcon, "Update notification", text, buttons);
        SCOPED_TRACE (box->getHeight());
        EXPECT_LE (box->getHeight(), screen.getHeight());
        EXPECT_LE (box->getWidth(), screen.getWidth());

        auto* field = fieldOf (*box);
        ASSERT_NE (field, nullptr);
        EXPECT_TRUE (field->isReadOnly());
        EXPECT_TRUE (field->isMultiLine());
        EXPECT_TRUE (text.endsWith (field->getText())) << "every line of the notes is there";
        EXPECT_GT (field->getTextHeight(), field->getHeight()) << "and scrolls";
        EXPECT_TRUE (box->getLocalBounds().contains (field->getBounds()));

        for (auto* child : box->getChildren())
            if (dynamic_cast<juce::Button*> (child) != nullptr)
                EXPECT_LE (field->getBottom(), child->getY()) << "the text stays clear of the buttons";
    }
}
