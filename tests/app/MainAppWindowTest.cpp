#include "app/MainAppWindow.h"
#include "app/LookAndFeel_V3_DocumentWindowButton.h"
#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "app/WindowPlacement.h"

#include "ShellTestFixture.h"

namespace
{
class MainAppWindowTest : public ShellTestFixture
{
protected:
    std::unique_ptr<MainAppWindow> makeWindow()
    {
        return std::make_unique<MainAppWindow> (juce::File(), nullptr, ApplicationSettings::open (getSettingsFile()));
    }

    void makeModified (MainAppWindow& window)
    {
        window.getMainContainer().getBusGraph().addNode ("DSP", false, nullptr, 0.5, 0.5);
        window.getProjectInterface().setModified (true);
    }
};
} // namespace

TEST (MainAppWindowPlacement, DefaultsToAFifthInAndHalfTheDisplay)
{
    EXPECT_EQ (MainAppWindow::getDefaultBounds ({ 0, 0, 1280, 1024 }), juce::Rectangle<int> (128, 102, 800, 716));
    EXPECT_EQ (MainAppWindow::getDefaultBounds ({ 0, 0, 2000, 1000 }), juce::Rectangle<int> (200, 100, 1000, 700));
    EXPECT_EQ (MainAppWindow::getDefaultBounds ({ 100, 50, 1000, 700 }), juce::Rectangle<int> (200, 120, 800, 600))
        << "never below 800 x 600";
}

TEST (MainAppWindowPlacement, AKeptPlaceIsFittedToTheScreensThereAre)
{
    using Area = juce::Rectangle<int>;
    const juce::Array<Area> one{ Area (0, 0, 1280, 1024) };
    const juce::Array<Area> two{ Area (0, 0, 1280, 1024), Area (1280, 0, 1920, 1080) };
    const std::tuple<const char*, juce::Array<Area>, const char*> rows[] = {
        { "-99999999 -99999999 999999999 999999999", one, "0 0 1280 1024" },
        { "99999999999 -99999999999 99999999999 99999999999", one, "0 0 1280 1024" },
        { "1200 100 800 600", one, "480 100 800 600" },
        { "20 30 900 650", one, "20 30 900 650" },
        { "fs -5000 -5000 900 650", one, "fs 0 0 900 650" },
        { "1500 100 900 700", two, "1500 100 900 700" },
        { "1000 100 900 700", two, "1000 100 900 700" },
        { "1000 100 900 1000", two, "1280 80 900 1000" },
        { "20 30 900 650 frame 22 1 1 1", one, "20 30 900 650 frame 22 1 1 1" },
        { "fs 1500 30 900 650 frame 99999999 -5 1 1", one, "fs 380 30 900 650 frame 256 0 1 1" },
        { "5000 5000 900 700", two, "2300 380 900 700" },
        { "5000 5000 900 700", {}, "5000 5000 900 700" },
        { "20 30 0 650", one, "" },
        { "20 30 900", one, "" },
        { "nonsense", one, "" },
    };

    for (const auto& [state, screens, fitted] : rows)
        EXPECT_EQ (WindowPlacement::fitWindowState (state, screens), fitted) << state << " on " << screens.size() << " screens";
}

TEST (MainAppWindowLook, DrawsItsOwnTitleBarButtons)
{
    myLookAndFeel look;

    for (const auto& [type, name] :
         { std::pair{ juce::DocumentWindow::closeButton, "close" }, std::pair{ juce::DocumentWindow::minimiseButton, "minimise" },
           std::pair{ juce::DocumentWindow::maximiseButton, "maximize" } })
    {
        std::unique_ptr<juce::Button> button (look.createDocumentWindowButton (type));
        auto* ours = dynamic_cast<LookAndFeel_V3_DocumentWindowButton*> (button.get());
        ASSERT_NE (ours, nullptr);
        EXPECT_EQ (ours->getName(), name);
        EXPECT_EQ (ours->getColour(), juce::Colour (0xfffffff0));

        // The shape shows in the middle of the button, the corner stays clear.
        ours->setSize (24, 24);
        const auto image = ours->createComponentSnapshot (ours->getLocalBounds(), true, 1.0f);
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);

        int painted = 0;

        for (int x = 0; x < 24; ++x)
            for (int y = 0; y < 24; ++y)
                painted += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;

        EXPECT_GT (painted, 10) << name;
    }
}

TEST_F (MainAppWindowTest, IsTheTitledResizableWindowWithTheTabs)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();

    EXPECT_EQ (window->getName(), "OSTRANE Quellion");
    EXPECT_TRUE (window->isVisible());
    EXPECT_FALSE (window->isUsingNativeTitleBar());
    EXPECT_EQ (window->getBackgroundColour(), juce::Colour (0xff232321));
    EXPECT_NE (dynamic_cast<myLookAndFeel*> (&window->getLookAndFeel()), nullptr);
    EXPECT_EQ (window->getContentComponent(), &window->getWindowContainer());
    EXPECT_EQ (window->getMainContainer().getMainWindow(), window.get());
    EXPECT_EQ (window->getMainContainer().getTabNames(), juce::StringArray ({ "Project settings", "Bus editor", "DSP editor" }));

    auto* limits = window->getConstrainer();
    ASSERT_NE (limits, nullptr);
    EXPECT_EQ (limits->getMinimumWidth(), 800);
    EXPECT_EQ (limits->getMinimumHeight(), 600);
    EXPECT_EQ (limits->getMaximumWidth(), 10000);
    EXPECT_EQ (limits->getMaximumHeight(), 10000);

    auto* close = dynamic_cast<LookAndFeel_V3_DocumentWindowButton*> (window->getCloseButton());
    ASSERT_NE (close, nullptr);
    EXPECT_EQ (close->getName(), "close");
}

TEST_F (MainAppWindowTest, PlacesItselfByDefaultAndThenWhereItWasLeft)
{
    VX_REQUIRE_DISPLAY();

    auto area = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    {
        auto window = makeWindow();
        EXPECT_EQ (window->getBounds(), MainAppWindow::getDefaultBounds (area));

        window->setBounds (20, 30, 900, 650);
        window->closeButtonPressed(); // no application here: it only stores the place
        EXPECT_TRUE (window->getSettings().getValue ("WindowState").isNotEmpty());
    }

    auto window = makeWindow();
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (20, 30, 900, 650));
}

TEST_F (MainAppWindowTest, AnUnreadableStoredPlaceGivesTheDefault)
{
    VX_REQUIRE_DISPLAY();
    settings->setValue ("WindowState", "nonsense");
    settings->saveIfNeeded();

    auto window = makeWindow();
    auto area = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    EXPECT_EQ (window->getBounds(), MainAppWindow::getDefaultBounds (area));
}

TEST_F (MainAppWindowTest, AStoredPlaceBeyondTheScreensComesBackOnOne)
{
    VX_REQUIRE_DISPLAY();
    settings->setValue ("WindowState", "-99999999 -99999999 999999999 999999999");
    settings->saveIfNeeded();

    auto window = makeWindow();
    auto area = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    EXPECT_TRUE (area.contains (window->getBounds())) << window->getBounds().toString();
}

TEST_F (MainAppWindowTest, QuittingAnUnchangedDesignAsksNothing)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();

    EXPECT_TRUE (window->prepareToQuit());
    EXPECT_TRUE (dialogs.questions.empty());
}

TEST_F (MainAppWindowTest, QuittingAChangedDesignAsksToSave)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();
    makeModified (*window);

    dialogs.answers = { Dialogs::Answer::cancel, Dialogs::Answer::no };

    EXPECT_FALSE (window->prepareToQuit());
    ASSERT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (dialogs.questions[0].title, "OSTRANE Quellion");
    EXPECT_EQ (dialogs.questions[0].text, "Do you want to save?");

    EXPECT_TRUE (window->prepareToQuit());
    EXPECT_EQ (dialogs.questions.size(), 2u);
}

TEST_F (MainAppWindowTest, QuittingKeepsTheDesignWhenItsSaveDidNotHappen)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();
    makeModified (*window);

    dialogs.answers = { Dialogs::Answer::yes };

    EXPECT_FALSE (window->prepareToQuit());
    EXPECT_TRUE (window->getProjectInterface().isModified());
    EXPECT_EQ (window->getMainContainer().getDspCount(), 1);
}

TEST_F (MainAppWindowTest, QuittingClosesTheLogWindowAndKeepsItsPlace)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();
    window->getWindowContainer().showLogWindow();

    EXPECT_TRUE (window->prepareToQuit());
    EXPECT_FALSE (window->getWindowContainer().getLogWindow()->isVisible());
    EXPECT_TRUE (window->getSettings().getValue ("LogWindowState").isNotEmpty());
}

TEST_F (MainAppWindowTest, EveryKeyGoesToTheMainContainer)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();
    int quitRequests = 0;
    window->getMainContainer().onQuitRequested = [&quitRequests] { ++quitRequests; };

    EXPECT_TRUE (window->keyPressed (juce::KeyPress ('q', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_TRUE (window->keyPressed (juce::KeyPress ('x')));
    EXPECT_TRUE (window->keyPressed (juce::KeyPress ('c', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_EQ (quitRequests, 1);
}

TEST_F (MainAppWindowTest, AShortcutTypedIntoAPageWidgetActsOnce)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();
    makeModified (*window);
    window->getMainContainer().setCurrentTabIndex (MainContainer::projectSettingsTab);

    auto& combo = window->getProjectInterface().getSamplingComboBox();
    ASSERT_TRUE (combo.isShowing());

    // The window has to hold the focus before a widget inside it can.
    window->toFront (true);

    for (int i = 0; i < 100 && ! combo.hasKeyboardFocus (false); ++i)
    {
        combo.grabKeyboardFocus();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    ASSERT_TRUE (combo.hasKeyboardFocus (false)) << "the combo box never got the focus";

    auto* peer = window->getPeer();
    ASSERT_NE (peer, nullptr);

    // The key goes to the focused combo box and from there up through the
    // page, the tabs and the window, as the window system's keys do.
    dialogs.answers = { Dialogs::Answer::cancel };
    EXPECT_TRUE (peer->handleKeyPress (juce::KeyPress ('n', juce::ModifierKeys::ctrlModifier, 0)));

    ASSERT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (dialogs.questions[0].text, "Do you want to save before creating a new projet?");
    EXPECT_TRUE (window->getProjectInterface().isModified()) << "cancelled: the design stays";
    EXPECT_EQ (window->getMainContainer().getDspCount(), 1);
}

TEST_F (MainAppWindowTest, EveryOwnerKeepsItsKeysInTheOneSettingsFile)
{
    VX_REQUIRE_DISPLAY();

    {
        auto window = makeWindow();
        window->getProjectInterface().getRecentFiles().addFile (folder.getChildFile ("kept.zqp"));
        window->getWindowContainer().showLogWindow();
        window->getWindowContainer().closeLogWindow();
        window->closeButtonPressed();
    }

    auto written = readSettingsBack();
    EXPECT_TRUE (written->getValue ("WindowState").isNotEmpty());
    EXPECT_TRUE (written->getValue ("LogWindowState").isNotEmpty());
    EXPECT_TRUE (written->getValue ("RecentFileList").contains ("kept.zqp"));
    EXPECT_EQ (written->getValue ("checkForUpdate"), "1");
}

TEST_F (MainAppWindowTest, TheStartFileIsOpened)
{
    VX_REQUIRE_DISPLAY();
    const auto file = folder.getChildFile ("start.zqp");
    file.replaceWithText ("<OSTRANE_QUELLION_Configuration Version=\"1.01\"><DSPs>"
                          "<DSP Index=\"3\" ModuleId=\"33\" Name=\"Main\" nrpn=\"1\"/></DSPs>"
                          "</OSTRANE_QUELLION_Configuration>");

    auto window = std::make_unique<MainAppWindow> (file, nullptr, ApplicationSettings::open (getSettingsFile()));
    EXPECT_EQ (window->getName(), "start - OSTRANE Quellion");
    EXPECT_EQ (window->getMainContainer().getDesign().getNumDsps(), 1);
    EXPECT_EQ (window->getMainContainer().getBusGraph().getNode (0)->getName(), "Main");
    EXPECT_FALSE (window->getProjectInterface().isModified());
    EXPECT_TRUE (dialogs.messages.empty());
}

TEST_F (MainAppWindowTest, KeepsItsPlaceHoweverTheProgramEnds)
{
    VX_REQUIRE_DISPLAY();
    {
        // Ctrl+Q and the File menu's "Exit" end the program without the
        // close button: the window goes with the application's shutdown.
        auto window = makeWindow();
        window->setBounds (40, 50, 880, 640);
    }

    EXPECT_TRUE (readSettingsBack()->getValue ("WindowState").isNotEmpty());

    auto window = makeWindow();
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (40, 50, 880, 640));
}

TEST_F (MainAppWindowTest, OurLookIsEveryWindowsWhileTheWindowLives)
{
    VX_REQUIRE_DISPLAY();
    const auto isOurs = [] (juce::LookAndFeel& look) { return dynamic_cast<myLookAndFeel*> (&look) != nullptr; };
    ASSERT_FALSE (isOurs (juce::LookAndFeel::getDefaultLookAndFeel()));

    {
        auto window = makeWindow();
        EXPECT_TRUE (isOurs (juce::LookAndFeel::getDefaultLookAndFeel()));
        EXPECT_EQ (&window->getLookAndFeel(), &juce::LookAndFeel::getDefaultLookAndFeel()) << "one look for all";

        window->getWindowContainer().showLogWindow();
        EXPECT_TRUE (isOurs (window->getWindowContainer().getLogWindow()->getLookAndFeel()));

        juce::AlertWindow alert ("OSTRANE Quellion", "A question", juce::MessageBoxIconType::QuestionIcon);
        EXPECT_TRUE (isOurs (alert.getLookAndFeel()));

        juce::FileBrowserComponent browser (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                                            folder.get(), nullptr, nullptr);
        EXPECT_TRUE (isOurs (browser.getLookAndFeel()));
    }

    EXPECT_FALSE (isOurs (juce::LookAndFeel::getDefaultLookAndFeel())) << "JUCE's own look is back, ours is gone";
}

TEST_F (MainAppWindowTest, ShowsTheTooltipOfWhatTheMouseRestsOn)
{
    VX_REQUIRE_DISPLAY();
    auto window = makeWindow();
    window->toFront (true);

    auto* tab = window->getMainContainer().getTabbedButtonBar().getTabButton (MainContainer::busEditorTab);
    ASSERT_NE (tab, nullptr);

    const auto findShownTooltip = []() -> juce::TooltipWindow*
    {
        auto& desktop = juce::Desktop::getInstance();

        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* tip = dynamic_cast<juce::TooltipWindow*> (desktop.getComponent (i)))
                if (tip->isVisible())
                    return tip;

        return nullptr;
    };

    auto* peer = window->getPeer();
    ASSERT_NE (peer, nullptr);
    const auto overTab = peer->globalToLocal (tab->getScreenBounds().getCentre().toFloat());
    juce::TooltipWindow* shown = nullptr;
    juce::String tip;

    // The pointer rests on the tab, as the window system reports it to the
    // window; the tip comes after JUCE's delay. Tips show only in the
    // program in front, and windows of tests running beside this one on the
    // same display may take the focus meanwhile, before the tip is shown or
    // after: the tip is read while the window is in front.
    for (int i = 0; i < 60 && tip.isEmpty(); ++i)
    {
        window->toFront (true);
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, overTab, {},
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        shown = findShownTooltip();
        tip = shown != nullptr ? shown->getTipFor (*tab) : juce::String();
    }

    ASSERT_NE (shown, nullptr) << "no tooltip appeared over the \"Bus editor\" tab";
    EXPECT_EQ (tip, tab->getTooltip());
    EXPECT_GT (shown->getWidth(), 20);
}

TEST (MainAppWindowLook, DrawsTheAlertIconWholeInsideTheBox)
{
    myLookAndFeel look;
    juce::Component screen;
    screen.setSize (1200, 900);

    for (auto icon :
         { juce::MessageBoxIconType::WarningIcon, juce::MessageBoxIconType::InfoIcon, juce::MessageBoxIconType::QuestionIcon })
    {
        juce::AlertWindow alert ("OSTRANE Quellion", "Halvix.dll is missing, MIDI control not available", icon);
        alert.setLookAndFeel (&look);
        screen.addChildComponent (alert);
        alert.addButton ("OK", 1);

        const auto background = alert.findColour (juce::AlertWindow::backgroundColourId);
        const auto image = alert.createComponentSnapshot (alert.getLocalBounds(), true, 1.0f);
        const auto iconArea = myLookAndFeel::getAlertIconArea ({ 10, 10, alert.getWidth() - 20, alert.getHeight() - 10 });

        // Nothing but the box's own ground along its top and left edges,
        // within the frame; the icon shows inside its area.
        int edgePixels = 0, iconPixels = 0;

        for (int x = 1; x < 80; ++x)
            for (int y = 1; y < 5; ++y)
                edgePixels += image.getPixelAt (x, y) != background ? 1 : 0;

        for (int y = 1; y < alert.getHeight() - 1; ++y)
            for (int x = 1; x < 5; ++x)
                edgePixels += image.getPixelAt (x, y) != background ? 1 : 0;

        for (int x = iconArea.getX(); x < iconArea.getRight(); ++x)
            for (int y = iconArea.getY(); y < iconArea.getBottom(); ++y)
                iconPixels += image.getPixelAt (x, y) != background ? 1 : 0;

        EXPECT_EQ (edgePixels, 0);
        EXPECT_GT (iconPixels, iconArea.getWidth() * iconArea.getHeight() / 4);

        screen.removeChildComponent (&alert);
        alert.setLookAndFeel (nullptr);
    }
}
