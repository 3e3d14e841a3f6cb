#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// What the whole-program sessions share: they drive a real window through
// the X server with xdotool, as a user would, while the program goes on
// handling its messages. They run on an X server of their own (see the
// scripts that start them), as they move the pointer.
namespace vxtest
{
inline void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// JUCE reads the X server's events when its connection has something new to
// read. An event that comes in while the program waits for an answer of its
// own (a timer asking where the pointer is, say) goes into Xlib's queue with
// that answer and stays there until the next one arrives: on a busy machine
// a button's release, or a key, is left unhandled that way. A pointer motion
// of one pixel there and back sends the next one.
inline void wakeEventLoop()
{
    juce::ChildProcess tool;

    if (tool.start ("xdotool mousemove_relative 1 0 mousemove_relative -- -1 0"))
        while (tool.isRunning())
            pump (20);
}

// Runs xdotool to its end while the program handles what it does; a menu
// that runs its own loop is answered within the same command.
inline void xdo (const juce::String& arguments)
{
    juce::ChildProcess tool;
    ASSERT_TRUE (tool.start ("xdotool " + arguments)) << arguments;

    while (tool.isRunning())
        pump (20);

    EXPECT_EQ (tool.getExitCode(), 0u) << arguments;
    pump (250);
}

inline juce::String at (juce::Point<int> p)
{
    return juce::String (p.x) + " " + juce::String (p.y);
}

inline juce::Point<int> centreOnScreen (juce::Component& c)
{
    return c.getScreenBounds().getCentre();
}

// A press, a drag in steps (so that the program sees a drag), a release.
inline void drag (juce::Point<int> from, juce::Point<int> to)
{
    juce::String steps;

    for (int i = 1; i <= 8; ++i)
        steps << " mousemove " << at (from + (to - from) * i / 8) << " sleep 0.05";

    xdo ("mousemove " + at (from) + " sleep 0.1 mousedown 1 sleep 0.1 mousemove " + at (from + juce::Point<int> (6, 0)) +
         " sleep 0.1" + steps + " sleep 0.2 mouseup 1");
}

inline void clickOn (juce::Component& c)
{
    xdo ("mousemove " + at (centreOnScreen (c)) + " click 1");
}

// A point of the component that it takes itself, none of its children
// (a box's pins, slider or choice) covering it.
inline juce::Point<int> bareSpotOf (juce::Component& c)
{
    for (int y = 4; y < c.getHeight() - 4; y += 2)
        for (int x = c.getWidth() / 2; x < c.getWidth() - 4; x += 2)
            if (c.getComponentAt (x, y) == &c)
                return { x, y };

    ADD_FAILURE() << "no bare spot";
    return c.getLocalBounds().getCentre();
}

// Pumps until the condition holds or the time is up; true when it holds.
inline bool waitFor (const std::function<bool()>& condition, int milliseconds = 3000)
{
    // The program's loop is woken each second the condition takes.
    const auto start = juce::Time::getMillisecondCounter();
    auto nextWake = start + 1000;

    for (auto end = start + (juce::uint32) milliseconds; ! condition();)
    {
        const auto now = juce::Time::getMillisecondCounter();

        if (now > end)
            return false;

        if (now > nextWake)
        {
            wakeEventLoop();
            nextWake = juce::Time::getMillisecondCounter() + 1000;
        }

        pump (20);
    }

    return true;
}

inline bool isMenuShown()
{
    return juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0;
}

// Opens a menu with the xdotool arguments `opening` and, once it shows,
// answers it with the arguments `answer` gives for the menu's place on the
// screen. A menu may run a loop of its own inside the event that opened it,
// so the answer starts from a timer, which that loop runs too. Under load a
// menu shows, or takes the keyboard, late: nothing is sent at a guessed
// time, and an answer the menu missed is sent again. False when no menu
// showed, or it stayed open.
inline bool answerMenu (const juce::String& opening, std::function<juce::String (juce::Rectangle<int>)> answer)
{
    struct Answerer : juce::Timer
    {
        void timerCallback() override
        {
            const auto now = juce::Time::getMillisecondCounter();

            if (! isMenuShown() || tool.isRunning() || attempts == 3 || (attempts > 0 && now - lastSent < 1500))
                return;

            const auto where = juce::ModalComponentManager::getInstance()->getModalComponent (0)->getScreenBounds();
            tool.start ("xdotool sleep 0.2 " + answer (where));
            ++attempts;
            lastSent = now;
        }

        std::function<juce::String (juce::Rectangle<int>)> answer;
        juce::ChildProcess tool;
        int attempts = 0;
        juce::uint32 lastSent = 0;
    } answerer;

    answerer.answer = std::move (answer);
    answerer.startTimer (50);
    xdo (opening);
    return waitFor ([&] { return answerer.attempts > 0 && ! answerer.tool.isRunning() && ! isMenuShown(); }, 8000);
}

// Opens a combo box's menu with a click and answers it with keys.
inline void chooseWithKeys (juce::Component& comboBox, const juce::String& keys)
{
    ASSERT_TRUE (answerMenu ("mousemove " + at (centreOnScreen (comboBox)) + " click 1",
                             [keys] (juce::Rectangle<int>) { return "key " + keys; }))
        << "the menu did not open, or stayed open";
}

// Clicks a tab (or any button that shows something) until what it shows is
// on the screen.
inline bool clickUntilShowing (juce::Component& button, juce::Component& shown)
{
    clickOn (button);
    return waitFor ([&] { return shown.isShowing(); });
}

// A picture of a component, kept beside the tests' program under the name given.
inline juce::Image saveSnapshot (juce::Component& c, const juce::String& fileName)
{
    const auto shot = c.createComponentSnapshot (c.getLocalBounds());
    const auto file =
        juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory().getSiblingFile (fileName);
    file.deleteFile();
    juce::FileOutputStream stream (file);
    EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (shot, stream)) << fileName;
    return shot;
}
} // namespace vxtest
