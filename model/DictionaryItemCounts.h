#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

class ModuleDictionary;
class ParameterWordList;

// How many items each dictionary entry stands for when an escape to it is
// expanded at a given nesting depth, so that a walk looking for item n can
// step over an entry whole instead of walking it again.
//
// Without this, an entry holding k escapes to itself (or a chain of entries
// each holding k escapes to the next) is walked about k^8 times before the
// nesting cap stops it: a file of a few hundred bytes would take hours. The
// counts are made once per dictionary, bottom-up from the deepest level, in
// time proportional to the dictionary's words times the nesting cap. With
// each entry's pieces and their running counts, a walk finds the piece that
// holds an item by a binary search, so that even a function whose entry
// holds thousands of escapes before its items is read at once.
//
// Made alongside: which of the first items of each entry are of the index
// type, so that the reader tells whether a function has an index parameter
// from its own list and one look-up per escape in it, however many
// parameters the function has and however its entries nest.
class DictionaryItemCounts
{
public:
    // Items numbered below this are told apart by type: a function has at
    // most 255 return values and 255 parameters.
    static constexpr int typedItemLimit = 512;
    using ItemSet = std::bitset<typedItemLimit>;

    // Escapes are followed while the list holding them stands at a depth
    // below this (the function's own list stands at depth 0); deeper ones
    // stand for nothing.
    static constexpr int maxEscapeDepth = 8;

    // Counts stop growing here, far beyond any item number an int can name.
    static constexpr int64_t countCeiling = int64_t (1) << 40;

    struct Count
    {
        // The items a walk of the entry counts before its end, or before a
        // damaged item (one that runs past its list) ends it.
        int64_t items = 0;

        // A damaged item stands right after the last item counted: a walk
        // asking for that item number ends there with nothing, rather than
        // going on in the list that referred to the entry.
        bool endsDamaged = false;
    };

    // One step of an entry's walk that counts: an item, an escape to an
    // entry that stands for items or ends damaged, or the damaged item that
    // ends the entry. Escapes that stand for nothing are left out.
    struct Piece
    {
        int position = 0;       // the word where it starts in the entry
        int64_t itemsStart = 0; // the entry's items counted before it
        int64_t itemsEnd = 0;   // ... and once it is passed
        bool isItem = false;    // an item of the entry's own (else an escape, or the damaged end)
        bool endsDamaged = false;
    };

    explicit DictionaryItemCounts (const ModuleDictionary& dictionary);

    // The count of the entry walked at the depth (1 to maxEscapeDepth); an
    // entry that does not exist, or a depth out of range, stands for nothing.
    Count get (int entry, int depth) const noexcept;

    // The piece of the entry walked at the depth that item `item` (counted
    // from the entry's start) falls in: the first that passes it, or that
    // ends damaged on it. None when the entry does not reach it.
    const Piece* findPiece (int entry, int depth, int64_t item) const noexcept;

    // The numbers below typedItemLimit of the items of the index type that a
    // search for item n reaches in the list walked at the depth (0 for a
    // function's own list), following its escapes into the entries counted
    // here (none without counts).
    static ItemSet findIndexItems (const ParameterWordList& list, bool isDictionaryEntry, int depth,
                                   const DictionaryItemCounts* counts);

private:
    int entryCount = 0;
    std::vector<Count> counts;              // maxEscapeDepth rows of entryCount, depth 1 first
    std::vector<std::vector<Piece>> pieces; // the same layout
    std::vector<int> indexItemSets;         // the same layout: a position in indexItems, or -1 for none
    std::vector<ItemSet> indexItems;

    size_t slot (int entry, int depth) const noexcept { return (size_t) (depth - 1) * (size_t) entryCount + (size_t) entry; }

    // The pieces of the list walked at the depth and what they count.
    static std::vector<Piece> makePieces (const ParameterWordList& list, bool isDictionaryEntry, int depth,
                                          const DictionaryItemCounts* counts, Count& count);
    static ItemSet findIndexItems (const std::vector<Piece>& steps, const ParameterWordList& list, bool isDictionaryEntry,
                                   int depth, const DictionaryItemCounts* counts);
    const ItemSet* getIndexItems (int entry, int depth) const noexcept;
};
