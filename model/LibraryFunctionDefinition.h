#pragma once

#include "model/ParameterWordList.h"

#include <cstdint>
#include <string>
#include <vector>

class ModuleDictionary;

// One SDK function that a module or a process calls: how many return values
// and parameters it has, how its parameters map onto memory (the mask
// entries), and the word list that describes each of them.
class LibraryFunctionDefinition
{
public:
    int returnValueCount = 0;
    int parameterCount = 0;
    int maskEntryCount = 0;
    uint32_t entryMask = 0;
    uint32_t parameterFlagMask = 0;
    int functionNumber = 0;
    bool maskUsable = true;
    bool secondFormRecord = false;
    uint16_t recordForm = 0; // the form word of the record, as read (1 and 2 carry an entry mask)
    bool valid = false;
    std::vector<uint32_t> maskEntries;
    std::string name;
    std::string firstText;
    std::string secondText;
    ParameterWordList parameterWords;

    // The dictionary that escapes in the word list refer to (the library's own).
    const ModuleDictionary* dictionary = nullptr;

    // True when any parameter has the index type.
    bool hasIndexParameter() const;

    // A function with a number is a control the handlers call by its id; one
    // without (a set-up function, a coefficient callback the biquad update is
    // handed) is none, whatever its command word holds.
    bool isControl() const noexcept { return functionNumber >= 0; }
};
