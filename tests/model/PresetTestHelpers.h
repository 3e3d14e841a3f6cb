#pragma once

#include "hvif/HalvixInterface.h"
#include "model/PresetDocument.h"
#include "model/ProcessPresetStore.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <initializer_list>
#include <memory>
#include <vector>

// Shared by the preset tests: stores made from short descriptions, a folder
// of their own for the files, and the messages a document reports.
namespace PresetTestHelpers
{
constexpr uint32_t secondary = ProcessPresetStore::secondaryControlFlag;
constexpr const char* lastSaved = ProcessPresetStore::lastSavedPresetName;
constexpr const char* delayName = ProcessPresetStore::fixedDelayControlName;

struct Control
{
    const char* name;
    uint32_t number; // with the secondary flag for a secondary control
};

inline ProcessPresetStore makeStore (std::initializer_list<Control> controls)
{
    ProcessPresetStore store;
    store.markBuilding();

    for (const auto& control : controls)
        store.addOrUpdateControl (control.number, control.name, true);

    store.markBuilt();
    return store;
}

// Adds (or replaces) a preset with these values and makes it current.
inline void putPreset (ProcessPresetStore& store, const juce::String& name, std::vector<uint32_t> values)
{
    store.selectOrAddPreset (name, 0, true);
    store.getCurrentPresetRecord()->values = std::move (values);
}

inline std::vector<juce::String> presetNames (const ProcessPresetStore& store)
{
    std::vector<juce::String> names;

    for (int i = 0; i < store.getPresetCount(); ++i)
        names.push_back (store.getPresetName (i));

    return names;
}

inline std::vector<juce::String> controlNames (const ProcessPresetStore& store)
{
    std::vector<juce::String> names;

    for (int i = 0; i < store.getControlCount(); ++i)
        names.push_back (store.getControl (i)->name);

    return names;
}

// The value of a control, by name, in a preset, by name.
inline uint32_t valueOf (ProcessPresetStore& store, const juce::String& presetName, const juce::String& controlName)
{
    EXPECT_TRUE (store.findPreset (presetName)) << presetName;
    EXPECT_TRUE (store.findControl (controlName)) << controlName;
    return store.getCurrentValue();
}

// A control panel as the MIDI-control library shows it: items given by
// the test, chained in order.
class FakeControlItem : public HvIfControlItem
{
public:
    FakeControlItem (const char* itemName, uint32_t itemValue) : name (itemName), value (itemValue) {}

    HvIfControlItem* getNext() override { return next; }
    const char* getName() override { return name; }
    uint32_t getValue() override { return value; }

    const char* name;
    uint32_t value;
    HvIfControlItem* next = nullptr;
};

class FakePanel : public HvIfPanel
{
public:
    void addItem (const char* itemName, uint32_t itemValue)
    {
        items.push_back (std::make_unique<FakeControlItem> (itemName, itemValue));

        if (items.size() > 1)
            items[items.size() - 2]->next = items.back().get();
    }

    HvIfPanelWindow* createWindow (void*) override { return nullptr; }
    void release() override {}

    HvIfControlItem* getFirstControlItem (const char* presetName) override
    {
        askedPresetName = presetName;
        return items.empty() ? nullptr : items.front().get();
    }

    std::vector<std::unique_ptr<FakeControlItem>> items;
    juce::String askedPresetName;
};

// A folder of its own, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder()
        : folder (
              juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("presets_test_" + juce::Uuid().toString()))
    {
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File getFile (const juce::String& name) const { return folder.getChildFile (name); }
    const juce::File& getFolder() const noexcept { return folder; }

private:
    juce::File folder;
};

struct Message
{
    juce::String title, text, button;
};

// Collects what a document reports.
class MessageRecorder
{
public:
    void attachTo (PresetDocument& document)
    {
        document.setMessageHandler (
            [this] (const juce::String& title, const juce::String& text, const juce::String& button) {
                messages.push_back ({ title, text, button });
            });
    }

    std::vector<Message> messages;
};
} // namespace PresetTestHelpers
