#include "generator/MainBusFile.h"

#include "generator/SourceFiles.h"
#include "generator/SourceWriter.h"
#include "generator/templates/MainProgramTemplates.h"
#include "model/BusConnectionRules.h"
#include "model/DesignLog.h"
#include "model/GraphData.h"

#include <map>

namespace
{
constexpr const char* defaultMemoryBaseBlock = "//[!USER CODE]\n"
                                               "#define\tMEMADDR_EXTRAM_START 0x40000000\n"
                                               "#define\tMEMADDR_INT24RAM_START 0x08E00000\n"
                                               "#define\tMEMADDR_INT16RAM_START 0x08E10000\n"
                                               "//[USER CODE!]\n";

bool isDspNumber (uint32_t number) noexcept
{
    return number >= 1 && number <= (uint32_t) MainBusFile::maxDsps;
}

bool isChannel (uint32_t channel) noexcept
{
    return channel < (uint32_t) MainBusFile::channelsPerDsp;
}

juce::String describeEnd (const char* what, uint32_t dsp, uint32_t channel)
{
    return "DSP#" + juce::String (dsp) + " " + what + " " + juce::String (channel);
}

// What a cell holds: its chip pin, or the DSP output wired to it.
juce::String describeCell (uint32_t cell, const juce::String& label)
{
    return (cell & MainBusFile::labelledCellBit) != 0 ? label : describeEnd ("output", ((cell >> 4) & 0xF) + 1, cell & 0xF);
}
} // namespace

MainBusFile::MainBusFile()
{
    getDefaultMemoryMapUserCode();
}

MainBusFile::~MainBusFile() = default;

const juce::String& MainBusFile::getDefaultMemoryMapUserCode()
{
    userCode = defaultMemoryBaseBlock;
    return userCode;
}

//==============================================================================
void MainBusFile::setBusGraph (const GraphData* graph)
{
    busGraph = graph;
    clearLinks();
}

void MainBusFile::clearLinks() noexcept
{
    linkedDsps = 0;
}

bool MainBusFile::linkDsp (uint32_t dspNumber)
{
    if (! isDspNumber (dspNumber) || busGraph == nullptr || busGraph->findNodeById (dspNumber) == nullptr)
        return false;

    linkedDsps |= 1u << (dspNumber - 1);
    return true;
}

void MainBusFile::unlinkDsp (uint32_t dspNumber) noexcept
{
    if (isDspNumber (dspNumber))
        linkedDsps &= ~(1u << (dspNumber - 1));
}

bool MainBusFile::isLinked (uint32_t dspNumber) const noexcept
{
    return isDspNumber (dspNumber) && (linkedDsps & (1u << (dspNumber - 1))) != 0;
}

std::vector<uint32_t> MainBusFile::getGeneratedDsps() const
{
    std::vector<uint32_t> dsps;

    if (busGraph != nullptr)
        for (int i = 0; i < busGraph->getNumNodes(); ++i)
            if (isLinked (busGraph->getNodeId (i)))
                dsps.push_back (busGraph->getNodeId (i));

    return dsps;
}

uint32_t MainBusFile::getHighestDspNumber() const
{
    uint32_t highest = 0;

    if (busGraph != nullptr)
        for (int i = 0; i < busGraph->getNumNodes(); ++i)
            if (isDspNumber (busGraph->getNodeId (i)))
                highest = juce::jmax (highest, busGraph->getNodeId (i));

    return highest;
}

uint32_t MainBusFile::getDspChannelMask() const
{
    uint32_t mask = 0;

    if (busGraph != nullptr)
        for (int i = 0; i < busGraph->getNumNodes(); ++i)
            if (isDspNumber (busGraph->getNodeId (i)))
                mask |= 1u << (busGraph->getNodeId (i) - 1);

    return mask;
}

//==============================================================================
// Bus lists

void MainBusFile::freeBusArrays() noexcept
{
    for (auto& record : inputRecords)
        record.reset();

    for (auto& record : outputRecords)
        record.reset();
}

MainBusFile::BusRecord* MainBusFile::findBus (uint32_t dspNumber, bool input)
{
    if (! isDspNumber (dspNumber))
        return nullptr;

    auto& record = (input ? inputRecords : outputRecords)[dspNumber - 1];

    if (record == nullptr)
    {
        record = std::make_unique<BusRecord>();
        record->dspNumber = dspNumber;
    }

    return record.get();
}

bool MainBusFile::isChipPinName (const juce::String& name)
{
    return BusConnectionRules::isChipPinNameFor (name, true) || BusConnectionRules::isChipPinNameFor (name, false);
}

void MainBusFile::collectBusLists()
{
    freeBusArrays();

    if (busGraph == nullptr)
        return;

    for (int i = 0; i < busGraph->getNumConnections(); ++i)
    {
        const auto& c = *busGraph->getConnection (i);
        const auto what = "Bus connection from " + describeEnd ("output", c.sourceNode, c.sourcePin) + " to " +
                          describeEnd ("input", c.destNode, c.destPin);

        if (! isDspNumber (c.sourceNode) || ! isDspNumber (c.destNode))
            logError (what + " left out: DSP numbers run from 1 to 16\n", -1);
        else if (! isChannel (c.sourcePin) || ! isChannel (c.destPin))
            logError (what + " left out: channels run from 0 to 7\n", -1);
        else if (! isLinked (c.sourceNode))
            // The DSP is never started: its output bus would be read from an
            // entry of dsp[] that nothing fills.
            logError (what + " left out: no source was generated for DSP#" + juce::String (c.sourceNode) + "\n", -1);
        else if (auto& cell = findBus (c.destNode, true)->cells[c.destPin]; cell != 0)
            // A second wire would silently replace the first in the table.
            logError (what + " left out: " + describeEnd ("input", c.destNode, c.destPin) + " is already fed by " +
                          describeCell (cell, {}) + "\n",
                      -1);
        else
            cell = otherDspOutputBit | ((c.sourceNode - 1) << 4) | c.sourcePin;
    }

    // A chip output or internal bus is driven by one DSP output; a file
    // edited by hand may name it on two, which the chip cannot do.
    std::map<juce::String, juce::String> drivenBy;

    for (int i = 0; i < busGraph->getNumBusPins(); ++i)
    {
        const auto& pin = *busGraph->getBusPin (i);
        const bool input = pin.direction != 0;
        const auto what =
            "Chip pin \"" + pin.name + "\" on " + describeEnd (input ? "input" : "output", pin.nodeId, pin.pinIndex);

        if (! isDspNumber (pin.nodeId) || ! isChannel (pin.pinIndex))
            logError (what + " left out: no such DSP pin\n", -1);
        else if (! BusConnectionRules::isChipPinNameFor (pin.name, input))
            // A file edited by hand may put an output's name on an input.
            logError (what + " left out: " +
                          (! isChipPinName (pin.name) ? "no such chip pin"
                           : input                    ? "a chip output cannot feed a DSP input"
                                                      : "a DSP output cannot drive a chip input") +
                          "\n",
                      -1);
        else if (auto* record = findBus (pin.nodeId, input); record->cells[pin.pinIndex] != 0)
            logError (what + " left out: " + describeEnd (input ? "input" : "output", pin.nodeId, pin.pinIndex) +
                          (input ? " is already fed by " : " already feeds ") +
                          describeCell (record->cells[pin.pinIndex], record->labels[pin.pinIndex]) + "\n",
                      -1);
        else if (! input && drivenBy.count (pin.name) != 0)
            logError (what + " left out: " + pin.name + " is already fed by " + drivenBy[pin.name] + "\n", -1);
        else
        {
            if (! input)
                drivenBy[pin.name] = describeEnd ("output", pin.nodeId, pin.pinIndex);

            record->cells[pin.pinIndex] |= labelledCellBit;
            record->labels[pin.pinIndex] = pin.name;
        }
    }
}

juce::String MainBusFile::writeCell (const BusRecord* record, int channel, bool input) const
{
    const auto cell = record != nullptr ? record->cells[(size_t) channel] : 0u;

    if ((cell & labelledCellBit) != 0)
    {
        const auto& label = record->labels[(size_t) channel];
        return label.contains ("IBUS") ? label + (input ? "IN" : "OUT") : label;
    }

    if (! input && (cell & 0xFFFF) == 0)
        return "-1";

    return juce::String (cell & 0xFFFF);
}

juce::String MainBusFile::writeBusRow (const std::vector<uint32_t>& generatedDsps, bool input)
{
    juce::StringArray rows;

    for (auto dsp : generatedDsps)
    {
        const auto& records = input ? inputRecords : outputRecords;
        const auto* record = isDspNumber (dsp) ? records[dsp - 1].get() : nullptr;
        juce::StringArray cells;

        for (int channel = 0; channel < channelsPerDsp; ++channel)
            cells.add (writeCell (record, channel, input));

        rows.add ("{" + cells.joinIntoString (",") + "}");
    }

    SourceWriter writer;
    writer.openBlock (0, true);
    writer.write (rows.joinIntoString (",\n"));
    writer.closeBlock (0, true, true, true);
    return writer.getText();
}

//==============================================================================
// "mainbus.c"

juce::String MainBusFile::makeInitAndRouteSource()
{
    collectBusLists();

    const auto dsps = getGeneratedDsps();
    const juce::String n ((int) dsps.size());
    juce::String text (MainProgramTemplates::mainBusHead);

    if (dsps.empty())
    {
        // Tables of no rows are no C: a design without DSP sources starts nothing.
        text << MainProgramTemplates::mainBusGetBus << "\t// No DSP of the design has processes: nothing to start.\n}\n";
        return text;
    }

    text << "const WORD dspRouting_In[" << n << "][8] = " << writeBusRow (dsps, true) << "\nconst WORD dspRouting_Out[" << n
         << "][8] = " << writeBusRow (dsps, false) << MainProgramTemplates::mainBusGetBus << "\tWORD rout[8], i, j;\n";

    juce::StringArray indexes;

    for (auto dsp : dsps)
        indexes.add (juce::String (dsp - 1));

    if (dsps.size() == 1)
        text << "\tWORD dspIndex = " << indexes[0] << ";\n";
    else
        text << "\tWORD dspIndex[" << n << "] = { " << indexes.joinIntoString (",") << " };\n";

    for (auto dsp : dsps)
        text << "\tdsp[" << juce::String (dsp - 1) << "] = dsp" << juce::String (dsp) << "InitAndRoute();\n";

    text << "\n\t// Start DSP\n\tfor (i = 0; i<" << n
         << juce::String (MainProgramTemplates::mainBusStartLoop)
                .replace ("${DSP}", dsps.size() == 1 ? "dsp[dspIndex]" : "dsp[dspIndex[i]]");

    freeBusArrays();
    return text;
}

bool MainBusFile::writeInitAndRouteSource (const juce::File& file)
{
    return writeTextToFile (makeInitAndRouteSource(), file, false);
}

//==============================================================================
// "main.c"

juce::String MainBusFile::writeClockBlock (const FirmwareFeatures& features, int samplingRateHz)
{
    if (features.spdif)
        return "\t_Sys_ClockInit( " + juce::String (samplingRateHz) + " / 4, _SYS_OSCSWITCH(changeSytemSamplingRate) );\n" + "\n";

    if (samplingRateHz >= 88200 && samplingRateHz <= 96000)
        return "\t_Sys_SwitchPll7xxx( 0xD10C, 0 ); // 88.2kHz - 96kHz clock format selection.\n";

    if (samplingRateHz >= 176400 && samplingRateHz <= 192000)
        return "\t_Sys_SwitchPll7xxx( 0xC914, 0 ); // 176.4kHz - 192kHz clock format selection.\n";

    return "\n";
}

juce::String MainBusFile::makeMainSource (const FirmwareFeatures& features, int samplingRateHz, bool nrpnVariant) const
{
    // The control entry points are the variant's, so that the program links
    // with the control source written beside it.
    juce::String text (
        juce::String (MainProgramTemplates::mainBanner).replace ("${CONTROL_HEADER}", getControlHeaderName (nrpnVariant)));

    if (features.fbc)
        text << "#include \"fbcHandler.h\"\n";

    if (features.spdif)
        text << "#include <libKTL7000.h>\n";

    text << MainProgramTemplates::mainTransport;

    if (features.spdif)
        text << MainProgramTemplates::mainSpdif;

    text << juce::String (MainProgramTemplates::mainHead)
                .replace ("${INIT_CONTROL}", nrpnVariant ? "quellion_InitNrpnFunction" : "quellion_InitCommandFunction")
         << writeClockBlock (features, samplingRateHz) << MainProgramTemplates::mainTransportInit;

    if (features.fbc)
        text << "\tFBCStatus_Init();\n";

    text << "\n\twhile (1) \n\t{\n\n";

    if (features.fbc)
        text << "\t\tFBC_BaseLevels();\n";

    return text + MainProgramTemplates::mainLoopTail;
}

bool MainBusFile::writeMainSource (const FirmwareFeatures& features, int samplingRateHz, bool nrpnVariant,
                                   const juce::File& file) const
{
    return writeTextToFile (makeMainSource (features, samplingRateHz, nrpnVariant), file, false);
}

//==============================================================================
// Feedback canceller

juce::String MainBusFile::writeFbcStatusNames (const juce::Array<int>& fbcDsps) const
{
    // A record is named after its DSP's index, so that a name stays with its
    // DSP whatever other DSPs gain or lose a canceller.
    juce::StringArray names;

    for (auto index : fbcDsps)
        names.add ("fbcStatus" + juce::String (index));

    return names.joinIntoString (", ");
}

juce::String MainBusFile::makeFbcHandlerSource (const juce::Array<int>& fbcDsps) const
{
    juce::String text (MainProgramTemplates::fbcSourceHead);
    text << "FBCStatus " << writeFbcStatusNames (fbcDsps) << ";\n" << MainProgramTemplates::fbcRoutines;

    juce::StringArray initLines, baseLevelLines;

    for (auto index : fbcDsps)
    {
        const juce::String k (index);
        initLines.add ("\tFBC_InitStatus( &fbcStatus" + k + ", dsp[" + k + "], 0, 0 );");
        baseLevelLines.add ("\tFBC_BaseLevel( &fbcStatus" + k + " );");
    }

    text << "void FBCStatus_Init( void )\n{\n"
         << initLines.joinIntoString ("\n") << "\n}\n\n"
         << "void FBC_BaseLevels( void )\n{\n"
         << baseLevelLines.joinIntoString ("\n") << "\n}\n";
    return text;
}

juce::String MainBusFile::makeFbcHandlerHeader (const juce::Array<int>& fbcDsps) const
{
    return makeGuardedHeader ("fbcHandler.h",
                              MainProgramTemplates::fbcHeader + ("extern FBCStatus " + writeFbcStatusNames (fbcDsps) + ";\n"));
}

juce::String MainBusFile::makeNoFbcHandlerSource()
{
    return MainProgramTemplates::noFbcSource;
}

juce::String MainBusFile::makeNoFbcHandlerHeader()
{
    return makeGuardedHeader ("fbcHandler.h", MainProgramTemplates::noFbcHeader);
}

bool MainBusFile::writeFbcHandlerSource (const juce::Array<int>& fbcDsps, const juce::File& sourceFile,
                                         const juce::File& headerFile) const
{
    const bool sourceWritten = writeTextToFile (makeFbcHandlerSource (fbcDsps), sourceFile, false);
    return writeTextToFile (makeFbcHandlerHeader (fbcDsps), headerFile, false) && sourceWritten;
}

//==============================================================================
// Control sources

juce::String MainBusFile::getControlSourceName (bool nrpnVariant)
{
    return nrpnVariant ? "midictrl.c" : "commandctrl.c";
}

juce::String MainBusFile::getControlHeaderName (bool nrpnVariant)
{
    return nrpnVariant ? "midictrl.h" : "commandctrl.h";
}

juce::String MainBusFile::getControlHeaderText (bool nrpnVariant)
{
    return juce::String (nrpnVariant ? MainProgramTemplates::nrpnControlHeader : MainProgramTemplates::commandControlHeader) +
           MainProgramTemplates::midiInputHeader;
}

juce::String MainBusFile::getWrappersText()
{
    return MainProgramTemplates::wrappers;
}

juce::String MainBusFile::writeHandlerTables (const juce::StringArray& handlerNames, bool nrpnVariant) const
{
    const juce::String table (nrpnVariant ? "nrpnFunctionPtrTable" : "commandFunctionPtrTable");
    juce::String text ("#include <system.h>\n#include \"quellion.h\"\n");

    // The command variant takes the same MIDI input as the NRPN variant, which
    // its header declares.
    text << "#include \"" << getControlHeaderName (nrpnVariant) << "\"\n";

    text << MainProgramTemplates::controlSendDeclaration << "\nPTR32 " << table << "[NBDSPINITIALIZED];\n"
         << "\nvoid " << (nrpnVariant ? "quellion_InitNrpnFunction" : "quellion_InitCommandFunction") << "( void )\n{\n";

    // A DSP whose handler was not written has no entry: its table slot stays 0,
    // which the dispatch passes over.
    for (auto dsp : getGeneratedDsps())
        if (handlerNames[(int) dsp - 1].isNotEmpty())
            text << "\t" << table << "[" << juce::String (dsp - 1) << "] = _cptr32( " << handlerNames[(int) dsp - 1] << " );\n";

    return text + "}\n";
}

juce::String MainBusFile::makeMidiControlSource (const juce::StringArray& handlerNames, bool nrpnVariant) const
{
    auto text = writeHandlerTables (handlerNames, nrpnVariant);

    if (nrpnVariant)
    {
        const auto freeChannels = "0x" + juce::String::toHexString ((int) (~getDspChannelMask() & 0xFFFF)).paddedLeft ('0', 4);
        text << juce::String (MainProgramTemplates::nrpnControlHead).replace ("${FREE_CHANNELS}", freeChannels)
             << MainProgramTemplates::nrpnControlRest;
    }
    else
    {
        text << MainProgramTemplates::commandControlPart;
    }

    return text + MainProgramTemplates::midiInputPart + MainProgramTemplates::dichotomicSearchFunction +
           MainProgramTemplates::sendSysExFunction;
}

bool MainBusFile::writeMidiControlSource (const juce::StringArray& handlerNames, const juce::File& file, bool nrpnVariant) const
{
    return writeTextToFile (makeMidiControlSource (handlerNames, nrpnVariant), file, false);
}
