#include "model/DesignLog.h"

#include <gtest/gtest.h>

namespace
{
class DesignLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearLog();
        clearDesignFlags();
    }

    void TearDown() override
    {
        clearLog();
        clearDesignFlags();
    }
};
} // namespace

TEST_F (DesignLogTest, ErrorsAreNumberedAndNameTheirDsp)
{
    logError ("A", 2);
    logError ("B\n", -1);

    EXPECT_EQ (getLogText(), " !!! Error#1: A in DSP#2\n !!! Error#2: B\n");
    EXPECT_EQ (getLogErrorCount(), 2);
}

TEST_F (DesignLogTest, InternalErrorsAskToContactTheDevelopersAndCountOnce)
{
    logInternalError ("X", -1);

    EXPECT_EQ (getLogText(), " !!! Error#1: X...please contact a OSTRANE developer\n");
    EXPECT_EQ (getLogErrorCount(), 1);

    logInternalError ("Y", 3);
    EXPECT_EQ (getLogText().fromFirstOccurrenceOf ("developer\n", false, false),
               " !!! Error#2: Y in DSP#3\n...please contact a OSTRANE developer\n");
    EXPECT_EQ (getLogErrorCount(), 2);
}

TEST_F (DesignLogTest, PlainTextAndIncrementsAccumulateUntilCleared)
{
    appendToLog ("header\n", 0);
    appendToLog ("counted elsewhere\n", 3);
    logError ("next\n", -1);

    EXPECT_TRUE (getLogText().endsWith (" !!! Error#4: next\n"));
    EXPECT_EQ (getLogErrorCount(), 4);

    clearLog();
    EXPECT_TRUE (getLogText().isEmpty());
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (DesignLogTest, DesignFlagsAreIndependentAndClearedTogether)
{
    EXPECT_FALSE (isDesignLocked());
    EXPECT_FALSE (isLockWarningShown());

    setDesignLocked (true);
    EXPECT_TRUE (isDesignLocked());
    EXPECT_FALSE (isLockWarningShown());

    setLockWarningShown (true);
    setDesignLocked (false);
    EXPECT_FALSE (isDesignLocked());
    EXPECT_TRUE (isLockWarningShown());

    setDesignLocked (true);
    clearDesignFlags();
    EXPECT_FALSE (isDesignLocked());
    EXPECT_FALSE (isLockWarningShown());
}
