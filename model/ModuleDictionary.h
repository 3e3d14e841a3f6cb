#pragma once

#include "model/ParameterWordList.h"

// The shared parameter lists of the module library: word lists that other
// word lists refer to through the 0xFFFF escape.
class ModuleDictionary
{
public:
    // Empties the dictionary and makes room for n entries; no more are taken.
    void reserve (int n);

    // Appends an entry; returns none when the declared room is used up, so a
    // file that declares too few entries cannot overwrite the last one.
    const ParameterWordList* add (ParameterWordList entry);

    int size() const noexcept { return (int) entries.size(); }
    int getCapacity() const noexcept { return capacity; }

    // The entry at the index, or none when it is out of range.
    const ParameterWordList* getEntry (int index) const noexcept;

    void clear();

private:
    std::vector<ParameterWordList> entries;
    int capacity = 0;
};
