#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A word list of a library function or a dictionary entry: 16-bit words kept
// as the file's little-endian bytes, so that the data bytes of a variable item
// can be handed out in file order whatever the host's byte order.
//
// The list holds items one after another: a fixed item is three words (class,
// group, kind); a variable item (class 21 or 22, and 15 inside a dictionary
// entry) is its class word, a length byte L and L data bytes, floor (L / 2) + 2
// words in all. A word 0xFFFF is an escape: the next word names a dictionary
// entry that stands in place of the two words.
class ParameterWordList
{
public:
    static constexpr uint16_t escapeWord = 0xFFFF;

    ParameterWordList() = default;
    explicit ParameterWordList (std::vector<uint8_t> littleEndianBytes);

    static ParameterWordList fromWords (const std::vector<uint16_t>& words);

    int size() const noexcept { return (int) (bytes.size() / 2); }
    bool isEmpty() const noexcept { return bytes.size() < 2; }

    // The word at the index; callers keep within size().
    uint16_t word (int index) const noexcept;
    std::vector<uint16_t> words() const;

    static bool isVariableItemClass (uint16_t typeClass, bool isDictionaryEntry) noexcept
    {
        return typeClass == 21 || typeClass == 22 || (typeClass == 15 && isDictionaryEntry);
    }

    // The words the item at the position occupies, or 0 when it runs past the list.
    int itemLength (int position, bool isDictionaryEntry) const noexcept;

    // The byte at a byte offset, for variable items; callers keep within byteSize().
    const uint8_t* byteData() const noexcept { return bytes.data(); }
    size_t byteSize() const noexcept { return bytes.size(); }

private:
    std::vector<uint8_t> bytes;
};
