#include "app/SavePresetThread.h"

#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "editors/Dialogs.h"
#include "model/GlobalPresetCollector.h"

// What a stage posted to the message thread shares with the worker: the
// worker may stop waiting (the window is going) before the stage runs, and
// the stage must then not run at all.
struct SavePresetThread::Shared
{
    std::atomic<bool> abandoned{ false };
};

SavePresetThread::SavePresetThread (WindowContainer& containerOwner, const juce::String& name)
    : juce::ThreadWithProgressWindow (windowTitle, true, false, cancelTimeOutMs, {}, &containerOwner), owner (containerOwner),
      presetName (name), shared (std::make_shared<Shared>())
{
    setStatusMessage ("Saving...");
}

SavePresetThread::~SavePresetThread()
{
    // The worker is stopped before the members its stages use go.
    stopThread (cancelTimeOutMs);
}

bool SavePresetThread::onMessageThread (std::function<void()> work)
{
    auto done = std::make_shared<juce::WaitableEvent>();
    auto state = shared;

    juce::MessageManager::callAsync (
        [work = std::move (work), done, state]
        {
            if (! state->abandoned)
                work();

            done->signal();
        });

    while (! done->wait (20))
    {
        if (threadShouldExit())
        {
            state->abandoned = true;
            return false;
        }
    }

    return true;
}

void SavePresetThread::note (const juce::Result& outcome)
{
    if (outcome.failed() && failure.isEmpty())
        failure = outcome.getErrorMessage();
}

void SavePresetThread::run()
{
    saved = false;
    failure.clear();

    auto& project = owner.getMainContainer().getProjectInterface();
    auto& document = project.getPresetDocument();
    std::vector<uint32_t> dspIds;

    setProgress (0.0);
    setStatusMessage ("Saving...");

    const auto ready = onMessageThread (
        [&]
        {
            collector = project.makeGlobalPresetCollector();

            for (int i = 0; i < project.getDesign().getNumDsps(); ++i)
                dspIds.push_back (project.getDesign().getDsp (i)->getDspId());
        });

    if (! ready)
        return;

    const auto file = collector->getGlobalPresetFile();

    // The global presets are kept beside the project file.
    if (file == juce::File())
    {
        failure = "The project has no file yet: save the project first.";
        return;
    }

    for (size_t i = 0; i < dspIds.size(); ++i)
        if (! onMessageThread ([&] { collector->collectDspGlobalPreset (presetName, dspIds[i], (int) dspIds.size(), i == 0); }))
            return;

    note (collector->getResult());

    setProgress (0.25);
    setStatusMessage ("Collecting/Comparing controls preset...");

    if (! onMessageThread ([&] { document.rebuildReferencedPresets(); }))
        return;

    setProgress (0.5);
    setStatusMessage ("Cleaning controls preset...");

    if (! onMessageThread ([&] { note (document.removeUnreferencedPresets (file)); }))
        return;

    setProgress (0.75);
    setStatusMessage ("Saving...");

    if (! onMessageThread ([&] { note (document.renumberAndSave (file)); }))
        return;

    saved = failure.isEmpty();
    setProgress (-1.0);
    setStatusMessage (saved ? "Global preset saved." : "Global preset not saved.");
}

void SavePresetThread::threadComplete (bool userPressedCancel)
{
    if (userPressedCancel)
        saved = false;

    if (saved)
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::InfoIcon, "Saving global preset",
                                           "Global preset has been saved successfully.");
    else
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Global preset",
                                           "Global preset has not been saved!" +
                                               (failure.isEmpty() ? juce::String() : "\n" + failure));
}
