#include "model/ConnectionRules.h"

#include "model/DesignLog.h"

#include "support/ProcessTestLibrary.h"

#include <functional>

namespace
{
using Rules = ConnectionRules;
using Pin = ConnectionRules::Pin;

// Nodes placed by every case, in this order: ids 1 to 7.
enum : uint32_t
{
    vecA = 1,
    vecB,
    plainA,
    plainB,
    keyedA,
    keyedB,
    busSend
};

struct RulesDesign : vxtest::ProcessTestLibrary
{
    RulesDesign()
    {
        for (auto* name : { "Vector", "Vector", "Plain", "Plain", "Keyed", "Keyed", "BusSendN" })
            place (name);
    }

    void connect (uint32_t s, uint32_t sp, uint32_t d, uint32_t dp) { graph.addConnection (s, sp, d, dp); }
    void name (uint32_t node, uint32_t pin, bool input, const char* text) { graph.addBusPin (node, pin, input ? 1 : 0, text); }
};

Pin in (uint32_t node, uint32_t pin)
{
    return { node, pin, true };
}

Pin out (uint32_t node, uint32_t pin)
{
    return { node, pin, false };
}

struct Case
{
    const char* what;
    std::function<void (RulesDesign&)> setUp;
    // A connection drag from `from` dropped on `to`, or with a name, that
    // name given to `to`.
    Pin from, to;
    const char* busPinName;
    bool accepted;
    const char* message;
    bool isVirtual;
};

void PrintTo (const Case& c, std::ostream* os)
{
    *os << c.what;
}

const Case ruleCases[] = {
    // Rule A
    { "output onto input", {}, out (plainA, 0), in (plainB, 1), nullptr, true, "", false },
    { "input onto output: the ends swap", {}, in (plainB, 0), out (plainA, 1), nullptr, true, "", false },
    { "output onto output", {}, out (plainA, 0), out (plainB, 0), nullptr, false, Rules::accumulateMessage, false },
    { "input onto input says nothing", {}, in (plainA, 0), in (plainB, 0), nullptr, false, "", false },
    { "a process onto itself", {}, out (plainA, 0), in (plainA, 1), nullptr, false, "", false },
    { "an input already fed", [] (RulesDesign& d) { d.connect (plainA, 0, plainB, 0); }, out (keyedA, 0), in (plainB, 0), nullptr,
      false, Rules::accumulateMessage, false },
    { "a fed input of another pin is free", [] (RulesDesign& d) { d.connect (plainA, 0, plainB, 0); }, out (plainA, 1),
      in (plainB, 1), nullptr, true, "", false },
    { "virtual onto virtual makes a virtual connection", {}, out (keyedA, 1), in (keyedB, 1), nullptr, true, "", true },
    { "virtual onto a plain pin", {}, out (keyedA, 1), in (keyedB, 0), nullptr, false, "", false },
    { "plain onto a virtual pin", {}, out (keyedA, 0), in (keyedB, 1), nullptr, false, "", false },
    { "an output pin that does not exist", {}, out (plainA, 5), in (plainB, 0), nullptr, false, "", false },
    { "an input pin that does not exist", {}, out (plainA, 0), in (plainB, 7), nullptr, false, "", false },
    { "a second wire between vectors with the same step", [] (RulesDesign& d) { d.connect (vecA, 0, vecB, 0); }, out (vecA, 1),
      in (vecB, 1), nullptr, true, "", false },
    { "a second wire between vectors with another step", [] (RulesDesign& d) { d.connect (vecA, 0, vecB, 1); }, out (vecA, 0),
      in (vecB, 2), nullptr, false, Rules::stepMismatchMessage, false },
    { "a vector with a DSP output wired to a vector without", [] (RulesDesign& d) { d.name (vecA, 0, false, "DSPOUT0"); },
      out (vecA, 0), in (vecB, 0), nullptr, false, Rules::vectorConflictMessage, false },
    { "DSP outputs far enough apart",
      [] (RulesDesign& d)
      {
          d.name (vecA, 0, false, "DSPOUT0");
          d.name (vecB, 0, false, "DSPOUT1");
      },
      out (vecA, 0), in (vecB, 0), nullptr, true, "", false },
    { "DSP outputs too close",
      [] (RulesDesign& d)
      {
          d.name (vecA, 0, false, "DSPOUT2");
          d.name (vecB, 0, false, "DSPOUT2");
      },
      out (vecA, 0), in (vecB, 0), nullptr, false, Rules::vectorConflictMessage, false },

    // Rule B
    { "a DSP input on a plain input", {}, {}, in (plainA, 1), "DSPIN3", true, "", false },
    { "a DSP input on a virtual pin", {}, {}, in (keyedA, 1), "DSPIN0", false, Rules::virtualPinMessage, false },
    { "a DSP output on a virtual pin", {}, {}, out (keyedA, 1), "DSPOUT0", false, Rules::virtualPinMessage, false },
    { "two processes on one DSP output",
      [] (RulesDesign& d) { d.name (plainA, 0, false, "DSPOUT3"); },
      {},
      out (plainB, 0),
      "DSPOUT3",
      false,
      Rules::outputUsedMessage,
      false },
    { "a BusSendN shares a DSP output",
      [] (RulesDesign& d) { d.name (plainA, 0, false, "DSPOUT3"); },
      {},
      out (busSend, 1),
      "DSPOUT3",
      true,
      "",
      false },
    { "a renamed BusSendN still shares",
      [] (RulesDesign& d)
      {
          d.name (busSend, 0, false, "DSPOUT3");
          d.node (busSend).setName ("Renamed");
      },
      {},
      out (plainA, 0),
      "dspout3",
      true,
      "",
      false },
    { "a process renamed BusSendN does not",
      [] (RulesDesign& d)
      {
          d.name (plainA, 0, false, "DSPOUT3");
          d.node (plainB).setName ("BusSendN");
      },
      {},
      out (plainB, 0),
      "DSPOUT3",
      false,
      Rules::outputUsedMessage,
      false },
    { "two inputs may share a DSP input",
      [] (RulesDesign& d) { d.name (plainA, 0, true, "DSPIN2"); },
      {},
      in (plainB, 0),
      "DSPIN2",
      true,
      "",
      false },
    { "vector outputs consecutive",
      [] (RulesDesign& d) { d.name (vecA, 0, false, "DSPOUT2"); },
      {},
      out (vecA, 1),
      "DSPOUT3",
      true,
      "",
      false },
    { "vector outputs not consecutive",
      [] (RulesDesign& d) { d.name (vecA, 0, false, "DSPOUT2"); },
      {},
      out (vecA, 1),
      "DSPOUT4",
      false,
      Rules::notConsecutiveMessage,
      false },
    { "a negative offset", {}, {}, in (vecA, 2), "DSPIN1", false, Rules::notConsecutiveMessage, false },
    { "a vector wired against its new DSP output",
      [] (RulesDesign& d)
      {
          d.connect (vecA, 0, vecB, 0);
          d.name (vecB, 0, false, "DSPOUT0");
      },
      {},
      out (vecA, 0),
      "DSPOUT0",
      false,
      Rules::vectorConflictMessage,
      false },
    { "a vector wired with room for its outputs",
      [] (RulesDesign& d)
      {
          d.name (vecA, 0, false, "DSPOUT0");
          d.name (vecB, 0, false, "DSPOUT3");
          d.connect (vecA, 0, vecB, 0);
      },
      {},
      in (vecB, 0),
      "DSPIN0",
      true,
      "",
      false },
    { "a DSP output the module lacks",
      {},
      {},
      out (plainA, 0),
      "DSPOUT6",
      false,
      "DSPOUT6 is not available on this DSP's module.",
      false },
    { "a DSP output past the eighth",
      {},
      {},
      in (plainA, 0),
      "DSPIN8",
      false,
      "DSPIN8 is not available on this DSP's module.",
      false },
    { "an input name on an output pin", {}, {}, out (plainA, 0), "DSPIN0", false, "", false },
    { "a name that is none", {}, {}, out (plainA, 0), "IBUS3", false, "", false },
    { "the same name on the same pin again",
      [] (RulesDesign& d) { d.name (plainA, 0, true, "DSPIN0"); },
      {},
      in (plainA, 0),
      "DSPIN0",
      false,
      "",
      false },
    { "an output pin past the process's last", {}, {}, out (plainA, 4), "DSPOUT0", false, "", false },
};

class ConnectionRulesTest : public ::testing::TestWithParam<Case>
{
protected:
    void TearDown() override { clearDesignFlags(); }
};

Rules::Verdict ask (const RulesDesign& design, const Case& c, const ModuleDefinition* module)
{
    const Rules rules (design.graph, module);

    if (c.busPinName != nullptr)
        return rules.checkBusPinAssignment (c.to, c.busPinName);

    const Rules::DragStart start = c.from.isInput ? Rules::DragStart{ 0, c.from.index, c.from.nodeId, c.from.index }
                                                  : Rules::DragStart{ c.from.nodeId, c.from.index, 0, c.from.index };
    return rules.checkConnectionDrop (start, c.to);
}
} // namespace

TEST_P (ConnectionRulesTest, AnswersWithItsMessage)
{
    const auto& c = GetParam();
    RulesDesign design;

    if (c.setUp)
        c.setUp (design);

    const auto before = design.snapshot();
    const auto verdict = ask (design, c, design.module);

    EXPECT_EQ (verdict.accepted, c.accepted);
    EXPECT_EQ (verdict.message, juce::String (c.message));
    EXPECT_EQ (verdict.isVirtual, c.isVirtual);
    EXPECT_EQ (design.snapshot(), before) << "a rule changed the graph";

    // While the design is locked every request is refused, without a word.
    setDesignLocked (true);
    const auto locked = ask (design, c, design.module);
    EXPECT_FALSE (locked.accepted);
    EXPECT_TRUE (locked.message.isEmpty());
}

INSTANTIATE_TEST_SUITE_P (Rules, ConnectionRulesTest, ::testing::ValuesIn (ruleCases),
                          [] (const ::testing::TestParamInfo<Case>& param)
                          {
                              juce::String name (param.param.what);
                              return name.retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ")
                                  .replaceCharacter (' ', '_')
                                  .toStdString();
                          });

TEST (ConnectionRules, DropResolvesTheEndsWhicheverSideTheDragBegan)
{
    RulesDesign design;
    const Rules rules (design.graph, design.module);
    Rules::Ends ends;

    ASSERT_TRUE (rules.checkConnectionDrop ({ 0, 1, plainB, 1 }, out (plainA, 0), &ends).accepted);
    EXPECT_EQ (ends.sourceNode, (uint32_t) plainA);
    EXPECT_EQ (ends.sourcePin, 0u);
    EXPECT_EQ (ends.destNode, (uint32_t) plainB);
    EXPECT_EQ (ends.destPin, 1u);
}

TEST (ConnectionRules, WithoutAModuleNoDspInputOrOutputCanBeGiven)
{
    RulesDesign design;
    const Rules rules (design.graph, nullptr);

    EXPECT_FALSE (rules.checkBusPinAssignment (in (plainA, 0), "DSPIN0").accepted);
    EXPECT_TRUE (rules.checkConnectionDrop ({ plainA, 0, 0, 0 }, in (plainB, 0)).accepted);
}

TEST (ConnectionRules, RuleCHelpers)
{
    RulesDesign design;
    const Rules rules (design.graph, design.module);

    EXPECT_FALSE (rules.isVectorStepValid (vecA, 99)) << "a missing node";
    EXPECT_FALSE (rules.isVectorStepValid (plainA, vecB)) << "a source that is no vector";
    EXPECT_FALSE (rules.isVectorStepValid (vecA, vecB)) << "no DSP outputs named";
    EXPECT_TRUE (rules.hasNoVectorBusPins (plainA, false)) << "not a vector";
    EXPECT_TRUE (rules.hasNoVectorBusPins (vecA, false));
    design.name (vecA, 0, false, "DSPOUT0");
    EXPECT_FALSE (rules.hasNoVectorBusPins (vecA, false));
    EXPECT_TRUE (rules.hasNoVectorBusPins (vecA, true));
    EXPECT_FALSE (rules.hasNoVectorBusPins (99, true)) << "no node, no pin";

    EXPECT_EQ (Rules::getDspIoNumber ("DSPOUT5", false), 5);
    EXPECT_EQ (Rules::getDspIoNumber ("dspin3", true), 3);
    EXPECT_EQ (Rules::getDspIoNumber ("DSPIN3", false), -1);
    EXPECT_EQ (Rules::getDspIoNumber ("DSPOUT", false), -1);
    EXPECT_EQ (Rules::getDspIoNumber ("DSPOUTx", false), -1);
}
