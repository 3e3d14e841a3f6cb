#pragma once

#include <juce_core/juce_core.h>

// Hands a document or a web page to the desktop's opener ("xdg-open"),
// which shows it with the program the user chose for its kind. The opener
// is started with the file or the address as one argument of its own: no
// shell ever reads them, so whatever a file name or an address holds
// (quotes, "$(...)", backticks, ";", "|") stays text and runs nothing.
// Only existing files and well-formed http or https addresses are opened.
class DesktopOpener
{
public:
    static constexpr const char* openerName = "xdg-open";

    // True when the opener was started on the file.
    static bool openFile (const juce::File& file);

    // True when the address is a web address and the opener was started on it.
    static bool openWebPage (const juce::String& address);

    // An http or https address of the usual form: a host name, an IPv4
    // address or a bracketed IPv6 address, perhaps a port, then a path,
    // query and fragment made of the characters addresses are written
    // with (letters, digits, "-._~", "%" and two hexadecimal digits,
    // ":/?#[]@" and "&+,="). Blanks, quotes, backslashes, "$", backticks,
    // parentheses, ";", "|" and the like are refused, as are user names
    // ("user@host") and anything beyond ASCII.
    static bool isWebAddress (const juce::String& address);

private:
    static bool start (const juce::String& argument);

    DesktopOpener() = delete;
};
