#pragma once

#include "editors/ActionManager.h"
#include "editors/ConnectorComponent.h"
#include "editors/DspEditor.h"
#include "editors/DspEditorHost.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/ModulesDefReader.h"
#include "model/ProjectFile.h"

#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

namespace vxtest
{
// What the main container lends the DSP pages, recorded.
class RecordingHost : public DspEditorHost
{
public:
    ActionManager& getEditHistory() override { return history; }
    ActionManager& getClipboard() override { return clipboard; }
    bool isDspEditorShown() const override { return shown; }
    void showBusEditorMessage (const juce::String& text) override { busMessages.add (text); }
    void countCreatedProcessBox() override { ++createdBoxes; }
    void sendSavedValuesOnceAllBoxesExist() override { ++sendRequests; }

    ActionManager history, clipboard;
    bool shown = true;
    juce::StringArray busMessages;
    int createdBoxes = 0, sendRequests = 0;
};

// The DSP pages over a design that reads the sample "Modules.def" beside
// the tests: modules "StudioCore8" (0x21) and "StudioCoreLite" (0x22).
class DspPagesFixture : public ::testing::Test
{
protected:
    static constexpr uint32_t core8 = 0x21;
    static constexpr uint32_t coreLite = 0x22;

    DspPagesFixture()
    {
        clearDesignFlags();
        reader.open (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Modules.def"));
        EXPECT_GT (reader.parse(), 0);
        library().clearDsps();
        design.setLibrary (&library());
        container = std::make_unique<ProcessContainer> (design, host);
        container->setBounds (0, 0, 1400, 900);
    }

    ~DspPagesFixture() override
    {
        container.reset();
        clearDesignFlags();
    }

    ModuleLibrary& library() { return reader.getLibrary(); }

    // Change messages come later, as in the program.
    void deliver()
    {
        design.dispatchPendingMessages();

        for (int i = 0; i < design.getNumDsps(); ++i)
            design.getDsp (i)->getGraph().dispatchPendingMessages();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    // A DSP running a module (0: none), as the bus editor adds one.
    DspEditor& addDsp (uint32_t id, uint32_t moduleId)
    {
        EXPECT_NE (design.addDsp (id, moduleId), nullptr);
        design.getBusGraph().restoreNode (id, id, "DSP", false, nullptr, 0.2, 0.2);
        deliver();
        auto* page = container->findDspById (id);
        EXPECT_NE (page, nullptr);
        return *page;
    }

    ProcessEditor& editor (uint32_t id) { return container->findDspById (id)->getProcessEditor(); }
    GraphData& graph (uint32_t id) { return design.findDsp (id)->getGraph(); }

    int processIndex (uint32_t moduleId, const std::string& name)
    {
        auto* module = library().findModuleById (moduleId);

        for (int i = 0; i < module->getProcessCount(); ++i)
            if (module->getProcess (i)->name == name)
                return i;

        ADD_FAILURE() << "no process " << name;
        return -1;
    }

    // Places a process of the DSP's module at a point of its editor and
    // returns its node id (0 when refused).
    uint32_t place (uint32_t dsp, const std::string& name, juce::Point<int> at = { 300, 300 })
    {
        auto& e = editor (dsp);
        const auto module = design.getDspEntry (dsp)->moduleId;

        if (! e.placeProcess (processIndex (module, name), at))
            return 0;

        auto* node = graph (dsp).getLastAddedNode();
        deliver();
        return node != nullptr ? graph (dsp).findNodeByNrpn (node->nrpn)->getId() : 0;
    }

    void connect (uint32_t dsp, uint32_t from, uint32_t fromPin, uint32_t to, uint32_t toPin)
    {
        editor (dsp).makeConnection ({ from, fromPin, to, toPin }, false);
        deliver();
    }

    // The project file's text of the design as it stands.
    juce::String saveText() { return ProjectFile::createXml (design, {})->toString(); }

    // The design saved and opened again as the project page opens a file
    // (the pages and their boxes made anew); the text saved.
    juce::String saveAndReopen()
    {
        const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("Reopened.zqp");
        auto& settings = design.getSettings();
        settings.setProjectFolder (file.getParentDirectory().getFullPathName());
        settings.setProjectFile (file.getFullPathName());
        settings.setOutputDirectory (file.getParentDirectory().getFullPathName());

        const auto saved = saveText();
        auto loaded = ProjectFile::parse (saved, library());
        EXPECT_NE (loaded.content, nullptr) << loaded.result.getErrorMessage();

        design.getBusGraph().clear();
        library().clearAllProcessInstances();
        design.clearDsps();
        deliver();

        if (loaded.content != nullptr)
            ProjectFile::install (*loaded.content, file, design);

        deliver();
        return saved;
    }

    std::vector<juce::String> names (uint32_t dsp)
    {
        std::vector<juce::String> result;

        for (int i = 0; i < graph (dsp).getNumNodes(); ++i)
            result.push_back (graph (dsp).getNode (i)->getName());

        return result;
    }

    ModulesDefReader reader;
    ScriptedDialogs dialogs;
    Design design;
    RecordingHost host;
    std::unique_ptr<ProcessContainer> container;
};
} // namespace vxtest
