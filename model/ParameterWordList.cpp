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

int ParameterWordList::itemLength (int position, bool isDictionaryEntry) const noexcept
{
    const int available = size() - position;

    if (position < 0 || available < 1)
        return 0;

    int words = 3;

    if (isVariableItemClass (word (position), isDictionaryEntry))
    {
        if (available < 2)
            return 0;

        words = (word (position + 1) & 0xFF) / 2 + 2;
    }

    return words <= available ? words : 0;
}
