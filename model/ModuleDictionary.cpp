#include "model/ModuleDictionary.h"

void ModuleDictionary::reserve (int n)
{
    entries.clear();
    capacity = n > 0 ? n : 0;
    entries.reserve ((size_t) capacity);
    forgetItemCounts();
}

const ParameterWordList* ModuleDictionary::add (ParameterWordList entry)
{
    if ((int) entries.size() >= capacity)
        return nullptr;

    entries.push_back (std::move (entry));
    forgetItemCounts();
    return &entries.back();
}

const ParameterWordList* ModuleDictionary::getEntry (int index) const noexcept
{
    if (index < 0 || index >= (int) entries.size())
        return nullptr;

    return &entries[(size_t) index];
}

std::shared_ptr<const DictionaryItemCounts> ModuleDictionary::getItemCounts() const
{
    const std::lock_guard<std::mutex> lock (itemCountsLock);

    if (itemCounts == nullptr)
        itemCounts = std::make_shared<const DictionaryItemCounts> (*this);

    return itemCounts;
}

void ModuleDictionary::clear()
{
    entries.clear();
    capacity = 0;
    forgetItemCounts();
}

void ModuleDictionary::forgetItemCounts()
{
    const std::lock_guard<std::mutex> lock (itemCountsLock);
    itemCounts.reset();
}
