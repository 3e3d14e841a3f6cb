#include "editors/Dialogs.h"

#include "editors/JuceDialogs.h"

namespace
{
Dialogs* installedDialogs = nullptr;
}

bool Dialogs::askYesNo (const juce::String& title, const juce::String& question)
{
    return askWithButtons (juce::MessageBoxIconType::QuestionIcon, title, question, { "Yes", "No" }) == 0;
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

Dialogs::ReportHandler Dialogs::makeWarningHandler()
{
    return [] (const juce::String& title, const juce::String& text, const juce::String& buttonText)
    { getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, title, text, buttonText); };
}

juce::File Dialogs::withPatternExtension (const juce::File& file, const juce::String& patterns)
{
    const auto first = patterns.upToFirstOccurrenceOf (";", false, false).trim();
    const auto extension = first.fromFirstOccurrenceOf ("*", false, false);

    if (file == juce::File() || file.getFileExtension().isNotEmpty() || ! extension.startsWithChar ('.') ||
        extension.length() < 2 || extension.containsAnyOf ("*?"))
        return file;

    return file.withFileExtension (extension.toLowerCase());
}
