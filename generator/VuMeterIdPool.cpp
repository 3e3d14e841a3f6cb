#include "generator/VuMeterIdPool.h"

#include <algorithm>

VuMeterIdPool& VuMeterIdPool::getProgramPool()
{
    static VuMeterIdPool pool;
    return pool;
}

int VuMeterIdPool::takeId()
{
    // Panels are also built by the global-preset saving thread.
    const juce::ScopedLock sl (lock);

    if (nextRisingId < idCount)
    {
        taken[(size_t) nextRisingId] = true;
        return nextRisingId++;
    }

    const auto free = std::find (taken.begin(), taken.end(), false);

    if (free == taken.end())
        return noId;

    *free = true;
    return (int) std::distance (taken.begin(), free);
}

void VuMeterIdPool::giveBack (int id)
{
    const juce::ScopedLock sl (lock);

    if (id >= 0 && id < idCount)
        taken[(size_t) id] = false;
}

int VuMeterIdPool::getTakenCount() const
{
    const juce::ScopedLock sl (lock);
    return (int) std::count (taken.begin(), taken.end(), true);
}
