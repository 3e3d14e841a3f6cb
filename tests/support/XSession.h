#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
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

inline void clickAt (juce::Point<int> p)
{
    xdo ("mousemove " + at (p) + " sleep 0.1 click 1");
}

inline void doubleClickAt (juce::Point<int> p)
{
    xdo ("mousemove " + at (p) + " sleep 0.1 click --repeat 2 --delay 80 1");
}

// Brings the window that holds a component to the front, through the window
// manager: one under load may leave a window just shown behind another.
inline void bringToFront (juce::Component& c)
{
    if (auto* peer = c.getPeer())
        xdo ("windowactivate --sync " + juce::String ((juce::pointer_sized_int) peer->getNativeHandle()));
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

// The menu shown, if any: the modal component that is no window waiting for
// an answer (a message box, a chooser or the name dialog, which a menu item
// may open while the menu's answerer still runs).
inline juce::Component* findShownMenu()
{
    auto& modal = *juce::ModalComponentManager::getInstance();

    for (int i = 0; i < modal.getNumModalComponents(); ++i)
        if (auto* shown = modal.getModalComponent (i); dynamic_cast<juce::TopLevelWindow*> (shown) == nullptr)
            return shown;

    return nullptr;
}

inline bool isMenuShown()
{
    return findShownMenu() != nullptr;
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

            const auto where = findShownMenu()->getScreenBounds();
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

// Answers the windows that wait for the user (message boxes, questions, file
// choosers, the name dialog) as a user does, with the pointer and the keys,
// in the order the session expects them. Such a window runs a loop of its
// own inside the event that opened it, so the answers start from a timer,
// which that loop runs too. Under load a window shows, or takes the
// keyboard, late: an answer is sent again while its window stays. A window
// nobody expects is noted and closed after a while, so that the session
// fails instead of waiting for ever.
class WindowAnswers : private juce::Timer
{
public:
    // The xdotool arguments that answer the window.
    using Answer = std::function<juce::String (juce::Component& window)>;

    WindowAnswers() { startTimer (50); }
    ~WindowAnswers() override { stopTimer(); }

    // The next window that waits for the user is to be titled `title`.
    void expect (const juce::String& title, Answer answer) { expected.push_back ({ title, std::move (answer) }); }

    void expectKeys (const juce::String& title, const juce::String& keys)
    {
        expect (title, [keys] (juce::Component&) { return "key " + keys; });
    }

    // A field that takes the keyboard at once (the name dialog): the text
    // typed over what it holds, then Return. The text has no blanks.
    void expectTyping (const juce::String& title, const juce::String& text)
    {
        expectKeys (title, "ctrl+a type --args 1 " + text + " key Return");
    }

    // A window of this title closes by itself (a progress window).
    void allow (const juce::String& title) { passing.add (title); }

    // Every window expected was answered and has gone.
    bool waitUntilAnswered (int milliseconds = 20000)
    {
        return waitFor ([this] { return expected.empty() && current == nullptr && ! tool.isRunning(); }, milliseconds);
    }

    // The titles of the windows answered, of those the answer did not
    // close, and of those nobody expected.
    juce::StringArray answered, unanswered, unexpected;

private:
    struct Expected
    {
        juce::String title;
        Answer answer;
    };

    static juce::Component* findWaitingWindow()
    {
        auto& modal = *juce::ModalComponentManager::getInstance();

        // Menus are answered by answerMenu.
        for (int i = 0; i < modal.getNumModalComponents(); ++i)
            if (auto* window = dynamic_cast<juce::TopLevelWindow*> (modal.getModalComponent (i)))
                return window;

        return nullptr;
    }

    void timerCallback() override
    {
        if (tool.isRunning())
            return;

        const auto now = juce::Time::getMillisecondCounter();
        auto* window = findWaitingWindow();

        if (current != nullptr)
        {
            if (window != current.getComponent())
            {
                current = nullptr;
                return;
            }

            if (attempts < 3 && now - lastSent > 2000)
            {
                send (*window);
            }
            else if (attempts == 3 && now - lastSent > 5000)
            {
                // The answer does not take: the window goes, the session fails.
                unanswered.add (window->getName());
                window->exitModalState (0);
            }

            return;
        }

        if (window == nullptr || passing.contains (window->getName()))
        {
            strangerSince = 0;
            return;
        }

        if (! expected.empty() && window->getName() == expected.front().title)
        {
            current = window;
            currentAnswer = std::move (expected.front().answer);
            expected.pop_front();
            attempts = 0;
            answered.add (window->getName());
            send (*window);
            return;
        }

        if (strangerSince == 0)
        {
            strangerSince = now;
        }
        else if (now - strangerSince > 10000)
        {
            unexpected.add (window->getName());
            strangerSince = 0;
            window->exitModalState (0);
        }
    }

    void send (juce::Component& window)
    {
        tool.start ("xdotool sleep 0.2 " + currentAnswer (window));
        ++attempts;
        lastSent = juce::Time::getMillisecondCounter();
    }

    std::deque<Expected> expected;
    juce::StringArray passing;
    juce::Component::SafePointer<juce::Component> current;
    Answer currentAnswer;
    juce::ChildProcess tool;
    int attempts = 0;
    juce::uint32 lastSent = 0, strangerSince = 0;
};

// A file chooser of JUCE's answered as a user does: a click into its name
// field, the whole path typed there (no blanks: xdotool takes each word as
// an argument) and Return, which goes to the file's folder, then a click on
// the button that takes the choice ("Open", "Save" or "Choose").
inline WindowAnswers::Answer typePathIntoChooser (const juce::File& chosen)
{
    return [chosen] (juce::Component& chooser) -> juce::String
    {
        std::function<juce::Component*(juce::Component&, const std::function<bool (juce::Component&)>&)> find;
        find = [&find] (juce::Component& in, const std::function<bool (juce::Component&)>& wanted) -> juce::Component*
        {
            for (auto* child : in.getChildren())
            {
                if (child->isShowing() && wanted (*child))
                    return child;

                // The path choice above the list is edited in a text field of its own.
                if (dynamic_cast<juce::ComboBox*> (child) == nullptr)
                    if (auto* found = find (*child, wanted))
                        return found;
            }

            return nullptr;
        };

        auto* field = find (chooser, [] (juce::Component& c) { return dynamic_cast<juce::TextEditor*> (&c) != nullptr; });
        auto* take =
            find (chooser,
                  [] (juce::Component& c)
                  {
                      auto* button = dynamic_cast<juce::TextButton*> (&c);
                      return button != nullptr && button->getButtonText() != "Cancel" && button->getButtonText() != "New Folder";
                  });

        if (field == nullptr || take == nullptr)
        {
            ADD_FAILURE() << "no name field or no button in the chooser " << chooser.getName();
            return "key Escape";
        }

        return "mousemove " + at (centreOnScreen (*field)) + " click 1 sleep 0.1 key ctrl+a type --args 1 " +
               chosen.getFullPathName() + " sleep 0.1 key Return sleep 0.1 mousemove " + at (centreOnScreen (*take)) + " click 1";
    };
}

// Does what the user does until its effect shows, at most three times: a
// window manager under load maps, focuses and raises windows late. True
// when the effect showed.
// What the screen holds when a step did not show: every window of the
// program with its place as JUCE and as the X server see it, the modal
// components, and a picture of the screen in the build folder.
inline juce::String describeScreen()
{
    juce::String text;
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
    {
        auto* c = desktop.getComponent (i);
        text << "window \"" << c->getName() << "\" visible " << (int) c->isVisible() << " active "
             << (int) (c->getPeer() != nullptr && c->getPeer()->isFocused()) << " at " << c->getScreenBounds().toString();

        if (auto* peer = c->getPeer())
        {
            juce::ChildProcess tool;

            if (tool.start ("xdotool getwindowgeometry " + juce::String ((juce::pointer_sized_int) peer->getNativeHandle())))
                text << " | X: " << tool.readAllProcessOutput().replace ("\n", " ");
        }

        text << "\n";
    }

    auto& modal = *juce::ModalComponentManager::getInstance();

    for (int i = 0; i < modal.getNumModalComponents(); ++i)
        text << "modal \"" << modal.getModalComponent (i)->getName() << "\"\n";

    juce::ChildProcess picture;
    picture.start ("import -window root /tmp/vx-session-" + juce::String (juce::Time::getMillisecondCounter()) + ".png");
    picture.waitForProcessToFinish (10000);
    return text;
}

inline bool repeatUntil (const std::function<void()>& act, const std::function<bool()>& shows)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        act();

        if (waitFor (shows, 1500))
            return true;
    }

    return false;
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
