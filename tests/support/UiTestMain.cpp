#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <unistd.h>

#include <cstdlib>

namespace
{
// JUCE reports a failed assertion through the current logger (JUCE_LOG_ASSERTIONS);
// a test that trips one has misused JUCE or broken an invariant, so it fails.
class AssertionFailingLogger final : public juce::Logger
{
    void logMessage (const juce::String& message) override
    {
        if (message.contains ("JUCE Assertion failure"))
            ADD_FAILURE() << message;
    }
};

// Without a window manager the X server refuses some of JUCE's window
// properties. JUCE tolerates that only inside a JUCEApplication; here the
// default handler would end the test program, so errors are ignored.
int ignoreXError (void*, void*)
{
    return 0;
}

void installTolerantXErrorHandler (juce::DynamicLibrary& x11)
{
    const char* display = std::getenv ("DISPLAY");

    if (display == nullptr || *display == '\0' || ! x11.open ("libX11.so.6"))
        return;

    using ErrorHandler = int (*) (void*, void*);
    using SetErrorHandler = ErrorHandler (*) (ErrorHandler);

    if (auto setHandler = reinterpret_cast<SetErrorHandler> (x11.getFunction ("XSetErrorHandler")))
        setHandler (ignoreXError);
}

// Everything the program keeps for its user (the settings file above all)
// goes into a home of the test run's own, never the real one. A run that a
// test starts and kills is given its home by that test, which removes it.
class TemporaryHome
{
public:
    TemporaryHome()
        : given (std::getenv ("VX_TEST_HOME") != nullptr),
          folder (given ? juce::File (std::getenv ("VX_TEST_HOME"))
                        : juce::File::getSpecialLocation (juce::File::tempDirectory)
                              .getChildFile ("vx-ui-home-" + juce::String ((int) getpid()) + "-" +
                                             juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
    {
        folder.createDirectory();
        setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
        unsetenv ("XDG_CONFIG_HOME");
    }

    ~TemporaryHome()
    {
        if (! given)
            folder.deleteRecursively();
    }

private:
    const bool given;
    const juce::File folder;
};
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    TemporaryHome home;
    juce::DynamicLibrary x11;
    installTolerantXErrorHandler (x11);

    int result = 0;
    {
        const juce::ScopedJuceInitialiser_GUI gui;
        AssertionFailingLogger logger;
        juce::Logger::setCurrentLogger (&logger);
        result = RUN_ALL_TESTS();
        juce::Logger::setCurrentLogger (nullptr);
    }

    return result;
}
