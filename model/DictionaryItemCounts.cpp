#include "model/DictionaryItemCounts.h"

#include "model/ModuleDictionary.h"
#include "model/ParameterDescriptor.h"
#include "model/ParameterWordList.h"

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
    indexItemSets.resize ((size_t) entryCount * maxEscapeDepth, -1);

    // An entry walked at the deepest level follows no escape; every level
    // above follows its escapes into the level below, already counted.
    for (int depth = maxEscapeDepth; depth >= 1; --depth)
    {
        for (int e = 0; e < entryCount; ++e)
        {
            const auto& list = *dictionary.getEntry (e);
            const auto at = slot (e, depth);
            pieces[at] = makePieces (list, true, depth, this, counts[at]);
            const auto items = findIndexItems (pieces[at], list, true, depth, this);

            if (items.any())
            {
                indexItemSets[at] = (int) indexItems.size();
                indexItems.push_back (items);
            }
        }
    }
}

std::vector<DictionaryItemCounts::Piece> DictionaryItemCounts::makePieces (const ParameterWordList& list, bool isDictionaryEntry,
                                                                           int depth, const DictionaryItemCounts* counts,
                                                                           Count& count)
{
    std::vector<Piece> steps;
    int64_t items = 0;
    int64_t damagedAt = -1;

    for (int position = 0; position < list.size();)
    {
        if (list.word (position) == ParameterWordList::escapeWord)
        {
            // An escape without its index word ends the list.
            if (position + 1 >= list.size())
                break;

            if (depth < maxEscapeDepth && counts != nullptr)
            {
                const auto inner = counts->get (list.word (position + 1), depth + 1);
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

        const int words = list.itemLength (position, isDictionaryEntry);

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

    count = { items, damagedAt == items };
    return steps;
}

DictionaryItemCounts::ItemSet DictionaryItemCounts::findIndexItems (const ParameterWordList& list, bool isDictionaryEntry,
                                                                    int depth, const DictionaryItemCounts* counts)
{
    Count count;
    return findIndexItems (makePieces (list, isDictionaryEntry, depth, counts, count), list, isDictionaryEntry, depth, counts);
}

DictionaryItemCounts::ItemSet DictionaryItemCounts::findIndexItems (const std::vector<Piece>& steps,
                                                                    const ParameterWordList& list, bool isDictionaryEntry,
                                                                    int depth, const DictionaryItemCounts* counts)
{
    ItemSet found;

    // A search for item n takes the first piece that holds n: the pieces of
    // an entry follow one another, except that an entry that ends damaged
    // holds the number after its items too, which the next piece then cannot
    // reach.
    int64_t taken = 0;

    for (auto& piece : steps)
    {
        if (piece.itemsStart >= typedItemLimit)
            break;

        const auto from = std::max (piece.itemsStart, taken);
        const auto end = std::min<int64_t> (piece.isItem ? piece.itemsStart + 1 : piece.itemsEnd + (piece.endsDamaged ? 1 : 0),
                                            typedItemLimit);
        taken = std::max (taken, end);

        if (from >= end)
            continue;

        if (piece.isItem)
        {
            ParameterDescriptor item;
            decodeParameterDescriptor (list, piece.position, isDictionaryEntry, item);
            found[(size_t) from] = isIndexParamType (item.type);
        }
        else if (list.word (piece.position) == ParameterWordList::escapeWord)
        {
            // The entry's own numbers start at the piece's.
            const auto* inner = counts->getIndexItems (list.word (piece.position + 1), depth + 1);

            if (inner != nullptr)
                found |= (*inner << (size_t) piece.itemsStart) &
                         ((~ItemSet() >> (size_t) (typedItemLimit - (end - from))) << (size_t) from);
        }
    }

    return found;
}

const DictionaryItemCounts::ItemSet* DictionaryItemCounts::getIndexItems (int entry, int depth) const noexcept
{
    if (entry < 0 || entry >= entryCount || depth < 1 || depth > maxEscapeDepth)
        return nullptr;

    const auto at = indexItemSets[slot (entry, depth)];
    return at >= 0 ? &indexItems[(size_t) at] : nullptr;
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
