#pragma once

#include "editors/Dialogs.h"
#include "editors/HelpViewer.h"

#include <gtest/gtest.h>
#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

namespace vxtest
{
inline bool hasDisplay()
{
    const char* display = std::getenv ("DISPLAY");
    return display != nullptr && *display != '\0';
}

// Tests that put windows on the screen need an X display.
#define VX_REQUIRE_DISPLAY()                                                                                                     \
    if (! vxtest::hasDisplay())                                                                                                  \
    GTEST_SKIP() << "needs a display"

// Tests that type at the keyboard need a display of their own, where no
// window of another test takes the focus away: the build runs them on one
// (VX_OWN_DISPLAY set) apart from the shared run.
#define VX_REQUIRE_OWN_DISPLAY()                                                                                                 \
    if (! vxtest::hasDisplay() || std::getenv ("VX_OWN_DISPLAY") == nullptr)                                                     \
    GTEST_SKIP() << "needs a display of its own"

// A folder of the test's own, deleted afterwards. Tests run in parallel
// processes, so its name is random rather than merely unused.
class TemporaryFolder
{
public:
    TemporaryFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("vx-test-" + juce::String ((int) getpid()) + "-" +
                                     juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
    {
        folder.createDirectory();
    }

    ~TemporaryFolder() { folder.deleteRecursively(); }

    const juce::File& get() const noexcept { return folder; }
    juce::File getChildFile (const juce::String& path) const { return folder.getChildFile (path); }

private:
    juce::File folder;
};

// The program changes its working directory with the output directory;
// each test gets the one it started with back.
class ScopedWorkingDirectory
{
public:
    ScopedWorkingDirectory() : saved (juce::File::getCurrentWorkingDirectory()) {}
    ~ScopedWorkingDirectory() { saved.setAsCurrentWorkingDirectory(); }

private:
    juce::File saved;
};

// Answers the program's questions from a script and records what it was asked.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        juce::MessageBoxIconType icon;
        juce::String title, text, buttonText;
    };

    struct Question
    {
        juce::String title, text;
    };

    ScriptedDialogs() { Dialogs::setCurrent (this); }
    ~ScriptedDialogs() override { Dialogs::setCurrent (nullptr); }

    void showMessage (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                      const juce::String& buttonText) override
    {
        messages.push_back ({ icon, title, message, buttonText });
    }

    Answer askYesNoCancel (const juce::String& title, const juce::String& question) override
    {
        questions.push_back ({ title, question });

        if (answers.empty())
        {
            ADD_FAILURE() << "unexpected question: " << question;
            return Answer::cancel;
        }

        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    int askWithButtons (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                        const juce::StringArray& buttons) override
    {
        buttonQuestions.push_back ({ icon, title, message, buttons.joinIntoString ("|") });

        if (buttonChoices.empty())
        {
            ADD_FAILURE() << "unexpected question: " << message;
            return -1;
        }

        const auto choice = buttonChoices.front();
        buttonChoices.pop_front();
        return choice;
    }

    juce::File chooseFileToOpen (const juce::String& title, const juce::File& start, const juce::String&) override
    {
        return choose (title, start);
    }

    juce::File chooseFileToSave (const juce::String& title, const juce::File& start, const juce::String&) override
    {
        return choose (title, start);
    }

    juce::File chooseDirectory (const juce::String& title, const juce::File& start) override { return choose (title, start); }

    bool askForName (const juce::String& title, const juce::String& initialName, juce::String& name) override
    {
        nameRequests.push_back ({ title, initialName });

        if (names.empty())
        {
            ADD_FAILURE() << "unexpected name dialog: " << title;
            return false;
        }

        const auto answer = names.front();
        names.pop_front();

        if (answer.trim().isEmpty())
            return false;

        name = answer;
        return true;
    }

    int showMenu (const juce::PopupMenu& menu, int standardItemHeight) override
    {
        shownMenus.push_back (std::make_unique<juce::PopupMenu> (menu));
        menuItemHeights.push_back (standardItemHeight);

        if (menuChoices.empty())
            return 0;

        const auto choice = menuChoices.front();
        menuChoices.pop_front();
        return choice;
    }

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::deque<Answer> answers;

    std::vector<Message> buttonQuestions; // the button texts joined by "|"
    std::deque<int> buttonChoices;        // the index pressed, -1 closes

    std::vector<Question> chooserRequests; // title, start folder
    std::deque<juce::File> chosenFiles;    // none cancels

    std::vector<Question> nameRequests; // title, initial name
    std::deque<juce::String> names;     // empty or blank cancels

    std::vector<std::unique_ptr<juce::PopupMenu>> shownMenus;
    std::vector<int> menuItemHeights;
    std::deque<int> menuChoices;

private:
    juce::File choose (const juce::String& title, const juce::File& start)
    {
        chooserRequests.push_back ({ title, start.getFullPathName() });

        if (chosenFiles.empty())
            return {};

        const auto file = chosenFiles.front();
        chosenFiles.pop_front();
        return file;
    }
};

// A mouse event on a component, at a position in its coordinates, as the
// handlers receive it.
inline juce::MouseEvent makeMouseEvent (juce::Component& component, juce::Point<float> position, juce::ModifierKeys mods = {},
                                        int clicks = 1, bool dragged = false, juce::Point<float> downPosition = {})
{
    return { juce::Desktop::getInstance().getMainMouseSource(),
             position,
             mods,
             juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY,
             &component,
             &component,
             juce::Time::getCurrentTime(),
             downPosition,
             juce::Time::getCurrentTime(),
             clicks,
             dragged };
}

// A right click as the handlers receive it: the press opens no menu (its
// release could choose an item), the release opens it.
inline void rightClick (ScriptedDialogs& dialogs, juce::Component& component, juce::Point<float> position,
                        juce::ModifierKeys extra = {})
{
    const auto mods = extra.withFlags (juce::ModifierKeys::rightButtonModifier);
    const auto shownBefore = dialogs.shownMenus.size();
    component.mouseDown (makeMouseEvent (component, position, mods));
    EXPECT_EQ (dialogs.shownMenus.size(), shownBefore) << "a menu opened at the press";
    component.mouseUp (makeMouseEvent (component, position, mods, 1, false, position));
    EXPECT_EQ (dialogs.shownMenus.size(), shownBefore + 1) << "no menu at the release";
}

// The first visible window on the desktop whose title starts with the text.
inline juce::DocumentWindow* findWindowStartingWith (const juce::String& title)
{
    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        if (auto* w = dynamic_cast<juce::DocumentWindow*> (juce::Desktop::getInstance().getComponent (i)))
            if (w->getName().startsWith (title) && w->isVisible())
                return w;

    return nullptr;
}

// The first slider of the name at any depth below the component.
inline juce::Slider* findSlider (juce::Component& root, const juce::String& name)
{
    for (auto* child : root.getChildren())
    {
        if (auto* slider = dynamic_cast<juce::Slider*> (child); slider != nullptr && slider->getName() == name)
            return slider;

        if (auto* found = findSlider (*child, name))
            return found;
    }

    return nullptr;
}

// Records the help pages handed to the viewer instead of opening them.
class RecordingHelpViewer : public HelpViewer
{
public:
    explicit RecordingHelpViewer (juce::File pages) : HelpViewer (std::move (pages)) { HelpViewer::setCurrent (this); }
    ~RecordingHelpViewer() override { HelpViewer::setCurrent (nullptr); }

    std::vector<juce::File> opened;

protected:
    bool openDocument (const juce::File& document) override
    {
        opened.push_back (document);
        return true;
    }
};

} // namespace vxtest
