#include "DspPagesFixture.h"

#include "editors/PasteTarget.h"

#include <set>

using vxtest::DspPagesFixture;

namespace
{
// DSP 1 holds a compressor feeding a limiter on both channels, a static
// delay, and a level meter fed by the limiter.
class CopyPasteTest : public DspPagesFixture
{
protected:
    CopyPasteTest()
    {
        addDsp (1, core8);
        compressor = place (1, "Compressor", { 400, 400 });
        limiter = place (1, "Limiter", { 800, 400 });
        delay = place (1, "ShortDelay", { 400, 900 });
        connect (1, compressor, 0, limiter, 0);
        connect (1, limiter, 0, delay, 0);
        host.history.clearUndoHistory();
    }

    // The selected processes of DSP 1 copied.
    void copyFromDsp1 (std::initializer_list<uint32_t> ids, bool withConnectors = true)
    {
        auto& e = editor (1);
        e.selectAll (false);

        for (auto id : ids)
            e.findBoxByNodeId (id)->setSelected (true);

        if (withConnectors)
            for (auto* connector : e.getConnectors())
                connector->setSelected (true);

        e.copySelection();
    }

    struct Link
    {
        juce::String from;
        uint32_t fromPin;
        juce::String to;
        uint32_t toPin;
        bool operator<(const Link& o) const
        {
            return std::tie (from, fromPin, to, toPin) < std::tie (o.from, o.fromPin, o.to, o.toPin);
        }
        bool operator== (const Link& o) const { return ! (*this < o) && ! (o < *this); }
    };

    std::set<Link> links (uint32_t dsp)
    {
        std::set<Link> result;
        auto& g = graph (dsp);

        for (int i = 0; i < g.getNumConnections(); ++i)
        {
            auto* c = g.getConnection (i);
            result.insert (
                { g.findNodeById (c->sourceNode)->getName(), c->sourcePin, g.findNodeById (c->destNode)->getName(), c->destPin });
        }

        return result;
    }

    juce::String lastMessage (uint32_t dsp) { return container->findDspById (dsp)->getTooltipBar().getText(); }

    uint32_t compressor = 0, limiter = 0, delay = 0;
};
} // namespace

TEST_F (CopyPasteTest, AProcessAndItsConnectorGoToAnotherDspOfTheSameModule)
{
    addDsp (2, core8);
    copyFromDsp1 ({ compressor, limiter, delay });
    EXPECT_TRUE (host.clipboard.canUndo());
    EXPECT_EQ (host.clipboard.getCurrentTransactionName().substring (0, 4), "COPY");

    editor (2).pasteSelection();
    deliver();

    // The static delay stays behind, and so does the connection to it.
    EXPECT_EQ (names (2), (std::vector<juce::String>{ "Compressor", "Limiter" }));
    EXPECT_EQ (links (2), (std::set<Link>{ { "Compressor", 0, "Limiter", 0 } }));

    for (auto id : { 1u, 2u })
    {
        auto& copy = *graph (2).findNodeById (id);
        auto& source = *graph (1).findNodeByNrpn (graph (1).findNodeById (id)->nrpn);
        EXPECT_NEAR (copy.getPosition().x, source.getPosition().x + 0.01, 1e-9);
        EXPECT_NEAR (copy.getPosition().y, source.getPosition().y + 0.01, 1e-9);
        EXPECT_EQ (copy.channelWord, source.channelWord);
        EXPECT_FALSE (copy.linkFlag) << "shown, it answers no more to its link id";
        EXPECT_TRUE (editor (2).findBoxByNodeId (id)->isSelected()) << "a pasted process comes selected";
    }

    EXPECT_EQ (design.getDspEntry (2)->getProcessCount(), 2);
    EXPECT_EQ (names (1).size(), 3u) << "the source is as it was";
}

TEST_F (CopyPasteTest, AnotherModuleOrNoModuleIsRefusedWithTheModuleNamed)
{
    addDsp (2, coreLite);
    addDsp (3, 0);
    copyFromDsp1 ({ compressor });

    editor (2).pasteSelection();
    editor (3).pasteSelection();
    deliver();

    EXPECT_EQ (graph (2).getNumNodes(), 0);
    EXPECT_EQ (graph (3).getNumNodes(), 0);
    EXPECT_EQ (lastMessage (2), "Unable to paste: Module mismatch, \"[ StudioCore8 ]\" module expected.");
    EXPECT_EQ (lastMessage (3), "No module was selected for this DSP, please select \"[ StudioCore8 ]\" module.");
    EXPECT_TRUE (container->findDspById (3)->getTooltipBar().isSticky());
    EXPECT_TRUE (host.clipboard.canUndo()) << "a refused paste keeps the copy";
}

TEST_F (CopyPasteTest, AFullDspTakesNothing)
{
    addDsp (2, core8);

    // The module offers four static processes: 59 others fill the DSP.
    for (int i = 0; i < ProcessGraphEdits::maxProcesses - 4; ++i)
        ASSERT_NE (editor (2).placeProcess (processIndex (core8, "Limiter"), { 100, 100 }), false) << i;

    deliver();
    EXPECT_EQ (place (2, "Compressor"), 0u) << "a drop is refused too";
    copyFromDsp1 ({ compressor });
    editor (2).pasteSelection();
    deliver();
    EXPECT_EQ (graph (2).getNumNodes(), ProcessGraphEdits::maxProcesses - 4);
}

TEST_F (CopyPasteTest, EveryPasteIsAnUndoStepOfItsOwnAndEveryCopyStandsAtTheSamePlace)
{
    addDsp (2, core8);
    copyFromDsp1 ({ compressor, limiter });

    for (int i = 0; i < 3; ++i)
        editor (2).pasteSelection();

    deliver();
    ASSERT_EQ (graph (2).getNumNodes(), 6);
    EXPECT_EQ (graph (2).getNumConnections(), 3) << "each pair wired to itself";

    std::set<std::pair<double, double>> places;

    for (int i = 0; i < 6; ++i)
        places.insert ({ graph (2).getNode (i)->getPosition().x, graph (2).getNode (i)->getPosition().y });

    EXPECT_EQ (places.size(), 2u);

    for (auto [from, to] : std::vector<std::pair<uint32_t, uint32_t>>{ { 1, 2 }, { 3, 4 }, { 5, 6 } })
    {
        bool found = false;
        graph (2).findConnection (from, 0, to, 0, found, GraphData::matchAllConnectionFields);
        EXPECT_TRUE (found) << from << " -> " << to;
    }

    const auto nrpns = graph (2).collectNrpns();
    EXPECT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (graph (2).getNumNodes(), 4) << "the last paste goes, the others stay";
    EXPECT_EQ (graph (2).getNumConnections(), 2);

    EXPECT_TRUE (host.history.undo());
    EXPECT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (graph (2).getNumNodes(), 0);
    EXPECT_EQ (design.getDspEntry (2)->getProcessCount(), 0);
    EXPECT_EQ (editor (2).getBoxes().size(), 0);

    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE (host.history.redo());

    deliver();
    EXPECT_EQ (graph (2).collectNrpns(), nrpns);
    EXPECT_EQ (graph (2).getNumConnections(), 3);
    EXPECT_EQ (editor (2).getBoxes().size(), 6);
}

TEST_F (CopyPasteTest, AConnectionWithAnEndLeftOutIsNotCopiedAndPositionsStayInTheView)
{
    graph (1).setNodePosition (compressor, 0.995, 0.2);
    copyFromDsp1 ({ compressor });
    editor (1).pasteSelection();
    deliver();

    ASSERT_EQ (graph (1).getNumNodes(), 4);
    auto* copy = graph (1).getNode (3);
    EXPECT_EQ (copy->getName(), "Compressor");
    EXPECT_EQ (copy->getPosition().x, 1.0);
    EXPECT_EQ (graph (1).getNumConnections(), 2) << "the limiter was not selected";
}

TEST_F (CopyPasteTest, NothingIsCopiedOrPastedWhileTheDesignIsLocked)
{
    addDsp (2, core8);
    setDesignLocked (true);
    copyFromDsp1 ({ compressor });
    EXPECT_FALSE (host.clipboard.canUndo());

    setDesignLocked (false);
    copyFromDsp1 ({ compressor });
    setDesignLocked (true);
    editor (2).pasteSelection();
    setDesignLocked (false);
    deliver();
    EXPECT_EQ (graph (2).getNumNodes(), 0);
    EXPECT_TRUE (host.clipboard.canUndo());
}

TEST_F (CopyPasteTest, RemovingOrResettingDspsEmptiesTheClipboardAndPastesNothingAfter)
{
    addDsp (2, core8);
    addDsp (3, core8);
    copyFromDsp1 ({ compressor, limiter });
    editor (2).pasteSelection();
    deliver();
    ASSERT_EQ (graph (2).getNumNodes(), 2);

    container->removeDsp (1);
    deliver();
    EXPECT_EQ (container->findDspById (1), nullptr);
    EXPECT_FALSE (host.clipboard.canUndo());
    EXPECT_FALSE (host.history.canUndo()) << "no step may name the graph that went";
    editor (3).pasteSelection();
    deliver();
    EXPECT_EQ (graph (3).getNumNodes(), 0);

    editor (2).selectAll (true);
    editor (2).copySelection();
    design.clearDsps();
    deliver();
    EXPECT_EQ (container->getNumDsps(), 0);
    EXPECT_FALSE (host.clipboard.canUndo());
}

// The copy actions themselves, on plain graphs: a copy keeps what it
// recorded after its source is gone, and two pastes before the view shows
// the first wire each pair to itself.
TEST_F (CopyPasteTest, ACopyOutlivesItsSourceAndFindsItsOwnPairInEachPaste)
{
    struct PlainTarget : PasteTarget
    {
        GraphData& getPasteGraph() override { return graph; }
        ModuleLibrary* getPasteLibrary() const override { return library; }
        uint32_t getPasteDspId() const override { return 7; }
        ActionManager* getPasteHistory() const override { return history; }
        void showPasteMessage (const juce::String& text) override { messages.add (text); }

        GraphData graph;
        ModuleLibrary* library = nullptr;
        ActionManager* history = nullptr;
        juce::StringArray messages;
    };

    ActionManager buffer, targetHistory;
    PlainTarget target;
    target.library = &library();
    target.history = &targetHistory;
    library().addDsp (7, core8, 0);

    {
        GraphData source;
        auto* definitions = library().findModuleById (core8);
        source.addNode ("A", true, definitions->findProcessById (0x203), 0.1, 0.1);
        source.addNode ("B", true, definitions->findProcessById (0x205), 0.3, 0.1);
        source.addConnection (1, 1, 2, 1);
        library().addDsp (8, core8, 0);

        buffer.beginNewTransaction();
        buffer.perform (new ConnectorComponent::CopyAction (source, *source.getConnection (0)));
        buffer.perform (new Zorvex::CopyAction (source, source.getNode (1)->nrpn, &library(), 8));
        buffer.perform (new Zorvex::CopyAction (source, source.getNode (0)->nrpn, &library(), 8));
        library().removeDsp (8);
    }

    // No target: the undo inserts nothing anywhere.
    EXPECT_TRUE (buffer.undo());
    EXPECT_TRUE (buffer.redo());

    {
        PasteTarget::Scope scope (target);

        for (int i = 0; i < 2; ++i)
        {
            EXPECT_TRUE (buffer.undo());
            EXPECT_TRUE (buffer.redo());
        }
    }

    EXPECT_EQ (PasteTarget::getCurrent(), nullptr);
    ASSERT_EQ (target.graph.getNumNodes(), 4);
    EXPECT_EQ (target.graph.getNumConnections(), 2);

    for (auto [from, to] : std::vector<std::pair<uint32_t, uint32_t>>{ { 1, 2 }, { 3, 4 } })
    {
        bool found = false;
        target.graph.findConnection (from, 1, to, 1, found, GraphData::matchAllConnectionFields);
        EXPECT_TRUE (found) << from << " -> " << to;
    }

    EXPECT_TRUE (target.messages.isEmpty());
    EXPECT_TRUE (buffer.canUndo()) << "the clipboard keeps its copy";
}
