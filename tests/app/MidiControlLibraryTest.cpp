#include "app/MidiControlLibrary.h"
#include "hvif/HvIfCallback.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"

#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
class RecordingCallback : public HvIfCallback
{
public:
    bool sendShortMessage (uint32_t packedMessage) override
    {
        shortMessages.push_back (packedMessage);
        return true;
    }

    std::vector<uint32_t> shortMessages;
};

class MidiControlLibraryTest : public ::testing::Test
{
protected:
    vxtest::ScriptedDialogs dialogs;
    RecordingCallback callback;
    MidiControlLibrary library;
};
} // namespace

TEST_F (MidiControlLibraryTest, IsLookedForBesideTheExecutable)
{
    const auto file = MidiControlLibrary::getDefaultFile();

    EXPECT_EQ (file.getFileName(), "Halvix.dll");
    // The test program's own folder, as the system knows it.
    EXPECT_EQ (file.getParentDirectory(), juce::File ("/proc/self/exe").getLinkedTarget().getParentDirectory());
}

TEST_F (MidiControlLibraryTest, AMissingLibraryIsReportedOnceAndTheProgramGoesOn)
{
    vxtest::TemporaryFolder folder;

    EXPECT_EQ (library.openInterface (folder.getChildFile ("Halvix.dll"), callback, dialogs), nullptr);

    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "OSTRANE Quellion");
    EXPECT_EQ (dialogs.messages[0].text, "Halvix.dll is missing, MIDI control not available");
    EXPECT_FALSE (library.isAvailable());
    EXPECT_EQ (library.createInterface (callback), nullptr);
}

TEST_F (MidiControlLibraryTest, AFileThatIsNoLibraryCountsAsMissing)
{
    vxtest::TemporaryFolder folder;
    const auto notALibrary = folder.getChildFile ("Halvix.dll");
    ASSERT_TRUE (notALibrary.replaceWithText ("not a shared object"));

    EXPECT_EQ (library.openInterface (notALibrary, callback, dialogs), nullptr);
    EXPECT_EQ (dialogs.messages.size(), 1u);
    EXPECT_FALSE (library.isAvailable());
}

TEST_F (MidiControlLibraryTest, OurLibraryGivesItsInterfaceAndEveryObject)
{
    auto* libraryInterface = library.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);

    ASSERT_NE (libraryInterface, nullptr) << "Halvix.dll is built beside the tests";
    EXPECT_TRUE (dialogs.messages.empty());
    EXPECT_TRUE (library.isAvailable());

    auto* panelObject = libraryInterface->createPanelObject();
    ASSERT_NE (panelObject, nullptr);

    HvIfStringInput text (juce::String ("[Compressor 1]\nSLIDER[Gain,def=5]= NRPN[0x10.01,xl,0]\n"));
    MyErrorHandler messages;
    EXPECT_TRUE (panelObject->loadPanelScript (text, messages));
    EXPECT_EQ (text.getBytesLeft(), 0u) << "the library reads the text to its end";

    HvIfPanel* panel = nullptr;
    ASSERT_TRUE (panelObject->getPanel (&panel));
    ASSERT_NE (panel, nullptr);
    auto* item = panel->getFirstControlItem ("(Last-Saved)");
    ASSERT_NE (item, nullptr);
    EXPECT_STREQ (item->getName(), "Gain");
    EXPECT_EQ (item->getValue(), 5u);
    EXPECT_EQ (item->getNext(), nullptr);

    HvIfPanel* again = nullptr;
    EXPECT_FALSE (panelObject->getPanel (&again)) << "a load yields its panel once";

    auto* window = panel->createWindow (nullptr);
    ASSERT_NE (window, nullptr);
    window->close();
    window->close();

    panel->release();
    panelObject->release();
    libraryInterface->release();
    library.close();
    EXPECT_FALSE (library.isAvailable());
}

TEST_F (MidiControlLibraryTest, APanelWindowStaysInFrontAndABuiltAgainOneOpensWhereTheLastStood)
{
    VX_REQUIRE_DISPLAY();
    auto* libraryInterface = library.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);
    auto* panelObject = libraryInterface->createPanelObject();
    juce::DocumentWindow parent ("Parent", juce::Colours::black, juce::DocumentWindow::allButtons);
    parent.setBounds (0, 0, 900, 700);
    parent.setVisible (true);

    // Each text loads a panel, which opens its window and closes it again
    // as a rebuild does; the window is asked where it stands first.
    const auto showOnce = [&] (const char* text, const std::function<void (juce::DocumentWindow&)>& look)
    {
        HvIfStringInput input ((juce::String (text)));
        MyErrorHandler messages;
        ASSERT_TRUE (panelObject->loadPanelScript (input, messages));
        HvIfPanel* panel = nullptr;
        ASSERT_TRUE (panelObject->getPanel (&panel));
        auto* window = panel->createWindow (parent.getWindowHandle());
        auto* shown = vxtest::findWindowStartingWith ("Compressor 1");
        ASSERT_NE (shown, nullptr);
        EXPECT_TRUE (shown->isAlwaysOnTop()) << "in front of the program's windows";
        look (*shown);
        window->close();
        panel->release();
    };
    const char* oneControl = "[Compressor 1]\nSLIDER[Gain,def=5]= NRPN[0x10.01,xl,0]\n";
    const char* twoControls = "[Compressor 1]\nSLIDER[Gain,def=5]= NRPN[0x10.01,xl,0]\nSLIDER[Ratio,def=2]= NRPN[0x10.02,xl,0]\n";

    juce::Rectangle<int> first;
    showOnce (oneControl,
              [&] (juce::DocumentWindow& w)
              {
                  w.setBounds (w.getBounds().withPosition (123, 145).withWidth (333));
                  first = w.getBounds();
              });
    showOnce (oneControl, [&] (juce::DocumentWindow& w)
              { EXPECT_EQ (w.getBounds(), first) << "the same controls, the same place and size"; });
    showOnce (twoControls, [&] (juce::DocumentWindow& w)
              { EXPECT_EQ (w.getPosition(), first.getPosition()) << "other controls, the same place"; });

    panelObject->release();
    libraryInterface->release();
}

TEST_F (MidiControlLibraryTest, AnEmptyPanelTextGivesNoPanelAndSaysWhy)
{
    auto* libraryInterface = library.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);
    auto* panelObject = libraryInterface->createPanelObject();

    HvIfStringInput text (juce::String (" \n\t\n"));
    MyErrorHandler messages;
    EXPECT_FALSE (panelObject->loadPanelScript (text, messages));
    EXPECT_TRUE (messages.getFirstText().isNotEmpty());

    HvIfPanel* panel = nullptr;
    EXPECT_FALSE (panelObject->getPanel (&panel));
    EXPECT_EQ (panel, nullptr);

    // The panel objects live on their own: releasing one after the interface is safe.
    libraryInterface->release();
    panelObject->release();
}

TEST_F (MidiControlLibraryTest, TheMeterPollsChannelMessagesComeBackToBeSent)
{
    auto* libraryInterface = library.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);
    auto* panelObject = libraryInterface->createPanelObject();

    panelObject->handleMidiEvent (0x0BB06312); // control change, code index 0xB
    panelObject->handleMidiEvent (0x0FF80000); // a single byte, no channel message
    panelObject->handleMidiEvent (0x1CC10500); // program change on cable 1

    EXPECT_EQ (callback.shortMessages, (std::vector<uint32_t>{ 0xB06312, 0xC10500 }));

    libraryInterface->handleSysEx (nullptr, 0);
    panelObject->release();
    libraryInterface->release();
}
