#include "editors/PasteTarget.h"

namespace
{
PasteTarget* currentTarget = nullptr;
}

PasteTarget* PasteTarget::getCurrent() noexcept
{
    return currentTarget;
}

PasteTarget::Scope::Scope (PasteTarget& target) noexcept : previous (currentTarget)
{
    currentTarget = &target;
}

PasteTarget::Scope::~Scope()
{
    currentTarget = previous;
}
