#include "model/Design.h"
#include "model/ModuleLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace
{
std::vector<uint32_t> slotIds (const Design& design)
{
    std::vector<uint32_t> ids;

    for (int i = 0; i < design.getNumDsps(); ++i)
        ids.push_back (design.getDsp (i)->getDspId());

    return ids;
}

std::vector<uint32_t> registryIds (const ModuleLibrary& library)
{
    std::vector<uint32_t> ids;

    for (int i = 0; i < library.getDspCount(); ++i)
        ids.push_back (library.getDsp (i)->dspId);

    std::sort (ids.begin(), ids.end());
    return ids;
}
} // namespace

TEST (DesignTest, SlotsStaySortedAndInStepWithTheRegistryThroughRandomEdits)
{
    ModuleLibrary library;
    Design design;
    design.setLibrary (&library);
    std::mt19937 random (7);
    std::set<uint32_t> expected;

    for (int step = 0; step < 2000; ++step)
    {
        auto id = (uint32_t) (random() % 20);

        if (random() % 3 != 0)
        {
            const bool accepted = design.addDsp (id, 100 + id) != nullptr;
            EXPECT_EQ (accepted, id != 0 && id <= 16 && expected.count (id) == 0 && expected.size() < 16) << "step " << step;

            if (accepted)
                expected.insert (id);
        }
        else
        {
            EXPECT_EQ (design.removeDsp (id), expected.erase (id) == 1) << "step " << step;
        }

        const std::vector<uint32_t> ids (expected.begin(), expected.end());
        ASSERT_EQ (slotIds (design), ids) << "step " << step;
        ASSERT_EQ (registryIds (library), ids) << "step " << step;
    }
}

TEST (DesignTest, ModuleChangeEmptiesTheDspAndFindsTheModule)
{
    ModuleLibrary library;
    auto module = std::make_unique<ModuleDefinition>();
    module->moduleId = 7;
    library.addModule (std::move (module));

    Design design;
    design.setLibrary (&library);
    auto* slot = design.addDsp (3, 5);
    ASSERT_NE (slot, nullptr);
    EXPECT_EQ (design.getDspModule (3), nullptr); // module 5 is not in the library

    slot->getGraph().addNode ("Gain", false, nullptr, 0.5, 0.5);
    design.getDspEntry (3)->addProcessInstance (1, 0x30);
    design.setModified (false);

    EXPECT_TRUE (design.setDspModule (3, 7));
    EXPECT_EQ (design.getDspModule (3)->moduleId, 7u);
    EXPECT_EQ (design.getDspEntry (3)->getProcessCount(), 0);
    EXPECT_EQ (slot->getGraph().getNumNodes(), 0);
    EXPECT_TRUE (design.isModified());
    EXPECT_FALSE (design.setDspModule (4, 7));

    design.setModified (false);
    EXPECT_FALSE (design.isModified());
    design.clearDsps();
    EXPECT_EQ (design.getNumDsps(), 0);
    EXPECT_EQ (library.getDspCount(), 0);
}

TEST (DesignTest, WorksWithoutALibrary)
{
    Design design;
    ASSERT_NE (design.addDsp (2, 1), nullptr);
    EXPECT_EQ (design.getDspEntry (2), nullptr);
    EXPECT_EQ (design.getDspModule (2), nullptr);
    EXPECT_TRUE (design.removeDsp (2));
    EXPECT_EQ (design.findDsp (2), nullptr);
}
