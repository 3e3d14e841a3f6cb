#pragma once

#include <juce_core/juce_core.h>

// The native windows that cross the interface: on this desktop X windows,
// each handed over as its id in a pointer. A window the library opens for the
// parent the program names belongs to that parent, as windows owned by
// another do on every desktop: the window manager keeps it above the
// parent, whatever the parent does (cover the whole screen included). Both
// sides keep their windows above their parents this way.
namespace HvIfNativeWindow
{
namespace detail
{
// The few calls of the X library it takes, found at run time as JUCE finds
// its own: neither side links an X library.
class X11Connection
{
public:
    static X11Connection& getInstance()
    {
        static X11Connection connection;
        return connection;
    }

    bool setTransientFor (unsigned long window, unsigned long owner)
    {
        if (display == nullptr || setTransientForHint == nullptr || flush == nullptr)
            return false;

        setTransientForHint (display, window, owner);
        flush (display);
        return true;
    }

private:
    using OpenDisplay = void* (*) (const char*);
    using SetTransientForHint = int (*) (void*, unsigned long, unsigned long);
    using Flush = int (*) (void*);

    X11Connection()
    {
        if (! library.open ("libX11.so.6"))
            return;

        auto openDisplay = reinterpret_cast<OpenDisplay> (library.getFunction ("XOpenDisplay"));
        setTransientForHint = reinterpret_cast<SetTransientForHint> (library.getFunction ("XSetTransientForHint"));
        flush = reinterpret_cast<Flush> (library.getFunction ("XFlush"));

        if (openDisplay != nullptr)
            display = openDisplay (nullptr);
    }

    juce::DynamicLibrary library;
    void* display = nullptr;
    SetTransientForHint setTransientForHint = nullptr;
    Flush flush = nullptr;
};
} // namespace detail

// Asks the window manager to keep `window` above `parent`. False when
// either is none, they are the same, or there is no window manager to ask.
inline bool keepAboveParent (void* window, void* parent)
{
    const auto windowId = (unsigned long) (juce::pointer_sized_uint) window;
    const auto parentId = (unsigned long) (juce::pointer_sized_uint) parent;

    if (windowId == 0 || parentId == 0 || windowId == parentId)
        return false;

    return detail::X11Connection::getInstance().setTransientFor (windowId, parentId);
}
} // namespace HvIfNativeWindow
