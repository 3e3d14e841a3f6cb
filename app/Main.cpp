#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <cstdlib>

namespace
{
const char* const productTitle = "OSTRANE Quellion";

// The main window as the program starts it: titled, resizable within the
// limits the design tool needs. The project area, tabs and menus grow into it.
class MainAppWindow final : public juce::DocumentWindow
{
public:
    MainAppWindow()
        : juce::DocumentWindow (
              productTitle,
              juce::Desktop::getInstance().getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
              juce::DocumentWindow::allButtons)
    {
        setUsingNativeTitleBar (true);
        setResizable (true, true);
        setResizeLimits (800, 600, 10000, 10000);
        setSize (1024, 768);
        setVisible (true);
    }

    void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
};

class VARENTIXApplication final : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "OstraneQuellion"; }
    const juce::String getApplicationVersion() override { return "1.3.3.6"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        {
            std::fprintf (stderr, "%s needs a graphical display; none was found.\n", productTitle);
            setApplicationReturnValue (1);
            quit();
            return;
        }

        mainWindow = std::make_unique<MainAppWindow>();
    }

    void shutdown() override { mainWindow.reset(); }

private:
    std::unique_ptr<MainAppWindow> mainWindow;
};
} // namespace

// Without a display JUCE's window system cannot start at all, so the program
// says so before handing over to JUCE.
int main (int argc, char* argv[])
{
    const char* display = std::getenv ("DISPLAY");
    if (display == nullptr || *display == '\0')
    {
        std::fprintf (stderr, "%s needs a graphical display; DISPLAY is not set.\n", productTitle);
        return 1;
    }

    juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase* { return new VARENTIXApplication(); };
    return juce::JUCEApplicationBase::main (argc, (const char**) argv);
}
