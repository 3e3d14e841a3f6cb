// No input may crash the reader or make it read outside its buffers: every
// truncation and a deterministic series of random damages of a rich library
// must be refused (-1) or read, and whatever was read must be safe to walk.

#include "model/ModulesDefReader.h"

#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"
#include "support/ModuleLibraryWalk.h"

#include <gtest/gtest.h>

#include <random>

using modulesdef::ModulesDefBuilder;

namespace
{
modulesdef::LibraryDescription sampleDescription()
{
    const auto text = juce::File (VX_SOURCE_DIR).getChildFile ("resources/SampleModules.txt").loadFileAsString();
    return modulesdef::ModulesDefText::parse (text.toStdString());
}

int parseAndWalk (const std::vector<uint8_t>& bytes)
{
    ModulesDefReader reader;
    reader.open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), false));
    const int result = reader.parse();
    ModuleLibraryWalk::walkLibrary (reader.getLibrary());
    return result;
}

class ModulesDefRobustnessTest : public ::testing::Test
{
protected:
    modulesdef::LibraryDescription description = sampleDescription();
    std::vector<uint8_t> file = ModulesDefBuilder::build (description);
};
} // namespace

TEST_F (ModulesDefRobustnessTest, TheSampleLibraryIsRichEnoughToExerciseTheReader)
{
    ASSERT_GT (parseAndWalk (file), 0);
    ModulesDefReader reader;
    reader.open (std::make_unique<juce::MemoryInputStream> (file.data(), file.size(), false));
    ASSERT_GT (reader.parse(), 0);
    EXPECT_GE (reader.getLibrary().getModuleCount(), 2);
    EXPECT_GT (ModuleLibraryWalk::walkLibrary (reader.getLibrary()), 100);
}

TEST_F (ModulesDefRobustnessTest, EveryPrefixOfTheFileIsRefused)
{
    for (size_t length = 0; length < file.size(); ++length)
    {
        const std::vector<uint8_t> prefix (file.begin(), file.begin() + (std::ptrdiff_t) length);
        ASSERT_EQ (parseAndWalk (prefix), -1) << "prefix of " << length << " bytes";
    }
}

TEST_F (ModulesDefRobustnessTest, EveryTruncationInsideAValidFrameIsRefusedOrRead)
{
    const auto sections = ModulesDefBuilder::buildSections (description);
    int refused = 0;

    for (size_t length = 0; length <= sections.size(); ++length)
    {
        const std::vector<uint8_t> cut (sections.begin(), sections.begin() + (std::ptrdiff_t) length);
        const auto frame = ModulesDefBuilder::wrapFrame (description.dspCapacity, cut);
        const int result = parseAndWalk (ModulesDefBuilder::wrapFile (frame));

        ASSERT_TRUE (result == -1 || result == (int) frame.size() / 2) << "cut at " << length << " gave " << result;
        refused += result == -1 ? 1 : 0;
    }

    // Nearly every cut lands inside a record.
    EXPECT_GT (refused, (int) sections.size() / 2);
}

TEST_F (ModulesDefRobustnessTest, RandomDamageIsRefusedOrReadNeverCrashes)
{
    std::mt19937 random (20261207);
    const int rounds = 1500;

    for (int round = 0; round < rounds; ++round)
    {
        auto damaged = file;
        const int edits = 1 + (int) (random() % 8);

        for (int e = 0; e < edits && ! damaged.empty(); ++e)
        {
            const size_t at = random() % damaged.size();

            switch (random() % 4)
            {
                case 0: damaged[at] = (uint8_t) random(); break;
                case 1: damaged[at] ^= (uint8_t) (1u << (random() % 8)); break;
                case 2: damaged.erase (damaged.begin() + (std::ptrdiff_t) at); break;
                default: damaged.insert (damaged.begin() + (std::ptrdiff_t) at, (uint8_t) random()); break;
            }
        }

        const int result = parseAndWalk (damaged);
        ASSERT_GE (result, -1) << "round " << round;
    }
}

TEST_F (ModulesDefRobustnessTest, DamagedSectionsInsideAnIntactFrameNeverCrash)
{
    // Damage that keeps the frame intact reaches every section reader.
    const auto sections = ModulesDefBuilder::buildSections (description);
    std::mt19937 random (7);

    for (int round = 0; round < 1500; ++round)
    {
        auto damaged = sections;

        for (int e = 1 + (int) (random() % 4); --e >= 0;)
        {
            const size_t at = random() % damaged.size();
            // Counts and lengths are the fields that matter: make some huge.
            damaged[at] = (random() % 3 == 0) ? 0xFF : (uint8_t) random();
        }

        const auto frame = ModulesDefBuilder::wrapFrame (description.dspCapacity, damaged);
        const int result = parseAndWalk (ModulesDefBuilder::wrapFile (frame));
        ASSERT_TRUE (result == -1 || result == (int) frame.size() / 2) << "round " << round;
    }
}
