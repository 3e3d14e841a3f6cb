#pragma once

#include "model/GlobalPresetManager.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <memory>

class WindowContainer;

// Saves the design into a named global preset behind a modal progress
// window titled "Global preset...": collecting every process's values
// (0.0), comparing them with the stored presets (0.25), removing the stored
// presets no global preset names (0.5), and writing the global preset file
// (0.75). The worker thread only paces the stages: each stage runs on the
// message thread, as it builds control panels and reaches the node boxes,
// while the progress window keeps the user's hands off the design.
//
// Nothing can stop a save half-way, so the window offers no cancel button.
// A save that fails changes nothing (see GlobalPresetManager): the stages
// after a failure do nothing. At the end a message says whether the global
// preset was saved, and why not.
class SavePresetThread : public juce::ThreadWithProgressWindow
{
public:
    static constexpr const char* windowTitle = "Global preset...";
    static constexpr int cancelTimeOutMs = 10000;

    // Into the global preset of that name: a new one with create.
    SavePresetThread (WindowContainer& owner, const juce::String& presetName, bool create);
    ~SavePresetThread() override;

    // Whether the last run saved the preset, with the reason when it did not.
    bool wasSaved() const noexcept { return saved; }
    const juce::String& getFailure() const noexcept { return failure; }
    // The save made the global preset the design now holds.
    bool createdPreset() const noexcept { return created; }

    void run() override;
    void threadComplete (bool userPressedCancel) override;

private:
    struct Shared;

    // Runs the work on the message thread and waits for it; false, and the
    // work never runs, when the thread is asked to stop first.
    bool onMessageThread (std::function<void()> work);
    bool runStages();

    WindowContainer& owner;
    juce::String presetName;
    bool create = false;
    std::unique_ptr<GlobalPresetManager::Saving> saving;
    std::shared_ptr<Shared> shared;
    juce::String failure;
    bool saved = false;
    bool created = false;
};
