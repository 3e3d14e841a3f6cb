#pragma once

#include "model/DictionaryItemCounts.h"
#include "model/ParameterWordList.h"

#include <memory>
#include <mutex>

// The shared parameter lists of the module library: word lists that other
// word lists refer to through the 0xFFFF escape.
class ModuleDictionary
{
public:
    ModuleDictionary() = default;
    ModuleDictionary (const ModuleDictionary&) = delete;
    ModuleDictionary& operator= (const ModuleDictionary&) = delete;

    // Empties the dictionary and makes room for n entries; no more are taken.
    void reserve (int n);

    // Appends an entry; returns none when the declared room is used up, so a
    // file that declares too few entries cannot overwrite the last one.
    const ParameterWordList* add (ParameterWordList entry);

    int size() const noexcept { return (int) entries.size(); }
    int getCapacity() const noexcept { return capacity; }

    // The entry at the index, or none when it is out of range.
    const ParameterWordList* getEntry (int index) const noexcept;

    // How many items each entry stands for, made on first use after the
    // entries last changed. Walks on several threads may ask at once; the
    // entries only change while the library is being read.
    std::shared_ptr<const DictionaryItemCounts> getItemCounts() const;

    void clear();

private:
    std::vector<ParameterWordList> entries;
    int capacity = 0;

    mutable std::mutex itemCountsLock;
    mutable std::shared_ptr<const DictionaryItemCounts> itemCounts;

    void forgetItemCounts();
};
