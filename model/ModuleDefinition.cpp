#include "model/ModuleDefinition.h"

ProcessDefinition* ModuleDefinition::addProcess (std::unique_ptr<ProcessDefinition> process, bool fromSps)
{
    auto* added = processes.add (std::move (process));

    if (added != nullptr && fromSps)
        hasFlaggedProcess = true;

    return added;
}

ProcessDefinition* ModuleDefinition::findProcessById (uint32_t id) const noexcept
{
    for (auto& p : processes)
        if (p->processId == id)
            return p.get();

    if ((id & ProcessDefinition::channelWordPresentBit) == 0)
        return findProcessById (id | ProcessDefinition::channelWordPresentBit);

    return nullptr;
}

LibraryFunctionDefinition* ModuleDefinition::addFunction (std::unique_ptr<LibraryFunctionDefinition> function)
{
    return moduleFunctions.add (std::move (function));
}

LibraryFunctionDefinition* ModuleDefinition::addSecondFunction (std::unique_ptr<LibraryFunctionDefinition> function)
{
    return secondModuleFunctions.add (std::move (function));
}
