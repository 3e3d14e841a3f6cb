#pragma once

#include "generator/FirmwareFeatures.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class GraphData;

// The sources that tie the DSPs of a design together on the chip: the bus
// routing and start-up "mainbus.c", the main program "main.c", the feedback
// canceller pair "fbcHandler.c" / "fbcHandler.h" and the control dispatch
// "midictrl.c" (NRPN variant) or "commandctrl.c" (command variant), with
// the fixed texts the generation driver writes beside them (the control
// header and the assembly wrappers).
//
// It reads the bus graph, whose nodes are the DSPs, and the links the
// driver makes at the start of every generation: a linked DSP is one whose
// sources this generation writes. The project object keeps one for the
// program's life; nothing of one generation survives into the next.
class MainBusFile
{
public:
    static constexpr int maxDsps = 16;
    static constexpr int channelsPerDsp = 8;

    // An input cell fed by an output of another DSP: bit 15, that DSP's
    // index in bits 4 to 7 and its output in bits 0 to 3.
    static constexpr uint32_t otherDspOutputBit = 0x8000;
    // A cell at a chip pin: bit 31, with the pin's name beside the cell.
    static constexpr uint32_t labelledCellBit = 0x80000000;

    // The routing of one DSP's inputs or outputs.
    struct BusRecord
    {
        uint32_t dspNumber = 0;
        std::array<uint32_t, channelsPerDsp> cells{};
        std::array<juce::String, channelsPerDsp> labels;
    };

    MainBusFile();
    ~MainBusFile();

    MainBusFile (const MainBusFile&) = delete;
    MainBusFile& operator= (const MainBusFile&) = delete;

    // The default memory-base block of "MainAppConfig.h": sets the user-code
    // text to it and returns it.
    const juce::String& getDefaultMemoryMapUserCode();
    const juce::String& getUserCode() const noexcept { return userCode; }

    //==============================================================================
    // The bus graph and its linked DSPs

    // Not owned; every link goes with a new graph.
    void setBusGraph (const GraphData* graph);
    void clearLinks() noexcept;
    // False, with nothing linked, for a number outside 1 to 16 or a DSP that
    // is not a node of the bus graph.
    bool linkDsp (uint32_t dspNumber);
    void unlinkDsp (uint32_t dspNumber) noexcept;
    bool isLinked (uint32_t dspNumber) const noexcept;

    // The linked DSPs in bus-graph order.
    std::vector<uint32_t> getGeneratedDsps() const;

    // The highest DSP number of the bus graph (1 to 16), 0 without DSPs.
    uint32_t getHighestDspNumber() const;

    // Bit N - 1 for every DSP of the bus graph.
    uint32_t getDspChannelMask() const;

    //==============================================================================
    // The sources. Each composes its text and stores it whole; false when the
    // file could not be written.

    bool writeInitAndRouteSource (const juce::File& file);
    bool writeMainSource (const FirmwareFeatures& features, int samplingRateHz, bool nrpnVariant, const juce::File& file) const;
    bool writeFbcHandlerSource (const juce::Array<int>& fbcDsps, const juce::File& sourceFile,
                                const juce::File& headerFile) const;
    // The control source from the handler names, listed at index N - 1.
    bool writeMidiControlSource (const juce::StringArray& handlerNames, const juce::File& file, bool nrpnVariant) const;

    juce::String makeInitAndRouteSource();
    juce::String makeMainSource (const FirmwareFeatures& features, int samplingRateHz, bool nrpnVariant) const;
    juce::String makeFbcHandlerSource (const juce::Array<int>& fbcDsps) const;
    juce::String makeFbcHandlerHeader (const juce::Array<int>& fbcDsps) const;
    // The pair that replaces an earlier generation's when the design has no
    // feedback canceller any more: a kept "main.c" still builds and starts none.
    static juce::String makeNoFbcHandlerSource();
    static juce::String makeNoFbcHandlerHeader();
    juce::String makeMidiControlSource (const juce::StringArray& handlerNames, bool nrpnVariant) const;

    // The includes, the handler table and the function that fills it.
    juce::String writeHandlerTables (const juce::StringArray& handlerNames, bool nrpnVariant) const;

    // The control header's text between its guard lines.
    static juce::String getControlHeaderText (bool nrpnVariant);
    static juce::String getControlSourceName (bool nrpnVariant);
    static juce::String getControlHeaderName (bool nrpnVariant);

    // "quellionWrappers.s".
    static juce::String getWrappersText();

    // The clock lines of "main.c" for a rate.
    static juce::String writeClockBlock (const FirmwareFeatures& features, int samplingRateHz);

    //==============================================================================
    // Bus lists

    // Fills the records from the bus graph's connections and chip pins;
    // connections and pins that name no DSP or channel of the chip, pin
    // names that are no chip pin, and connections from a DSP that is not
    // generated, are logged and left out.
    void collectBusLists();

    // The DSP's input or output record, made on first use; none for a DSP
    // number outside 1 to 16.
    BusRecord* findBus (uint32_t dspNumber, bool input);

    // The rows of one routing table, one per generated DSP.
    juce::String writeBusRow (const std::vector<uint32_t>& generatedDsps, bool input);

    void freeBusArrays() noexcept;

    // "DAAD0L" to "DAAD7R", "DABD0L" to "DABD7R" and "IBUS0" to "IBUSF".
    static bool isChipPinName (const juce::String& name);

private:
    juce::String writeCell (const BusRecord* record, int channel, bool input) const;
    juce::String writeFbcStatusNames (const juce::Array<int>& fbcDsps) const;

    const GraphData* busGraph = nullptr;
    juce::String userCode;
    uint32_t linkedDsps = 0; // bit N - 1 for DSP N
    std::array<std::unique_ptr<BusRecord>, maxDsps> inputRecords, outputRecords;
};
