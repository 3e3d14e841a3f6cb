#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A word list of a library function or a dictionary entry: 16-bit words kept
// as the file's little-endian bytes, so that the data bytes of a variable item
// can be handed out in file order whatever the host's byte order.
class ParameterWordList
{
public:
    ParameterWordList() = default;
    explicit ParameterWordList (std::vector<uint8_t> littleEndianBytes);

    static ParameterWordList fromWords (const std::vector<uint16_t>& words);

    int size() const noexcept { return (int) (bytes.size() / 2); }
    bool isEmpty() const noexcept { return bytes.size() < 2; }

    // The word at the index; callers keep within size().
    uint16_t word (int index) const noexcept;
    std::vector<uint16_t> words() const;

    // The byte at a byte offset, for variable items; callers keep within byteSize().
    const uint8_t* byteData() const noexcept { return bytes.data(); }
    size_t byteSize() const noexcept { return bytes.size(); }

private:
    std::vector<uint8_t> bytes;
};
