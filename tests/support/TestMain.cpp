#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

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
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    AssertionFailingLogger logger;
    juce::Logger::setCurrentLogger (&logger);
    const int result = RUN_ALL_TESTS();
    juce::Logger::setCurrentLogger (nullptr);
    return result;
}
