#include "app/SavePresetThread.h"

#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "editors/Dialogs.h"

// What a stage posted to the message thread shares with the worker: the
// worker may stop waiting (the window is going) before the stage runs, and
// the stage must then not run at all.
struct SavePresetThread::Shared
{
    std::atomic<bool> abandoned{ false };
};

SavePresetThread::SavePresetThread (WindowContainer& containerOwner, const juce::String& name, bool createPreset)
    : juce::ThreadWithProgressWindow (windowTitle, true, false, cancelTimeOutMs, {}, &containerOwner), owner (containerOwner),
      presetName (name), create (createPreset), shared (std::make_shared<Shared>())
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

void SavePresetThread::run()
{
    saved = false;
    created = false;
    failure.clear();

    if (! runStages())
        return;

    saved = saving->getResult().wasOk();
    created = saving->createdPreset();

    if (! saved)
        failure = saving->getResult().getErrorMessage();

    setProgress (-1.0);
    setStatusMessage (saved ? "Global preset saved." : "Global preset not saved.");
}

bool SavePresetThread::runStages()
{
    auto& manager = owner.getMainContainer().getProjectInterface().getGlobalPresetManager();

    setProgress (0.0);
    setStatusMessage ("Saving...");

    if (! onMessageThread (
            [&]
            {
                saving = manager.makeSaving (presetName, create);
                saving->start();
            }))
        return false;

    for (int i = 0; i < saving->getDspCount(); ++i)
        if (! onMessageThread ([&] { saving->collectDsp (i); }))
            return false;

    setProgress (0.25);
    setStatusMessage ("Collecting/Comparing controls preset...");

    if (! onMessageThread ([&] { saving->compare(); }))
        return false;

    setProgress (0.5);
    setStatusMessage ("Cleaning controls preset...");

    if (! onMessageThread ([&] { saving->clean(); }))
        return false;

    setProgress (0.75);
    setStatusMessage ("Saving...");
    return onMessageThread ([&] { saving->finish(); });
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
