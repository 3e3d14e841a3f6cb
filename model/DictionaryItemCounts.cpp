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
    pieces.resize ((size_t) entryCount * maxEscapeDepth);

    // An entry walked at the deepest level follows no escape; every level
    // above follows its escapes into the level below, already counted.
    for (int depth = maxEscapeDepth; depth >= 1; --depth)
    {
        for (int e = 0; e < entryCount; ++e)
        {
            const auto& list = *dictionary.getEntry (e);
            auto& steps = pieces[slot (e, depth)];
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
                        const auto before = items;
                        items = addCapped (items, inner.items);

                        if (inner.endsDamaged)
                            damagedAt = items;

                        if (inner.items > 0 || inner.endsDamaged)
                            steps.push_back ({ position, before, items, false, inner.endsDamaged });
                    }

                    position += 2;
                    continue;
                }

                const int words = list.itemLength (position, true);

                if (words == 0)
                {
                    damagedAt = items;
                    steps.push_back ({ position, items, items, false, true });
                    break;
                }

                const auto before = items;
                items = addCapped (items, 1);
                steps.push_back ({ position, before, items, true, false });
                position += words;
            }

            counts[slot (e, depth)] = { items, damagedAt == items };
        }
    }
}

DictionaryItemCounts::Count DictionaryItemCounts::get (int entry, int depth) const noexcept
{
    if (entry < 0 || entry >= entryCount || depth < 1 || depth > maxEscapeDepth)
        return {};

    return counts[slot (entry, depth)];
}

const DictionaryItemCounts::Piece* DictionaryItemCounts::findPiece (int entry, int depth, int64_t item) const noexcept
{
    if (entry < 0 || entry >= entryCount || depth < 1 || depth > maxEscapeDepth || item < 0)
        return nullptr;

    const auto& steps = pieces[slot (entry, depth)];
    auto found = std::lower_bound (steps.begin(), steps.end(), item,
                                   [] (const Piece& piece, int64_t wanted) { return piece.itemsEnd < wanted; });

    // A piece that ends just before the item passes it by; counts only grow,
    // so the next piece passes it or ends damaged on it.
    if (found != steps.end() && found->itemsEnd == item && ! found->endsDamaged)
        ++found;

    return found != steps.end() ? &*found : nullptr;
}
