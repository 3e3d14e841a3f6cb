#pragma once

#include <cstdint>
#include <vector>

// One process as the signal-flow ordering sees it: the processes feeding it
// and fed by it, the DSP inputs and outputs attached to it.
struct ProcessOrderNode
{
    // Feeding nodes, each at the position of its connection's source channel;
    // fed nodes, each at the position of its connection's destination channel.
    std::vector<ProcessOrderNode*> predecessors;
    std::vector<ProcessOrderNode*> successors;

    // The numbers of the DSP inputs and outputs on this node's pins.
    std::vector<int> inputPins;
    std::vector<int> outputPins;

    bool isSource = false;   // a DSP input enters here, or nothing feeds it at all
    bool startsFlow = false; // a DSP input enters here, or its process takes no signal at all
    bool isSink = false;     // it feeds nothing
    bool offOrder = false;   // on a feedback loop, outside the main order: never moved

    uint32_t id = 0; // the process's node id in the DSP's graph
    int index = 0;   // the process's position in the array being ordered
};
