#include "model/ModuleDictionary.h"

void ModuleDictionary::reserve (int n)
{
    entries.clear();
    capacity = n > 0 ? n : 0;
    entries.reserve ((size_t) capacity);
}

const ParameterWordList* ModuleDictionary::add (ParameterWordList entry)
{
    if ((int) entries.size() >= capacity)
        return nullptr;

    entries.push_back (std::move (entry));
    return &entries.back();
}

const ParameterWordList* ModuleDictionary::getEntry (int index) const noexcept
{
    if (index < 0 || index >= (int) entries.size())
        return nullptr;

    return &entries[(size_t) index];
}

void ModuleDictionary::clear()
{
    entries.clear();
    capacity = 0;
}
