#pragma once

#include "model/ProcessPresetStore.h"

#include <memory>

// One stored preset store of a process class: the store kept for one channel
// count, with the preset table id that global preset keys and the generated
// preset tables address it by.
struct ClassPresetEntry
{
    int count = 0;
    int tableId = -1;
    std::unique_ptr<ProcessPresetStore> store;
};
