#pragma once

#include "model/ProcessPresetStore.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <tuple>

namespace earlierdelay
{
// The forms a LongDelay's presets were saved in while its length counted as
// channels: a control per ms of each of its controls, "Time1" to "Time<ms>"
// then "Feedback1" ..., with the delay control as first fixed control; past
// 255 controls cut there, without the delay control, and with or without the
// "delay" mark and each list's "delayCount".
struct Form
{
    const char* name;
    int ms;
    bool delayMark, delayCount;

    bool isCut() const { return ms * 2 > 255; }
};

inline const Form forms[] = { { "cut", 250, true, true },
                              { "cut without the mark", 250, false, true },
                              { "cut without mark or count", 250, false, false },
                              { "whole", 100, true, true } };

// A "Preset" element of that form whose lists hold Time<ms> = 100 + ms and
// Feedback<ms> = 20 + ms.
inline juce::String makePreset (const Form& form, const juce::StringArray& listNames)
{
    const auto delay = " fixedName1=\"" + juce::String (ProcessPresetStore::fixedDelayControlName) + "\" fixedNrpn1=\"" +
                       juce::String (ProcessPresetStore::fixedDelayControlNrpn) + "\"";
    juce::String controls (form.isCut() ? "" : delay),
        values (form.isCut() ? "" : " fixedValue1=\"" + juce::String (form.ms) + "\"");
    int n = 0;

    for (const auto& [label, flag, first] : { std::tuple ("Time", 0x8000, 100), std::tuple ("Feedback", 0x4000, 20) })
        for (int ms = 1; ms <= form.ms && n < 255; ++ms, ++n)
        {
            controls << " Name" << (n + 1) << "=\"" << label << ms << "\" Nrpn" << (n + 1) << "=\"" << (flag | (n & 0x7F))
                     << "\"";
            values << " Value" << (n + 1) << "=\"" << (first + ms) << "\"";
        }

    const auto fixed = form.isCut() ? 0 : 1;
    juce::String lists;

    for (const auto& name : listNames)
        lists << "<List name=\"" << name << "\""
              << (form.delayCount ? " delayCount=\"" + juce::String (form.ms) + "\"" : juce::String()) << values << "/>";

    return "<Preset><Count NumberOfPresets=\"" + juce::String (listNames.size()) + "\" NumberOfControls=\"" +
           juce::String (n + fixed) + "\" NumberOfFixedControls=\"" + juce::String (fixed) + "\"/><Controls" + controls +
           (form.delayMark ? " delay=\"1\"" : "") + "/><Lists>" + lists + "</Lists></Preset>";
}

// The "Process" element of a LongDelay (nrpn 1) of that form.
inline juce::String makeProcess (const Form& form)
{
    return "<Process Name=\"LongDelay\" ProcessId=\"519\" NCount=\"" + juce::String (0x10000000 + form.ms) +
           "\" MemoryDelay=\"1\" nrpn=\"1\"><Class name=\"LongDelay\"><CountGroup count=\"1\" TableId=\"-1\">" +
           makePreset (form, { "(Last-Saved)" }) + "</CountGroup></Class></Process>";
}

// The current preset of a store read from that form holds the values as
// today's controls: the first of each control per ms and the length.
inline void expectTodaysValues (ProcessPresetStore& store, const Form& form)
{
    EXPECT_EQ (store.getDelayCount(), (uint32_t) form.ms);

    for (const auto& [name, value] : { std::pair<juce::String, uint32_t> ("Time1", 101u),
                                       { "Feedback1", 21u },
                                       { ProcessPresetStore::fixedDelayControlName, (uint32_t) form.ms } })
    {
        EXPECT_TRUE (store.findControl (name)) << name;
        EXPECT_EQ (store.getCurrentValue(), value) << name;
    }
}
} // namespace earlierdelay
