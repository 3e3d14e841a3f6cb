#include "generator/PanelTestDesigns.h"

#include "generator/PanelScriptWriter.h"
#include "generator/VuMeterIdPool.h"
#include "halvix/HalvixLibrary.h"
#include "halvix/HalvixPanel.h"
#include "halvix/HalvixPanelObject.h"
#include "halvix/PanelExpression.h"
#include "halvix/PanelScriptParser.h"
#include "hvif/HvIfCallback.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"
#include "model/ProcessPresetStore.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using paneltest::PanelDesign;

namespace
{
using Bytes = std::vector<uint8_t>;

class RecordingCallback : public HvIfCallback
{
public:
    bool onPanelClosed (HvIfPanelWindow* window) override
    {
        closed.push_back (window);
        return false;
    }

    bool onValueChanged (HvIfPanel* panel) override
    {
        changedPanels.push_back (panel);
        return true;
    }

    bool sendShortMessage (uint32_t packed) override
    {
        shortMessages.push_back (packed);
        return true;
    }

    bool sendSysEx (const uint8_t* data, int length) override
    {
        sysEx.emplace_back (data, data + length);
        return true;
    }

    std::vector<HvIfPanelWindow*> closed;
    std::vector<HvIfPanel*> changedPanels;
    std::vector<uint32_t> shortMessages;
    std::vector<Bytes> sysEx;
};

struct Described
{
    juce::String text;
    std::unique_ptr<GraphNode> node;
    ProcessPresetStore store;
    int meterId = -1;
};

std::unique_ptr<Described> describe (const PanelDesign& design)
{
    auto described = std::make_unique<Described>();
    described->node = paneltest::makeNode (design);
    VuMeterIdPool pool;
    PanelScriptWriter writer (*described->node->getProcessDefinition(), *described->node, design.dspId, design.rateKhz,
                              design.sliderValue);
    described->text = writer.write (described->store, false, described->meterId, pool);
    described->store.markBuilt();
    return described;
}

std::unique_ptr<HalvixPanel> load (const juce::String& text, HvIfCallback* callback)
{
    auto result = PanelScriptParser::parse (text);
    EXPECT_NE (result.model, nullptr) << result.errors.joinIntoString ("\n");
    return result.model != nullptr ? std::make_unique<HalvixPanel> (std::move (result.model), callback) : nullptr;
}

// The names the store registered, each the name of one control of the panel.
std::set<juce::String> uniqueNames (const ProcessPresetStore& store, const PanelModel& model)
{
    std::map<juce::String, int> counts;

    for (const auto& item : model.getItems())
        if (item->hasValue())
            ++counts[item->getControlName()];

    std::set<juce::String> names;

    for (int i = 0; i < store.getControlCount(); ++i)
    {
        EXPECT_EQ (counts[store.getControl (i)->name], 1) << store.getControl (i)->name;
        names.insert (store.getControl (i)->name);
    }

    return names;
}

class PanelRoundTripTest : public ::testing::TestWithParam<PanelDesign>
{
};
} // namespace

//==============================================================================
// Every description the writer produces reads without a problem, and every
// control it registered is found by that name.
TEST_P (PanelRoundTripTest, EveryRegisteredControlIsFoundByName)
{
    const auto described = describe (GetParam());
    const auto result = PanelScriptParser::parse (described->text);

    ASSERT_NE (result.model, nullptr);
    EXPECT_TRUE (result.errors.isEmpty()) << result.errors.joinIntoString ("\n");
    EXPECT_TRUE (result.warnings.isEmpty()) << result.warnings.joinIntoString ("\n");
    EXPECT_TRUE (result.model->getTitle().startsWith (GetParam().processName)) << result.model->getTitle();

    std::set<juce::String> itemNames;

    for (auto* item = result.model->getFirstValueControl(); item != nullptr; item = static_cast<PanelControl*> (item->getNext()))
    {
        itemNames.insert (item->getControlName());
        EXPECT_FALSE (item->getMessage().isEmpty()) << item->getControlName();
        EXPECT_EQ (item->getValue(), item->getDefault());
    }

    std::set<juce::String> registered;

    for (int i = 0; i < described->store.getControlCount(); ++i)
        registered.insert (described->store.getControl (i)->name);

    EXPECT_EQ (itemNames, registered);
}

// A preset loaded into the panel shows its values, and taken back from the
// panel it comes out unchanged: nothing is lost between a load and a save.
TEST_P (PanelRoundTripTest, PresetValuesSurviveALoadAndASave)
{
    const auto& design = GetParam();
    auto described = describe (design);
    const auto plain = load (described->text, nullptr);
    ASSERT_NE (plain, nullptr);

    auto& store = described->store;
    ASSERT_TRUE (store.selectOrAddPreset ("User", 0, true));
    std::mt19937 random (4140);
    std::map<juce::String, uint32_t> chosen;

    for (const auto& name : uniqueNames (store, plain->getModel()))
    {
        const auto* control = plain->getModel().findControl (name);
        auto value = control->getMinimum() + (uint32_t) (random() % (control->getMaximum() - control->getMinimum() + 1));

        if (! control->getOptions().empty())
            value = control->getOptions()[random() % control->getOptions().size()].value;

        ASSERT_TRUE (store.findControl (name));
        store.setCurrentValue (value);
        chosen[name] = value;
    }

    VuMeterIdPool pool;
    PanelScriptWriter writer (*described->node->getProcessDefinition(), *described->node, design.dspId, design.rateKhz,
                              design.sliderValue);
    const auto replaced = writer.write (store, true, described->meterId, pool);
    const auto panel = load (replaced, nullptr);
    ASSERT_NE (panel, nullptr);

    ProcessPresetStore saved (store);
    ASSERT_TRUE (saved.selectOrAddPreset ("(Last-Saved)", 0, true));
    saved.takeValuesFromPanel (*panel, "(Last-Saved)");

    for (const auto& [name, value] : chosen)
    {
        ASSERT_TRUE (saved.findControl (name));
        EXPECT_EQ (saved.getCurrentValue(), value) << design.name << ": " << name;
    }
}

INSTANTIATE_TEST_SUITE_P (PanelScriptParserTest, PanelRoundTripTest, ::testing::ValuesIn (paneltest::getPanelDesigns()),
                          [] (const auto& test) { return std::string (test.param.name); });

//==============================================================================
TEST (PanelScriptParserTest, EachMessageFormSendsItsBytes)
{
    RecordingCallback callback;
    const auto panel = load ("[Test]\n"
                             "SLIDER[Raw,min=0,max=16383]=  0xB1 0x63 0x05 0xB1 0x62 0x03 0xB1 0x26 xl 0xB1 0x6 xh\n"
                             "DROPDOWN[Mode|Off=0|On=5]= NRPN[0x05.04,xl,1]\n"
                             "SLIDER[Fine,max=16383]= NRPN[0x05.06,x,15]\n"
                             "ENCODER[Freq,min=81920,max=88473600]= 0xF0 0 0x3A 0x7E 0x3D 1 0x05 0x3e 4 xh3 xh2 xh xl 0xF7\n",
                             &callback);
    ASSERT_NE (panel, nullptr);

    ASSERT_TRUE (panel->changeValue ("Raw", 0x1234));
    EXPECT_EQ (callback.shortMessages, (std::vector<uint32_t>{ 0xB16305, 0xB16203, 0xB12634, 0xB10624 }));
    EXPECT_EQ (callback.changedPanels, std::vector<HvIfPanel*>{ panel.get() }) << "the change is reported with its panel";

    callback.shortMessages.clear();
    ASSERT_TRUE (panel->changeValue ("Mode", 5));
    EXPECT_EQ (callback.shortMessages, (std::vector<uint32_t>{ 0xB16305, 0xB16204, 0xB10605 }));

    callback.shortMessages.clear();
    ASSERT_TRUE (panel->changeValue ("Fine", 300));
    EXPECT_EQ (callback.shortMessages, (std::vector<uint32_t>{ 0xBF6305, 0xBF6206, 0xBF262C, 0xBF0602 }));

    ASSERT_TRUE (panel->changeValue ("Freq", 0x0ABCDEF));
    ASSERT_EQ (callback.sysEx.size(), 1u);
    EXPECT_EQ (callback.sysEx[0], (Bytes{ 0xF0, 0x00, 0x3A, 0x7E, 0x3D, 0x01, 0x05, 0x3E, 0x04, 0x05, 0x2F, 0x1B, 0x6F, 0xF7 }));

    callback.shortMessages.clear();
    EXPECT_TRUE (panel->changeValue ("Raw", 99999)) << "a value past the range is held at its end";
    EXPECT_EQ (panel->getModel().findControl ("Raw")->getValue(), 16383u);
    EXPECT_FALSE (panel->changeValue ("Nothing", 1));
}

TEST (PanelScriptParserTest, NamesComeFromNameOrTheFirstWord)
{
    const auto panel = load ("[T]\nDROPDOWN[Type|A(P)=1|B(F)=0,Name=Type1,def=1,Ref=EQ.Filter[0].Type] = NRPN[0x01.02,xl,0]\n"
                             "SLIDER[Gain,valscale=x,def=12]= NRPN[0x01.03,xl,0]\n",
                             nullptr);
    ASSERT_NE (panel, nullptr);
    auto* first = static_cast<PanelControl*> (panel->getFirstControlItem ("(Last-Saved)"));

    ASSERT_NE (first, nullptr);
    EXPECT_STREQ (first->getName(), "Type1");
    EXPECT_EQ (first->getValue(), 1u);
    EXPECT_EQ (first->getOptions().size(), 2u);
    EXPECT_EQ (first->getAttribute ("ref"), "EQ.Filter[0].Type");
    ASSERT_NE (first->getNext(), nullptr);
    EXPECT_STREQ (first->getNext()->getName(), "Gain");
    EXPECT_EQ (first->getNext()->getValue(), 12u);
    EXPECT_EQ (first->getNext()->getNext(), nullptr);
}

// Two controls that send one message are one parameter of the board: moving
// either shows the value on both and sends the message once.
TEST (PanelScriptParserTest, ControlsThatSendOneMessageShowOneValue)
{
    RecordingCallback callback;
    const auto panel =
        load ("[T]\nSLIMFADER[Q1,min=0,max=16383,def=955] =  0xB0 0x63 0x05 0xB0 0x62 0x1f 0xB0 0x26 xl 0xB0 0x6 xh\n"
              "SLIDER[Frequency1,min=20,max=20000,def=1000]=  0xB0 0x63 0x05 0xB0 0x62 0x1f 0xB0 0x26 xl 0xB0 0x6 xh\n"
              "SLIDER[Q1 (2),min=30,max=1200,def=71]= NRPN[0x05.1f,xl,0]\n",
              &callback);
    ASSERT_NE (panel, nullptr);
    auto& model = panel->getModel();

    panel->changeValue ("Frequency1", 5000);

    EXPECT_EQ (model.findControl ("Q1")->getValue(), 5000u);
    EXPECT_EQ (model.findControl ("Frequency1")->getValue(), 5000u);
    EXPECT_EQ (model.findControl ("Q1 (2)")->getValue(), 71u) << "another message";
    EXPECT_EQ (callback.shortMessages.size(), 4u) << "one message of four bytes";
}

TEST (PanelScriptParserTest, OptionsAreTakenByReferenceInAnyCaseAcrossContinuedLines)
{
    const auto result =
        PanelScriptParser::parse ("[T]\nMETER[Peak,@Vuticks,def=70,max=70,SysEx=VuValue.Val]\n"
                                  "OPTIONS[VuTicks] = \\\n  ticks=4|10(-48)|70(+12),height=90\n"
                                  "SLIMFADER[Q,@EqQEncoder,def=955] =  0xB0 0x63 0x01 0xB0 0x62 0x02 0xB0 0x26 xl 0xB0 0x6 xh\n"
                                  "Options[EqQEncoder] = ValScale=0.3+((x/16383.0)^2*119.7),ValPrec=3,min=0,max=16383\n");
    ASSERT_NE (result.model, nullptr);
    const auto& meter = *result.model->getItems()[0];
    const auto& fader = *result.model->getItems()[1];

    ASSERT_EQ (meter.getTicks().size(), 3u);
    EXPECT_EQ (meter.getTicks()[1].position, 10);
    EXPECT_EQ (meter.getTicks()[1].label, "-48");
    EXPECT_EQ (meter.getAttribute ("height"), "90");
    EXPECT_EQ (fader.getMaximum(), 16383u);
    EXPECT_EQ (fader.getDefault(), 955u);
    EXPECT_EQ (fader.getValueText (16383), "120.000");
}

TEST (PanelScriptParserTest, BoxesBreaksAndGraphicControlsMakeTheLayout)
{
    const auto result =
        PanelScriptParser::parse ("[T]\nLayout[Height=250]\nPolyEQV2[EQ,Width=700, Height=80]\nBoxStart[EQ controls,width=700]\n"
                                  "SLIDER[A]= NRPN[0x01.01,xl,0]\nBreak\nSLIDER[B]= NRPN[0x01.02,xl,0]\nBoxEnd\n\n"
                                  "BoxStart[Biquad Control]\nCHECKBOX[C,def=0,min=0,max=1,]= NRPN[0x01.03,xl,0]\nBREAK\nBoxEnd\n"
                                  "[CustomControl:PolyEQV2]\nvar Bands = 1;\nfunction Ctl_Repaint()\n{\n}\n[Second title]\n");
    ASSERT_NE (result.model, nullptr);
    const auto& boxes = result.model->getBoxes();

    ASSERT_EQ (boxes.size(), 3u);
    EXPECT_EQ (boxes[0].columns[0].size(), 1u) << "the graphic control stands before any box";
    EXPECT_EQ (boxes[0].columns[0][0]->getKind(), PanelControl::Kind::graphic);
    EXPECT_EQ (boxes[1].title, "EQ controls");
    EXPECT_EQ (boxes[1].width, 700);
    ASSERT_EQ (boxes[1].columns.size(), 2u);
    EXPECT_EQ (boxes[1].columns[1][0]->getControlName(), "B");
    EXPECT_EQ (boxes[2].title, "Biquad Control");
    EXPECT_EQ (result.model->getTitle(), "T");
    EXPECT_EQ (result.warnings.size(), 1) << "the second title: " << result.warnings.joinIntoString ("|");
}

//==============================================================================
// Texts that do not read give a message and, without a title, no panel;
// none of them crashes the library.
TEST (PanelScriptParserTest, DamagedTextsAreReportedNeverFatal)
{
    struct Case
    {
        const char* text;
        bool givesPanel;
        bool reported = true;
    };

    const Case cases[] = {
        { "", false },
        { "SLIDER[Gain]= NRPN[0x01.02,xl,0]\n", false },
        { "[T]\nSLIDER[Gain= NRPN[0x01.02,xl,0]\n", true },
        { "[T]\nSLIDER[Gain]= NRPN[0x01.02]\n", true },
        { "[T]\nSLIDER[Gain]= NRPN[0x1FF.02,xl,0]\n", true },
        { "[T]\nSLIDER[Gain]= NRPN[0x01.02,xl,16]\n", true },
        { "[T]\nSLIDER[Gain]= 0x63 0x01\n", true },
        { "[T]\nSLIDER[Gain]= 0xB0 0x63 0x01 0x02\n", true },
        { "[T]\nSLIDER[Gain]= 0xF0 0x01 0x81 0xF7\n", true },
        { "[T]\nSLIDER[Gain]= 0xF0 0x01 0x02\n", true },
        { "[T]\nSLIDER[Gain]= 0xB0 zz\n", true },
        { "[T]\nSYSEX[RcvMeter] = 00h BLOCK[VuValue] F7h\n", true },
        { "[T]\nSYSEXBUF[] = \n", true },
        { "[T]\nWHATEVER[x]\nsomething\n", true },
        { "[T]\nSLIDER[Gain,@Missing]= NRPN[0x01.02,xl,0]\n", true },
        { "[T]\nSLIDER[Gain,min=((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1]= NRPN[0x01.02,xl,0]\n",
          true, false },
        { "[CustomControl:PolyEQV2]\n[not a title\n", true },
        { "\x01\x02\xff\xfe[\x80]\n", false },
    };

    for (const auto& c : cases)
    {
        const auto result = PanelScriptParser::parse (HalvixPanelObject::decodeText (c.text));
        EXPECT_EQ (result.model != nullptr, c.givesPanel) << c.text;

        EXPECT_FALSE (result.errors.isEmpty() && result.warnings.isEmpty() && c.reported) << "no message for: " << c.text;
    }

    // Numbers too large for an integer are held to the range they stand for.
    const auto huge = PanelScriptParser::parse ("[T]\nDROPDOWN[Type|A=1e30|B=-1e30|C=2.7|D=1/0]= NRPN[0x01.02,xl,0]\n"
                                                "SLIDER[Gain,valprec=1e30,valscale=x/3,height=-1e300]= NRPN[0x01.03,xl,0]\n");
    ASSERT_NE (huge.model, nullptr);
    const auto& items = huge.model->getItems();
    ASSERT_EQ (items.size(), 2u);
    std::vector<uint32_t> optionValues;

    for (const auto& option : items[0]->getOptions())
        optionValues.push_back (option.value);

    EXPECT_EQ (optionValues, (std::vector<uint32_t>{ 0xFFFFFFFFu, 0, 2, 3 }));
    EXPECT_EQ (items[1]->getValueText (1), "0.333333");
    EXPECT_EQ (items[1]->getWholeNumber ("height", 80, 40, 400), 40);
}

TEST (PanelScriptParserTest, RandomDamageToEveryDescriptionNeverCrashes)
{
    std::mt19937 random (4105);
    const char noise[] = "[]=,|@\\\n xhl0F7BLOCK(";
    int panels = 0;

    for (const auto& design : paneltest::getPanelDesigns())
    {
        const auto text = describe (design)->text.toStdString();

        for (int round = 0; round < 60; ++round)
        {
            auto damaged = text;

            for (int edits = 1 + (int) (random() % 8); edits > 0 && ! damaged.empty(); --edits)
            {
                const auto at = random() % damaged.size();

                switch (random() % 3)
                {
                    case 0: damaged.erase (at, 1 + random() % 40); break;
                    case 1: damaged.insert (at, 1, noise[random() % (sizeof (noise) - 1)]); break;
                    default: damaged[at] = (char) (random() % 256); break;
                }
            }

            auto result = PanelScriptParser::parse (HalvixPanelObject::decodeText (damaged));

            if (result.model != nullptr)
            {
                ++panels;
                HalvixPanel panel (std::move (result.model), nullptr);

                for (auto* item = panel.getFirstControlItem (""); item != nullptr; item = item->getNext())
                    panel.changeValue (*static_cast<PanelControl*> (item), item->getValue() + 1);
            }
        }
    }

    EXPECT_GT (panels, 0);
}

//==============================================================================
TEST (PanelScriptParserTest, ExpressionsOfThePanelTexts)
{
    struct Case
    {
        const char* text;
        double x;
        bool valid;
        double expected;
    };

    const Case cases[] = {
        { "(x-64)/2", 94, true, 15 },
        { "0.3+((x/16383.0)^2*119.7)", 16383, true, 120 },
        { "(x>=0.3)?sqrt(4.459717e-7*(x-0.3))/4.459717e-7:1", 0.2, true, 1 },
        { "(x)?0:180", 0, true, 180 },
        { "(x)?0:180", 1, true, 0 },
        { "16383*(500*(44.1/65535))", 0, true, 16383 * (500 * (44.1 / 65535)) },
        { "2^3^2", 0, true, 512 },
        { "-x+max(2,3)", 1, true, 2 },
        { "x/0", 1, false, 0 },
        { "x+", 1, false, 0 },
        { "y*2", 1, false, 0 },
        { "sqrt(1,2)", 1, false, 0 },
        { "", 1, false, 0 },
    };

    for (const auto& c : cases)
    {
        double result = -1;
        EXPECT_EQ (PanelExpression::evaluate (c.text, c.x, result), c.valid) << c.text;

        if (c.valid)
        {
            EXPECT_NEAR (result, c.expected, 1e-9) << c.text;
        }
    }

    double deep = 0;
    EXPECT_FALSE (PanelExpression::evaluate (juce::String::repeatedString ("(", 5000) + "1", 0, deep));
}

//==============================================================================
// The library in-process, as the program drives it: a text loaded through a
// panel object, the board's meter answer stored for the meter, and windows
// closed by the user reported once.
TEST (PanelScriptParserTest, TheLibraryInProcessLoadsReceivesAndReports)
{
    RecordingCallback callback;
    auto* library = new HalvixLibrary (&callback);
    auto* object = library->createPanelObject();
    const auto described = describe (paneltest::getPanelDesigns()[3]); // compressor, meter id 0

    HvIfStringInput input (described->text);
    MyErrorHandler messages;
    ASSERT_TRUE (object->loadPanelScript (input, messages));
    EXPECT_TRUE (messages.getFirstText().isEmpty()) << messages.getFirstText();

    HvIfPanel* loaded = nullptr;
    ASSERT_TRUE (object->getPanel (&loaded));
    auto& panel = *static_cast<HalvixPanel*> (loaded);
    auto* buffer = panel.getModel().findBuffer ("VuValue");
    ASSERT_NE (buffer, nullptr);

    const Bytes otherMeter{ 0xF0, 0x00, 0x3A, 0x7E, 0x01, 0x33, 0xF7 };
    const Bytes ourMeter{ 0xF0, 0x00, 0x3A, 0x7E, 0x00, 0x2A, 0xF7 };
    library->handleSysEx (otherMeter.data(), (int) otherMeter.size());
    EXPECT_EQ (buffer->getField (0), 0);
    library->handleSysEx (ourMeter.data(), (int) ourMeter.size());
    EXPECT_EQ (buffer->getField (0), 0x2A);
    library->handleSysEx (nullptr, 5);

    auto* window = static_cast<HalvixPanelWindow*> (panel.createWindow (nullptr));
    window->reportClosedByUser();
    window->reportClosedByUser();
    EXPECT_EQ (callback.closed, (std::vector<HvIfPanelWindow*>{ window }));
    window->close();
    window->close();
    EXPECT_TRUE (window->isClosed());

    object->handleMidiEvent (0x0BB06302);
    EXPECT_EQ (callback.shortMessages, (std::vector<uint32_t>{ 0xB06302 }));

    HvIfStringInput empty (juce::String ("\n"));
    EXPECT_FALSE (object->loadPanelScript (empty, messages));
    EXPECT_TRUE (messages.getFirstText().contains ("no title"));

    library->release();
    loaded->release();
    object->release();
}
