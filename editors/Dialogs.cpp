#include "editors/Dialogs.h"

#include "editors/JuceDialogs.h"

namespace
{
Dialogs* installedDialogs = nullptr;
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
