#include "model/ParameterDescriptor.h"

#include "model/DictionaryItemCounts.h"
#include "model/LibraryFunctionDefinition.h"
#include "model/ModuleDictionary.h"

#include <algorithm>
#include <limits>

namespace
{
bool matches (uint16_t value, std::initializer_list<uint16_t> accepted)
{
    for (auto a : accepted)
        if (value == a)
            return true;

    return false;
}

bool isType (const ParameterTypeCode& t, std::initializer_list<uint16_t> classes, uint16_t group,
             std::initializer_list<uint16_t> kinds)
{
    return matches (t.typeClass, classes) && t.group == group && matches (t.kind, kinds);
}

using TypeTest = bool (*) (const ParameterTypeCode&);

struct AnnotationSlot
{
    TypeTest test;
    ParameterAnnotation annotation;
};

const AnnotationSlot annotationTable[parameterAnnotationCount] = {
    { isIndexParamType, { "", 1 } },
    { isDspIdArgType, { "", 1 } },
    { isProcessIdArgType, { "", 1 } },
    { isParamTypeCode_4_2_5, { "", 1 } },
    { isParamTypeCode_4_0_13to15, { "", 1 } },
    { isParamTypeCode_12_0_0, { "", 1 } },
    { isParamTypeCode_12_0_7, { "", 1 } },
    { isParamTypeCode_4_0_22, { "", 1 } },
    { isParamTypeCode_4_0_20, { "", 1 } },
    { isParamTypeCode_4_0_1, { "", 1 } },
    { isParamTypeCode_4_0_2, { "", 1 } },
    { isParamTypeCode_4_0_16, { "", 1 } },
    { isOnOffParamType, { ",valscale=(x)?127:0", 1 } },
    { isGainDbParamType, { ",valUnit=dB,valprec=1", 2 } },
    { isLevelDbParamType, { ",valUnit=dB,valprec=1", 2 } },
    { isRange16383ParamType, { ",min=0,max=16383, valUnit=, def=10,valprec=1", 1 } },
    { isFrequencyHzParamType, { ",valUnit=Hz,valprec=1", 2 } },
    { isRatioParamType, { ",valUnit=:1,valprec=1", 2 } },
    { isTimeMsParamType, { ",valUnit=ms,valprec=3,valscale=x/fs,descale=x*fs", 10 } },
    { isParamTypeCode_4_0_6, { "", 1 } },
    { isParamTypeCode_4_0_5, { "", 1 } },
    { isParamClass21, { "", 1 } },
    { isParamClass22, { "", 1 } },
    { isParamTypeCode_4_0_4, { "", 1 } },
    { isParamTypeCode_4_0_25, { "", 1 } },
    { isParamTypeCode_4_0_255, { "", 1 } },
    { isIndexParamType, { "", 1 } },
};
} // namespace

int decodeParameterDescriptor (const ParameterWordList& list, int position, bool isDictionaryEntry, ParameterDescriptor& out)
{
    const int words = list.itemLength (position, isDictionaryEntry);

    if (words == 0)
        return 0;

    out.type.typeClass = list.word (position);

    if (ParameterWordList::isVariableItemClass (out.type.typeClass, isDictionaryEntry))
    {
        // The length byte and the data bytes follow the class word in file order.
        const size_t lengthByte = (size_t) (position + 1) * 2;
        out.length = list.byteData()[lengthByte];
        out.data = list.byteData() + lengthByte + 1;
        out.type.group = 0;
        out.type.kind = 0;
    }
    else
    {
        out.type.group = list.word (position + 1);
        out.type.kind = list.word (position + 2);
    }

    return words;
}

namespace
{
enum class Walk
{
    goOn,    // the list ended before item n: the referring list goes on
    reached, // item n was decoded
    stop     // item n is there but damaged: nothing further counts
};

// One search for item n. Escapes may nest (up to the cap, so that an entry
// that refers to itself cannot recurse without end). An escape to an entry
// that cannot hold item n is stepped over by the entry's item count rather
// than walked, and inside an entry that holds it the item is found by a
// binary search: the work is the function's own list and a search per level.
class ItemSearch
{
public:
    ItemSearch (const ModuleDictionary* dictionaryToUse, int itemNumber, ParameterDescriptor& result)
        : dictionary (dictionaryToUse), n (itemNumber), out (result)
    {
    }

    Walk walk (const ParameterWordList& list, bool isDictionaryEntry, int depth, int& counter)
    {
        for (int position = 0; position < list.size();)
        {
            if (list.word (position) == ParameterWordList::escapeWord)
            {
                if (position + 1 >= list.size())
                    return Walk::goOn;

                const auto result = followEscape (list.word (position + 1), depth, counter);

                if (result != Walk::goOn)
                    return result;

                position += 2;
                continue;
            }

            if (counter == n)
            {
                if (decodeParameterDescriptor (list, position, isDictionaryEntry, out) == 0)
                    return Walk::stop;

                out.reached = true;
                return Walk::reached;
            }

            // An item that runs past its list ends the list.
            const int words = list.itemLength (position, isDictionaryEntry);

            if (words == 0)
                return Walk::goOn;

            position += words;
            ++counter;
        }

        return Walk::goOn;
    }

private:
    Walk followEscape (int index, int depth, int& counter)
    {
        const auto* entry = dictionary != nullptr ? dictionary->getEntry (index) : nullptr;

        if (entry == nullptr || depth >= DictionaryItemCounts::maxEscapeDepth)
            return Walk::goOn;

        if (counts == nullptr)
            counts = dictionary->getItemCounts();

        // Item n lies beyond the entry unless it falls among the entry's
        // items, or on a damaged item right after them.
        const auto count = counts->get (index, depth + 1);
        const auto end = counter + count.items;

        if (end < n || (end == n && ! count.endsDamaged))
        {
            counter = (int) end;
            return Walk::goOn;
        }

        return searchEntry (index, depth + 1, counter);
    }

    // Item n lies in the entry: the binary search of its pieces finds the
    // item, the damaged item it stops on, or the escape to go down.
    Walk searchEntry (int index, int depth, int& counter)
    {
        const auto& entry = *dictionary->getEntry (index);
        const auto* piece = counts->findPiece (index, depth, n - counter);

        if (piece == nullptr)
            return Walk::goOn;

        counter += (int) piece->itemsStart;

        if (piece->isItem)
        {
            decodeParameterDescriptor (entry, piece->position, true, out);
            out.reached = true;
            return Walk::reached;
        }

        if (entry.word (piece->position) != ParameterWordList::escapeWord)
            return Walk::stop;

        return searchEntry (entry.word (piece->position + 1), depth + 1, counter);
    }

    const ModuleDictionary* dictionary;
    const int n;
    ParameterDescriptor& out;
    std::shared_ptr<const DictionaryItemCounts> counts;
};
} // namespace

bool expandParameterWordList (const ParameterWordList& list, bool isDictionaryEntry, const ModuleDictionary* dictionary, int n,
                              int& counter, ParameterDescriptor& out, int depth)
{
    if (counter > n)
        return false;

    return ItemSearch (dictionary, n, out).walk (list, isDictionaryEntry, depth, counter) == Walk::reached;
}

void getFunctionParameter (const LibraryFunctionDefinition& function, ParameterNumbering numbering, int n,
                           ParameterDescriptor& out)
{
    out = {};

    if (n < 0 || function.returnValueCount + function.parameterCount == 0)
        return;

    if (numbering == ParameterNumbering::parametersOnly && function.returnValueCount > 0)
    {
        if (n > std::numeric_limits<int>::max() - function.returnValueCount)
            return;

        n += function.returnValueCount;
    }

    int counter = 0;
    ParameterDescriptor found;

    if (expandParameterWordList (function.parameterWords, false, function.dictionary, n, counter, found))
        out = found;
}

bool isFunctionParameterFlagged (const LibraryFunctionDefinition& function, int n)
{
    const int bit = function.parameterCount - 1 - n;

    if (n < 0 || bit < 0 || bit >= 32)
        return false;

    return ((function.parameterFlagMask >> bit) & 1) != 0;
}

bool LibraryFunctionDefinition::hasIndexParameter() const
{
    // The parameters' numbers among all items of the list.
    const int first = returnValueCount;
    const int end = returnValueCount + parameterCount;
    int n = 0;

    if (first >= 0 && parameterCount > 0)
    {
        // One walk of the function's own list finds every index item that
        // the dictionary's entries hold within reach.
        const auto counts = dictionary != nullptr ? dictionary->getItemCounts() : nullptr;
        const auto items = DictionaryItemCounts::findIndexItems (parameterWords, false, 0, counts.get());

        for (int item = first; item < std::min (end, DictionaryItemCounts::typedItemLimit); ++item)
            if (items[(size_t) item])
                return true;

        n = std::max (0, DictionaryItemCounts::typedItemLimit - first);
    }

    for (; n < parameterCount; ++n)
    {
        ParameterDescriptor d;
        getFunctionParameter (*this, ParameterNumbering::parametersOnly, n, d);

        if (d.reached && isIndexParamType (d.type))
            return true;
    }

    return false;
}

const ParameterAnnotation& getParameterAnnotation (int slot)
{
    if (slot < 0 || slot >= parameterAnnotationCount)
        slot = 0;

    return annotationTable[slot].annotation;
}

const ParameterAnnotation& getLastParameterAnnotation (const LibraryFunctionDefinition& function, int* matchedSlot)
{
    ParameterDescriptor d;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, function.parameterCount - 1, d);

    int slot = 0;

    for (int i = 0; i < parameterAnnotationCount; ++i)
    {
        if (annotationTable[i].test (d.type))
        {
            slot = i;
            break;
        }
    }

    if (matchedSlot != nullptr)
        *matchedSlot = slot;

    return annotationTable[slot].annotation;
}

// clang-format off
bool isDspIdArgType (const ParameterTypeCode& t)             { return isType (t, { 4 }, 2, { 0 }); }
bool isProcessIdArgType (const ParameterTypeCode& t)         { return isType (t, { 4 }, 2, { 1 }); }
bool isUpdateCoeffFuncArgType (const ParameterTypeCode& t)   { return isType (t, { 4 }, 2, { 6 }); }
bool isBiquadObjectArgType (const ParameterTypeCode& t)      { return isType (t, { 4 }, 2, { 7 }); }
bool isParamTypeCode_4_2_5 (const ParameterTypeCode& t)      { return isType (t, { 4 }, 2, { 5 }); }
bool isParamTypeCode_4_0_13to15 (const ParameterTypeCode& t) { return isType (t, { 4 }, 0, { 13, 14, 15 }); }
bool isParamTypeCode_12_0_0 (const ParameterTypeCode& t)     { return isType (t, { 12 }, 0, { 0 }); }
bool isParamTypeCode_12_0_7 (const ParameterTypeCode& t)     { return isType (t, { 12 }, 0, { 7 }); }
bool isParamTypeCode_4_0_1 (const ParameterTypeCode& t)      { return isType (t, { 4 }, 0, { 1 }); }
bool isParamTypeCode_4_0_2 (const ParameterTypeCode& t)      { return isType (t, { 4 }, 0, { 2 }); }
bool isParamTypeCode_4_0_22 (const ParameterTypeCode& t)     { return isType (t, { 4 }, 0, { 22 }); }
bool isParamTypeCode_4_0_20 (const ParameterTypeCode& t)     { return isType (t, { 4 }, 0, { 20 }); }
bool isParamTypeCode_4_0_16 (const ParameterTypeCode& t)     { return isType (t, { 4 }, 0, { 16 }); }
bool isOnOffParamType (const ParameterTypeCode& t)           { return isType (t, { 4 }, 0, { 18 }); }
bool isIndexParamType (const ParameterTypeCode& t)           { return isType (t, { 4 }, 0, { 10 }); }
bool isGainDbParamType (const ParameterTypeCode& t)          { return isType (t, { 4 }, 1, { 128 }); }
bool isLevelDbParamType (const ParameterTypeCode& t)         { return isType (t, { 4, 12 }, 1, { 130 }); }
bool isRange16383ParamType (const ParameterTypeCode& t)      { return isType (t, { 4 }, 1, { 129 }); }
bool isFrequencyHzParamType (const ParameterTypeCode& t)     { return isType (t, { 4, 12 }, 1, { 64 }); }
bool isRatioParamType (const ParameterTypeCode& t)           { return isType (t, { 4 }, 1, { 131 }); }
bool isTimeMsParamType (const ParameterTypeCode& t)          { return isType (t, { 4, 12 }, 1, { 0, 3 }); }
bool isParamTypeCode_4_0_6 (const ParameterTypeCode& t)      { return isType (t, { 4 }, 0, { 6 }); }
bool isParamTypeCode_4_0_5 (const ParameterTypeCode& t)      { return isType (t, { 4 }, 0, { 5 }); }
bool isParamTypeCode_4_0_25 (const ParameterTypeCode& t)     { return isType (t, { 4 }, 0, { 25 }); }
bool isParamClass21 (const ParameterTypeCode& t)             { return t.typeClass == 21; }
bool isParamClass22 (const ParameterTypeCode& t)             { return t.typeClass == 22; }
bool isParamTypeCode_4_0_4 (const ParameterTypeCode& t)      { return isType (t, { 4 }, 0, { 4 }); }
bool isParamTypeCode_4_0_28 (const ParameterTypeCode& t)     { return isType (t, { 4 }, 0, { 28 }); }
bool isParamTypeCode_4_0_255 (const ParameterTypeCode& t)    { return isType (t, { 4 }, 0, { 255 }); }
// clang-format on
