#include "editors/Dialogs.h"

#include "editors/JuceDialogs.h"

namespace
{
Dialogs* installedDialogs = nullptr;
}

bool Dialogs::askYesNo (const juce::String& title, const juce::String& question)
{
    return askYesNoCancel (title, question) == Answer::yes;
}

Dialogs& Dialogs::getCurrent()
{
    if (installedDialogs != nullptr)
        return *installedDialogs;

    static JuceDialogs juceDialogs;
    return juceDialogs;
}

void Dialogs::setCurrent (Dialogs* dialogs) noexcept
{
    installedDialogs = dialogs;
}
