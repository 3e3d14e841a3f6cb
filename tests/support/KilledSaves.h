#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <random>

// For checks that saves cut short leave little behind: this test program is
// started again, running one disabled test that saves to a target until it
// is killed, and killed while it saves.
namespace KilledSaves
{
constexpr const char* targetVariable = "VX_SAVE_UNTIL_KILLED";

// The saver's target; none in an ordinary run, where the saver skips.
inline juce::File getTarget()
{
    return juce::File (juce::SystemStats::getEnvironmentVariable (targetVariable, {}));
}

// Starts the saver (a disabled test, "Suite.DISABLED_Name") the given number
// of times and kills each after its first save, while it saves again. False
// when a saver did not start.
inline bool killSavers (const juce::String& saverTest, const juce::File& target, int times)
{
    const auto program = juce::File ("/proc/self/exe").getLinkedTarget().getFullPathName();
    std::mt19937 random (120);

    // The savers start in the target's folder: an earlier test may have left
    // this process in a folder since removed, where no test program starts.
    const auto workingDirectory = juce::File::getCurrentWorkingDirectory();
    target.getParentDirectory().setAsCurrentWorkingDirectory();
    ::setenv (targetVariable, target.getFullPathName().toRawUTF8(), 1);

    // A test program that makes a home of its own for its run makes it
    // here, where the test's folder takes it away.
    ::setenv ("VX_TEST_HOME", target.getSiblingFile ("home").getFullPathName().toRawUTF8(), 1);
    bool started = true;

    for (int i = 0; i < times && started; ++i)
    {
        target.deleteFile();
        juce::ChildProcess saver;
        started = saver.start (juce::StringArray{ program, "--gtest_also_run_disabled_tests", "--gtest_filter=" + saverTest }, 0);

        for (int wait = 0; wait < 500 && started && ! target.existsAsFile(); ++wait)
            juce::Thread::sleep (10);

        juce::Thread::sleep (std::uniform_int_distribution<int> (0, 20) (random));
        saver.kill();
        saver.waitForProcessToFinish (5000);
    }

    ::unsetenv (targetVariable);
    ::unsetenv ("VX_TEST_HOME");
    workingDirectory.setAsCurrentWorkingDirectory();
    return started;
}
} // namespace KilledSaves
