#pragma once

#include "app/ApplicationSettings.h"
#include "model/DesignLog.h"
#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

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
