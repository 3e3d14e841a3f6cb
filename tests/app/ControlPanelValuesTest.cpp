#include "app/ControlPanelCallback.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "app/MidiControlLibrary.h"
#include "app/ProjectInterface.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/TextPropertyComponentWithFocus.h"
#include "editors/Zorvex.h"
#include "model/ControlSysExMessage.h"
#include "support/FakeMidiDevices.h"

#include "ShellTestFixture.h"

#include <functional>

// What a user sets on a process's control panel, with our MIDI-control
// library: it marks the project, stays when the panel is closed and opened
// again, is what a save writes and an open brings back, and is what a preset
// made from the current settings holds, even in a project just opened; every
// box of the process offers the presets the file holds.
namespace
{
void doubleClick (Zorvex& box)
{
    const juce::Point<float> at (60.0f, 40.0f);
    box.mouseUp (vxtest::makeMouseEvent (box, at, {}, 2, false, at));
}

// The names of a submenu's items.
juce::StringArray getSubMenuItems (const juce::PopupMenu& menu, const juce::String& subMenuName)
{
    juce::StringArray names;

    for (juce::PopupMenu::MenuItemIterator i (menu); i.next();)
        if (i.getItem().text == subMenuName && i.getItem().subMenu != nullptr)
            for (juce::PopupMenu::MenuItemIterator j (*i.getItem().subMenu); j.next();)
                if (! j.getItem().isSeparator)
                    names.add (j.getItem().text);

    return names;
}

// The value of a control in a named list of the first count group of the
// class: the "Name"/"Value" (or "fixedName"/"fixedValue") pair numbered alike.
juce::String findListValue (const juce::XmlElement& classElement, const juce::String& listName, const juce::String& control)
{
    auto* preset = classElement.getChildByName ("CountGroup") != nullptr
                       ? classElement.getChildByName ("CountGroup")->getChildByName ("Preset")
                       : nullptr;
    auto* controls = preset != nullptr ? preset->getChildByName ("Controls") : nullptr;
    auto* lists = preset != nullptr ? preset->getChildByName ("Lists") : nullptr;

    if (controls == nullptr || lists == nullptr)
        return {};

    for (int i = 0; i < controls->getNumAttributes(); ++i)
    {
        if (controls->getAttributeValue (i) != control)
            continue;

        const auto name = controls->getAttributeName (i);
        const auto valueName = name.replace ("Name", "Value");

        for (auto* list : lists->getChildWithTagNameIterator ("List"))
            if (list->getStringAttribute ("name") == listName)
                return list->getStringAttribute (valueName);
    }

    return {};
}

// What read gives of the saved element of the process with that NRPN number.
juce::String readSavedProcess (const juce::File& project, uint32_t nrpn,
                               const std::function<juce::String (const juce::XmlElement&)>& read)
{
    auto root = juce::parseXML (project);

    if (root == nullptr)
        return {};

    for (auto* dsp : root->getChildByName ("DSPs")->getChildIterator())
        for (auto* process : dsp->getChildByName ("Processes")->getChildIterator())
            if (process->getStringAttribute ("nrpn") == juce::String (nrpn))
                return read (*process);

    return {};
}

// The "(Last-Saved)" value of a control of the process with that NRPN number.
juce::String savedValue (const juce::File& project, uint32_t nrpn, const juce::String& control)
{
    return readSavedProcess (project, nrpn,
                             [&control] (const juce::XmlElement& process)
                             {
                                 auto* cls = process.getChildByName ("Class");
                                 return cls != nullptr ? findListValue (*cls, ProcessPresetStore::lastSavedPresetName, control)
                                                       : juce::String();
                             });
}

// The number a control of the process with that NRPN number is saved
// under: the "Nrpn" (or "fixedNrpn") attribute numbered as its name.
juce::String savedNumber (const juce::File& project, uint32_t nrpn, const juce::String& control)
{
    return readSavedProcess (project, nrpn,
                             [&control] (const juce::XmlElement& process)
                             {
                                 auto* cls = process.getChildByName ("Class");
                                 auto* group = cls != nullptr ? cls->getChildByName ("CountGroup") : nullptr;
                                 auto* preset = group != nullptr ? group->getChildByName ("Preset") : nullptr;
                                 auto* controls = preset != nullptr ? preset->getChildByName ("Controls") : nullptr;

                                 for (int i = 0; controls != nullptr && i < controls->getNumAttributes(); ++i)
                                     if (controls->getAttributeValue (i) == control)
                                         return controls->getStringAttribute (
                                             controls->getAttributeName (i).replace ("Name", "Nrpn"));

                                 return juce::String();
                             });
}

// The command list of the process with that NRPN number, as saved.
juce::String savedCommands (const juce::File& project, uint32_t nrpn)
{
    return readSavedProcess (project, nrpn,
                             [] (const juce::XmlElement& process)
                             {
                                 auto* list = process.getChildByName ("CommandList");
                                 return list != nullptr ? list->toString() : juce::String();
                             });
}

class ControlPanelValuesTest : public ShellTestFixture
{
protected:
    // Processes of the sample's first module, by their place in its list.
    static constexpr int compressorIndex = 2;
    static constexpr int longDelayIndex = 6;

    ControlPanelValuesTest()
    {
        libraryInterface = midiLibrary.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    }

    ~ControlPanelValuesTest() override
    {
        if (window != nullptr)
            window->getMainContainer().closeAllControlPanels();

        window.reset();
    }

    void makeWindow()
    {
        window = std::make_unique<MainAppWindow> (juce::File(), libraryInterface, ApplicationSettings::open (getSettingsFile()),
                                                  &callback);
        window->setBounds (0, 0, 1200, 860);
    }

    MainContainer& getMain() { return window->getMainContainer(); }
    ProjectInterface& getProject() { return window->getProjectInterface(); }

    // DSP 1 of the sample's first module with `count` compressors, saved as
    // "values.zqp".
    void makeCompressors (int count) { makeProcesses (compressorIndex, count); }

    // The same with `count` of the module's process at that index.
    void makeProcesses (int processIndex, int count)
    {
        auto* page = getMain().getProcessContainer().addDsp (-1);
        ASSERT_NE (page, nullptr);
        getMain().getDesign().getBusGraph().restoreNode (page->getDspId(), 1, "DSP", false, nullptr, 0.2, 0.2);
        ASSERT_TRUE (getMain().getDesign().setDspModule (1, 0x21));

        for (int i = 0; i < count; ++i)
            ASSERT_TRUE (page->getProcessEditor().placeProcess (processIndex, { 250 + 300 * i, 200 }));

        settle();
        dialogs.chosenFiles.push_back (getProjectFile());
        ASSERT_TRUE (getProject().saveProject (false));
    }

    juce::File getProjectFile() const { return folder.getChildFile ("values.zqp"); }

    // The change messages delivered: the pages make their boxes.
    void settle()
    {
        for (int i = 0; i < 3; ++i)
        {
            getMain().getDesign().dispatchPendingMessages();

            if (auto* dsp = getMain().getDesign().findDsp (1))
                dsp->getGraph().dispatchPendingMessages();

            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        }
    }

    Zorvex& getBox (int index)
    {
        auto* page = getMain().getProcessContainer().findDspById (1);
        EXPECT_NE (page, nullptr);
        auto* box = page->getProcessEditor().findBoxByNodeId ((uint32_t) index + 1);
        EXPECT_NE (box, nullptr);
        return *box;
    }

    // The slider of the control on the box's panel window, opened by a double click.
    juce::Slider* openPanelSlider (Zorvex& box, const juce::String& control)
    {
        doubleClick (box);
        EXPECT_TRUE (box.isPanelShown());
        auto* panelWindow = vxtest::findWindowStartingWith (getPanelTitle (box));
        return panelWindow != nullptr ? vxtest::findSlider (*panelWindow, control) : nullptr;
    }

    void closePanel (Zorvex& box)
    {
        if (auto* panelWindow = vxtest::findWindowStartingWith (getPanelTitle (box)))
            panelWindow->closeButtonPressed();

        EXPECT_FALSE (box.isPanelShown());
    }

    static juce::String getPanelTitle (Zorvex& box)
    {
        return box.getNode()->getName() + "  { " + box.getNode()->getProcessDefinition()->name + " }";
    }

    void saveWithKeys() { getMain().keyPressed (juce::KeyPress ('s', juce::ModifierKeys::ctrlModifier, 0)); }

    // A value of the slider's range other than the one it shows.
    static double pickOtherValue (const juce::Slider& slider)
    {
        const auto value = slider.getMinimum() + 3.0;
        return value != slider.getValue() ? value : value + 1.0;
    }

    ControlPanelCallback callback;
    MidiControlLibrary midiLibrary;
    HvIfInterface* libraryInterface = nullptr;
    std::unique_ptr<MainAppWindow> window;
};
} // namespace

TEST_F (ControlPanelValuesTest, AValueSetOnAPanelMarksTheProjectSurvivesItsClosingAndIsSavedAndOpened)
{
    VX_REQUIRE_DISPLAY();
    ASSERT_NE (libraryInterface, nullptr);
    makeWindow();
    makeCompressors (1);
    ASSERT_FALSE (getProject().isModified());

    auto& box = getBox (0);
    const auto nrpn = box.getNode()->nrpn;
    auto* threshold = openPanelSlider (box, "Threshold2");
    ASSERT_NE (threshold, nullptr);
    const auto shownAtFirst = threshold->getValue();
    const auto chosen = pickOtherValue (*threshold);
    threshold->setValue (chosen, juce::sendNotificationSync);

    // The change is an edit: Ctrl+Q asks to save it (and the program stays
    // when the question is cancelled).
    EXPECT_TRUE (getProject().isModified());
    auto quitting = true;
    getMain().onQuitRequested = [this, &quitting] { quitting = window->prepareToQuit(); };
    dialogs.answers = { Dialogs::Answer::cancel };
    EXPECT_TRUE (getMain().keyPressed (juce::KeyPress ('q', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_FALSE (quitting);
    ASSERT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (dialogs.questions[0].text, "Do you want to save?");

    // Closed and opened again, the panel still shows it.
    closePanel (box);
    threshold = openPanelSlider (box, "Threshold2");
    ASSERT_NE (threshold, nullptr);
    EXPECT_EQ (threshold->getValue(), chosen);

    // Ctrl+S writes it, with the panel closed, and a control number typed
    // in the command view.
    closePanel (box);
    getMain().toggleCommandView();
    TextPropertyComponentWithFocus::applyText (*box.getNode(), 0, "01C7");
    saveWithKeys();
    EXPECT_FALSE (getProject().isModified());
    EXPECT_EQ (savedValue (getProjectFile(), nrpn, "Threshold2"), juce::String ((int) chosen));
    EXPECT_NE (chosen, shownAtFirst);
    const auto commands = savedCommands (getProjectFile(), nrpn);
    ASSERT_TRUE (commands.contains ("=\"000001C7\"")) << commands;

    // Opened again (every box made anew) and saved untouched, the project
    // keeps both, and the panel shows the value.
    getProject().openProject (getProjectFile());
    settle();
    saveWithKeys();
    EXPECT_EQ (savedValue (getProjectFile(), nrpn, "Threshold2"), juce::String ((int) chosen));
    EXPECT_EQ (savedCommands (getProjectFile(), nrpn), commands);

    auto& reopened = getBox (0);
    threshold = openPanelSlider (reopened, "Threshold2");
    ASSERT_NE (threshold, nullptr);
    EXPECT_EQ (threshold->getValue(), chosen);
    EXPECT_FALSE (getProject().isModified()) << "opening a panel changes nothing";
}

TEST_F (ControlPanelValuesTest, PresetsMadeInAnOpenedProjectHoldTheValuesAndEveryBoxOffersThem)
{
    VX_REQUIRE_DISPLAY();
    ASSERT_NE (libraryInterface, nullptr);
    makeWindow();
    makeCompressors (2);

    auto* threshold = openPanelSlider (getBox (0), "Threshold2");
    ASSERT_NE (threshold, nullptr);
    const auto chosen = pickOtherValue (*threshold);
    threshold->setValue (chosen, juce::sendNotificationSync);
    closePanel (getBox (0));
    saveWithKeys();

    // The project opened again: a preset made from the current settings of
    // the first box holds every control with its value, and so does the next.
    getProject().openProject (getProjectFile());
    settle();
    const auto presetFile = folder.getChildFile ("values.presets");

    for (auto* name : { "SB2", "SB3" })
    {
        dialogs.names.push_back (name);
        getBox (0).buildMenu();
        getBox (0).handleMenuResult (Zorvex::createPresetItem);
    }

    auto presets = juce::parseXML (presetFile);
    ASSERT_NE (presets, nullptr);
    auto* cls = presets->getChildByAttribute ("name", "Compressor");
    ASSERT_NE (cls, nullptr) << presets->toString();
    auto* count = cls->getChildByName ("CountGroup")->getChildByName ("Preset")->getChildByName ("Count");
    EXPECT_GT (count->getIntAttribute ("NumberOfControls"), 1) << presets->toString();

    for (auto* name : { "SB2", "SB3" })
        EXPECT_EQ (findListValue (*cls, name, "Threshold2"), juce::String ((int) chosen)) << name << presets->toString();

    // The second box of the process offers them, for loading and removing.
    const auto menu = getBox (1).buildMenu();
    EXPECT_EQ (getSubMenuItems (menu, "Load preset"), juce::StringArray ({ "SB2", "SB3" }));
    EXPECT_EQ (getSubMenuItems (menu, "Remove Preset"), juce::StringArray ({ "Delete all", "SB2", "SB3" }));

    // After another opening the first box offers them again, and loading one
    // shows its values on the panel.
    getProject().openProject (getProjectFile());
    settle();
    auto& box = getBox (0);
    EXPECT_EQ (getSubMenuItems (box.buildMenu(), "Load preset"), juce::StringArray ({ "SB2", "SB3" }));
    box.handleMenuResult (Zorvex::loadPresetBase + 1);
    threshold = openPanelSlider (box, "Threshold2");
    ASSERT_NE (threshold, nullptr);
    EXPECT_EQ (threshold->getValue(), chosen);
}

// A control number typed in "Command Properties" is the control's number at
// once, with the values set on the panel: the panel on screen sends it,
// "Send controls to BOARD" sends it, and the first save writes it.
TEST_F (ControlPanelValuesTest, ATypedControlNumberTakesEffectAtOnceEverywhere)
{
    VX_REQUIRE_DISPLAY();
    ASSERT_NE (libraryInterface, nullptr);
    makeWindow();
    makeCompressors (1);
    auto& box = getBox (0);
    const auto nrpn = box.getNode()->nrpn;
    auto* threshold = openPanelSlider (box, "Threshold2");
    ASSERT_NE (threshold, nullptr);
    const auto chosen = pickOtherValue (*threshold);
    threshold->setValue (chosen, juce::sendNotificationSync);

    // The thresholds from 0x140 on: Threshold2 becomes control 0x41.
    // A press on the box shows its words.
    auto& properties = getMain().getProcessContainer().findDspById (1)->getCommandProperties();
    getMain().getProcessContainer().findDspById (1)->getProcessEditor().showProcessCommands (box.getNodeId());
    properties.getField (0)->setText ("0140");
    settle();

    // The panel stays on screen with the value and sends the new number.
    vxtest::RecordingPort port;
    callback.setOutput (&port);
    auto* panelWindow = vxtest::findWindowStartingWith (box.getNode()->getName() + "  { Compressor }");
    ASSERT_NE (panelWindow, nullptr);
    threshold = vxtest::findSlider (*panelWindow, "Threshold2");
    ASSERT_NE (threshold, nullptr);
    EXPECT_EQ (threshold->getValue(), chosen);
    threshold->setValue (chosen + 1, juce::sendNotificationSync);
    callback.setOutput (nullptr);
    ASSERT_GE (port.sent.size(), 2u);
    EXPECT_EQ (port.sent[1], (std::vector<uint8_t>{ 0xB0, 0x62, 0x41 }));

    // "Send controls to BOARD" sends it with the value.
    std::vector<std::vector<uint8_t>> sent;
    getProject().getBoardControl().setOutput ([&sent] (const uint8_t* m, int size) { sent.emplace_back (m, m + size); });
    box.handleMenuResult (Zorvex::sendControlsItem);
    const auto message = ControlSysExMessage::encode (0, (nrpn << 8) | 0x4041, (uint32_t) chosen + 1);
    EXPECT_NE (std::find (sent.begin(), sent.end(), std::vector<uint8_t> (message.begin(), message.end())), sent.end());

    // The first save writes it, and the value.
    saveWithKeys();
    EXPECT_EQ (savedNumber (getProjectFile(), nrpn, "Threshold2"), juce::String (0x4041));
    EXPECT_EQ (savedValue (getProjectFile(), nrpn, "Threshold2"), juce::String ((int) chosen + 1));

    // Another number typed, then the saved ones read back as the command
    // view is switched on: those are the controls' numbers again at once.
    properties.getField (0)->setText ("0150");
    getMain().toggleCommandView();
    settle();
    port.sent.clear();
    callback.setOutput (&port);
    panelWindow = vxtest::findWindowStartingWith (box.getNode()->getName() + "  { Compressor }");
    ASSERT_NE (panelWindow, nullptr);
    vxtest::findSlider (*panelWindow, "Threshold2")->setValue (chosen, juce::sendNotificationSync);
    callback.setOutput (nullptr);
    ASSERT_GE (port.sent.size(), 2u);
    EXPECT_EQ (port.sent[1], (std::vector<uint8_t>{ 0xB0, 0x62, 0x41 }));
}

TEST_F (ControlPanelValuesTest, ADelayShowingAPresetOfItsBoxKeepsItsValuesThroughSaveAndOpen)
{
    VX_REQUIRE_DISPLAY();
    ASSERT_NE (libraryInterface, nullptr);
    makeWindow();
    makeProcesses (longDelayIndex, 1);

    // A value set, kept as a preset of the box, and loaded from its menu:
    // the box shows its own store.
    auto* feedback = openPanelSlider (getBox (0), "Feedback1");
    ASSERT_NE (feedback, nullptr);
    const auto chosen = pickOtherValue (*feedback);
    feedback->setValue (chosen, juce::sendNotificationSync);
    closePanel (getBox (0));
    dialogs.names.push_back ("Echo");
    getBox (0).buildMenu();
    getBox (0).handleMenuResult (Zorvex::createPresetItem);
    getBox (0).buildMenu();
    getBox (0).handleMenuResult (Zorvex::loadPresetBase);
    saveWithKeys();

    // Opened again, nothing is said and the panel shows the value.
    clearLog();
    getProject().openProject (getProjectFile());
    settle();
    EXPECT_EQ (getLogText(), "");
    feedback = openPanelSlider (getBox (0), "Feedback1");
    ASSERT_NE (feedback, nullptr);
    EXPECT_EQ (feedback->getValue(), chosen);
}
