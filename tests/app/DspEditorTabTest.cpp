#include "app/MainContainer.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "model/ModuleLibrary.h"

#include "ShellTestFixture.h"

namespace
{
// The main container with one DSP running the sample's first module and
// two processes on it.
class DspEditorTabTest : public ShellTestFixture
{
protected:
    DspEditorTabTest()
    {
        container.setBounds (0, 0, 1200, 800);
        auto& design = container.getDesign();
        page = container.getProcessContainer().addDsp (-1);
        EXPECT_NE (page, nullptr);
        EXPECT_TRUE (design.setDspModule (1, 0x21));

        for (auto process : { 2, 4 })
            EXPECT_TRUE (page->getProcessEditor().placeProcess (process, { 300, 100 * process }));

        deliver();
    }

    void deliver()
    {
        container.getDesign().dispatchPendingMessages();
        graph().dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    GraphData& graph() { return container.getDesign().findDsp (1)->getGraph(); }

    bool pressed (const juce::KeyPress& key)
    {
        const bool used = container.keyPressed (key);
        deliver();
        return used;
    }

    MainContainer container{ *settings };
    DspEditor* page = nullptr;
};

const juce::KeyPress deleteKey (juce::KeyPress::deleteKey);
const juce::KeyPress selectAll ('a', juce::ModifierKeys::ctrlModifier, 0);
const juce::KeyPress undo ('z', juce::ModifierKeys::ctrlModifier, 0);
} // namespace

TEST_F (DspEditorTabTest, TheDspEditorTabShowsOnePagePerDspAndLendsTheLibraryToTheBoxes)
{
    auto& pages = container.getProcessContainer();
    EXPECT_EQ (container.getTabContentComponent (MainContainer::dspEditorTab), &pages);
    EXPECT_EQ (pages.getTabNames(), juce::StringArray ({ "DSP#1" }));
    EXPECT_EQ (page->getProcessEditor().getBoxes().size(), 2);
    EXPECT_EQ (container.getPanelHost().getLibraryInterface(), container.getMidiControlInterface());
    EXPECT_EQ (&page->getProcessEditor().getPanelHost(), &container.getPanelHost());
    container.closeAllControlPanels();
}

TEST_F (DspEditorTabTest, EditKeysActOnTheShownPageAndUndoElsewhereActsNowhere)
{
    container.setCurrentTabIndex (MainContainer::busEditorTab);
    EXPECT_TRUE (pressed (selectAll)) << "the key is taken";
    EXPECT_EQ (page->getProcessEditor().getNumSelected(), 0) << "a page nobody sees is left alone";
    page->getProcessEditor().selectAll (true);
    EXPECT_TRUE (pressed (deleteKey));
    EXPECT_EQ (graph().getNumNodes(), 2);
    EXPECT_TRUE (pressed (undo));
    EXPECT_EQ (graph().getNumNodes(), 2) << "undo works on the DSP editor only";

    container.setCurrentTabIndex (MainContainer::dspEditorTab);
    page->getProcessEditor().selectAll (false);
    EXPECT_TRUE (pressed (selectAll));
    EXPECT_EQ (page->getProcessEditor().getNumSelected(), 2);
    EXPECT_TRUE (pressed (deleteKey));
    EXPECT_EQ (graph().getNumNodes(), 0);
    EXPECT_TRUE (pressed (undo));
    EXPECT_EQ (graph().getNumNodes(), 1) << "one process back per step";
}
