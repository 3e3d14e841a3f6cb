#pragma once

#include "ModulesDefDescription.h"

#include <cstdint>
#include <string>
#include <vector>

namespace modulesdef
{
/**
    The readable text form of a LibraryDescription: line based, meant to be
    written and edited by hand, and printed back canonically.

    Every line is a keyword and its arguments; blocks (dictionary, module,
    process, the four kinds of function, bus) open with their keyword and
    close with "end". Indentation is only for the eye. Numbers are decimal or
    0x hexadecimal, names are quoted byte strings in which \xHH stands for any
    byte, and # starts a comment. Fields left out keep the defaults of the
    description.

    Word lists are written as items: (class,group,kind) for a fixed item,
    var21 "bytes" / var22 "bytes" (and var15 inside a dictionary entry) for a
    variable item, dict N for an escape to dictionary entry N, and raw W...
    for words that do not decode as items. print() falls back to raw words
    wherever a list does not decode cleanly, so every list, garbage included,
    comes back word for word.

    parse (print (d)) == d for every description d, and print is
    deterministic, so print (parse (text)) is the canonical form of a text.
    parse() throws std::runtime_error whose message starts with the line
    number ("line 12: ...").
*/
class ModulesDefText
{
public:
    static LibraryDescription parse (const std::string& text);
    static std::string print (const LibraryDescription& library);

    /** The items of one word list, as they stand after "words" (or after the
        number of a dictionary entry). The class-15 rule differs inside a
        dictionary entry, hence the flag. */
    static std::string printWordList (const std::vector<uint16_t>& words, bool inDictionary);

    /** Reads word-list items (the inverse of printWordList). */
    static std::vector<uint16_t> parseWordList (const std::string& items, bool inDictionary);

    /** A byte string as a quoted name: printable ASCII as it is, \" and \\
        escaped, every other byte as \xHH. */
    static std::string quote (const std::string& bytes);
};
} // namespace modulesdef
