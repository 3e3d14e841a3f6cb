// Random designs, built as the user builds them through the editors with no
// window on the screen: DSPs added on the bus editor and given a module, then
// processes dropped, their memory chosen, their counts set (delays up to the
// slider's end), wired, given DSP inputs and outputs, renamed, their command
// words typed (with the command view on; a field takes typing only on the
// screen, so only with a display, for a moment), their values set, removed,
// copied and pasted, with undo and redo between; process presets made and
// loaded, and global presets saved. Whatever was built comes back exactly:
// - a paste into a DSP of the same module keeps each process's count, memory,
//   command words and values;
// - every edit is one undo step: undoing N steps (Ctrl+Z, on whatever page)
//   gives the design as it was before the last N edits, and shows the page of
//   the DSP each undone edit was made on; a redo gives back what the undo took;
// - a count or memory change keeps the value of every control that stays
//   (a new one takes its default), and its undo gives every value back;
// - undoing every step and redoing them all saves the same bytes;
// - the design saved, opened again and saved gives the same bytes, the same
//   design (every stored value included) and the same preset files, and a
//   global preset saved again leaves its file as it was.
//
// Each design has a seed of its own. A failure names it and lists the steps
// taken; VX_DESIGN_SEED=<seed> runs that design alone and prints its steps,
// and VX_DESIGN_SURVEY=1 goes on past a failing design to list them all.

#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "editors/BusContainer.h"
#include "editors/BusEditor.h"
#include "editors/ConnectorComponent.h"
#include "editors/DspEditor.h"
#include "editors/GraphBusEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/TextPropertyComponentWithFocus.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "generator/PanelScriptWriter.h"
#include "model/ModuleLibrary.h"
#include "model/ProjectFile.h"

#include "ShellTestFixture.h"
#include "support/DesignDescription.h"

#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <set>

namespace designroundtrip
{
constexpr uint32_t firstSeed = 22024;
constexpr int designCount = 66;
constexpr int stepsPerDesign = 24;

constexpr uint32_t studioCore8 = 0x21;
constexpr uint32_t studioCoreLite = 0x22;
constexpr uint32_t mixPa = 0x23;

using designdescription::findFirstDifference;

// The seeds to run: every design's, or the one named for a replay.
std::vector<uint32_t> getSeeds()
{
    if (const auto* replay = std::getenv ("VX_DESIGN_SEED"))
        return { (uint32_t) juce::String (replay).getLargeIntValue() };

    std::vector<uint32_t> seeds;

    for (int i = 0; i < designCount; ++i)
        seeds.push_back (firstSeed + (uint32_t) i);

    return seeds;
}

class Dice
{
public:
    explicit Dice (uint32_t seed) : engine (seed) {}

    int below (int n) { return n <= 1 ? 0 : (int) (engine() % (uint32_t) n); }
    int between (int low, int high) { return low + below (high - low + 1); }
    bool chance (int percent) { return below (100) < percent; }

    template <typename T>
    T pick (const std::vector<T>& items)
    {
        return items[(size_t) below ((int) items.size())];
    }

private:
    std::mt19937 engine;
};

// What a process holds of what the user set, as two processes of the same
// definition compare: each control number's NRPN byte is its process's own
// and is left out.
struct Held
{
    uint32_t channelWord = 0, memoryWord = 0;
    int memoryChoice = 0;
    std::vector<uint32_t> words, secondWords;
    std::map<juce::String, uint32_t> values;

    juce::String toString() const
    {
        juce::String text;
        text << "count " << juce::String::toHexString (channelWord) << " memory " << juce::String::toHexString (memoryWord)
             << " choice " << memoryChoice << " words";

        for (size_t i = 0; i < words.size(); ++i)
            text << " " << juce::String::toHexString ((int) words[i]) << "/"
                 << juce::String::toHexString ((int) (i < secondWords.size() ? secondWords[i] : 0));

        text << " values";

        for (const auto& [name, value] : values)
            text << " " << name << "=" << juce::String (value);

        return text;
    }
};

// A component on the screen for a while, small: painting it is slow.
class ScopedOnScreen
{
public:
    explicit ScopedOnScreen (juce::Component& c) : component (c), bounds (c.getBounds())
    {
        component.setBounds (0, 0, 320, 240);
        component.addToDesktop (0);
        component.setVisible (true);
    }

    ~ScopedOnScreen()
    {
        component.setVisible (false);
        component.removeFromDesktop();
        component.setBounds (bounds);
    }

private:
    juce::Component& component;
    juce::Rectangle<int> bounds;
};

class DesignRoundTripTest : public ShellTestFixture
{
protected:
    // Whether a check failed since the design began.
    bool failed() const
    {
        auto* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();

        for (int i = partsBefore; i < result->total_part_count(); ++i)
            if (result->GetTestPartResult (i).failed())
                return true;

        return false;
    }

    // One design, built and checked; false once something failed.
    bool runDesign (uint32_t seed)
    {
        partsBefore = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        dice = std::make_unique<Dice> (seed);
        steps.clearQuick();
        forgetSteps();
        clipboard.clear();
        designFolder = folder.getChildFile (juce::String (seed));
        designFolder.createDirectory();
        main = std::make_unique<MainContainer> (*settings);
        main->setBounds (0, 0, 1400, 900);
        main->setCurrentTabIndex (MainContainer::dspEditorTab);

        if (dice->chance (50))
            toggleCommandView();

        for (int i = dice->between (1, 3); --i >= 0;)
            addDsp();

        for (int i = 0; i < stepsPerDesign && ! failed(); ++i)
            takeStep();

        if (! failed())
            checkUndoingAndRedoingEverything();

        if (! failed())
            addPresets();

        if (! failed())
            checkSaveOpenSave();

        main.reset();
        clearDesignFlags();
        return ! failed();
    }

    //==============================================================================
    MainContainer& getMain() { return *main; }
    ProjectInterface& getProject() { return main->getProjectInterface(); }
    Design& getDesign() { return main->getDesign(); }
    ActionManager& getHistory() { return main->getEditHistory(); }
    juce::File getProjectFile() const { return designFolder.getChildFile ("Design.zqp"); }

    void note (const juce::String& step) { steps.add (step); }

    // The change messages delivered, as the message loop would.
    void deliver()
    {
        auto& design = getDesign();
        design.dispatchPendingMessages();
        design.getBusGraph().dispatchPendingMessages();

        for (int i = 0; i < design.getNumDsps(); ++i)
            design.getDsp (i)->getGraph().dispatchPendingMessages();
    }

    // And what was posted to the message loop (boxes' name editors going).
    void settle()
    {
        deliver();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
        deliver();
    }

    std::vector<DspEditor*> getPages()
    {
        std::vector<DspEditor*> pages;
        auto& container = getMain().getProcessContainer();

        for (int i = 0; i < container.getNumDsps(); ++i)
            if (auto* page = container.getDsp (i))
                pages.push_back (page);

        return pages;
    }

    std::vector<DspEditor*> getPagesWithModule()
    {
        std::vector<DspEditor*> pages;

        for (auto* page : getPages())
            if (getDesign().getDspModule (page->getDspId()) != nullptr)
                pages.push_back (page);

        return pages;
    }

    static std::vector<Zorvex*> getBoxes (DspEditor& page)
    {
        const auto& boxes = page.getProcessEditor().getBoxes();
        return { boxes.begin(), boxes.end() };
    }

    static juce::String describeBox (DspEditor& page, Zorvex& box)
    {
        auto* node = box.getNode();
        return "DSP " + juce::String (page.getDspId()) + " #" + juce::String (node != nullptr ? node->nrpn : 0) + " (" +
               (node != nullptr ? node->getName() : juce::String()) + ")";
    }

    // A box of a process on a page with a module, or none.
    std::pair<DspEditor*, Zorvex*> pickBox (const std::function<bool (Zorvex&)>& fits = {})
    {
        std::vector<std::pair<DspEditor*, Zorvex*>> candidates;

        for (auto* page : getPagesWithModule())
            for (auto* box : getBoxes (*page))
                if (box->getNode() != nullptr && (! fits || fits (*box)))
                    candidates.emplace_back (page, box);

        if (candidates.empty())
            return {};

        return dice->pick (candidates);
    }

    //==============================================================================
    // The steps a user takes.

    void toggleCommandView()
    {
        note ("command view (Ctrl+L)");
        getMain().keyPressed (juce::KeyPress ('l', juce::ModifierKeys::ctrlModifier, 0));
        deliver();
    }

    void addDsp()
    {
        auto& busEditor = getMain().getBusContainer().getGraphBusEditor().getBusEditor();
        const auto before = getDesign().getNumDsps();

        if (! busEditor.addDspAt ({ dice->between (20, 600), dice->between (20, 400) }))
            return;

        deliver();
        ASSERT_EQ (getDesign().getNumDsps(), before + 1);
        auto* page = getPages().back();

        for (auto* each : getPages())
            if (getDesign().getDspModule (each->getDspId()) == nullptr)
                page = each;

        // Mostly the module with the most processes, so that pastes find a DSP of it.
        const std::vector<uint32_t> modules{ studioCore8, studioCore8, studioCore8, studioCoreLite, mixPa };
        const auto moduleId = dice->pick (modules);
        auto& choice = page->getModuleChoice();

        if (! choice.isItemEnabled ((int) moduleId))
            return;

        note ("add DSP " + juce::String (page->getDspId()) + " with module " + juce::String::toHexString ((int) moduleId));
        choice.setSelectedId ((int) moduleId, juce::sendNotificationSync);
        deliver();
    }

    // The DSPs as a save writes them: what an undo must give back.
    juce::String writeDesign()
    {
        const auto xml = ProjectFile::createXml (getDesign(), {});
        auto* dsps = xml->getChildByName ("DSPs");
        return dsps != nullptr ? dsps->toString() : juce::String();
    }

    // What no undo step was (a name, a value set on a panel, a DSP added)
    // stands between the steps before and the design: they are not compared.
    void forgetSteps()
    {
        undoable.clear();
        redoable.clear();
    }

    void takeStep()
    {
        const auto before = writeDesign();
        const auto stepsBefore = getHistory().getUndoDescriptions().size();
        const auto redoBefore = getHistory().getRedoDescriptions().size();
        const auto isEdit = takeRandomStep();

        if (failed())
            return;

        const auto added = getHistory().getUndoDescriptions().size() - stepsBefore;

        if (lastStepWasUndoOrRedo)
            return;

        const auto after = writeDesign();

        // What is no edit makes no step (a module chosen empties the history).
        if (isEdit)
            EXPECT_EQ (added, after != before ? 1 : 0) << "an edit is one undo step";
        else
            EXPECT_LE (added, 0) << "no undo step but for an edit";

        if (added == 1)
        {
            undoable.push_back (before);
            redoable.clear();
        }
        else if (getHistory().getRedoDescriptions().size() != redoBefore || after != before)
        {
            forgetSteps();
        }
    }

    // Whether the step taken is an edit of the DSP pages (which makes one
    // undo step when it changes anything).
    bool takeRandomStep()
    {
        lastStepWasUndoOrRedo = false;
        using Step = void (DesignRoundTripTest::*)();
        struct Weighted
        {
            int weight;
            Step step;
            bool isEdit;
        };
        static const std::vector<Weighted> weighted{
            { 14, &DesignRoundTripTest::dropProcess, true },    { 4, &DesignRoundTripTest::chooseMemory, true },
            { 5, &DesignRoundTripTest::changeCount, true },     { 8, &DesignRoundTripTest::connect, true },
            { 4, &DesignRoundTripTest::nameDspPin, true },      { 4, &DesignRoundTripTest::typeCommandWord, true },
            { 2, &DesignRoundTripTest::rename, false },         { 6, &DesignRoundTripTest::setValues, false },
            { 2, &DesignRoundTripTest::removeSelection, true }, { 3, &DesignRoundTripTest::undoOrRedo, false },
            { 4, &DesignRoundTripTest::copyAndPaste, true },    { 2, &DesignRoundTripTest::save, false },
            { 1, &DesignRoundTripTest::addDsp, false },
        };

        int total = 0;

        for (auto& each : weighted)
            total += each.weight;

        auto roll = dice->below (total);

        for (auto& each : weighted)
        {
            if ((roll -= each.weight) < 0)
            {
                (this->*each.step)();
                deliver();
                return each.isEdit;
            }
        }

        return false;
    }

    void dropProcess()
    {
        auto pages = getPagesWithModule();

        if (pages.empty())
            return;

        auto* page = dice->pick (pages);
        auto* module = getDesign().getDspModule (page->getDspId());
        const auto index = dice->below (module->getProcessCount());
        auto& editor = page->getProcessEditor();
        const juce::Point<int> at (dice->between (40, juce::jmax (41, editor.getWidth() - 40)),
                                   dice->between (40, juce::jmax (41, editor.getHeight() - 40)));

        if (editor.placeProcess (index, at))
            note ("drop " + juce::String (module->getProcess (index)->name) + " on DSP " + juce::String (page->getDspId()));
    }

    void chooseMemory()
    {
        auto [page, box] = pickBox ([] (Zorvex& b) { return b.getMemoryCombo() != nullptr && b.getMemoryCombo()->isEnabled(); });

        if (box == nullptr)
            return;

        const auto choice = dice->between (GraphNode::memoryChoiceExternalRam, GraphNode::memoryChoiceInternal24BitRam);
        note ("memory " + juce::String (choice) + " on " + describeBox (*page, *box));
        changeKeepingValues (*page, *box, [&] { box->getMemoryCombo()->setSelectedId (choice, juce::sendNotificationSync); });
    }

    void changeCount()
    {
        auto [page, box] = pickBox (
            [] (Zorvex& b)
            { return b.getCountSlider() != nullptr && b.getCountSlider()->isVisible() && b.getCountSlider()->isEnabled(); });

        if (box == nullptr)
            return;

        auto& slider = *box->getCountSlider();
        const auto low = (int) slider.getMinimum();
        const auto high = (int) slider.getMaximum();
        // The ends of the slider as often as anything between.
        const auto value = dice->chance (30) ? high : dice->chance (30) ? low : dice->between (low, high);
        note ("count " + juce::String (value) + " on " + describeBox (*page, *box));
        changeKeepingValues (*page, *box, [&] { slider.setValue (value, juce::sendNotificationSync); });
    }

    // A count or memory change keeps the value of every control that stays
    // (within the range it now has, in the units it now has), and its undo,
    // taken at once, gives every value back.
    void changeKeepingValues (DspEditor& page, Zorvex& box, const std::function<void()>& change)
    {
        const auto nrpn = box.getNode()->nrpn;
        const auto before = getHeld (box);
        const auto stepsBefore = getHistory().getUndoDescriptions().size();
        change();
        deliver();

        auto* node = getDesign().findDsp (page.getDspId())->getGraph().findNodeByNrpn (nrpn);
        auto* after = page.getProcessEditor().findBoxByNodeId (node->getId());
        ASSERT_NE (after, nullptr);
        const auto held = getHeld (*after);
        const auto controls =
            PanelScriptWriter::listControls (*node, page.getDspId(), page.getProcessEditor().getSamplingRateKhz());

        for (const auto& [name, value] : held.values)
        {
            const auto index = controls.indexOf (name);
            const auto kept = before.values.find (name);

            if (index < 0 || kept == before.values.end() || controls[index].range.unitsPerQuantity > 0.0 ||
                kept->second > controls[index].range.maximum)
                continue;

            EXPECT_EQ (value, kept->second) << name << " of " << describeBox (page, *after) << " after the change";
        }

        if (getHistory().getUndoDescriptions().size() == stepsBefore || ! dice->chance (30))
            return;

        note ("undo");
        getHistory().undo();
        deliver();
        auto* back = page.getProcessEditor().findBoxByNodeId (node->getId());
        ASSERT_NE (back, nullptr);
        EXPECT_EQ (getHeld (*back).toString(), before.toString()) << "the change undone";
        lastStepWasUndoOrRedo = true;
        forgetSteps();
    }

    static ZorvexBus* pickPin (Dice& d, Zorvex& box, bool input)
    {
        const auto count = box.getNumPins (input);
        return count > 0 ? box.findPin (box.getNodeId(), (uint32_t) d.below (count), input) : nullptr;
    }

    void connect()
    {
        auto [page, from] = pickBox ([] (Zorvex& b) { return b.getNumPins (false) > 0; });

        if (from == nullptr)
            return;

        auto boxes = getBoxes (*page);
        auto* to = dice->pick (boxes);
        auto* out = pickPin (*dice, *from, false);
        auto* in = pickPin (*dice, *to, true);

        if (out == nullptr || in == nullptr)
            return;

        auto& editor = page->getProcessEditor();
        ConnectionRules::Ends ends;
        const auto verdict = editor.checkConnectionDrop ({ out->getNodeId(), out->getPinIndex(), 0, 0 },
                                                         { in->getNodeId(), in->getPinIndex(), true }, ends);

        if (! verdict.accepted)
            return;

        note ("connect " + describeBox (*page, *from) + " out " + juce::String (out->getPinIndex()) + " to " +
              describeBox (*page, *to) + " in " + juce::String (in->getPinIndex()));
        editor.makeConnection (ends, verdict.isVirtual);
    }

    void nameDspPin()
    {
        auto [page, box] = pickBox();

        if (box == nullptr)
            return;

        const bool input = dice->chance (50);
        auto* pin = pickPin (*dice, *box, input);
        auto* module = getDesign().getDspModule (page->getDspId());
        const auto available = (int) (input ? module->dspInputCount : module->dspOutputCount);

        if (pin == nullptr || available == 0)
            return;

        const auto name = (input ? "DSPIN" : "DSPOUT") + juce::String (dice->below (available));

        if (page->getProcessEditor().assignBusPin (*pin, name))
            note (name + " on " + describeBox (*page, *box) + (input ? " in " : " out ") + juce::String (pin->getPinIndex()));
    }

    // A left press on the box shows its command words on the page.
    static void press (Zorvex& box)
    {
        const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
        box.mouseDown (vxtest::makeMouseEvent (box, { 60, 40 }, left));
        box.mouseUp (vxtest::makeMouseEvent (box, { 60, 40 }, left, 1, false, { 60, 40 }));
    }

    void typeCommandWord()
    {
        // A field takes typing only on the screen, where it can have the
        // keyboard focus; without a display the command words are not typed.
        if (! getDesign().getSettings().isCommandViewOn() || ! vxtest::hasDisplay())
            return;

        auto [page, box] = pickBox ([] (Zorvex& b) { return b.getNode()->commandWordCount > 0; });

        if (box == nullptr)
            return;

        // The page and its "Command Properties" tab in front, where the user types.
        const ScopedOnScreen onScreen (getMain());
        getMain().getProcessContainer().showDspTab (page->getDspId());
        page->getCommandPanelTab().setCurrentTabIndex (1);
        press (*box);
        auto& properties = page->getCommandProperties();

        if (properties.getNumFields() == 0)
            return;

        const auto field = dice->below (properties.getNumFields());
        auto* label = dynamic_cast<juce::Label*> (properties.getField (field)->getChildComponent (0));
        ASSERT_NE (label, nullptr);
        label->showEditor();
        auto* typing = label->getCurrentTextEditor();
        ASSERT_NE (typing, nullptr);
        typing->selectAll();

        const auto text = juce::String::toHexString (dice->between (1, 0xFFFE)).toUpperCase();
        note ("type " + text + " into command " + juce::String (field) + " of " + describeBox (*page, *box));

        for (auto c : text)
            typing->keyPressed (juce::KeyPress (c, 0, c));

        typing->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));

        // The field hears of the Return through the message loop.
        for (int i = 0; i < 100 && label->isBeingEdited(); ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);

        EXPECT_FALSE (label->isBeingEdited()) << "Return ends the typing";
    }

    void rename()
    {
        auto [page, box] = pickBox();

        if (box == nullptr)
            return;

        static const juce::StringArray names{ "Main EQ", "Left & Right", "Delay <long>", "\"Quoted\"", "Gain'2", "X" };
        const auto name = names[dice->below (names.size())] + juce::String (dice->below (100));
        note ("rename " + describeBox (*page, *box) + " to " + name);
        box->showNameEditor();
        ASSERT_NE (box->getNameEditor(), nullptr);
        box->getNameEditor()->setText (name, false);
        box->textEditorReturnKeyPressed (*box->getNameEditor());
    }

    // Values set on the process's panel: the panel shows the values of the
    // node's store, and the box is told that they changed.
    void setValues()
    {
        auto [page, box] = pickBox();

        if (box == nullptr)
            return;

        box->getControlPanel().ensureControlPanel();
        auto& store = *box->getPresetStore();

        if (! store.hasBuiltControls())
            return;

        store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
        juce::String set;

        for (int i = dice->between (1, 4); --i >= 0;)
        {
            store.setCurrentControl (dice->below (store.getControlCount()));

            if (store.isFixedDelayControl())
                continue;

            const auto value = (uint32_t) dice->below (16384);
            store.setCurrentValue (value);
            set << " " << store.getCurrentControlName() << "=" << juce::String (value);
        }

        note ("values" + set + " on " + describeBox (*page, *box));
        box->getControlPanel().rebuildControlPanel();
        box->controlPanelValueChanged();
    }

    void removeSelection()
    {
        auto [page, box] = pickBox();

        if (box == nullptr)
            return;

        auto& editor = page->getProcessEditor();
        editor.selectAll (false);
        box->setSelected (true);
        note ("remove " + describeBox (*page, *box));
        const auto nrpn = box->getNode()->nrpn;
        const auto held = getHeld (*box).toString();
        editor.removeSelection();

        if (! dice->chance (40))
            return;

        // Ctrl+Z at once gives the process back as it was.
        note ("undo");
        getHistory().undo();
        deliver();
        lastStepWasUndoOrRedo = true;
        forgetSteps();

        for (auto* back : getBoxes (*page))
        {
            if (back->getNode()->nrpn == nrpn)
            {
                EXPECT_EQ (getHeld (*back).toString(), held) << "the process put back by the undo";
            }
        }
    }

    // Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y on the page shown, which need not be the
    // page of the edit undone: that page is shown.
    void undoOrRedo()
    {
        const bool undo = dice->chance (60);
        auto& history = getHistory();

        if (! (undo ? history.canUndo() : history.canRedo()))
            return;

        // Each DSP's graph, to tell which one the step changes.
        auto describeGraphs = [this]
        {
            std::map<uint32_t, juce::String> graphs;

            for (auto* page : getPages())
                graphs[page->getDspId()] =
                    designdescription::describeGraph (getDesign().findDsp (page->getDspId())->getGraph(), { true });

            return graphs;
        };

        const auto graphsBefore = describeGraphs();
        const auto before = writeDesign();
        note (undo ? "undo (Ctrl+Z)" : "redo");
        const juce::ModifierKeys ctrl (juce::ModifierKeys::ctrlModifier);
        const juce::ModifierKeys ctrlShift (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);
        getMain().keyPressed (undo                ? juce::KeyPress ('z', ctrl, 0)
                              : dice->chance (50) ? juce::KeyPress ('y', ctrl, 0)
                                                  : juce::KeyPress ('z', ctrlShift, 0));
        deliver();
        lastStepWasUndoOrRedo = true;

        auto* shown = getMain().getProcessContainer().getShownDsp();
        ASSERT_NE (shown, nullptr);

        for (const auto& [dspId, graph] : describeGraphs())
            if (graph != graphsBefore.at (dspId))
                EXPECT_EQ (shown->getDspId(), dspId) << "the page of the edit " << (undo ? "undone" : "redone") << " is shown";

        auto& from = undo ? undoable : redoable;
        auto& to = undo ? redoable : undoable;

        if (! from.empty())
        {
            EXPECT_EQ (findFirstDifference (from.back(), writeDesign()), juce::String())
                << (undo ? "the undo gives the design before the edit" : "the redo gives the design before the undo");
            from.pop_back();
            to.push_back (before);
        }
        else
        {
            // Past what no undo step was: nothing known to compare with.
            forgetSteps();
        }
    }

    void save()
    {
        note ("save");

        if (getDesign().getSettings().getProjectFile() == juce::File())
            dialogs.chosenFiles.push_back (getProjectFile());

        EXPECT_TRUE (getProject().saveProject (false));
    }

    //==============================================================================
    // Copy and paste.

    Held getHeld (Zorvex& box)
    {
        auto& node = *box.getNode();
        Held held{ node.channelWord, node.memoryWord, node.memoryChoice, {}, node.secondCommandWords, {} };

        for (int k = 0; k < node.commandWordCount; ++k)
            held.words.push_back (node.commandWords[(size_t) k] & 0xFFFF00FFu);

        // The values the box shows, as a save takes them.
        box.getControlPanel().ensureControlPanel();
        auto shown = *box.getPresetStore();
        shown.takeShownValuesAsLastSaved();

        for (int i = 0; i < shown.getControlCount(); ++i)
        {
            shown.setCurrentControl (i);

            if (! shown.isFixedDelayControl())
                held.values[shown.getCurrentControlName()] = shown.getCurrentValue();
        }

        return held;
    }

    void copyAndPaste()
    {
        auto [source, anyBox] = pickBox();

        if (anyBox == nullptr)
            return;

        auto& from = source->getProcessEditor();
        from.selectAll (false);
        juce::String copied;

        for (auto* box : getBoxes (*source))
            if (dice->chance (60))
            {
                box->setSelected (true);
                copied << " #" << juce::String (box->getNode()->nrpn);
            }

        for (auto* connector : from.getConnectors())
            connector->setSelected (dice->chance (70));

        std::vector<DspEditor*> targets;

        for (auto* page : getPages())
            if (getDesign().getDspEntry (page->getDspId())->moduleId == getDesign().getDspEntry (source->getDspId())->moduleId)
                targets.push_back (page);

        auto* target = dice->pick (targets);
        note ("copy" + copied + " of DSP " + juce::String (source->getDspId()) + ", paste into DSP " +
              juce::String (target->getDspId()));

        // What each copied process holds, by its NRPN number. A selection of
        // static processes alone copies nothing: the last copy stays.
        std::map<uint32_t, Held> held;

        for (auto* box : getBoxes (*source))
            if (box->isSelected() && ! box->getNode()->getProcessDefinition()->fromSps)
                held[box->getNode()->nrpn] = getHeld (*box);

        if (! held.empty())
            clipboard = held;

        from.copySelection();
        std::set<uint32_t> before;
        auto& graph = getDesign().findDsp (target->getDspId())->getGraph();

        for (auto nrpn : graph.collectNrpns())
            before.insert (nrpn);

        target->getProcessEditor().selectAll (false);
        target->getProcessEditor().pasteSelection();
        deliver();

        for (auto* box : getBoxes (*target))
        {
            auto* node = box->getNode();

            if (before.count (node->nrpn) != 0)
                continue;

            ASSERT_EQ (clipboard.count (node->linkId), 1u) << "a paste of what was not copied";
            const auto expected = clipboard[node->linkId].toString();
            const auto actual = getHeld (*box).toString();
            EXPECT_EQ (actual, expected) << "the paste of #" << node->linkId << " as " << describeBox (*target, *box);
        }
    }

    //==============================================================================
    // Presets.

    static const juce::PopupMenu::Item* findItem (const juce::PopupMenu& menu, const juce::String& text)
    {
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (it.getItem().text == text)
                return &it.getItem();

        return nullptr;
    }

    void addPresets()
    {
        if (getDesign().getSettings().getProjectFile() == juce::File())
            save();

        for (int i = dice->between (0, 3); --i >= 0;)
            makeOrLoadPreset();

        for (int i = dice->between (0, 2); --i >= 0;)
            saveGlobalPreset();

        deliver();
    }

    void makeOrLoadPreset()
    {
        auto [page, box] = pickBox();

        if (box == nullptr)
            return;

        const auto menu = box->buildMenu();
        const auto* load = findItem (menu, "Load preset");

        if (load != nullptr && load->isEnabled && load->subMenu != nullptr && dice->chance (50))
        {
            std::vector<int> ids;

            for (juce::PopupMenu::MenuItemIterator it (*load->subMenu); it.next();)
                ids.push_back (it.getItem().itemID);

            const auto id = dice->pick (ids);
            note ("load preset " + juce::String (id - Zorvex::loadPresetBase) + " on " + describeBox (*page, *box));
            box->handleMenuResult (id);
            return;
        }

        const auto* save = findItem (menu, "Save preset");

        if (save == nullptr || ! save->isEnabled)
            return;

        const auto name = "Preset " + juce::String (dice->below (4));
        note ("create preset \"" + name + "\" on " + describeBox (*page, *box));
        dialogs.names.push_back (name);
        box->handleMenuResult (Zorvex::createPresetItem);
    }

    void saveGlobalPreset()
    {
        auto& globals = getDesign().getGlobalPresets();
        auto& manager = getProject().getGlobalPresetManager();

        if (globals.getCount() > 0 && dice->chance (50))
        {
            const auto name = globals.getPreset (dice->below (globals.getCount()))->getName();
            note ("save global preset " + name);
            EXPECT_TRUE (manager.save (name, false).wasOk());
            return;
        }

        const auto name = "Global " + juce::String (globals.getCount());
        note ("create global preset " + name);
        EXPECT_TRUE (manager.save (name, true).wasOk());

        // As the global-preset group shows a new one: the design is locked.
        setDesignLocked (true);
        getProject().refreshAllEditors();
    }

    //==============================================================================
    // The checks.

    juce::String saveAndRead()
    {
        save();
        settle();
        return getProjectFile().loadFileAsString();
    }

    void checkUndoingAndRedoingEverything()
    {
        const auto saved = saveAndRead();
        int undone = 0;

        while (getHistory().canUndo() && getHistory().undo())
        {
            deliver();
            ++undone;

            // Undoing N steps takes back exactly the last N edits.
            if (! undoable.empty())
            {
                EXPECT_EQ (findFirstDifference (undoable.back(), writeDesign()), juce::String())
                    << "after " << undone << " steps undone";
                undoable.pop_back();
            }
        }

        // Steps undone before are not redone: the redo stops where the design was.
        for (int i = 0; i < undone && getHistory().redo(); ++i)
            deliver();

        note ("undo " + juce::String (undone) + " steps and redo them");
        const auto again = saveAndRead();
        EXPECT_TRUE (again == saved) << "undoing everything and redoing it saves otherwise: "
                                     << findFirstDifference (saved, again);
    }

    // What the design holds and its process presets as each box's menu offers them.
    juce::String describeDesign()
    {
        auto text = designdescription::describe (getDesign(), { true });

        for (auto* page : getPages())
            for (auto* box : getBoxes (*page))
                if (const auto* load = findItem (box->buildMenu(), "Load preset"); load != nullptr && load->subMenu != nullptr)
                {
                    text << describeBox (*page, *box) << " offers";

                    for (juce::PopupMenu::MenuItemIterator it (*load->subMenu); it.next();)
                        text << " \"" << it.getItem().text << "\"";

                    text << "\n";
                }

        return text;
    }

    void checkSaveOpenSave()
    {
        const auto saved = saveAndRead();
        const auto design = describeDesign();
        const auto presets = getProject().getPresetFile().loadFileAsString();
        const auto globalPresets = getProject().getGlobalPresetFile().loadFileAsString();

        note ("open");
        getProject().openProject (getProjectFile());
        settle();

        EXPECT_EQ (findFirstDifference (design, describeDesign()), juce::String()) << "the design opened differs";

        const auto again = saveAndRead();
        EXPECT_TRUE (again == saved) << "saved again after the open: " << findFirstDifference (saved, again);
        EXPECT_TRUE (getProject().getPresetFile().loadFileAsString() == presets) << "the preset file changed";
        EXPECT_TRUE (getProject().getGlobalPresetFile().loadFileAsString() == globalPresets) << "the global preset file changed";

        // Nothing changed since: a global preset saved again names the
        // stored presets it named, and the file stays as it was.
        auto& globals = getDesign().getGlobalPresets();

        if (globals.getCount() > 0)
        {
            const auto name = globals.getPreset (globals.getCount() - 1)->getName();
            note ("save global preset " + name + " again");
            EXPECT_TRUE (getProject().getGlobalPresetManager().save (name, false).wasOk());
            const auto resaved = getProject().getGlobalPresetFile().loadFileAsString();
            EXPECT_TRUE (resaved == globalPresets)
                << "the global preset saved again: " << findFirstDifference (globalPresets, resaved);
        }
    }

    std::unique_ptr<Dice> dice;
    std::map<uint32_t, Held> clipboard;
    // The design before each edit on the history, and before each undo that
    // a redo would take back.
    std::vector<juce::String> undoable, redoable;
    bool lastStepWasUndoOrRedo = false;
    int partsBefore = 0;
    juce::StringArray steps;
    juce::File designFolder;
    std::unique_ptr<MainContainer> main;
};

TEST_F (DesignRoundTripTest, RandomDesignsComeBackAsTheyWereBuilt)
{
    for (auto seed : getSeeds())
    {
        if (! runDesign (seed))
        {
            ADD_FAILURE() << "design " << seed << " (replay with VX_DESIGN_SEED=" << seed << "), its steps:\n  "
                          << steps.joinIntoString ("\n  ");

            if (std::getenv ("VX_DESIGN_SURVEY") == nullptr)
                break;
        }

        // A replay shows what it did.
        if (std::getenv ("VX_DESIGN_SEED") != nullptr)
            std::cout << "design " << seed << ":\n  " << steps.joinIntoString ("\n  ") << std::endl;
    }
}
} // namespace designroundtrip
