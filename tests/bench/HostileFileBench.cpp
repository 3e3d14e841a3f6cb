// How long the readers (and the generation of preset sources) take over
// files made to hurt them, of N and 4N kilobytes and of 10 MB: the time must
// grow about as the file does, and a 10 MB file is refused or read in well
// under a second. A file that is refused counts "refused" 1.

#include "generator/PresetSourceGenerator.h"
#include "generator/PresetTableList.h"
#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/ModulesDefReader.h"
#include "model/PresetDocument.h"
#include "model/ProjectFile.h"
#include "model/XmlFileAccess.h"

#include "model/ProjectTestDesigns.h"
#include "modulesdef/ModulesDefBuilder.h"

#include <benchmark/benchmark.h>

namespace
{
// Repeats the piece until the text holds about that many kilobytes.
juce::String fill (const juce::String& before, const std::function<juce::String (int)>& piece, const juce::String& after,
                   int64_t kilobytes)
{
    juce::MemoryOutputStream text;
    text << before;

    for (int i = 0; (int64_t) text.getDataSize() < kilobytes * 1024; ++i)
        text << piece (i);

    text << after;
    return text.toUTF8();
}

juce::String project (const juce::String& inside)
{
    return "<OSTRANE_QUELLION_Configuration Version=\"1.01\">" + inside + "</OSTRANE_QUELLION_Configuration>";
}

// Opens the text as the program opens a project file, logging what it reports.
void openProject (benchmark::State& state, const juce::String& text)
{
    projecttest::LibraryAndDesign opened;
    bool refused = false;

    for (auto _ : state)
    {
        clearLog();
        auto loaded = ProjectFile::parse (text, opened.getLibrary());
        refused = loaded.content == nullptr;

        if (! refused)
            ProjectFile::install (*loaded.content, juce::File ("/tmp/hostile.zqp"), opened.design);

        benchmark::DoNotOptimize (getLogText().length());
    }

    state.counters["refused"] = refused ? 1 : 0;
    state.counters["MB"] = (double) text.getNumBytesAsUTF8() / (1024.0 * 1024.0);
    clearLog();
}

void readPresets (benchmark::State& state, const juce::String& text)
{
    const juce::File file = juce::File::createTempFile (".presets");
    file.replaceWithText (text);
    bool refused = false;

    for (auto _ : state)
    {
        ProjectPresetStores stores;
        GlobalPresetList globals;
        PresetDocument document;
        document.setUsePresetList();
        document.setPresetStores (&stores);
        document.setGlobalPresets (&globals);
        document.setMessageHandler ([] (const juce::String&, const juce::String&, const juce::String&) {});
        refused = document.readPresetsFile (file).failed();
        benchmark::DoNotOptimize (stores.getClassCount());
    }

    state.counters["refused"] = refused ? 1 : 0;
    state.counters["MB"] = (double) file.getSize() / (1024.0 * 1024.0);
    file.deleteFile();
}

// Elements in elements: the parser recursed once per level.
void deepNesting (benchmark::State& state)
{
    const auto kilobytes = state.range (0);
    openProject (state, project (fill (
                            {}, [] (int) { return juce::String ("<DSPs>"); }, {}, kilobytes)));
}

// A new attribute name in every attribute: the parser kept them in one
// sorted list.
void distinctAttributeNames (benchmark::State& state)
{
    openProject (state, project (fill (
                            "<DSPs ", [] (int i) { return "a" + juce::String (i) + "=\"\" "; }, "/>", state.range (0))));
}

// "&" without ";": the parser searched the rest of the text at each.
void ampersands (benchmark::State& state)
{
    openProject (state, project (fill (
                            "<DSPs>", [] (int) { return juce::String ("& "); }, "</DSPs>", state.range (0))));
}

// Text after an instruction, on which the parser never returned.
void textAfterInstructions (benchmark::State& state)
{
    openProject (state, project (fill (
                            "<DSPs>", [] (int) { return juce::String ("<?x?>y"); }, "</DSPs>", state.range (0))));
}

// One attribute value of references: the parser appended each to the value
// so far, copying it.
void referencesInAValue (benchmark::State& state)
{
    openProject (state, fill (
                            "<OSTRANE_QUELLION_Configuration Version=\"1.01\" Name=\"",
                            [] (int) { return juce::String ("&amp;"); }, "\"/>", state.range (0)));
}

// Names of characters beyond ASCII, which the writer writes as references,
// in many values: read as the file grows.
void referencesInManyValues (benchmark::State& state)
{
    const auto name = juce::String::repeatedString ("&#1046;", 40);
    openProject (state, project (fill (
                            {}, [&name] (int) { return "<Note Text=\"" + name + "\"/>"; }, {}, state.range (0))));
}

// Many tiny elements: the check made some 28 texts for each.
void tinyElements (benchmark::State& state)
{
    openProject (state, project (fill (
                            {}, [] (int) { return juce::String ("<x/>"); }, {}, state.range (0))));
}

// The same in a preset file, read whole at each open, and by the node box's
// preset menu at each right click.
juce::String tinyPresetElements (int64_t kilobytes)
{
    return fill (
        "<PRESETS Version=\"1.01\"><Class name=\"C\"><CountGroup count=\"1\">", [] (int) { return juce::String ("<x/>"); },
        "</CountGroup></Class></PRESETS>", kilobytes);
}

void tinyPresetElementsRead (benchmark::State& state)
{
    readPresets (state, tinyPresetElements (state.range (0)));
}

void tinyPresetElementsInTheMenu (benchmark::State& state)
{
    const juce::File file = juce::File::createTempFile (".presets");
    file.replaceWithText (tinyPresetElements (state.range (0)));
    bool refused = false;

    for (auto _ : state)
    {
        ProcessPresetStore store;
        PresetDocument document;
        document.setMessageHandler ([] (const juce::String&, const juce::String&, const juce::String&) {});
        refused = document.loadProcessPresetsFromFile (file, "C", 1, store).failed();
        benchmark::DoNotOptimize (store.getPresetCount());
    }

    state.counters["refused"] = refused ? 1 : 0;
    state.counters["MB"] = (double) file.getSize() / (1024.0 * 1024.0);
    file.deleteFile();
}

// Connections that name no node, each a problem in the log.
void invalidConnections (benchmark::State& state)
{
    const auto connection = [] (int i) {
        return "<DSPConnection SrcNodeId=\"" + juce::String (100 + i) +
               "\" SrcChnIndex=\"0\" DstNodeId=\"1\" DstChnIndex=\"0\"/>";
    };

    openProject (state, project (fill ("<DSPs><DSP Index=\"1\" ModuleId=\"33\"/></DSPs><DSPConnections>", connection,
                                       "</DSPConnections>", state.range (0))));
}

// A "Commands" of many attributes on a process of many commands, none of
// them among the attributes: each command was searched for through all.
void commandAttributes (benchmark::State& state)
{
    modulesdef::FunctionDescription command;
    command.parameterCount = 1;
    command.words = { 4, 1, 0 };
    modulesdef::ProcessDescription process;
    process.name = "Matrix";
    process.id = 0x0205;

    for (int i = 0; i < 64; ++i)
    {
        command.name = "Matrix_SetPoint" + std::to_string (i);
        process.controlFunctions.push_back (command);
    }

    modulesdef::LibraryDescription library;
    library.modules.resize (1);
    library.modules[0].id = 0x0021;
    library.modules[0].processes = { process };
    const auto bytes = modulesdef::ModulesDefBuilder::build (library);
    ModulesDefReader reader;
    reader.open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), false));

    if (reader.parse() < 0)
        return state.SkipWithError ("the library was not read");

    const auto text = project (fill (
        "<DSPs><DSP Index=\"1\" ModuleId=\"33\"><Processes><Process ProcessId=\"517\">"
        "<CommandList><Commands ",
        [] (int i) { return "C_" + juce::String (i % 2) + "=\"1\" "; }, "/></CommandList></Process></Processes></DSP></DSPs>",
        state.range (0)));

    for (auto _ : state)
        benchmark::DoNotOptimize (ProjectFile::parse (text, reader.getLibrary()).content.get());

    state.counters["MB"] = (double) text.getNumBytesAsUTF8() / (1024.0 * 1024.0);
}

// DSPs the design cannot hold, each a problem in the log.
void dspsLeftOut (benchmark::State& state)
{
    openProject (state, project (fill (
                            "<DSPs>", [] (int i) { return "<DSP Index=\"" + juce::String (17 + i) + "\"/>"; }, "</DSPs>",
                            state.range (0))));
}

// Process presets of many classes and count groups.
void presetClasses (benchmark::State& state)
{
    const auto group = [] (int i)
    {
        return "<Class name=\"C" + juce::String (i) + "\"><CountGroup count=\"1\" TableId=\"" + juce::String (i) +
               "\"><Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
               "<Controls fixedName1=\"A\" fixedNrpn1=\"1\"/><Lists><List name=\"P\" fixedValue1=\"1\"/></Lists>"
               "</Preset></CountGroup></Class>";
    };

    readPresets (state, fill ("<PRESETS Version=\"1.01\" NumberOfTableId=\"1\"><PresetList>", group, "</PresetList></PRESETS>",
                              state.range (0)));
}

// A preset of many values none of the controls names: each control was
// looked for through them all.
void presetValues (benchmark::State& state)
{
    juce::String controls;

    for (int i = 1; i <= 255; ++i)
        controls << "fixedName" << i << "=\"Control " << i << "\" fixedNrpn" << i << "=\"" << i << "\" ";

    readPresets (state, fill (
                            "<PRESETS Version=\"1.01\" NumberOfTableId=\"1\"><PresetList><Class name=\"C\">"
                            "<CountGroup count=\"1\" TableId=\"0\"><Preset><Count NumberOfPresets=\"1\" "
                            "NumberOfControls=\"255\" NumberOfFixedControls=\"255\"/><Controls " +
                                controls + "/><Lists><List name=\"P\" ",
                            [] (int i) { return "x" + juce::String (i % 2) + "=\"1\" "; },
                            "/></Lists></Preset></CountGroup></Class></PresetList></PRESETS>", state.range (0)));
}

// Presets without values in a file the generator turns into tables: each
// value of each preset was looked for through the whole list, and each
// missing one through the list of those missing before.
void presetTables (benchmark::State& state)
{
    juce::String controls;

    for (int i = 1; i <= 255; ++i)
        controls << "fixedName" << i << "=\"C" << i << "\" fixedNrpn" << i << "=\"" << i << "\" ";

    const auto text = fill (
        "<PRESETS Version=\"1.01\"><Class name=\"C\"><CountGroup count=\"1\"><Preset><Controls " + controls + "/><Lists>",
        [] (int) { return juce::String ("<List name=\"P\"/>"); }, "</Lists></Preset></CountGroup></Class></PRESETS>",
        state.range (0));
    const auto root = XmlFileAccess::parse (text, "PRESETS").root;

    if (root == nullptr)
        return state.SkipWithError ("the file was refused");

    for (auto _ : state)
    {
        clearLog();
        benchmark::DoNotOptimize (PresetTableList::read (*root, false).size());
    }

    clearLog();
    state.counters["MB"] = (double) text.getNumBytesAsUTF8() / (1024.0 * 1024.0);
}

// Generates the process or the global preset sources of the design from the
// file, which is removed afterwards.
void generatePresetSources (benchmark::State& state, Design& design, const juce::File& file, bool global)
{
    size_t bytes = 0;

    for (auto _ : state)
    {
        clearLog();
        PresetSourceGenerator generator (design);
        const auto files =
            global ? generator.makeGlobalPresetFiles (file, false) : generator.makeProcessPresetFiles (file, false);
        bytes = files.has_value() ? (size_t) files->source.getNumBytesAsUTF8() : 0;
    }

    clearLog();
    state.counters["MB"] = (double) file.getSize() / (1024.0 * 1024.0);
    state.counters["sourceMB"] = (double) bytes / (1024.0 * 1024.0);
    file.deleteFile();
}

// A preset file of one class of 255 controls whose lists hold some of their
// values, turned into "presets.c": each list was a row of 255 values.
void presetSources (benchmark::State& state, const juce::String& list)
{
    juce::String controls;

    for (int i = 1; i <= 255; ++i)
        controls << "fixedName" << i << "=\"C" << i << "\" fixedNrpn" << i << "=\"" << i << "\" ";

    const juce::File file = juce::File::createTempFile (".presets");
    file.replaceWithText (fill (
        "<PRESETS Version=\"1.01\"><Class name=\"C\"><CountGroup count=\"1\"><Preset><Controls " + controls + "/><Lists>",
        [&list] (int) { return list; }, "</Lists></Preset></CountGroup></Class></PRESETS>", state.range (0)));
    Design design;
    generatePresetSources (state, design, file, false);
}

void presetSourcesOfEmptyLists (benchmark::State& state)
{
    presetSources (state, "<List name=\"P\"/>");
}

void presetSourcesOfOneValueLists (benchmark::State& state)
{
    presetSources (state, "<List name=\"P\" fixedValue7=\"1\"/>");
}

// A global preset file whose first global preset names a preset of every
// process of 16 DSPs and whose others name one preset of a table that is
// not there, turned into "GlobalPresets.c": every row was as wide as the
// first, and every key that names nothing a line of the log.
void globalPresetSources (benchmark::State& state)
{
    juce::String widest ("<List name=\"First\">");

    for (int dsp = 1; dsp <= 16; ++dsp)
    {
        widest << "<DSPDefinition dspId=\"" << dsp << "\" numberOfProcess=\"63\"";

        for (int k = 1; k <= 63; ++k)
            widest << " processPreset" << k << "=\"" << k << "\"";

        widest << "/>";
    }

    widest << "</List>";
    const juce::File file = juce::File::createTempFile ("_global.presets");
    file.replaceWithText (fill (
        "<PRESETS Version=\"1.01\" NumberOfTableId=\"1\"><PresetList><Class name=\"C\">"
        "<CountGroup count=\"1\" TableId=\"0\"><Preset><Controls fixedName1=\"A\" fixedNrpn1=\"1\"/>"
        "<Lists><List name=\"P\" fixedValue1=\"1\"/></Lists></Preset></CountGroup></Class></PresetList>"
        "<GLOBAL_PRESETS>" +
            widest,
        [] (int i)
        {
            return "<List name=\"G" + juce::String (i) +
                   "\"><DSPDefinition dspId=\"1\" numberOfProcess=\"1\" processPreset1=\"1048577\"/></List>";
        },
        "</GLOBAL_PRESETS></PRESETS>", state.range (0)));

    Design design;
    PresetDocument document;
    document.setUsePresetList();
    document.setPresetStores (&design.getPresetStores());
    document.setGlobalPresets (&design.getGlobalPresets());

    if (document.readPresetsFile (file).failed())
        return state.SkipWithError ("the file was refused");

    generatePresetSources (state, design, file, true);
}

// Global presets of many tables and keys.
void globalPresetKeys (benchmark::State& state)
{
    const auto list = [] (int i)
    {
        return "<List name=\"G" + juce::String (i) +
               "\" NumberOfDsp=\"1\"><DSPDefinition dspId=\"1\" numberOfProcess=\"2\" processPreset1=\"1\" "
               "processPreset2=\"2\"/></List>";
    };

    readPresets (state, fill ("<PRESETS Version=\"1.01\"><GLOBAL_PRESETS NumberOfGlobalPreset=\"1\">", list,
                              "</GLOBAL_PRESETS></PRESETS>", state.range (0)));
}

// A "Modules.def" whose every function has 255 parameters behind one
// dictionary entry, itself forty escapes to itself and 255 items: each
// function was walked parameter by parameter down the entry's nesting.
void modulesDefSharedEntry (benchmark::State& state)
{
    modulesdef::LibraryDescription library;
    library.dictionary.assign (1, {});

    for (int i = 0; i < 40; ++i)
        library.dictionary[0].insert (library.dictionary[0].end(), { 0xFFFF, 0 });

    library.dictionary[0].resize (library.dictionary[0].size() + 3 * 255, 5);
    library.modules.resize (1);
    library.modules[0].processes.resize (1);

    modulesdef::FunctionDescription shared;
    shared.parameterCount = 255;
    shared.words = { 0xFFFF, 0 };
    // A record of 13 bytes.
    library.modules[0].processes[0].controlFunctions.assign ((size_t) state.range (0) * 1024 / 13, shared);
    const auto file = modulesdef::ModulesDefBuilder::build (library);

    for (auto _ : state)
    {
        ModulesDefReader reader;
        reader.open (std::make_unique<juce::MemoryInputStream> (file.data(), file.size(), false));

        if (reader.parse() < 0)
            state.SkipWithError ("the file was not read");
    }

    state.counters["KB"] = (double) file.size() / 1024.0;
}

// A "Modules.def" of near-markers with no frame: searched to its start.
void modulesDefWithoutFrame (benchmark::State& state)
{
    const juce::File file = juce::File::createTempFile (".def");
    file.replaceWithText (fill (
        {}, [] (int) { return juce::String ("ZOVOZ"); }, {}, state.range (0)));
    bool refused = false;

    for (auto _ : state)
    {
        ModulesDefReader reader;
        refused = ! reader.open (file) || reader.parse() < 0;
    }

    state.counters["refused"] = refused ? 1 : 0;
    state.counters["MB"] = (double) file.getSize() / (1024.0 * 1024.0);
    file.deleteFile();
}

// Lines appended to the log one by one, as a file's problems are: each
// append copied the whole log.
void logLines (benchmark::State& state)
{
    for (auto _ : state)
    {
        clearLog();

        for (int64_t i = 0; i < state.range (0); ++i)
            logError ("Project file, bus editor: the connection " + juce::String (i) + " names a node that is not there\n", -1);

        benchmark::DoNotOptimize (getLogText().length());
    }

    clearLog();
}
} // namespace

#define HOSTILE_SHAPE(shape) BENCHMARK (shape)->Unit (benchmark::kMillisecond)->Arg (256)->Arg (1024)->Arg (10240)

HOSTILE_SHAPE (deepNesting);
HOSTILE_SHAPE (distinctAttributeNames);
HOSTILE_SHAPE (ampersands);
HOSTILE_SHAPE (textAfterInstructions);
HOSTILE_SHAPE (referencesInAValue);
HOSTILE_SHAPE (referencesInManyValues);
HOSTILE_SHAPE (tinyElements);
HOSTILE_SHAPE (tinyPresetElementsRead);
HOSTILE_SHAPE (tinyPresetElementsInTheMenu);
HOSTILE_SHAPE (invalidConnections);
HOSTILE_SHAPE (dspsLeftOut);
HOSTILE_SHAPE (commandAttributes);
HOSTILE_SHAPE (presetClasses);
HOSTILE_SHAPE (presetValues);
HOSTILE_SHAPE (presetTables);
HOSTILE_SHAPE (globalPresetKeys);
HOSTILE_SHAPE (presetSourcesOfEmptyLists);
HOSTILE_SHAPE (presetSourcesOfOneValueLists);
HOSTILE_SHAPE (globalPresetSources);
HOSTILE_SHAPE (modulesDefWithoutFrame);
// The frame holds 128 KB at most.
BENCHMARK (modulesDefSharedEntry)->Unit (benchmark::kMillisecond)->Arg (30)->Arg (120);
BENCHMARK (logLines)->Unit (benchmark::kMillisecond)->Arg (34250)->Arg (137000);
BENCHMARK_MAIN();
