#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "editors/BusContainer.h"
#include "editors/BusEditor.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/Zorvex.h"

#include "ShellTestFixture.h"

namespace
{
class BusEditorTabTest : public ShellTestFixture
{
protected:
    BusEditorTabTest() { container.setBounds (0, 0, 1200, 800); }

    void deliver()
    {
        container.getDesign().dispatchPendingMessages();
        container.getBusGraph().dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    MainContainer container{ *settings };
};
} // namespace

TEST_F (BusEditorTabTest, TheBusPageAddsDspsWithTheirPagesAndShowsAPageOnADoubleClick)
{
    auto& page = container.getBusContainer();
    EXPECT_EQ (container.getTabContentComponent (MainContainer::busEditorTab), &page);
    EXPECT_EQ (page.getName(), "BusContainer");
    EXPECT_EQ (page.getBusEditor().getName(), "BusEditor");

    // The page's layout: the view, the tool at the right, the bar at the foot.
    page.setBounds (0, 0, 1000, 700);
    EXPECT_EQ (page.getViewport().getBounds(), juce::Rectangle<int> (9, 9, 720, 662));
    EXPECT_EQ (page.getPanelTool().getBounds(), juce::Rectangle<int> (729, 9, 262, 662));
    EXPECT_EQ (page.getTooltipBar().getBounds(), juce::Rectangle<int> (0, 680, 1000, 20));
    EXPECT_EQ (page.getBusEditor().getBounds(), juce::Rectangle<int> (0, 0, 1500, 1030));

    auto& bus = page.getBusEditor();
    ASSERT_TRUE (bus.addDspAt ({ 300, 300 }));
    ASSERT_TRUE (bus.addDspAt ({ 700, 300 }));
    deliver();
    EXPECT_EQ (container.getDspCount(), 2);
    EXPECT_EQ (container.getProcessContainer().getTabNames(), juce::StringArray ({ "DSP#1", "DSP#2" }));

    // A double click on the second box shows its page on the "DSP editor" tab.
    container.setCurrentTabIndex (MainContainer::busEditorTab);
    auto& box = *bus.findBoxByNodeId (2);
    box.mouseUp (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { 60, 40 },
                                   juce::ModifierKeys::leftButtonModifier, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &box, &box,
                                   juce::Time::getCurrentTime(), { 60, 40 }, juce::Time::getCurrentTime(), 2, false));
    EXPECT_EQ (container.getCurrentTabIndex(), MainContainer::dspEditorTab);
    EXPECT_EQ (container.getProcessContainer().getShownDsp()->getDspId(), 2u);

    // A new project empties the bus and says where to start.
    dialogs.answers.push_back (vxtest::ScriptedDialogs::Answer::no);
    container.getProjectInterface().newProject();
    deliver();
    EXPECT_EQ (container.getDspCount(), 0);
    EXPECT_TRUE (bus.getBoxes().isEmpty());
    EXPECT_EQ (container.getCurrentTabIndex(), MainContainer::busEditorTab);
    EXPECT_EQ (page.getTooltipBar().getText(), ProjectInterface::newProjectHint);
}
