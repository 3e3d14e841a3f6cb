#include "GeneratorTestSupport.h"
#include "PanelTestDesigns.h"

#include "generator/EqualiserLists.h"
#include "generator/NrpnListRows.h"
#include "generator/PanelScriptWriter.h"
#include "generator/VuMeterIdPool.h"
#include "model/ModuleLibrary.h"
#include "model/ParameterDescriptor.h"
#include "model/PresetDocument.h"
#include "model/ProcessPresetStore.h"

#include "modulesdef/ModulesDefText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

using paneltest::PanelDesign;

namespace
{
struct Written
{
    juce::String text;
    ProcessPresetStore store;
    int meterId = -1;
    bool hasMeter = false;
};

Written writeDesign (const PanelDesign& design, VuMeterIdPool& pool, bool replacement = false)
{
    Written written;
    const auto node = paneltest::makeNode (design);
    PanelScriptWriter writer (*node->getProcessDefinition(), *node, design.dspId, design.rateKhz, design.sliderValue);
    written.store.markBuilding();
    written.text = writer.write (written.store, replacement, written.meterId, pool);
    written.store.markBuilt();
    written.hasMeter = writer.hasMeter();
    return written;
}

// The controls a store registered, one a line: name, number, fixed or secondary.
juce::String describeControls (const ProcessPresetStore& store)
{
    juce::String text;
    const auto& secondary = store.getSecondaryIndex();

    for (int i = 0; i < store.getControlCount(); ++i)
    {
        const auto* control = store.getControl (i);
        const auto isSecondary = std::find (secondary.begin(), secondary.end(), i) != secondary.end();
        text << control->name << " 0x" << juce::String::toHexString ((int) control->nrpn).paddedLeft ('0', 4)
             << (isSecondary ? " secondary" : " fixed") << "\n";
    }

    return text;
}

class PanelGoldenTest : public ::testing::TestWithParam<PanelDesign>
{
};
} // namespace

//==============================================================================
// The whole description of every kind of process, with the controls it
// registered, as kept in tests/generator/golden/panels/.
TEST_P (PanelGoldenTest, DescriptionAndRegistrationAreAsKept)
{
    const auto& design = GetParam();
    VuMeterIdPool pool;
    const auto written = writeDesign (design, pool);
    const auto actual = written.text + "=== registered controls\n" + describeControls (written.store);

    EXPECT_EQ (actual, generatortest::goldenText ("panels/" + juce::String (design.name) + ".txt", actual));
}

INSTANTIATE_TEST_SUITE_P (PanelScriptWriterTest, PanelGoldenTest, ::testing::ValuesIn (paneltest::getPanelDesigns()),
                          [] (const auto& test) { return std::string (test.param.name); });

//==============================================================================
TEST (PanelScriptWriterTest, MessageFormsOfEveryMode)
{
    struct Case
    {
        uint32_t number;
        int channel;
        PanelScriptWriter::NrpnForm form;
        const char* expected;
    };

    const Case cases[] = {
        { 0x0503, 0, PanelScriptWriter::NrpnForm::bracket7Bit, "NRPN[0x05.03,xl,0]\n" },
        { 0x0503, 0, PanelScriptWriter::NrpnForm::bracket, "NRPN[0x05.03,x,0]\n" },
        { 0x0503, 0, PanelScriptWriter::NrpnForm::raw, " 0xB0 0x63 0x05 0xB0 0x62 0x03 0xB0 0x26 xl 0xB0 0x6 xh\n" },
        { 0x2A7F, 15, PanelScriptWriter::NrpnForm::raw, " 0xBf 0x63 0x2a 0xBf 0x62 0x7f 0xBf 0x26 xl 0xBf 0x6 xh\n" },
        // Both halves are MIDI data bytes: an index or nrpn above 127 keeps its 7 bits.
        { 0x85A3, 1, PanelScriptWriter::NrpnForm::bracket7Bit, "NRPN[0x05.23,xl,1]\n" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (PanelScriptWriter::makeNrpnMessage (c.number, c.channel, c.form), c.expected) << c.expected;

    EXPECT_EQ (PanelScriptWriter::makeSysExMessage (0x0740, 2), "0xF0 0 0x3A 0x7E 0x3D 2 0x07 0x40 4 xh3 xh2 xh xl 0xF7\n");
    EXPECT_EQ (PanelScriptWriter::makeSysExMessage (0x07C1, 2), "0xF0 0 0x3A 0x7E 0x3D 2 0x07 0x41 4 xh3 xh2 xh xl 0xF7\n");
}

TEST (PanelScriptWriterTest, TitleLineStaysOneLineWithOneClosingBracket)
{
    EXPECT_EQ (PanelScriptWriter::makeTitleLine ("Main EQ", "ParamEq8", 2, 5), "[Main EQ  { ParamEq8 }  DSP2 - #5]\n");
    EXPECT_EQ (PanelScriptWriter::makeTitleLine ("Left]\nRight[1]", "Eq|8", 1, 3), "[Left) Right(1)  { Eq/8 }  DSP1 - #3]\n");
}

TEST (PanelScriptWriterTest, NumbersAreShortestDecimals)
{
    EXPECT_EQ (PanelScriptWriter::formatNumber (48.0), "48");
    EXPECT_EQ (PanelScriptWriter::formatNumber (44.1), "44.1");
    EXPECT_EQ (PanelScriptWriter::formatNumber (44.1 * 2.0), "88.2");
    EXPECT_EQ (PanelScriptWriter::formatNumber (3 * 88.2), "264.6");
    EXPECT_EQ (PanelScriptWriter::formatNumber (176.4), "176.4");
    EXPECT_EQ (PanelScriptWriter::formatNumber (0.0), "0");
}

TEST (PanelScriptWriterTest, DefaultIsReplacedInAnyCaseOrAppended)
{
    struct Case
    {
        const char* attributes;
        uint32_t value;
        const char* expected;
    };

    const Case cases[] = {
        { "Gain,valscale=x,def=64,valprec=1", 80, "Gain,valscale=x,def=80,valprec=1" },
        { "Gain,Def=64", 3, "Gain,Def=3" },
        { "Level,min=0,max=16383, valUnit=, def=10,valprec=1", 900, "Level,min=0,max=16383, valUnit=, def=900,valprec=1" },
        { "Enable,def=0,min=0,max=1,x,def=1", 1, "Enable,def=1,min=0,max=1,x,def=1" },
        { "Level,valscale=x-96, valUnit=dB, valprec=1", 70, "Level,valscale=x-96, valUnit=dB, valprec=1,def=70" },
        { "Mode|Off=0|On=1", 1, "Mode|Off=0|On=1,def=1" },
        { "Undef=4", 2, "Undef=4,def=2" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (PanelScriptWriter::withDefault (c.attributes, c.value), c.expected) << c.attributes;
}

TEST (PanelScriptWriterTest, CrossoverListShrinksTowardsTheLastBand)
{
    const auto first = getCrossoverTypeList (0, 4);
    const auto last = getCrossoverTypeList (3, 4);

    EXPECT_TRUE (first.contains ("48dB/Oct 4-band(L)=70"));
    EXPECT_TRUE (first.contains ("Bessel Highpass 18dB/Oct 2-bands(H)=114"));
    EXPECT_FALSE (last.contains ("2-band"));
    EXPECT_EQ (last, "|Butterworth Lowpass 6dB/Oct 1-band(L)=65|Butterworth Lowpass 12dB/Oct 1-band(L)=66"
                     "|Bessel Lowpass 12dB/Oct 1-band(L)=73|Linkwitz-Riley Lowpass 12dB/Oct 1-band(L)=81"
                     "|Butterworth Highpass 6dB/Oct 1-band (H)=105|Butterworth Highpass 12dB/Oct 1-band(H)=106"
                     "|Bessel Highpass 12dB/Oct 1-band(H)=113|Linkwitz-Riley Highpass 12dB/Oct 1-band(H)=121");
    EXPECT_TRUE (getFilterTypeList (0x4006, 0, 1).contains ("|2nd order High Shelf 1-band(W)=8|2nd order Low Shelf"));
    EXPECT_FALSE (getFilterTypeList (0x4001, 0, 1).contains ("Shelf 1-band(W)=8"));
}

// An equaliser band's type list opens with the word "Type" and names its
// control through "Name=": the control is registered, replaced and found by
// the library under the band's name, and its list has every filter type.
TEST (PanelScriptWriterTest, BandTypeListsOpenWithTypeAndAreNamedByTheirBand)
{
    const auto& design = paneltest::getPanelDesigns()[2];
    ASSERT_EQ (juce::String (design.name), "paramEq8");
    VuMeterIdPool pool;
    auto written = writeDesign (design, pool);
    const auto node = paneltest::makeNode (design);
    const auto bands = (int) node->getChannelCount();
    ASSERT_GE (bands, 2);

    for (int b = 0; b < bands; ++b)
    {
        const juce::String band (b + 1);
        const auto expected = "DROPDOWN[Type" + getFilterTypeList (node->getProcessDefinition()->processKind, b, bands) +
                              ",Name=Type" + band + ",def=1,Ref=EQ.Filter[" + juce::String (b) + "].Type] = ";
        EXPECT_TRUE (written.text.contains ("\n" + expected)) << expected;
        EXPECT_TRUE (written.store.findControl ("Type" + band)) << band;
    }

    EXPECT_FALSE (written.text.contains ("DROPDOWN[Type1|"));

    // A preset's value reaches the band's line.
    ASSERT_TRUE (written.store.selectOrAddPreset ("(Last-Saved)", 0, true));
    ASSERT_TRUE (written.store.findControl ("Type2"));
    written.store.setCurrentValue (6);
    PanelScriptWriter writer (*node->getProcessDefinition(), *node, design.dspId, design.rateKhz, design.sliderValue);
    int meterId = written.meterId;
    const auto replaced = writer.write (written.store, true, meterId, pool);
    EXPECT_TRUE (replaced.contains (",Name=Type2,def=6,Ref=EQ.Filter[1].Type] = "));
    EXPECT_TRUE (replaced.contains (",Name=Type1,def=1,Ref=EQ.Filter[0].Type] = ")) << "the preset took its default";
}

//==============================================================================
TEST (PanelScriptWriterTest, ProcessWithoutControlFunctionsGivesNoText)
{
    ProcessDefinition bare;
    bare.name = "Bare";
    GraphNode node (1, 1, "Bare", true, &bare, 0.5, 0.5);
    ProcessPresetStore store;
    VuMeterIdPool pool;
    int meterId = -1;

    EXPECT_TRUE (PanelScriptWriter (bare, node, 1, 48.0, 1.0).write (store, false, meterId, pool).isEmpty());
    EXPECT_EQ (store.getControlCount(), 0);
}

TEST (PanelScriptWriterTest, ABuiltStoreIsNotRegisteredAgain)
{
    const auto& design = paneltest::getPanelDesigns()[3]; // compressor
    const auto node = paneltest::makeNode (design);
    ProcessPresetStore store;
    store.addOrUpdateControl (0x0201, "Only", true);
    store.markBuilt();
    VuMeterIdPool pool;
    int meterId = -1;

    PanelScriptWriter (*node->getProcessDefinition(), *node, 1, 48.0, 1.0).write (store, false, meterId, pool);

    EXPECT_EQ (store.getControlCount(), 1);
}

TEST (PanelScriptWriterTest, AReplacementShowsThePresetsValuesAndLeavesOthers)
{
    const auto& design = paneltest::getPanelDesigns()[3]; // compressor: Threshold has def=, Attack has none
    VuMeterIdPool pool;
    auto first = writeDesign (design, pool);

    // Without presets a replacement leaves the description's defaults.
    const auto node = paneltest::makeNode (design);
    PanelScriptWriter writer (*node->getProcessDefinition(), *node, design.dspId, design.rateKhz, design.sliderValue);
    int meterId = first.meterId;
    EXPECT_EQ (writer.write (first.store, true, meterId, pool), first.text);

    ASSERT_TRUE (first.store.selectOrAddPreset ("(Last-Saved)", 0, true));
    ASSERT_TRUE (first.store.findControl ("Threshold"));
    first.store.setCurrentValue (77);
    ASSERT_TRUE (first.store.findControl ("Attack"));
    first.store.setCurrentValue (240);

    const auto replaced = writer.write (first.store, true, meterId, pool);
    EXPECT_TRUE (replaced.contains ("SLIDER[Threshold,valscale=(x-64)/2,min=0,max=127,def=77,descale=2*x+64, valUnit=dB"));
    EXPECT_TRUE (replaced.contains ("SLIDER[Attack,valscale=x/48,min=1,max=500,valprec=3, valUnit=ms,def=240]= "))
        << "a line without its own value gets one, so the next save keeps the preset";
    EXPECT_TRUE (replaced.contains ("CHECKBOX[Enable,def=0,min=0,max=1,]= ")) << "the preset holds 0 for it";
    EXPECT_EQ (first.store.getControlCount(), 5) << "nothing registered twice";
}

// A delay's count is its length in ms: whatever the length, each of its
// controls is one line and one registered control, and the delay control
// still has room.
TEST (PanelScriptWriterTest, ADelayHasOneChannelWhateverItsLength)
{
    for (const uint32_t length : { 1u, 250u, 50000u })
    {
        const paneltest::PanelDesign design{ "longDelay",    paneltest::sampleModuleId, "LongDelay", length, 2, 3, 48.0,
                                             (double) length };
        VuMeterIdPool pool;
        auto written = writeDesign (design, pool);
        SCOPED_TRACE (length);

        EXPECT_EQ (written.text.upToFirstOccurrenceOf ("SLIDER[Time", false, false).length(),
                   written.text.upToLastOccurrenceOf ("SLIDER[Time", false, false).length());
        EXPECT_TRUE (written.text.contains ("SLIDER[Feedback1,")) << written.text;
        EXPECT_FALSE (written.text.contains ("SLIDER[Feedback2,"));
        EXPECT_TRUE (written.text.contains ("max=" + juce::String (length * 96) + "]= 0xF0 0 0x3A 0x7E 0x3D 1 0x03 0x00 "));
        EXPECT_EQ (describeControls (written.store), "Time1 0x8000 secondary\nFeedback1 0x4001 secondary\n");

        written.store.setHasFixedDelayControl();
        EXPECT_EQ (PresetDocument::prepareFixedDelayControl (written.store, (int) length), 1);
        EXPECT_TRUE (written.store.findControl (ProcessPresetStore::fixedDelayControlName));
        EXPECT_EQ (written.store.getCurrentValue(), 0u) << "no preset yet";
        EXPECT_EQ (written.store.getDelayCount(), length);
    }
}

namespace
{
// The control number (nrpn and index) a message of a description line
// carries, in any of its three forms; -1 for none.
int controlNumberOf (const juce::String& message)
{
    const auto tokens = juce::StringArray::fromTokens (message.replaceCharacters ("[.,]", "    "), " ", "");
    const auto at = [&tokens] (int i) { return tokens[i].getHexValue32() & 0x7F; };
    const auto bracket = tokens.indexOf ("NRPN"), raw = tokens.indexOf ("0x63"), sysEx = tokens.indexOf ("0x3D");

    if (bracket >= 0)
        return at (bracket + 1) << 8 | tokens[bracket + 2].getHexValue32();

    if (raw >= 0)
        return at (raw + 1) << 8 | tokens[raw + 4].getHexValue32();

    return sysEx >= 0 ? at (sysEx + 2) << 8 | tokens[sysEx + 3].getHexValue32() : -1;
}
} // namespace

// The shipped equalisers, with the command words their boxes build. Each
// band control reaches, through the command words the handlers list, the
// function of its band parameter (one taking a type, a 0-16383 Q, a
// frequency in Hz, a gain in dB, as its encoder sends), at the band's index,
// and the NRPN list gives that number the same band parameter's row. Every
// control of one parameter sends one message.
TEST (PanelScriptWriterTest, TheShippedEqualisersBandControlsReachTheirBandFunctions)
{
    using TypeTest = bool (*) (const ParameterTypeCode&);
    const std::pair<const char*, TypeTest> bandParameters[] = { { "DROPDOWN[Type", isParamTypeCode_4_0_25 },
                                                                { "SLIMFADER[Q", isRange16383ParamType },
                                                                { "ENCODER[Freq", isFrequencyHzParamType },
                                                                { "ENCODER[Gain", isGainDbParamType } };

    for (auto* name : { "ParamEq8", "ShelfEq2" })
    {
        const auto& definition = paneltest::findProcess (paneltest::sampleModuleId, name);
        GraphNode node (1, 5, name, true, &definition, 0.5, 0.5);
        node.channelWord = (node.channelWord & ~GraphNode::channelCountMask) | 4;
        node.buildControlIds();
        ProcessPresetStore store;
        VuMeterIdPool pool;
        int meterId = -1;
        const auto text = PanelScriptWriter (definition, node, 1, 48.0, 4.0).write (store, false, meterId, pool);
        std::map<int, juce::String> messageOfNumber;
        int bandControls = 0;

        for (auto& line : juce::StringArray::fromLines (text))
        {
            const auto message = line.fromFirstOccurrenceOf ("]= ", false, false).trim() +
                                 line.fromFirstOccurrenceOf ("] = ", false, false).trim();
            const auto number = controlNumberOf (message);

            if (number < 0)
                continue;

            SCOPED_TRACE (juce::String (name) + ": " + line.substring (0, 24) + " ... " + message);
            EXPECT_EQ (messageOfNumber.emplace (number, message).first->second, message) << "one parameter, one message";

            for (int p = 0; p < 4; ++p)
            {
                if (! line.startsWith (bandParameters[p].first))
                    continue;

                const auto band = line.fromFirstOccurrenceOf ("Filter[", false, false).getIntValue();
                const LibraryFunctionDefinition* reached = nullptr;
                int index = -1, row = -1;

                for (size_t j = 0; j < node.commandWords.size(); ++j)
                {
                    const auto first = (int) (node.commandWords[j] & 0xFFFF);

                    if (first != 0 && number >= first && number < first + 31 && definition.secondFunctions[(int) j]->isControl())
                    {
                        reached = definition.secondFunctions[(int) j];
                        row = first;
                        index = number - first;
                    }
                }

                ASSERT_NE (reached, nullptr);
                ParameterDescriptor value;
                getFunctionParameter (*reached, ParameterNumbering::parametersOnly, reached->parameterCount - 1, value);
                EXPECT_TRUE (bandParameters[p].second (value.type)) << reached->name;
                EXPECT_TRUE (reached->hasIndexParameter()) << reached->name;
                EXPECT_EQ (index, band);
                EXPECT_EQ (NrpnListRows::getFilterParameter ((uint32_t) row), p);
                ++bandControls;
            }
        }

        EXPECT_EQ (bandControls, 16) << name;
    }
}

// A node whose box has not built its command words yet: its controls are
// numbered as the box will number them, not all alike (which would make them
// all one parameter).
TEST (PanelScriptWriterTest, ANodeWithoutCommandWordsNumbersItsControlsAsItsBoxWill)
{
    for (auto* name : { "Compressor", "ParamEq8" })
    {
        const auto& definition = paneltest::findProcess (paneltest::sampleModuleId, name);
        GraphNode bare (1, 5, name, true, &definition, 0.5, 0.5);
        GraphNode built (1, 5, name, true, &definition, 0.5, 0.5);
        built.buildControlIds();
        ProcessPresetStore bareStore, builtStore;
        VuMeterIdPool pool;
        int meterId = -1;

        EXPECT_EQ (PanelScriptWriter (definition, bare, 1, 48.0, 2.0).write (bareStore, false, meterId, pool),
                   PanelScriptWriter (definition, built, 1, 48.0, 2.0).write (builtStore, false, meterId, pool));
        EXPECT_EQ (bareStore.getControlCount(), builtStore.getControlCount()) << name;
        EXPECT_TRUE (bare.commandWords.empty()) << "the node's own are left to its box";
    }
}

// A process of more controls than a process holds: the first 255 are kept,
// the rest left out of the text and named for the user.
TEST (PanelScriptWriterTest, AProcessHoldsAtMost255ControlsAndSaysWhichWereLeftOut)
{
    std::string module = "capacity 16\nversion 68\ndictionary\n    entry 0 (4,2,0) (4,2,1) (4,0,10)\nend\n"
                         "module \"Wide\"\n    id 0x0079\n    dsp-inputs 2\n    dsp-outputs 2\n"
                         "    process \"Wide\" pcs\n        id 0x0301\n        inputs 1\n        outputs 1\n"
                         "        channel-word 0x0008\n";

    // 128 sliders (raw messages), then 128 switches (7-bit messages).
    for (const auto& [label, type] : { std::pair ("Level", "(4,1,130)"), std::pair ("Mute", "(4,0,18)") })
        for (char c = 'A'; c < 'A' + 16; ++c)
            module += std::string ("        control \"Set") + label + c +
                      "\"\n            form 0\n            returns 0\n"
                      "            params 4\n            label \"" +
                      label + c +
                      "\"\n            annotation \"x\"\n"
                      "            words dict 0 " +
                      type + "\n        end\n";

    module += "        pin \"In\" in vector\n        pin \"Out\" out vector\n    end\nend\n";
    const auto reader = generatortest::readLibrary (modulesdef::ModulesDefText::parse (module));
    const auto& definition = *reader->getLibrary().findModuleById (0x79)->findProcessById (0x301);
    GraphNode node (1, 2, "Wide", true, &definition, 0.5, 0.5);
    node.buildControlIds();
    ProcessPresetStore store;
    VuMeterIdPool pool;
    int meterId = -1;
    PanelScriptWriter writer (definition, node, 1, 48.0, 8.0);
    const auto text = writer.write (store, false, meterId, pool);

    EXPECT_EQ (store.getControlCount(), 255);
    EXPECT_TRUE (text.contains ("CHECKBOX[MuteP7,"));
    EXPECT_FALSE (text.contains ("CHECKBOX[MuteP8,")) << "no line for a control the process has no room for";
    EXPECT_EQ (writer.getProblem(), "1 control of \"Wide\" left out (MuteP8): a process holds at most 255 controls.");
}

//==============================================================================
TEST (PanelScriptWriterTest, MeterIdsRiseAndAreGivenBack)
{
    VuMeterIdPool pool;
    const auto& meterDesign = paneltest::getPanelDesigns()[11]; // levelMeter
    const auto first = writeDesign (meterDesign, pool);
    const auto second = writeDesign (meterDesign, pool);

    EXPECT_TRUE (first.hasMeter);
    EXPECT_EQ (first.meterId, 0);
    EXPECT_EQ (second.meterId, 1);

    pool.giveBack (first.meterId);
    EXPECT_EQ (writeDesign (meterDesign, pool).meterId, 2) << "an id given back waits until the rising ids run out";
    EXPECT_TRUE (writeDesign (meterDesign, pool).text.contains ("SYSEX[RcvMeter] = F0h 00h 3Ah 7Eh 3h BLOCK[VuValue] F7h"));
}

TEST (PanelScriptWriterTest, MeterIdTenIsWrittenInHex)
{
    EXPECT_TRUE (PanelScriptWriter::makeMeterDefinitions (10, 0).contains ("7Eh ah BLOCK[VuValue]"));
    EXPECT_TRUE (PanelScriptWriter::makeMeterDefinitions (127, 0x4005).contains ("7Eh 7fh BLOCK"));
}

// Boxes come and go for a whole session: the ids stay 7-bit and unique among
// the boxes alive, and the pool never runs dry while fewer than 128 live.
TEST (PanelScriptWriterTest, MeterIdsStaySevenBitAndUniqueOverALongSession)
{
    VuMeterIdPool pool;
    std::mt19937 random (17);
    std::set<int> alive;

    for (int step = 0; step < 20000; ++step)
    {
        if (alive.size() < 100 && (alive.empty() || random() % 3 != 0))
        {
            const auto id = pool.takeId();
            ASSERT_GE (id, 0);
            ASSERT_LT (id, 128);
            ASSERT_TRUE (alive.insert (id).second) << "id " << id << " is already held";
        }
        else
        {
            auto it = alive.begin();
            std::advance (it, (long) (random() % alive.size()));
            pool.giveBack (*it);
            alive.erase (it);
        }

        ASSERT_EQ (pool.getTakenCount(), (int) alive.size());
    }

    while (alive.size() < 128)
        ASSERT_TRUE (alive.insert (pool.takeId()).second);

    EXPECT_EQ (pool.takeId(), VuMeterIdPool::noId);
}
