#include "app/MainAppWindow.h"
#include "app/OutputLogWindow.h"
#include "app/WindowContainer.h"
#include "editors/JuceDialogs.h"

#include "ShellTestFixture.h"
#include "support/XSession.h"

namespace
{
// The windows of the screen from the bottom to the top, as the X server
// stacks them (xwininfo lists the root's children from the top down).
juce::StringArray stackingOrder()
{
    juce::ChildProcess tool;

    if (! tool.start ("xwininfo -root -children"))
        return {};

    juce::StringArray ids;

    for (auto line : juce::StringArray::fromLines (tool.readAllProcessOutput()))
        if (line.trim().startsWith ("0x"))
            ids.insert (0, line.trim().upToFirstOccurrenceOf (" ", false, false));

    return ids;
}

juce::String idOf (juce::Component& window)
{
    return "0x" + juce::String::toHexString ((juce::pointer_sized_int) window.getWindowHandle());
}

// While a real box waits for its answer, the log window opens (as a project
// read behind a question opens it); then the windows' order is taken and the
// box answered.
class LogDuringBox : private juce::Timer
{
public:
    explicit LogDuringBox (WindowContainer& c) : container (c) { startTimer (200); }

    juce::StringArray order;
    juce::String box, log;

private:
    void timerCallback() override
    {
        auto* modal = juce::Component::getCurrentlyModalComponent();

        if (modal == nullptr || ! modal->isShowing())
            return;

        if (! logShown)
        {
            logShown = true;
            container.showLogWindow();
            return;
        }

        stopTimer();
        order = stackingOrder();
        box = idOf (*modal->getTopLevelComponent());
        log = idOf (*container.getLogWindow());
        modal->exitModalState (0);
    }

    WindowContainer& container;
    bool logShown = false;
};
} // namespace

class LogWindowAndBoxesTest : public ShellTestFixture
{
};

TEST_F (LogWindowAndBoxesTest, ALogOpenedBehindAWaitingBoxLeavesTheBoxInFront)
{
    VX_REQUIRE_DISPLAY();

    if (juce::ChildProcess xwininfo; ! xwininfo.start ("xwininfo -root") || xwininfo.readAllProcessOutput().isEmpty())
        GTEST_SKIP() << "xwininfo is needed";

    MainAppWindow window (juce::File(), nullptr, ApplicationSettings::open (getSettingsFile()));
    window.setBounds (0, 0, 800, 600);
    window.setVisible (true);
    vxtest::pump (300);

    LogDuringBox probe (window.getWindowContainer());
    JuceDialogs().showMessage (juce::MessageBoxIconType::WarningIcon, "Open project", "A message", "Ok");

    ASSERT_TRUE (probe.box.isNotEmpty()) << "the box was shown and answered";
    const auto boxAt = probe.order.indexOf (probe.box);
    const auto logAt = probe.order.indexOf (probe.log);
    ASSERT_GE (boxAt, 0) << probe.order.joinIntoString (" ");
    ASSERT_GE (logAt, 0) << probe.order.joinIntoString (" ");
    EXPECT_GT (boxAt, logAt) << "the box stands above the log: " << probe.order.joinIntoString (" ");
    EXPECT_TRUE (window.getWindowContainer().getLogWindow()->isAlwaysOnTop());
}
