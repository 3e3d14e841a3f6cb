#pragma once

#include "app/ApplicationSettings.h"
#include "model/ControlSysExMessage.h"
#include "model/DesignLog.h"
#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

// What every test of the shell needs: scripted dialogs, a settings file of
// its own, its working directory back, and clean design flags and log.
class ShellTestFixture : public ::testing::Test
{
protected:
    ShellTestFixture()
    {
        clearDesignFlags();
        clearLog();
    }

    ~ShellTestFixture() override
    {
        clearDesignFlags();
        clearLog();
    }

    juce::File getSettingsFile() const { return folder.getChildFile ("OstraneQuellion.cfg"); }

    // The settings as they now stand on disk.
    std::unique_ptr<juce::PropertiesFile> readSettingsBack() const { return ApplicationSettings::open (getSettingsFile()); }

    vxtest::ScopedWorkingDirectory workingDirectory;
    vxtest::TemporaryFolder folder;
    vxtest::ScriptedDialogs dialogs;
    std::unique_ptr<juce::PropertiesFile> settings = ApplicationSettings::open (getSettingsFile());
};

// The bytes of the System Exclusive message that sends one control's value
// to the board, as a MIDI output receives them.
inline std::vector<uint8_t> controlSysEx (int dsp, uint32_t param, uint32_t value)
{
    const auto message = ControlSysExMessage::encode (dsp, param, value);
    return std::vector<uint8_t> (message.begin(), message.end());
}
