#include "app/MidiControlLibrary.h"

#include "editors/Dialogs.h"
#include "editors/ProgramFolder.h"

MidiControlLibrary::~MidiControlLibrary()
{
    close();
}

juce::File MidiControlLibrary::getDefaultFile()
{
    return ProgramFolder::getFile (fileName);
}

bool MidiControlLibrary::open (const juce::File& file)
{
    close();

    // By full path: the system's loader would not look beside the executable.
    if (! file.existsAsFile() || ! library.open (file.getFullPathName()))
        return false;

    getInterfaceEntry = reinterpret_cast<HvIfGetInterfaceFunction> (library.getFunction (hvIfGetInterfaceName));

    if (getInterfaceEntry == nullptr)
    {
        library.close();
        return false;
    }

    return true;
}

HvIfInterface* MidiControlLibrary::openInterface (const juce::File& file, HvIfCallback& callback, Dialogs& dialogs)
{
    HvIfInterface* libraryInterface = open (file) ? createInterface (callback) : nullptr;

    if (libraryInterface == nullptr)
    {
        // A library that gives no interface is as good as none.
        close();
        dialogs.showMessage (juce::MessageBoxIconType::WarningIcon, "OSTRANE Quellion", missingMessage);
    }

    return libraryInterface;
}

HvIfInterface* MidiControlLibrary::createInterface (HvIfCallback& callback) const
{
    if (getInterfaceEntry == nullptr)
        return nullptr;

    return getInterfaceEntry (&callback);
}

void MidiControlLibrary::close()
{
    getInterfaceEntry = nullptr;
    library.close();
}
