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

// Pumps until the condition holds or the time is up; true when it holds.
inline bool waitFor (const std::function<bool()>& condition, int milliseconds = 3000)
{
    for (auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds; ! condition();)
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;

        pump (20);
    }

    return true;
}

// Opens a combo box's menu with a click and answers it with keys. JUCE opens
// the menu a moment after the click: keys sent before it shows would move
// the box's choice and leave a menu open that eats the next click.
inline void chooseWithKeys (juce::Component& comboBox, const juce::String& keys)
{
    auto menuShown = [] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0; };
    clickOn (comboBox);
    ASSERT_TRUE (waitFor (menuShown)) << "the menu did not open";
    xdo ("key " + keys);
    ASSERT_TRUE (waitFor ([&] { return ! menuShown(); })) << "the menu did not close";
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
