#pragma once

#include "model/GraphData.h"
#include "model/ModuleLibrary.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace vxtest
{
// A module of processes of every pin shape the editors care about, one DSP
// running it, and that DSP's process graph; processes are placed as the
// process editor places them (graph node and registry entry).
class ProcessTestLibrary
{
public:
    static constexpr uint32_t moduleId = 0x21;
    static constexpr uint32_t dspId = 1;
    static constexpr uint32_t plainKind = 1; // neither vector nor virtual

    struct PinSpec
    {
        const char* name;
        bool input;
        uint32_t kind;
    };

    explicit ProcessTestLibrary (uint32_t dspInputs = 8, uint32_t dspOutputs = 6)
    {
        auto m = std::make_unique<ModuleDefinition>();
        m->moduleId = moduleId;
        m->name = "TestCore";
        m->ownCycles = 48;
        m->dspRamBudget = 1000;
        m->dspInputCount = dspInputs;
        m->dspOutputCount = dspOutputs;
        module = library.addModule (std::move (m));
        entry = library.addDsp (dspId, moduleId, 0);

        // One vector pin per side: the channels travel together.
        define ("Vector", 0x201, 1, 1, 0xC0000002, { { "In", true, 2 }, { "Out", false, 2 } }, 0x4001);
        define ("Plain", 0x02, 2, 2, 1,
                { { "In1", true, plainKind },
                  { "In2", true, plainKind },
                  { "Out1", false, plainKind },
                  { "Out2", false, plainKind } });
        define ("Keyed", 0x03, 2, 2, 1,
                { { "In", true, plainKind }, { "Key", true, 3 }, { "Out", false, plainKind }, { "Send", false, 3 } });
        define ("BusSendN", 0x04, 1, 2, 1,
                { { "In", true, plainKind }, { "Out1", false, plainKind }, { "Out2", false, plainKind } });
        // The inputs follow the count (an N-input mixer with one output). A
        // default count with any of the bits 0x1D would fix the pin counts.
        define ("MixN", 0x205, 2, 1, 0x40000002,
                { { "In1", true, plainKind },
                  { "In2", true, plainKind },
                  { "In3", true, plainKind },
                  { "In4", true, plainKind },
                  { "Out", false, plainKind } });
        // The outputs follow the count (a splitter with one input).
        define ("SplitN", 0x206, 1, 2, 0x80000002,
                { { "In", true, plainKind },
                  { "Out1", false, plainKind },
                  { "Out2", false, plainKind },
                  { "Out3", false, plainKind },
                  { "Out4", false, plainKind } });
    }

    ProcessDefinition* define (const std::string& name, uint32_t id, uint32_t inputs, uint32_t outputs, uint32_t channelWord,
                               const std::vector<PinSpec>& pins, uint32_t kind = 0)
    {
        auto p = std::make_unique<ProcessDefinition>();
        p->name = name;
        p->processId = id;
        p->inputCount = inputs;
        p->outputCount = outputs;
        p->defaultChannelWord = channelWord;
        p->hasChannelWord = (id & ProcessDefinition::channelWordPresentBit) != 0;
        p->processKind = kind;
        p->hasKind = kind != 0;
        p->baseCycles = 10;
        p->cyclesPerChannel = 20;
        p->pins.setCapacity ((int) pins.size());

        for (auto& pin : pins)
            p->addPin (pin.name, pin.input ? 1 : 0, pin.kind);

        return module->addProcess (std::move (p), false);
    }

    const ProcessDefinition* findDefinition (const std::string& name) const
    {
        for (auto& p : module->getProcesses())
            if (p->name == name)
                return p.get();

        ADD_FAILURE() << "no process " << name;
        return nullptr;
    }

    // Places a process at (x, y) and returns its node id.
    uint32_t place (const std::string& name, double x = 0.25, double y = 0.25)
    {
        auto* definition = findDefinition (name);
        graph.addNode (juce::String (name), true, definition, x, y);
        auto* node = graph.getLastAddedNode();
        entry->addProcessInstance ((int) node->getId(), definition->processId);
        return node->getId();
    }

    GraphNode& node (uint32_t id) const
    {
        auto* n = graph.findNodeById (id);
        EXPECT_NE (n, nullptr) << "no node " << id;
        return *n;
    }

    // The graph as plain values, ids and NRPN numbers included, for before
    // and after comparisons.
    struct Snapshot
    {
        std::vector<std::tuple<uint32_t, uint32_t, std::string, uint32_t, uint32_t, uint32_t, uint32_t, int>> nodes;
        std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, int>> connections;
        std::vector<std::tuple<uint32_t, uint32_t, int, std::string>> busPins;
        std::vector<std::pair<int, uint32_t>> instances;

        bool operator== (const Snapshot& o) const
        {
            return nodes == o.nodes && connections == o.connections && busPins == o.busPins && instances == o.instances;
        }
    };

    Snapshot snapshot() const
    {
        Snapshot s;

        for (int i = 0; i < graph.getNumNodes(); ++i)
        {
            auto* n = graph.getNode (i);
            s.nodes.emplace_back (n->getId(), n->nrpn, n->getName().toStdString(), n->channelWord, n->memoryWord, n->inputCount,
                                  n->outputCount, n->memoryChoice);
        }

        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            auto* c = graph.getConnection (i);
            s.connections.emplace_back (c->sourceNode, c->sourcePin, c->destNode, c->destPin, c->flag);
        }

        for (int i = 0; i < graph.getNumBusPins(); ++i)
        {
            auto* p = graph.getBusPin (i);
            s.busPins.emplace_back (p->nodeId, p->pinIndex, p->direction, p->name.toStdString());
        }

        for (int i = 0; i < entry->getProcessCount(); ++i)
            s.instances.emplace_back (entry->getProcessInstance (i)->nodeNumber, entry->getProcessInstance (i)->processId);

        return s;
    }

    ModuleLibrary library;
    ModuleDefinition* module = nullptr;
    DspDefinitionEntry* entry = nullptr;
    GraphData graph;
};

inline void PrintTo (const ProcessTestLibrary::Snapshot& s, std::ostream* os)
{
    *os << s.nodes.size() << " nodes:";
    for (auto& n : s.nodes)
        *os << " [" << std::get<0> (n) << " nrpn " << std::get<1> (n) << " " << std::get<2> (n) << " word " << std::get<3> (n)
            << "]";
    *os << "; connections:";
    for (auto& c : s.connections)
        *os << " " << std::get<0> (c) << "." << std::get<1> (c) << "->" << std::get<2> (c) << "." << std::get<3> (c);
    *os << "; bus pins:";
    for (auto& p : s.busPins)
        *os << " " << std::get<0> (p) << "." << std::get<1> (p) << (std::get<2> (p) ? "in " : "out ") << std::get<3> (p);
    *os << "; instances:";
    for (auto& e : s.instances)
        *os << " " << e.first;
}
} // namespace vxtest
