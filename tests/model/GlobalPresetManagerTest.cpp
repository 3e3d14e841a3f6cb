#include "GlobalPresetDesign.h"
#include "support/DesignDescription.h"

#include "model/GlobalPresetKey.h"
#include "model/GlobalPresetManager.h"

#include <gtest/gtest.h>

#include <functional>

using PresetTestHelpers::presetNames;

namespace
{
// A way the global preset file can fail a save, and how it is mended again.
struct Damage
{
    const char* what;
    std::function<void (const juce::File&)> apply;
};

const Damage damages[] = {
    { "a damaged file", [] (const juce::File& file) { file.replaceWithText ("<PRESETS><Broken"); } },
    { "a folder in its place",
      [] (const juce::File& file)
      {
          file.deleteFile();
          file.createDirectory();
      } },
    { "a project folder gone", [] (const juce::File& file) { file.getParentDirectory().deleteRecursively(); } },
};
} // namespace

// Whatever stops the global preset file from being read or written, a save
// changes nothing: neither what the design holds (its global presets, their
// keys, the stored presets) nor the file. A failed create lists nothing; a
// failed re-save keeps the preset as it was, so that a later save writes it
// whole.
TEST (GlobalPresetManagerTest, AFailedSaveChangesNeitherTheDesignNorTheFile)
{
    for (const auto& damage : damages)
    {
        SCOPED_TRACE (damage.what);
        GlobalPresetDesign project;
        auto& compressor = project.addProcess (1, "Compressor", 2, { 10, 20 });
        project.addProcess (2, "Gain", 31, { 30, 40 });
        ASSERT_TRUE (project.save ("A").wasOk());

        const auto before = designdescription::describePresets (project.design);
        const auto bytes = project.file.loadFileAsString();

        // Other values, which a save would store beside A's.
        compressor.presetStore.getCurrentPresetRecord()->values = { 11, 21 };
        damage.apply (project.file);
        const auto damaged = project.file.existsAsFile() ? project.file.loadFileAsString() : juce::String();

        EXPECT_TRUE (project.save ("A").failed());
        EXPECT_TRUE (project.save ("B").failed());
        EXPECT_EQ (designdescription::describePresets (project.design), before);
        EXPECT_EQ (project.file.existsAsFile() ? project.file.loadFileAsString() : juce::String(), damaged);

        // Mended, the next save writes A as it was beside B.
        project.file.deleteRecursively();
        project.file.getParentDirectory().createDirectory();
        ASSERT_TRUE (project.file.replaceWithText (bytes));
        ASSERT_TRUE (project.save ("B").wasOk());

        auto root = juce::parseXML (project.file);
        ASSERT_NE (root, nullptr);
        auto* lists = root->getChildByName ("GLOBAL_PRESETS");
        ASSERT_NE (lists, nullptr);
        ASSERT_EQ (lists->getNumChildElements(), 2);

        for (auto* list : lists->getChildIterator())
            for (auto* table : list->getChildIterator())
                EXPECT_EQ (table->getIntAttribute ("numberOfProcess"), 1) << list->getStringAttribute ("name");

        EXPECT_NE (project.keysOf ("A", 1), project.keysOf ("B", 1)) << "B holds the values changed since";
    }
}

// What the user is refused before anything is collected, and a removal,
// which leaves the design its global preset while the file keeps it.
TEST (GlobalPresetManagerTest, NamesAreCheckedAndARemovalFollowsTheFile)
{
    GlobalPresetDesign project;
    project.addProcess (1, "Compressor", 2);
    GlobalPresetManager manager (project.design, project.document);
    ASSERT_TRUE (manager.save ("Live", true).wasOk());

    EXPECT_TRUE (manager.checkNewName ("(New)").wasOk()) << "the group tells its entries apart by more than their text";
    EXPECT_EQ (manager.checkNewName (" ").getErrorMessage(), "A global preset needs a name.");
    EXPECT_EQ (manager.checkNewName ("Live").getErrorMessage(),
               "\"Live\" global preset name already used, please choose another preset name");
    EXPECT_TRUE (manager.save ("Live", true).failed());
    EXPECT_TRUE (manager.save ("Stage", false).failed()) << "no global preset to save into";
    EXPECT_EQ (project.design.getGlobalPresets().getCount(), 1);

    const auto bytes = project.file.loadFileAsString();
    ASSERT_TRUE (project.file.replaceWithText ("<PRESETS><Broken"));
    EXPECT_TRUE (manager.remove ("Live").failed());
    EXPECT_EQ (project.design.getGlobalPresets().getCount(), 1);

    ASSERT_TRUE (project.file.replaceWithText (bytes));
    EXPECT_TRUE (manager.remove ("Live").wasOk());
    EXPECT_EQ (project.design.getGlobalPresets().getCount(), 0);
    EXPECT_FALSE (project.file.loadFileAsString().contains ("name=\"Live\""));

    // Without a project file there is no place for global presets.
    project.design.getSettings().setProjectFolder ({});
    EXPECT_EQ (manager.save ("Live", true).getErrorMessage(), "The project has no file yet: save the project first.");
}

// A process whose values find no place among its presets is never left out
// of a global preset without a word: the save fails and changes nothing.
TEST (GlobalPresetManagerTest, AProcessWhoseValuesCannotBeStoredFailsTheSave)
{
    GlobalPresetDesign project;
    auto& compressor = project.addProcess (1, "Compressor", 2);
    project.addProcess (1, "Gain", 3);

    for (uint32_t i = 1; compressor.presetStore.getPresetCount() < ProcessPresetStore::maxPresets; ++i)
        PresetTestHelpers::putPreset (compressor.presetStore, "P" + juce::String (i), { i, i });

    const auto result = project.save ("A");
    EXPECT_TRUE (result.failed());
    EXPECT_TRUE (result.getErrorMessage().contains ("\"Compressor\"")) << result.getErrorMessage();
    EXPECT_EQ (project.design.getGlobalPresets().getCount(), 0);
    EXPECT_EQ (project.design.getPresetStores().getClassCount(), 0);
    EXPECT_FALSE (project.file.exists());
}
