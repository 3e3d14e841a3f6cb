#include "app/OutputLog.h"
#include "app/OutputLogWindow.h"

#include "ShellTestFixture.h"

using OutputLogTest = ShellTestFixture;

TEST_F (OutputLogTest, ShowsTheLogTextInAReadOnlyEditor)
{
    OutputLog log;

    EXPECT_EQ (log.getWidth(), 300);
    EXPECT_EQ (log.getHeight(), 300);
    EXPECT_EQ (log.getTextEditor().getBounds(), juce::Rectangle<int> (8, 8, 284, 284));
    EXPECT_TRUE (log.getTextEditor().isMultiLine());
    EXPECT_TRUE (log.getTextEditor().isReadOnly());
    EXPECT_TRUE (log.isTimerRunning());
    EXPECT_EQ (log.getTimerInterval(), 100);
}

TEST_F (OutputLogTest, EachPollTakesTheWholeLogAndShowsItsEnd)
{
    OutputLog log;
    appendToLog ("first line\n", 0);
    log.timerCallback();
    EXPECT_EQ (log.getTextEditor().getText(), "first line\n");

    // Written while nobody looked: shown whole at the next poll.
    for (int i = 0; i < 50; ++i)
        appendToLog ("line " + juce::String (i) + "\n", 0);

    log.timerCallback();
    EXPECT_EQ (log.getTextEditor().getText(), getLogText());
    EXPECT_EQ (log.getTextEditor().getCaretPosition(), getLogText().length());

    clearLog();
    log.timerCallback();
    EXPECT_TRUE (log.getTextEditor().getText().isEmpty());
}

TEST_F (OutputLogTest, AnUnchangedLogLeavesTheCaretWhereTheUserPutIt)
{
    OutputLog log;

    // Lines ended by "\r\n", which the editor keeps as "\n".
    for (int i = 0; i < 50; ++i)
        appendToLog ("line " + juce::String (i) + "\r\n", 0);

    log.timerCallback();
    ASSERT_EQ (log.getTextEditor().getText(), getLogText().replace ("\r\n", "\n"));

    auto& editor = log.getTextEditor();
    editor.setCaretPosition (0);

    for (int i = 0; i < 3; ++i)
        log.timerCallback();

    EXPECT_EQ (editor.getCaretPosition(), 0) << "the user reads the top";

    appendToLog ("one more\r\n", 0);
    log.timerCallback();
    EXPECT_EQ (editor.getCaretPosition(), editor.getTotalNumChars()) << "a new line is shown";
}

TEST_F (OutputLogTest, PaintsALightGreyBehindTheText)
{
    OutputLog log;
    const auto image = log.createComponentSnapshot (log.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (image.getPixelAt (2, 2), juce::Colour::greyLevel (0.93f));
}

TEST_F (OutputLogTest, CtrlWClosesTheWindowAsItsCloseButtonDoes)
{
    VX_REQUIRE_DISPLAY();

    OutputLogWindow window ("Ostrane Quellion - Log", juce::Colour (0xff232321), *settings);
    window.setBounds (40, 50, 400, 300);
    window.setVisible (true);

    EXPECT_TRUE (window.keyPressed (juce::KeyPress ('w', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_FALSE (window.isVisible());
    const auto stored = settings->getValue ("LogWindowState");
    EXPECT_EQ (stored, window.getWindowStateAsString());

    window.setVisible (true);
    window.closeButtonPressed();
    EXPECT_FALSE (window.isVisible());
    EXPECT_EQ (settings->getValue ("LogWindowState"), stored);

    // Every other key stays with the log window too.
    EXPECT_TRUE (window.keyPressed (juce::KeyPress ('q', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_FALSE (window.isVisible());
}
