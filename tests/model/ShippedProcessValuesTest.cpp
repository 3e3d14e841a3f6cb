// Every process of the shipped library, at the largest count its slider
// allows, keeps the value of every control through a save and an open, with
// nothing in the log: its control panel (our MIDI-control library, in
// process) is given a value per control, the project is saved, opened again
// into another design, the panel built again from the saved values shows
// them all, and the values sent to the board are those values, each control
// once.

#include "ProjectTestDesigns.h"

#include "generator/PanelScriptWriter.h"
#include "generator/VuMeterIdPool.h"
#include "halvix/HalvixPanel.h"
#include "halvix/PanelScriptParser.h"
#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace
{
constexpr uint32_t dspId = 1;
constexpr int samplingIndex = 1; // 48 kHz, which both modules run at

struct Shipped
{
    uint32_t moduleId;
    juce::String processName;
};

std::vector<Shipped> getShippedProcesses()
{
    std::vector<Shipped> processes;
    const auto reader = projecttest::readSampleLibrary();

    for (auto& module : reader->getLibrary().getModules())
        for (auto& process : module->getProcesses())
            processes.push_back ({ module->moduleId, juce::String (process->name) });

    return processes;
}

// The process's box: the panel written for the node's store (which registers
// its controls) and loaded by the library.
struct Box
{
    Box (GraphNode& boxNode, double rateKhz, bool replacement) : node (boxNode)
    {
        auto& store = node.presetStore;

        if (! replacement)
            store.markBuilding();

        PanelScriptWriter writer (*node.getProcessDefinition(), node, dspId, rateKhz, (double) node.getChannelCount());
        text = writer.write (store, replacement, meterId, meterIds);
        problem = writer.getProblem();
        store.markBuilt();

        auto parsed = PanelScriptParser::parse (text);
        EXPECT_TRUE (parsed.errors.isEmpty()) << parsed.errors.joinIntoString ("\n");

        if (parsed.model != nullptr)
            panel = std::make_unique<HalvixPanel> (std::move (parsed.model), nullptr);
    }

    // Every control's name and value, as the panel shows them, in order.
    std::vector<std::pair<juce::String, uint32_t>> getShownValues() const
    {
        std::vector<std::pair<juce::String, uint32_t>> values;

        for (const auto& item : panel->getModel().getItems())
            if (item->hasValue())
                values.emplace_back (item->getControlName(), item->getValue());

        return values;
    }

    uint32_t getShownValue (const juce::String& name) const
    {
        auto* control = panel->getModel().findControl (name);
        return control != nullptr ? control->getValue() : 0xFFFFFFFFu;
    }

    GraphNode& node;
    VuMeterIdPool meterIds;
    int meterId = VuMeterIdPool::noId;
    juce::String text, problem;
    std::unique_ptr<HalvixPanel> panel;
};

// A value of the control's range other than its default, when it has one.
uint32_t pickValue (const PanelControl& control, std::mt19937& random)
{
    std::vector<uint32_t> candidates;

    if (! control.getOptions().empty())
        for (const auto& option : control.getOptions())
            candidates.push_back (option.value);
    else
        for (int i = 0; i < 8; ++i)
            candidates.push_back (control.getMinimum() +
                                  (uint32_t) (random() % ((uint64_t) control.getMaximum() - control.getMinimum() + 1)));

    for (const auto candidate : candidates)
        if (candidate != control.getDefault())
            return candidate;

    return control.getDefault();
}

class ShippedProcessValuesTest : public ::testing::TestWithParam<Shipped>
{
protected:
    ShippedProcessValuesTest() { clearLog(); }
    ~ShippedProcessValuesTest() override { clearLog(); }

    // The saved project opened into the design with nothing said about it,
    // and its saved values sent as an open sends them once the boxes exist
    // (each box writes its panel first): the DSP's process.
    GraphNode& openAndSend (const juce::String& saved, projecttest::LibraryAndDesign& opened,
                            const ProjectFile::ControlSender& send)
    {
        opened.design.getSettings().setSamplingIndex (samplingIndex);
        auto loaded = ProjectFile::parse (saved, opened.getLibrary());
        EXPECT_NE (loaded.content, nullptr);
        ProjectFile::install (*loaded.content, juce::File(), opened.design);
        EXPECT_EQ (loaded.content->problems.joinIntoString ("\n"), juce::String());
        EXPECT_EQ (getLogText(), juce::String());

        auto& node = *opened.design.findDsp (dspId)->getGraph().getNode (0);
        opened.design.setControlRegistrar (
            [this, rateKhz = opened.design.getSettings().getSamplingRateKhz()] (GraphNode& n, uint32_t)
            {
                sendingBox = std::make_unique<Box> (n, rateKhz, false);
                return true;
            });
        ProjectFile::sendSavedControls (*juce::parseXML (saved), opened.design, send);
        return node;
    }

    std::unique_ptr<Box> sendingBox;
};
} // namespace

TEST_P (ShippedProcessValuesTest, EveryControlKeepsItsValueThroughSaveAndOpen)
{
    const auto& shipped = GetParam();

    projecttest::LibraryAndDesign built;
    built.design.getSettings().setSamplingIndex (samplingIndex);
    const auto rateKhz = built.design.getSettings().getSamplingRateKhz();
    projecttest::DesignBuilder builder (built.design);
    builder.addDsp (dspId, shipped.moduleId, 0.5, 0.5);

    // At the count its slider goes up to, as its box then has it.
    auto& node = builder.addProcess (dspId, shipped.processName, 0.5, 0.5);
    const auto largest = (uint32_t) NodeChannelRules::getSliderRange (node, rateKhz).maximum;
    node.channelWord = NodeChannelRules::makeChannelWord (node.channelWord, (int) largest);
    NodeChannelRules::followCount (node, node.channelWord);
    node.buildControlIds();

    // A value of its own for every control (one that sends another's message
    // shows that one's value).
    std::vector<std::pair<juce::String, uint32_t>> shown;
    juce::String saved;
    {
        Box box (node, rateKhz, false);
        ASSERT_NE (box.panel, nullptr);
        EXPECT_EQ (box.problem, juce::String()) << "every control has room";
        std::mt19937 random (1120 + largest);

        std::vector<const PanelMessage*> messages;

        for (const auto& item : box.panel->getModel().getItems())
        {
            if (! item->hasValue() ||
                std::any_of (messages.begin(), messages.end(), [&] (auto* message) { return *message == item->getMessage(); }))
                continue;

            messages.push_back (&item->getMessage());
            box.panel->changeValue (*item, pickValue (*item, random));
        }

        // As the panel's owner hands the store what was set on it.
        shown = box.getShownValues();
        node.presetStore.takePanelValuesAsLastSaved (*box.panel);
        saved = ProjectFile::createXml (built.design, {})->toString();
    }

    // Opened again, without a word in the log, and sent to the board: each
    // parameter once, with its value.
    projecttest::LibraryAndDesign opened;
    std::map<uint32_t, uint32_t> sent;
    auto& reopened = openAndSend (saved, opened,
                                  [&] (int dsp, uint32_t param, uint32_t value)
                                  {
                                      EXPECT_EQ (dsp, (int) dspId - 1);
                                      EXPECT_TRUE (sent.emplace (param, value).second) << "sent twice: " << param;
                                  });
    ASSERT_EQ (reopened.getChannelCount(), largest);

    // Its panel shows every value again.
    {
        Box box (reopened, rateKhz, true);
        ASSERT_NE (box.panel, nullptr);
        EXPECT_EQ (box.getShownValues(), shown) << box.text;
    }

    auto& store = reopened.presetStore;
    ASSERT_TRUE (store.findPreset (ProcessPresetStore::lastSavedPresetName));
    int controls = 0;

    for (int i = 0; i < store.getControlCount(); ++i)
    {
        store.setCurrentControl (i);

        if (store.isFixedDelayControl())
            continue;

        ++controls;
        const auto& name = store.getControl (i)->name;
        const auto value = std::find_if (shown.begin(), shown.end(), [&] (auto& each) { return each.first == name; });
        ASSERT_NE (value, shown.end()) << name;
        EXPECT_EQ (sent[(reopened.nrpn << 8) | store.getControl (i)->nrpn], value->second) << name;
    }

    EXPECT_EQ ((int) sent.size(), controls);
    EXPECT_EQ (getLogText(), juce::String());
}

INSTANTIATE_TEST_SUITE_P (SampleLibrary, ShippedProcessValuesTest, ::testing::ValuesIn (getShippedProcesses()),
                          [] (const auto& test) { return test.param.processName.toStdString(); });

// A control the saved values do not hold (a file of an older library, or
// written by hand) starts from its default, on the panel and on the board.
TEST_F (ShippedProcessValuesTest, AControlTheSavedValuesDoNotHoldStartsFromItsDefault)
{
    projecttest::LibraryAndDesign built;
    built.design.getSettings().setSamplingIndex (samplingIndex);
    projecttest::DesignBuilder builder (built.design);
    builder.addDsp (dspId, projecttest::studioCore8, 0.5, 0.5);
    auto& compander = builder.addProcess (dspId, "Compander", 0.5, 0.5, 2);
    projecttest::DesignBuilder::setLastSaved (compander, { { "Threshold1", 12 }, { "Ratio21", 7 } });
    const auto saved = ProjectFile::createXml (built.design, {})->toString();

    projecttest::LibraryAndDesign opened;
    std::map<uint32_t, uint32_t> sent;
    auto& node = openAndSend (saved, opened, [&] (int, uint32_t param, uint32_t value) { sent[param & 0xFF] = value; });

    // Threshold2 and Threshold21 start at their defaults (70 and 30), not 0.
    EXPECT_EQ (sent, (std::map<uint32_t, uint32_t>{
                         { 0, 12 }, { 1, 70 }, { 2, 30 }, { 3, 30 }, { 4, 30 }, { 5, 30 }, { 6, 7 }, { 7, 5 } }));

    Box shown (node, opened.design.getSettings().getSamplingRateKhz(), true);
    EXPECT_EQ (shown.getShownValue ("Threshold2"), 70u);
    EXPECT_EQ (shown.getShownValue ("Threshold21"), 30u);
    EXPECT_EQ (shown.getShownValue ("Threshold1"), 12u);
}

// An equaliser whose sliders are named as its band controls (as the shipped
// one's once were), saved while a band control and a slider of one name
// shared a value: the one value is the slider's (its number came with it),
// which the slider takes back under its own name; the band control starts
// from its default.
TEST_F (ShippedProcessValuesTest, ASliderThatSharedItsNameWithABandControlFindsItsSavedValue)
{
    projecttest::LibraryAndDesign built;
    projecttest::DesignBuilder builder (built.design);
    builder.addDsp (dspId, projecttest::commandTest, 0.5, 0.5);
    auto& eq = builder.addProcess (dspId, "ClashingEq", 0.5, 0.5, 2);
    auto& old = eq.presetStore;
    old.markBuilding();
    old.addOrUpdateControl (0x401f, "Q1", true);
    old.addOrUpdateControl (0x005d, "Gain1", true);
    old.addOrUpdateControl (0x003e, "Q1", true); // the slider, last
    old.addOrUpdateControl (0x4000, "Gain1", true);
    old.markBuilt();
    old.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    old.getCurrentPresetRecord()->values = { 5200, 80 };
    const auto saved = ProjectFile::createXml (built.design, {})->toString();

    projecttest::LibraryAndDesign opened;
    auto& store = openAndSend (saved, opened, {}).presetStore;
    ASSERT_TRUE (store.findPreset (ProcessPresetStore::lastSavedPresetName));

    for (const auto& [name, value] :
         { std::pair ("Q1 (2)", 5200u), std::pair ("Gain1 (2)", 80u), std::pair ("Q1", 955u), std::pair ("Gain1", 64u) })
    {
        ASSERT_TRUE (store.findControl (name)) << name;
        EXPECT_EQ (store.getCurrentValue(), value) << name;
    }
}
