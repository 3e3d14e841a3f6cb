#include "model/ParameterWordList.h"

ParameterWordList::ParameterWordList (std::vector<uint8_t> littleEndianBytes) : bytes (std::move (littleEndianBytes))
{
    if (bytes.size() % 2 != 0)
        bytes.pop_back();
}

ParameterWordList ParameterWordList::fromWords (const std::vector<uint16_t>& words)
{
    std::vector<uint8_t> data;
    data.reserve (words.size() * 2);

    for (auto w : words)
    {
        data.push_back ((uint8_t) (w & 0xFF));
        data.push_back ((uint8_t) (w >> 8));
    }

    return ParameterWordList (std::move (data));
}

uint16_t ParameterWordList::word (int index) const noexcept
{
    const auto at = (size_t) index * 2;
    return (uint16_t) (bytes[at] | (bytes[at + 1] << 8));
}

std::vector<uint16_t> ParameterWordList::words() const
{
    std::vector<uint16_t> result ((size_t) size());

    for (int i = 0; i < size(); ++i)
        result[(size_t) i] = word (i);

    return result;
}
