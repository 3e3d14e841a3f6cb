#include "model/StringKey.h"
#include "model/PresetNumberReader.h"

#include <gtest/gtest.h>

// Texts a hash map keys with StringKey are equal exactly when JUCE finds
// them equal, and equal texts hash alike, also where a file spells a
// character in more bytes than needed.
TEST (StringKeyTest, KeysAreEqualAsJuceFindsThemAndEqualKeysHashAlike)
{
    juce::Random random (24);
    // "a" written in two bytes, as a damaged file may hold it.
    const juce::String longA = juce::String::fromUTF8 ("\xC1\xA1", 2);
    const juce::StringArray pieces{ "a", "b", "Band ", "12", juce::String::fromUTF8 ("\xC3\xA9"), longA, "" };

    for (int i = 0; i < 5000; ++i)
    {
        juce::String texts[2];

        for (auto& text : texts)
            for (int n = random.nextInt (4); n > 0; --n)
                text += pieces[random.nextInt (pieces.size())];

        const auto equal = texts[0] == texts[1];
        EXPECT_EQ (StringKey::Equal() (texts[0], texts[1]), equal) << texts[0] << " / " << texts[1];

        if (equal)
        {
            EXPECT_EQ (StringKey::Hash() (texts[0]), StringKey::Hash() (texts[1])) << texts[0] << " / " << texts[1];
        }
    }

    StringKeyMap<int> map;
    map.emplace ("Band a", 1);
    EXPECT_EQ (map.count ("Band " + longA), 1u);
}

TEST (StringKeyTest, AttributeNumbersAreWholeDecimalNumbersAfterTheirPrefix)
{
    const std::pair<const char*, int> cases[] = {
        { "Value1", 1 },          { "Value255", 255 },  { "Value123456789", 123456789 },
        { "Value1234567890", 0 }, { "Value0", 0 },      { "Value01", 0 },
        { "Value", 0 },           { "Valu1", 0 },       { "Value1x", 0 },
        { "Value-1", 0 },         { "fixedValue3", 0 }, { "value3", 0 },
        { "Value\xC2\xB2", 0 },
    };

    for (const auto& [name, number] : cases)
        EXPECT_EQ (PresetNumberReader::numberAfterPrefix (juce::String::fromUTF8 (name), "Value"), number) << name;

    EXPECT_EQ (PresetNumberReader::numberAfterPrefix ("fixedValue3", "fixedValue"), 3);
}
