#pragma once

#include <cstdint>

class LibraryFunctionDefinition;
class ModuleDictionary;
class ParameterWordList;

// The type of one return value or parameter of an SDK function: class, group
// and kind. Classes 4 (integer) and 12 (fractional) are fixed items; 21 and
// 22 are variable items; groups are 0 plain value, 1 scaled physical value,
// 2 system argument.
struct ParameterTypeCode
{
    uint16_t typeClass = 0;
    uint16_t group = 0;
    uint16_t kind = 0;
};

// One decoded item of a word list. For a variable item, length and data give
// its bytes (pointing into the word list that holds them) and group and kind
// stay 0.
struct ParameterDescriptor
{
    ParameterTypeCode type;
    uint8_t length = 0;
    const uint8_t* data = nullptr;
    bool reached = false;
};

// The unit and scaling text that the NRPN list and the control-panel texts
// attach to a parameter, and how many values the annotation stands for.
struct ParameterAnnotation
{
    const char* text;
    int count;
};

// How n counts in getFunctionParameter: among the parameters only (return
// values skipped), or among all items, return values first.
enum class ParameterNumbering
{
    parametersOnly,
    returnValuesFirst
};

// Finds item n of the function's word list and decodes it; the descriptor is
// cleared first and stays so (reached false) when there is no such item.
void getFunctionParameter (const LibraryFunctionDefinition& function, ParameterNumbering numbering, int n,
                           ParameterDescriptor& out);

// Walks a word list, expanding dictionary escapes, to item n; the counter runs
// across nested entries. Returns true when the walk reached the item (and
// decoded it into out). The work is bounded by the words of the lists on the
// way to the item: entries that cannot hold it are stepped over whole.
bool expandParameterWordList (const ParameterWordList& list, bool isDictionaryEntry, const ModuleDictionary* dictionary, int n,
                              int& counter, ParameterDescriptor& out, int depth = 0);

// Decodes the item at a word position; returns the words it occupies, or 0
// when the item does not fit in the list (then out is left untouched).
int decodeParameterDescriptor (const ParameterWordList& list, int position, bool isDictionaryEntry, ParameterDescriptor& out);

// Bit (parameter count - 1 - n) of the function's parameter flag mask; false
// for a parameter the mask cannot hold.
bool isFunctionParameterFlagged (const LibraryFunctionDefinition& function, int n);

// The annotation of the function's last parameter, from the first test of the
// annotation table that accepts it (entry 0 when none does). The slot that
// matched (0 when none did) is stored when asked for.
const ParameterAnnotation& getLastParameterAnnotation (const LibraryFunctionDefinition& function, int* matchedSlot = nullptr);

constexpr int parameterAnnotationCount = 27;
const ParameterAnnotation& getParameterAnnotation (int slot);

// The type tests the generators, the NRPN list and the control-panel texts use.
bool isDspIdArgType (const ParameterTypeCode&);
bool isProcessIdArgType (const ParameterTypeCode&);
bool isUpdateCoeffFuncArgType (const ParameterTypeCode&);
bool isBiquadObjectArgType (const ParameterTypeCode&);
bool isParamTypeCode_4_2_5 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_13to15 (const ParameterTypeCode&);
bool isParamTypeCode_12_0_0 (const ParameterTypeCode&);
bool isParamTypeCode_12_0_7 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_1 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_2 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_22 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_20 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_16 (const ParameterTypeCode&);
bool isOnOffParamType (const ParameterTypeCode&);
bool isIndexParamType (const ParameterTypeCode&);
bool isGainDbParamType (const ParameterTypeCode&);
bool isLevelDbParamType (const ParameterTypeCode&);
bool isRange16383ParamType (const ParameterTypeCode&);
bool isFrequencyHzParamType (const ParameterTypeCode&);
bool isRatioParamType (const ParameterTypeCode&);
bool isTimeMsParamType (const ParameterTypeCode&);
bool isParamTypeCode_4_0_6 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_5 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_25 (const ParameterTypeCode&);
bool isParamClass21 (const ParameterTypeCode&);
bool isParamClass22 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_4 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_28 (const ParameterTypeCode&);
bool isParamTypeCode_4_0_255 (const ParameterTypeCode&);
