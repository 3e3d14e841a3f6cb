#include "model/ProcessControlList.h"

#include <gtest/gtest.h>

// A process's controls, one line of its panel after another: each step
// names the control the line asks for and its number, and what the list
// makes of it.
TEST (ProcessControlListTest, ANameStandsForOneParameterAndANumberForOne)
{
    struct Step
    {
        const char* name;
        uint32_t number;
        int index;
        bool isNew;
        const char* givenName;
    };

    const Step steps[] = {
        { "Q1", 0x401f, 0, true, "Q1" },                   // a band's Q
        { "Gain1", 0x005d, 1, true, "Gain1" },             // a band's gain
        { "Gain1", 0x4000, 2, true, "Gain1 (2)" },         // a slider of that name, another message
        { "Frequency1", 0x401f, 0, false, "Frequency1" },  // the band's Q's message: the same parameter
        { "Q1", 0x803e | 0x80000000u, 3, true, "Q1 (2)" }, // another message again
        { "Q1", 0x401f, 0, false, "Q1" },                  // the band's Q once more
        { "Gain1 (2)", 0x0001, 4, true, "Gain1 (2) (2)" }, // a name given out before
        { "Bypass1", 0x005d | 0x80000000u, 1, false, "Bypass1" },
    };

    ProcessControlList list;

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.name);
        const auto entry = list.add (step.name, step.number, 7);
        EXPECT_EQ (entry.index, step.index);
        EXPECT_EQ (entry.isNew, step.isNew);
        EXPECT_EQ (entry.name, juce::String (step.givenName));
    }

    ASSERT_EQ (list.size(), 5);
    EXPECT_EQ (list[2].name, "Gain1 (2)");
    EXPECT_EQ (list[2].number, 0x4000u);
    EXPECT_EQ (list[2].defaultValue, 7u);
    EXPECT_TRUE (list.getRefused().isEmpty());
    EXPECT_EQ (list.describeRefused ("\"EQ\""), juce::String());

    EXPECT_EQ (ProcessControlList::getNameItReplaces ("Q1 (2)"), "Q1");
    EXPECT_EQ (ProcessControlList::getNameItReplaces ("Gain1 (2) (3)"), "Gain1 (2)");
    for (auto* name : { "Q1", "Q1 (1)", "Q1 (x)", "(2)", "Q1 ()" })
        EXPECT_EQ (ProcessControlList::getNameItReplaces (name), juce::String()) << name;
}

// 255 controls at most, one of them the delay control of a delay-type
// process; a control of a number held already still finds its parameter.
TEST (ProcessControlListTest, ControlsBeyondTheCapacityAreRefusedAndNamed)
{
    for (const bool delay : { false, true })
    {
        ProcessControlList list (delay);
        const auto capacity = ProcessControlList::maxControls - (delay ? 1 : 0);
        ASSERT_EQ (list.getCapacity(), capacity);

        for (int i = 0; i < 300; ++i)
            list.add ("Level" + juce::String (i + 1), (uint32_t) i, 0);

        EXPECT_EQ (list.size(), capacity);
        EXPECT_EQ (list.getRefused().size(), 300 - capacity);
        EXPECT_EQ (list.getRefused()[0], "Level" + juce::String (capacity + 1));
        EXPECT_EQ (list.add ("Again", 3, 0).index, 3) << "a known parameter needs no room";
        EXPECT_EQ (list.describeRefused ("\"Wide\""), juce::String (300 - capacity) + " controls of \"Wide\" left out (Level" +
                                                          juce::String (capacity + 1) +
                                                          " ... Level300): a process holds at most 255 controls.");
    }
}
