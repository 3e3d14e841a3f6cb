#include "app/OutputLog.h"

#include "model/DesignLog.h"

OutputLog::OutputLog()
{
    textEditor.setMultiLine (true);
    textEditor.setReadOnly (true);
    textEditor.setFont (juce::Font (14.0f));
    textEditor.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    // Lets the component's grey show through.
    textEditor.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    addAndMakeVisible (textEditor);

    setSize (300, 300);
    startTimer (pollIntervalMs);
}

OutputLog::~OutputLog()
{
    stopTimer();
}

void OutputLog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour::greyLevel (0.93f));
}

void OutputLog::resized()
{
    textEditor.setBounds (getLocalBounds().reduced (8));
}

void OutputLog::timerCallback()
{
    const auto logText = getLogText();

    // Compared with the text last shown, not with the editor's, which keeps
    // "\r\n" as "\n": a log of such lines would be set anew at every poll,
    // and the caret moved to its end under a user reading its top.
    if (logText != shownText)
    {
        shownText = logText;
        textEditor.setText (logText, false);
        textEditor.moveCaretToEnd();
    }
}
