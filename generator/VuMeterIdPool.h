#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// The ids of the level meters of every process box, program-wide. A meter id
// travels as a MIDI data byte (in the meter request and in the board's
// answer), so there are 128 of them. Ids are handed out in rising order, 0,
// 1, 2 ..., and one given back is not handed out again before the rising
// ids run out: a new box never shares an id with an answer still on its way
// to a box just gone. After 127 the ids given back are used again, lowest
// first, so that a long session with many project loads never runs out.
class VuMeterIdPool
{
public:
    static constexpr int idCount = 128;
    static constexpr int noId = -1;

    // The program's one pool.
    static VuMeterIdPool& getProgramPool();

    // A free id, or noId when all 128 are taken.
    int takeId();

    // Gives an id back; ids not taken are ignored.
    void giveBack (int id);

    int getTakenCount() const;

private:
    juce::CriticalSection lock;
    int nextRisingId = 0;
    std::vector<bool> taken = std::vector<bool> ((size_t) idCount, false);
};
