#include "model/DictionaryItemCounts.h"

#include "model/ModuleDictionary.h"

#include <algorithm>

namespace
{
int64_t addCapped (int64_t a, int64_t b)
{
    return std::min (a + b, DictionaryItemCounts::countCeiling);
}
} // namespace

DictionaryItemCounts::DictionaryItemCounts (const ModuleDictionary& dictionary) : entryCount (dictionary.size())
{
    counts.resize ((size_t) entryCount * maxEscapeDepth);

    // An entry walked at the deepest level follows no escape; every level
    // above follows its escapes into the level below, already counted.
    for (int depth = maxEscapeDepth; depth >= 1; --depth)
    {
        for (int e = 0; e < entryCount; ++e)
        {
            const auto& list = *dictionary.getEntry (e);
            int64_t items = 0;
            int64_t damagedAt = -1;

            for (int position = 0; position < list.size();)
            {
                if (list.word (position) == ParameterWordList::escapeWord)
                {
                    // An escape without its index word ends the list.
                    if (position + 1 >= list.size())
                        break;

                    if (depth < maxEscapeDepth)
                    {
                        const auto inner = get (list.word (position + 1), depth + 1);

                        if (inner.endsDamaged)
                            damagedAt = addCapped (items, inner.items);

                        items = addCapped (items, inner.items);
                    }

                    position += 2;
                    continue;
                }

                const int words = list.itemLength (position, true);

                if (words == 0)
                {
                    damagedAt = items;
                    break;
                }

                position += words;
                items = addCapped (items, 1);
            }

            counts[(size_t) (depth - 1) * (size_t) entryCount + (size_t) e] = { items, damagedAt == items };
        }
    }
}

DictionaryItemCounts::Count DictionaryItemCounts::get (int entry, int depth) const noexcept
{
    if (entry < 0 || entry >= entryCount || depth < 1 || depth > maxEscapeDepth)
        return {};

    return counts[(size_t) (depth - 1) * (size_t) entryCount + (size_t) entry];
}
