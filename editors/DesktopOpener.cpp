#include "editors/DesktopOpener.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace
{
bool isAsciiLetterOrDigit (juce::juce_wchar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isHexDigit (juce::juce_wchar c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// One label of a host name: letters, digits and inner hyphens, at most 63.
bool isLabel (const juce::String& label)
{
    if (label.isEmpty() || label.length() > 63 || label.startsWithChar ('-') || label.endsWithChar ('-'))
        return false;

    for (auto c : label)
        if (! isAsciiLetterOrDigit (c) && c != '-')
            return false;

    return true;
}

// A host name ("example.org", "127.0.0.1"; at most 253 long, perhaps with
// the closing dot of a full name) or a bracketed IPv6 address.
bool isHost (const juce::String& host)
{
    if (host.startsWithChar ('['))
        return host.length() <= 47 && host.endsWithChar (']') && host.retainCharacters (":").length() >= 2 &&
               host.substring (1, host.length() - 1).containsOnly ("0123456789abcdefABCDEF:.");

    const auto name = host.endsWithChar ('.') ? host.dropLastCharacters (1) : host;

    if (name.isEmpty() || name.length() > 253)
        return false;

    juce::StringArray labels;
    labels.addTokens (name, ".", "");
    return std::all_of (labels.begin(), labels.end(), isLabel);
}

bool isPort (const juce::String& port)
{
    return port.isNotEmpty() && port.length() <= 5 && port.containsOnly ("0123456789") && port.getIntValue() <= 65535;
}

// Host and port: what stands between "//" and the first "/", "?" or "#".
bool isAuthority (const juce::String& authority)
{
    // A port follows the last ":" after an IPv6 address's closing bracket.
    const auto bracketEnd = authority.lastIndexOfChar (']');
    const auto colon = authority.lastIndexOfChar (':');

    if (colon > bracketEnd)
        return isHost (authority.substring (0, colon)) && isPort (authority.substring (colon + 1));

    return isHost (authority);
}

// Path, query and fragment.
bool isRest (const juce::String& rest)
{
    const auto* text = rest.toRawUTF8();

    for (int i = 0; text[i] != 0; ++i)
    {
        const auto c = (juce::juce_wchar) (unsigned char) text[i];

        if (c == '%')
        {
            if (! isHexDigit ((unsigned char) text[i + 1]) || ! isHexDigit ((unsigned char) text[i + 2]))
                return false;

            i += 2;
            continue;
        }

        if (! isAsciiLetterOrDigit (c) && juce::String ("-._~:/?#[]@&+,=").indexOfChar (c) < 0)
            return false;
    }

    return true;
}

// The opener as the system finds it on the PATH; none when it is not there.
juce::File findOnPath (const juce::String& name)
{
    const auto* path = std::getenv ("PATH");

    for (const auto& folder : juce::StringArray::fromTokens (path != nullptr ? path : "", ":", ""))
        if (const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (folder).getChildFile (name);
            folder.isNotEmpty() && file.existsAsFile() && access (file.getFullPathName().toRawUTF8(), X_OK) == 0)
            return file;

    return {};
}

// Openers still running from earlier starts: each one's end is collected
// at a later start, so that none stays behind as a finished process that
// nobody asked after.
std::vector<pid_t>& runningOpeners()
{
    static std::vector<pid_t> openers;
    return openers;
}

void collectFinishedOpeners()
{
    auto& openers = runningOpeners();
    openers.erase (std::remove_if (openers.begin(), openers.end(),
                                   [] (pid_t pid)
                                   {
                                       int status = 0;
                                       return waitpid (pid, &status, WNOHANG) != 0;
                                   }),
                   openers.end());
}
} // namespace

bool DesktopOpener::openFile (const juce::File& file)
{
    return file.exists() && start (file.getFullPathName());
}

bool DesktopOpener::openWebPage (const juce::String& address)
{
    return isWebAddress (address) && start (address);
}

bool DesktopOpener::isWebAddress (const juce::String& address)
{
    const auto lower = address.toLowerCase();
    const auto schemeLength = lower.startsWith ("https://") ? 8 : (lower.startsWith ("http://") ? 7 : 0);

    if (schemeLength == 0)
        return false;

    const auto afterScheme = address.substring (schemeLength);
    const auto authorityEnd = afterScheme.indexOfAnyOf ("/?#");
    const auto authority = authorityEnd < 0 ? afterScheme : afterScheme.substring (0, authorityEnd);
    const auto rest = authorityEnd < 0 ? juce::String() : afterScheme.substring (authorityEnd);

    return isAuthority (authority) && isRest (rest);
}

bool DesktopOpener::start (const juce::String& argument)
{
    collectFinishedOpeners();

    const auto opener = findOnPath (openerName);

    if (opener == juce::File())
        return false;

    // An argument list, run directly: no shell reads the argument.
    const auto program = opener.getFullPathName();
    char* const arguments[] = { const_cast<char*> (program.toRawUTF8()), const_cast<char*> (argument.toRawUTF8()), nullptr };

    posix_spawnattr_t attributes;
    posix_spawnattr_init (&attributes);
#ifdef POSIX_SPAWN_SETSID
    // Apart from the program's session, as a program the desktop started.
    posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETSID);
#endif

    pid_t pid = 0;
    const auto started = posix_spawn (&pid, program.toRawUTF8(), nullptr, &attributes, arguments, environ) == 0;
    posix_spawnattr_destroy (&attributes);

    if (started)
        runningOpeners().push_back (pid);

    return started;
}
