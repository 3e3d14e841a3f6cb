#include "editors/ProcessControlPanel.h"

#include "app/ControlPanelCallback.h"
#include "app/MidiControlLibrary.h"
#include "generator/PanelScriptWriter.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"
#include "model/GraphNode.h"
#include "model/ModuleLibrary.h"
#include "model/ModulesDefReader.h"
#include "model/ProjectPresetStores.h"

#include "support/FakeMidiDevices.h"
#include "support/UiTestSupport.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <memory>

namespace
{
using Bytes = std::vector<uint8_t>;

//==============================================================================
// The sample module library beside the tests.
const ModuleLibrary& getSampleLibrary()
{
    static const auto reader = []
    {
        auto r = std::make_unique<ModulesDefReader>();
        r->open (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Modules.def"));
        r->parse();
        return r;
    }();

    return reader->getLibrary();
}

const ProcessDefinition& findProcess (const juce::String& name)
{
    for (uint32_t moduleId : { 0x0021u, 0x0022u })
        if (const auto* module = getSampleLibrary().findModuleById (moduleId))
            for (const auto& process : module->getProcesses())
                if (juce::String (process->name) == name)
                    return *process;

    throw std::runtime_error ("no process " + name.toStdString());
}

// A process box as the panel sees it: a node with its command words, whose
// store holds the process's values.
class TestBox : public ProcessControlPanel::Owner
{
public:
    TestBox (const juce::String& processName, uint32_t channels, uint32_t dspId, uint32_t nrpn)
        : node (1, nrpn, processName, true, &findProcess (processName), 0.5, 0.5), dsp (dspId)
    {
        node.channelWord = (node.channelWord & ~GraphNode::channelCountMask) | channels;
        node.buildControlIds();
    }

    GraphNode* getControlPanelNode() override { return &node; }
    uint32_t getControlPanelDspId() override { return dsp; }
    double getSamplingRateKhz() override { return 48.0; }
    double getCountSliderValue() override { return 1.0; }
    void* getPanelParentHandle() override { return nullptr; }
    void controlPanelValueChanged() override { ++valueChanges; }
    void controlPanelProblem (const juce::String& text) override { problems.add (text); }

    GraphNode node;
    int valueChanges = 0;
    juce::StringArray problems;
    uint32_t dsp;
};

//==============================================================================
// A library that counts what is asked of it.
struct Counts
{
    int panelObjects = 0, panels = 0, panelReleases = 0, objectReleases = 0, windows = 0, closes = 0, loads = 0, raised = 0;
    bool refuseTexts = false;
    juce::String lastText;
    std::vector<uint32_t> midiEvents;
};

class CountingWindow : public HvIfPanelWindow
{
public:
    explicit CountingWindow (Counts& c) : counts (c) {}
    void close() override { ++counts.closes; }
    void bringToFront() override { ++counts.raised; }
    Counts& counts;
};

class CountingPanel : public HvIfPanel
{
public:
    explicit CountingPanel (Counts& c) : counts (c) { ++counts.panels; }

    HvIfPanelWindow* createWindow (void*) override
    {
        ++counts.windows;
        windows.push_back (std::make_unique<CountingWindow> (counts));
        return windows.back().get();
    }

    void release() override
    {
        ++counts.panelReleases;
        delete this;
    }

    HvIfControlItem* getFirstControlItem (const char*) override { return nullptr; }

    Counts& counts;
    std::vector<std::unique_ptr<CountingWindow>> windows;
};

class CountingPanelObject : public HvIfPanelObject
{
public:
    explicit CountingPanelObject (Counts& c) : counts (c) { ++counts.panelObjects; }

    void release() override
    {
        ++counts.objectReleases;
        delete this;
    }

    bool loadPanelScript (HvIfStringInput& input, HvIfMessageOutput&) override
    {
        ++counts.loads;
        char buffer[1 << 16];
        counts.lastText = juce::String::fromUTF8 (buffer, (int) input.read (buffer, sizeof (buffer)));
        loaded = ! counts.refuseTexts;
        return loaded;
    }

    bool getPanel (HvIfPanel** panel) override
    {
        *panel = std::exchange (loaded, false) ? new CountingPanel (counts) : nullptr;
        return *panel != nullptr;
    }

    void handleMidiEvent (uint32_t word) override { counts.midiEvents.push_back (word); }

    Counts& counts;
    bool loaded = false;
};

class CountingLibrary : public HvIfInterface
{
public:
    void release() override {}
    void handleSysEx (const uint8_t*, int) override {}
    HvIfPanelObject* createPanelObject() override { return new CountingPanelObject (counts); }

    Counts counts;
};

} // namespace

//==============================================================================
TEST (ProcessControlPanelTest, WithoutTheLibraryTheControlsAreStillRegistered)
{
    TestBox box ("Compressor", 2, 1, 4);
    ProcessControlPanel panel (box);

    panel.buildControlPanel (true, false, false);

    EXPECT_EQ (box.node.presetStore.getControlCount(), 12) << "save and generation need the controls";
    EXPECT_TRUE (box.node.presetStore.isBuilt());
    EXPECT_FALSE (panel.hasControlPanel());
    EXPECT_EQ (panel.getPanelWindowCount(), 0);
    EXPECT_FALSE (panel.isPanelShown());
    panel.pollMeter();
}

// A mixer of more channels than its slider offers: more controls than a
// process holds (the 128th switch is the 256th; the later ones send the
// messages of earlier ones). The box is told which were left out, every time.
TEST (ProcessControlPanelTest, ControlsWithoutRoomAreReportedToTheBox)
{
    TestBox box ("Mixer4x2", 200, 1, 4);
    ProcessControlPanel panel (box);

    panel.buildControlPanel (false, false, false);
    panel.rebuildControlPanel();

    EXPECT_EQ (box.node.presetStore.getControlCount(), 255);
    EXPECT_EQ (box.problems,
               juce::StringArray ({ "1 control of \"Mixer4x2\" left out (Mute128): a process holds at most 255 controls.",
                                    "1 control of \"Mixer4x2\" left out (Mute128): a process holds at most 255 controls." }));
}

TEST (ProcessControlPanelTest, ABuiltPanelRegistersTheControlsInTheNodesStore)
{
    CountingLibrary library;
    TestBox box ("Compressor", 2, 1, 4);
    ProcessControlPanel panel (box);
    panel.setLibraryInterface (&library);

    panel.buildControlPanel (false, false, false);

    ASSERT_NE (panel.getPanel(), nullptr);
    EXPECT_TRUE (panel.hasControlPanel());
    EXPECT_EQ (library.counts.windows, 0);
    EXPECT_TRUE (library.counts.lastText.startsWith ("[CustomControl:CompressorUI]"));
    EXPECT_EQ (box.node.presetStore.getControlCount(), 12) << "the node's store registers the controls";
}

// A save, a global preset or the saved values read again register a
// process's controls with no panel: as the panel does, in its order.
TEST (ProcessControlPanelTest, ControlsRegisteredWithoutAPanelAreThePanelsOwn)
{
    for (const auto* name : { "Compressor", "ParamEq8", "LongDelay", "Mixer4x2" })
    {
        TestBox withPanel (name, 2, 1, 4), without (name, 2, 1, 4);
        ProcessControlPanel panel (withPanel);
        panel.generatePanelScript (false, false);

        EXPECT_TRUE (PanelScriptWriter::updateStoreControls (without.node, 1, 48.0));
        EXPECT_FALSE (PanelScriptWriter::updateStoreControls (without.node, 1, 48.0)) << "nothing to follow the second time";

        auto& a = withPanel.node.presetStore;
        auto& b = without.node.presetStore;
        ASSERT_EQ (a.getControlCount(), b.getControlCount()) << name;
        EXPECT_TRUE (b.hasBuiltControls());

        for (int i = 0; i < a.getControlCount(); ++i)
        {
            EXPECT_EQ (a.getControl (i)->name, b.getControl (i)->name) << name;
            EXPECT_EQ (a.getControl (i)->nrpn, b.getControl (i)->nrpn) << name;
            EXPECT_EQ (a.isFixedControl (i), b.isFixedControl (i)) << name;
        }
    }
}

// A panel the user closed comes back as it was, with what was set on it;
// only a panel released is built again.
TEST (ProcessControlPanelTest, APanelClosedAndOpenedAgainIsTheSamePanel)
{
    CountingLibrary library;
    TestBox box ("Compressor", 2, 1, 4);
    ProcessControlPanel panel (box);
    panel.setLibraryInterface (&library);

    panel.openControlPanel();
    auto* first = panel.getPanel();
    ASSERT_NE (first, nullptr);

    // Asked for while it is shown (it may stand behind the main window):
    // the same window comes to the front.
    panel.openControlPanel();
    EXPECT_EQ (library.counts.windows, 1);
    EXPECT_EQ (library.counts.raised, 1);

    ProcessControlPanel::removePanelEverywhere (panel.getPanelWindow (0));
    ASSERT_FALSE (panel.isPanelShown());

    panel.openControlPanel();
    EXPECT_TRUE (panel.isPanelShown());
    EXPECT_EQ (panel.getPanel(), first);
    EXPECT_EQ (library.counts.loads, 1);
    EXPECT_EQ (library.counts.panelReleases, 0);
    EXPECT_EQ (library.counts.windows, 2);

    panel.ensureControlPanel();
    EXPECT_EQ (library.counts.loads, 1) << "a panel is there already";

    panel.releaseControlPanels();
    panel.openControlPanel();
    EXPECT_EQ (library.counts.loads, 2);
    EXPECT_NE (panel.getPanel(), nullptr);
}

TEST (ProcessControlPanelTest, AChangedValueReachesTheBoxWhosePanelItIs)
{
    CountingLibrary library;
    TestBox firstBox ("Limiter", 2, 1, 9), secondBox ("Compander", 2, 1, 10);
    ProcessControlPanel first (firstBox), second (secondBox);
    first.setLibraryInterface (&library);
    second.setLibraryInterface (&library);
    first.buildControlPanel (false, false, false);
    second.buildControlPanel (false, false, false);

    ProcessControlPanel::reportValueChangedEverywhere (second.getPanel());
    EXPECT_EQ (firstBox.valueChanges, 0);
    EXPECT_EQ (secondBox.valueChanges, 1);

    auto* released = first.getPanel();
    first.releaseControlPanels();
    ProcessControlPanel::reportValueChangedEverywhere (released);
    ProcessControlPanel::reportValueChangedEverywhere (nullptr);
    EXPECT_EQ (firstBox.valueChanges, 0) << "a panel no box holds is nobody's";
}

TEST (ProcessControlPanelTest, ABuildWithoutReplacingReleasesTheOldPanelAndKeepsItOnScreen)
{
    CountingLibrary library;
    TestBox box ("Compressor", 2, 1, 4);
    ProcessControlPanel panel (box);
    panel.setLibraryInterface (&library);
    auto& counts = library.counts;

    panel.buildControlPanel (true, false, false);
    panel.buildControlPanel (false, false, true); // as a generation does
    EXPECT_EQ (counts.panels, 2);
    EXPECT_EQ (counts.panelReleases, 1) << "the first panel is no longer leaked";
    EXPECT_EQ (counts.closes, 1);
    EXPECT_EQ (counts.windows, 2) << "the window shown moves to the new panel";
    EXPECT_TRUE (panel.isPanelShown());

    panel.buildControlPanel (true, false, false);
    panel.buildControlPanel (true, true, false);
    EXPECT_EQ (counts.panels, 4);
    EXPECT_EQ (counts.panelReleases, 3);
    EXPECT_EQ (counts.closes, counts.windows - 1) << "every window but the newest closed, each once";
    EXPECT_EQ (panel.getPanelWindowCount(), 1);

    panel.releaseControlPanels();
    EXPECT_EQ (counts.panelReleases, 4);
    EXPECT_EQ (counts.closes, counts.windows);
    EXPECT_FALSE (panel.hasControlPanel());
    EXPECT_FALSE (panel.isPanelShown());
}

TEST (ProcessControlPanelTest, ATextTheLibraryRefusesKeepsTheOldPanel)
{
    CountingLibrary library;
    TestBox box ("Limiter", 2, 1, 9);
    ProcessControlPanel panel (box);
    panel.setLibraryInterface (&library);

    panel.buildControlPanel (false, false, false);
    auto* first = panel.getPanel();
    library.counts.refuseTexts = true;
    panel.buildControlPanel (true, false, false);

    EXPECT_EQ (panel.getPanel(), first);
    EXPECT_EQ (library.counts.windows, 0);
    EXPECT_EQ (library.counts.loads, 2);
}

TEST (ProcessControlPanelTest, AWindowTheUserClosedLeavesEveryBoxWithOneClose)
{
    CountingLibrary library;
    TestBox firstBox ("Limiter", 2, 1, 9), secondBox ("Compander", 2, 1, 10);
    ProcessControlPanel first (firstBox), second (secondBox);
    first.setLibraryInterface (&library);
    second.setLibraryInterface (&library);
    first.buildControlPanel (true, false, false);
    second.buildControlPanel (true, false, false);

    EXPECT_FALSE (first.removePanel (second.getPanelWindow (0))) << "not this box's window";
    CountingWindow stranger (library.counts);
    ProcessControlPanel::removePanelEverywhere (&stranger);
    EXPECT_EQ (library.counts.closes, 0);

    ProcessControlPanel::removePanelEverywhere (second.getPanelWindow (0));
    EXPECT_EQ (library.counts.closes, 1);
    EXPECT_EQ (second.getPanelWindowCount(), 0);
    EXPECT_FALSE (second.isPanelShown());
    EXPECT_TRUE (first.isPanelShown());

    first.clearPanels (true);
    EXPECT_EQ (library.counts.closes, 1) << "kept windows are not closed";
    EXPECT_EQ (first.getPanelWindowCount(), 0);
}

TEST (ProcessControlPanelTest, MeterRequestWords)
{
    EXPECT_EQ (ProcessControlPanel::makeMeterRequest (2, 5, 3), (std::array<uint32_t, 3>{ 0x0BB16305, 0x0BB16200, 0x0BB10603 }));
    EXPECT_EQ (ProcessControlPanel::makeMeterRequest (1, 5, 0)[0], 0x0BB06305u);
    EXPECT_EQ (ProcessControlPanel::makeMeterRequest (16, 63, 127)[2], 0x0BBF067Fu);
}

TEST (ProcessControlPanelTest, AMeterBoxPollsAndGivesItsIdBackWhenItGoes)
{
    CountingLibrary library;
    VuMeterIdPool pool;
    auto firstBox = std::make_unique<TestBox> ("LevelMeter", 1, 2, 5);
    auto first = std::make_unique<ProcessControlPanel> (*firstBox, pool);
    TestBox secondBox ("LevelMeter", 1, 2, 6);
    ProcessControlPanel second (secondBox, pool);

    first->setLibraryInterface (&library);
    first->buildControlPanel (false, false, false);
    second.buildControlPanel (false, false, false);
    EXPECT_EQ (first->getMeterId(), 0);
    EXPECT_EQ (second.getMeterId(), 1);
    EXPECT_TRUE (first->isPollingMeter());

    first->pollMeter();
    EXPECT_EQ (library.counts.midiEvents, (std::vector<uint32_t>{ 0x0BB16305, 0x0BB16200, 0x0BB10600 }));
    second.pollMeter(); // without the library: nothing to send through

    first.reset();
    firstBox.reset();
    EXPECT_EQ (library.counts.objectReleases, 1);
    EXPECT_EQ (library.counts.panelReleases, 1);

    TestBox thirdBox ("LevelMeter", 1, 2, 7);
    ProcessControlPanel third (thirdBox, pool);
    third.buildControlPanel (false, false, false);
    EXPECT_EQ (third.getMeterId(), 2);
}

// Values given to the store from elsewhere (an undo, a global preset) are
// what a panel followed up shows, on screen when it was; without a panel
// nothing is built.
TEST (ProcessControlPanelTest, APanelFollowingItsNodeShowsTheStoresValues)
{
    CountingLibrary library;
    TestBox box ("Compressor", 2, 1, 4);
    ProcessControlPanel panel (box);
    panel.setLibraryInterface (&library);

    panel.followNode();
    EXPECT_EQ (library.counts.loads, 0);

    panel.openControlPanel();
    auto& store = box.node.presetStore;
    ASSERT_TRUE (store.findPreset (ProcessPresetStore::lastSavedPresetName)) << "the store has what the panel shows";
    ASSERT_TRUE (store.findControl ("Threshold1"));
    store.setCurrentValue (55);

    panel.followNode();
    EXPECT_EQ (library.counts.loads, 2);
    EXPECT_TRUE (library.counts.lastText.contains ("Threshold1") && library.counts.lastText.contains ("def=55"))
        << library.counts.lastText;
    EXPECT_TRUE (panel.isPanelShown());
    EXPECT_EQ (panel.getPanelWindowCount(), 1);
}

//==============================================================================
// A process's panel opened through its box on our own library: moving a
// control sends its exact message on the MIDI output, the meter poll reaches
// the output too, and closing the window takes it out of the box.
TEST (ProcessControlPanelTest, APanelOnScreenSendsEveryChangeToTheBoard)
{
    VX_REQUIRE_DISPLAY();

    vxtest::ScriptedDialogs dialogs;
    vxtest::RecordingPort port;
    ControlPanelCallback callback (&port);
    MidiControlLibrary library;
    auto* libraryInterface = library.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);

    {
        TestBox box ("ParamEq8", 2, 2, 5);
        ProcessControlPanel panel (box);
        panel.setLibraryInterface (libraryInterface);
        panel.openControlPanel();

        ASSERT_TRUE (panel.isPanelShown());
        ASSERT_TRUE (panel.hasControlPanel());

        juce::DocumentWindow* window = nullptr;

        for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
            if (auto* w = dynamic_cast<juce::DocumentWindow*> (juce::Desktop::getInstance().getComponent (i)))
                if (w->getName() == "ParamEq8  { ParamEq8 }  DSP2 - #5")
                    window = w;

        ASSERT_NE (window, nullptr) << "the panel's window is on screen, titled with the panel";
        EXPECT_TRUE (window->isVisible());

        auto findSlider = [window] (const juce::String& name) -> juce::Slider*
        {
            juce::Slider* found = nullptr;
            std::function<void (juce::Component&)> search = [&] (juce::Component& c)
            {
                for (auto* child : c.getChildren())
                {
                    if (auto* slider = dynamic_cast<juce::Slider*> (child); slider != nullptr && slider->getName() == name)
                        found = slider;

                    search (*child);
                }
            };
            search (*window);
            return found;
        };

        // The process's level: control index 0x01 of process 5, raw NRPN on channel 2.
        auto* level = findSlider ("Level");
        ASSERT_NE (level, nullptr);
        EXPECT_EQ (level->getTextFromValue (80), "8.0 dB");
        level->setValue (200, juce::sendNotificationSync);
        EXPECT_EQ (port.sent,
                   (std::vector<Bytes>{ { 0xB1, 0x63, 0x05 }, { 0xB1, 0x62, 0x01 }, { 0xB1, 0x26, 0x5E }, { 0xB1, 0x06, 0x00 } }))
            << "kept within its range (16 to 94)";

        // The first band's frequency encoder (its index 65 = 0x41) sends a
        // System Exclusive message.
        port.sent.clear();
        auto* encoder = findSlider ("Freq1");
        ASSERT_NE (encoder, nullptr);
        encoder->setValue (4096000, juce::sendNotificationSync);
        EXPECT_EQ (port.sent, (std::vector<Bytes>{
                                  { 0xF0, 0x00, 0x3A, 0x7E, 0x3D, 0x01, 0x05, 0x41, 0x04, 0x01, 0x7A, 0x00, 0x00, 0xF7 } }));

        // What the panel shows is the process's at once: what a save takes.
        auto& store = box.node.presetStore;
        ASSERT_TRUE (store.findPreset ("(Last-Saved)"));
        ASSERT_TRUE (store.findControl ("Level"));
        EXPECT_EQ (store.getCurrentValue(), 94u);

        const auto shot = window->createComponentSnapshot (window->getLocalBounds());
        const auto file = juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                              .getParentDirectory()
                              .getSiblingFile ("panel-window.png");
        juce::FileOutputStream stream (file);
        stream.setPosition (0);
        stream.truncate();
        EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (shot, stream));

        window->closeButtonPressed();
        EXPECT_EQ (panel.getPanelWindowCount(), 0) << "the box closed the window the user closed";
        EXPECT_FALSE (panel.isPanelShown());
        EXPECT_TRUE (panel.hasControlPanel()) << "the panel itself stays for presets and sending";
    }

    {
        TestBox box ("LevelMeter", 1, 2, 6);
        ProcessControlPanel panel (box);
        panel.setLibraryInterface (libraryInterface);
        panel.buildControlPanel (false, false, false);
        port.sent.clear();
        panel.pollMeter();
        const auto id = (uint8_t) panel.getMeterId();
        EXPECT_EQ (port.sent, (std::vector<Bytes>{ { 0xB1, 0x63, 0x06 }, { 0xB1, 0x62, 0x00 }, { 0xB1, 0x06, id } }));
    }

    libraryInterface->release();
}
