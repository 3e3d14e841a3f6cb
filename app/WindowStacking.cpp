#include "app/WindowStacking.h"

namespace
{
// The few calls of the X library it takes, found at run time as JUCE finds
// its own: the program links no X library.
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
} // namespace

bool WindowStacking::keepAboveOwner (juce::Component& window, juce::Component& owner)
{
    auto* top = owner.getTopLevelComponent();
    const auto windowHandle = (unsigned long) (juce::pointer_sized_uint) window.getWindowHandle();
    const auto ownerHandle = top != nullptr ? (unsigned long) (juce::pointer_sized_uint) top->getWindowHandle() : 0ul;

    if (windowHandle == 0 || ownerHandle == 0 || windowHandle == ownerHandle)
        return false;

    return X11Connection::getInstance().setTransientFor (windowHandle, ownerHandle);
}
