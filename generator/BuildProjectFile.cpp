#include "generator/BuildProjectFile.h"

#include "generator/ControlHandlerWriter.h"
#include "generator/MemoryMapWriter.h"
#include "generator/NrpnListRows.h"
#include "generator/SourceIdentifiers.h"
#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"
#include "generator/templates/DspSourceBlocks.h"
#include "model/DesignLog.h"
#include "model/GenerationContext.h"
#include "model/GraphData.h"
#include "model/MemoryParameters.h"
#include "model/ModuleLibrary.h"
#include "model/ParameterDescriptor.h"

namespace
{
using Slot = BuildProjectFile::GeneratedTexts::Slot;

// The process id of the pitch shifter that module 5 sets up by itself.
constexpr uint32_t pitchShifterModuleId = 5;
constexpr uint32_t pitchShifterProcessId = 0x211;

// Stands where a call expects the process feeding a virtual pin and none
// does: the C stays parseable, and the firmware build stops at the name.
const char* const missingVirtualSource = "ROUTING_ERROR_NOT_CONNECTED";

juce::String orMissingVirtualSource (const juce::String& feeding)
{
    return feeding.isEmpty() ? juce::String (missingVirtualSource) : feeding;
}

bool isMarker (int value) noexcept
{
    return value == BuildProjectFile::notConnected || value == BuildProjectFile::conflictDetected;
}

bool isDspOutputValue (int value) noexcept
{
    return ! isMarker (value) && ((uint32_t) value & BuildProjectFile::dspOutputBit) != 0;
}

juce::String eightHexDigits (uint32_t value)
{
    return juce::String::toHexString (value).toUpperCase().paddedLeft ('0', 8);
}

juce::String getPinName (const GraphNode& node, int index)
{
    if (const auto* definition = node.getProcessDefinition())
        if (const auto* entry = definition->pins[index])
            return juce::String (entry->name);

    return node.getPin (index)->name;
}
} // namespace

void BuildProjectFile::GeneratedTexts::clearMemorySlots()
{
    for (auto slot : { wholeAddressSlot, errorSlot, highHalfSlot, lowHalfSlot, int24HighHalfSlot, int24LowHalfSlot,
                       int16HighHalfSlot, int16LowHalfSlot, spareErrorSlot14, spareErrorSlot15 })
        slots[(size_t) slot].clear();
}

BuildProjectFile::BuildProjectFile (GraphData& dspGraph, GenerationContext& generationContext)
    : graph (dspGraph), context (generationContext)
{
}

//==============================================================================
// Routing nodes

void BuildProjectFile::assignRoutingNodes (const ModuleLibrary& library, uint32_t dspId, ProcessOrder& order)
{
    RoutingNodeAttribution (graph, context).assignRoutingNodes (library, dspId, order);
}

bool BuildProjectFile::reportNodeConflict (uint32_t dspId, const ModuleDefinition* module)
{
    return RoutingNodeAttribution (graph, context).reportNodeConflict (dspId, module);
}

bool BuildProjectFile::assignRoutingNodesFrom (int connectionIndex, int& outValue) const
{
    return RoutingNodeAttribution (graph, context).assignRoutingNodesFrom (connectionIndex, outValue);
}

juce::String BuildProjectFile::writePcsList (const GraphNode& node, const ProcessOrder& order, uint32_t dspNumber) const
{
    return RoutingNodeAttribution (graph, context).writePcsList (node, order, dspNumber);
}

//==============================================================================
// Memory map

bool BuildProjectFile::writeMemoryMap (int pcsNumber, const ModuleLibrary& library, const LibraryFunctionDefinition& function,
                                       const std::vector<uint32_t>& maskEntries, const GraphNode* node, uint32_t dspId,
                                       GeneratedTexts& texts, juce::String& memoryText, bool dspInit, int functionIndex)
{
    MemoryMapWriter::Call call;
    call.function = &function;
    call.memoryNode = node;
    call.dspId = dspId;
    call.pcsNumber = pcsNumber;
    call.functionIndex = functionIndex;
    call.dspInit = dspInit;
    call.maskEntries = maskEntries;

    if (call.memoryNode == nullptr)
    {
        // A module function takes the memory choice of the DSP's first
        // static ("@SPS") process.
        const auto* module = library.getModuleOfDsp (dspId);

        if (module != nullptr)
        {
            call.memoryNode = MemoryParameters::findModuleMemoryNode (*module, graph);
            const auto* firstFunction = module->moduleFunctions[0];

            if (call.memoryNode == nullptr && module->hasFlaggedProcess && firstFunction != nullptr &&
                firstFunction->parameterCount > 0 && ! memoryGuessReported)
            {
                logError ("Unable to guess memory settings. If no static process is needed, please use the MixPA module instead",
                          (int) dspId);
                memoryGuessReported = true;
            }
        }
    }

    MemoryMapWriter writer (context);
    return writer.write (call, texts, memoryText);
}

//==============================================================================
// DSP source

bool BuildProjectFile::writeDspSource (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts, uint8_t& features,
                                       bool commandVariant)
{
    texts.clear();
    memoryHeaderWritten = false;
    memoryGuessReported = false;

    const auto* entry = library.findDsp (dspId);
    const auto* module = entry != nullptr ? library.getModuleOfDsp (dspId) : nullptr;

    if (module != nullptr && module->hasKindWord)
    {
        switch (module->kindWord)
        {
            case 0x8003: features |= featureFbc; break;
            case 0x8004: features |= featureModuleKind8004; break;
            case 0x8005: features |= featureSpdif; break;
            case 0x8006: features |= featureModuleKind8006; break;
            default: break;
        }
    }

    if (entry == nullptr || entry->getProcessCount() == 0)
        return false;

    if (module == nullptr)
    {
        logError ("The module of this DSP is not in Modules.def: no source generated", (int) dspId);
        return false;
    }

    const juce::String dspNumber (dspId);
    GeneratedTexts generated;
    generated[Slot::dspIdSlot] = "dspId";
    generated[Slot::processIdSlot] = "dsp" + dspNumber + "pcs";
    const auto& dspIdVariable = generated[Slot::dspIdSlot];

    texts.includes = DspSourceBlocks::includes;

    if (! commandVariant)
        texts.includes << DspSourceBlocks::nrpnControlInclude;

    const auto pcsDeclaration = "WORD " + generated[Slot::processIdSlot] + "[" + juce::String (graph.getMaxNrpn() + 1) + "];\n";
    const auto initFunction = "WORD dsp" + dspNumber + "InitAndRoute(void)";
    texts.body = pcsDeclaration + "\n" + initFunction;
    texts.declarations = "\n" + initFunction + ";\n" + "extern " + pcsDeclaration;
    texts.body << "\n"
               << "{\n"
               << "\tWORD " << dspIdVariable << ";\n"
               << "\n";

    writeModuleFunctions (library, *module, dspId, texts, generated);
    texts.body << "\n\tif ( " << dspIdVariable << " == -1 ) return 0;\n"
               << "\n";
    texts.body << writeHook (dspId, 0, dspIdVariable, DspSourceBlocks::preInitHookComment) << "\n";

    ProcessOrder order;
    assignRoutingNodes (library, dspId, order);

    if (module->moduleId == pitchShifterModuleId)
    {
        bool hasPitchShifter = false;

        for (auto* process : order)
            if (const auto* definition = module->findProcessById (process->processId))
                hasPitchShifter = hasPitchShifter || definition->processId == pitchShifterProcessId;

        if (! hasPitchShifter)
            texts.body << DspSourceBlocks::pitchShifterRemovalStart << dspIdVariable << DspSourceBlocks::pitchShifterRemovalEnd;
    }

    for (size_t position = 0; position < order.size(); ++position)
        writeProcess (library, *module, dspId, (int) position, *order[position], order, texts, generated, features);

    texts.body << writeHook (dspId, 1, dspIdVariable, DspSourceBlocks::postInitHookComment);
    texts.body << "\treturn( " << dspIdVariable << " );\n"
               << "}\n"
               << "\n";

    texts.body = (texts.hasBiquad ? makeBiquadBlock (dspId, texts) : juce::String ("\n")) + texts.body;
    texts.body = texts.includes + (memoryHeaderWritten ? DspSourceBlocks::memoryMapInclude : "\n") + texts.body;
    return true;
}

void BuildProjectFile::writeMemoryMapOf (int pcsNumber, const ModuleLibrary& library, const LibraryFunctionDefinition& function,
                                         const std::vector<uint32_t>& maskEntries, const GraphNode* node, uint32_t dspId,
                                         GeneratedTexts& generated, DspSourceTexts& texts, bool dspInit, int functionIndex)
{
    // Every call starts from empty memory slots: a parameter this call does
    // not place must not take the memory of an earlier call.
    generated.clearMemorySlots();

    if (writeMemoryMap (pcsNumber, library, function, maskEntries, node, dspId, generated, texts.memory, dspInit,
                        functionIndex) &&
        ! memoryHeaderWritten)
    {
        texts.memory =
            DspSourceBlocks::memoryHeaderStart + juce::String (dspId) + DspSourceBlocks::memoryHeaderEnd + texts.memory;
        memoryHeaderWritten = true;
    }
}

void BuildProjectFile::writeModuleFunctions (const ModuleLibrary& library, const ModuleDefinition& module, uint32_t dspId,
                                             DspSourceTexts& texts, GeneratedTexts& generated)
{
    int index = 0;

    for (auto& function : module.moduleFunctions)
    {
        writeMemoryMapOf (index++, library, *function, function->maskEntries, nullptr, dspId, generated, texts, true, 0);
        writeProcessInitCalls (*function, dspId, juce::String (function->name), texts, nullptr, false, generated);
    }
}

void BuildProjectFile::writeProcess (const ModuleLibrary& library, const ModuleDefinition& module, uint32_t dspId, int position,
                                     const ProcessInstanceEntry& entry, const ProcessOrder& order, DspSourceTexts& texts,
                                     GeneratedTexts& generated, uint8_t& features)
{
    auto* node = graph.findNodeById ((uint32_t) entry.nodeNumber);
    const auto* definition = module.findProcessById (entry.processId);

    if (node == nullptr || definition == nullptr)
    {
        logInternalError ("Process node #" + juce::String (entry.nodeNumber) + " not found in the DSP's graph or module",
                          (int) dspId);
        return;
    }

    const juce::String nrpn (node->nrpn);
    generated[Slot::processIdSlot] = "dsp" + juce::String (dspId) + "pcs[" + nrpn + "]";
    texts.body << "\t// Process #" << nrpn << ": " << makeCommentText (node->getName()) << "\n";

    const auto kind = definition->hasKind ? definition->processKind : 0u;

    if (kind == 0x4001)
        features |= featureBiquadControl;
    else if (kind == 0x4002)
        features |= featureCompressor;
    else if (kind == 0x4006)
        features |= featureExtendedBiquad | featureBiquadControl;

    if (isBiquadProcessKind (kind))
        addBiquadProcess (dspId, *node, texts, generated);

    if (definition->fromSps)
        writeRoutingCalls (module, *node, dspId, generated, texts);

    int functionIndex = 0;

    for (auto& function : definition->firstFunctions)
    {
        const bool isFirst = functionIndex == 0;

        if (isFirst)
            generated[Slot::virtualSourceSlot] = writePcsList (*node, order, dspId);

        writeMemoryMapOf (position, library, *function,
                          MemoryParameters::getSetUpMaskEntries (*function, functionIndex, *node, context.getSamplingRateKhz()),
                          node, dspId, generated, texts, false, functionIndex);
        writeProcessInitCalls (*function, dspId, juce::String (function->name), texts, node, node->biquadMark, generated);

        if (isSecondBiquadProcessKind (kind))
            writeBiquadInitCalls (dspId, generated, texts, *node);

        if (isFirst && ! definition->fromSps)
            writeRoutingCalls (module, *node, dspId, generated, texts);

        ++functionIndex;
    }

    texts.body << "\n";
}

void BuildProjectFile::addBiquadProcess (uint32_t dspId, GraphNode& node, DspSourceTexts& texts, GeneratedTexts& generated) const
{
    texts.hasBiquad = true;
    node.biquadMark = true;

    if (++texts.biquadCount == 1)
        texts.includes << DspSourceBlocks::biquadControlInclude;

    const juce::String nrpn (node.nrpn);
    const auto arrayName = "biquad" + juce::String (dspId);
    const auto& bandCount = generated[Slot::bandCountSlot] = "BIQUAD" + nrpn + "BANDCOUNT";
    const auto bands = "[" + bandCount + "]";

    texts.biquadDefines.add ("#define\t" + bandCount + "\t" + juce::String (node.getChannelCount()));
    texts.biquadParameters.add (arrayName + "Parameters" + nrpn + bands);
    texts.biquadTypes.add (arrayName + "Type" + nrpn + bands);
    texts.biquadXoverTypes.add (arrayName + "XoverType" + nrpn + bands);
    texts.biquadRawFrequencies.add (arrayName + "RawFrequency" + nrpn + bands);
    texts.biquadNrpns.add (node.nrpn);
}

juce::String BuildProjectFile::makeBiquadBlock (uint32_t dspId, const DspSourceTexts& texts) const
{
    juce::String block (DspSourceBlocks::biquadBlockTitle);
    block << DspSourceBlocks::biquadItemCountDefine << texts.biquadCount << "\n\n"
          << DspSourceBlocks::biquadExtraFunctionDefine << texts.biquadDefines.joinIntoString ("\n")
          << DspSourceBlocks::biquadVariablesStart << texts.biquadParameters.joinIntoString (", ") << ";\nWORD "
          << texts.biquadTypes.joinIntoString (", ") << ";\nWORD " << texts.biquadXoverTypes.joinIntoString (", ") << ";\nDWORD "
          << texts.biquadRawFrequencies.joinIntoString (", ") << ";\n\n";

    const auto arrayName = "biquad" + juce::String (dspId);

    for (auto nrpnNumber : texts.biquadNrpns)
    {
        const juce::String nrpn (nrpnNumber);
        block << "BiquadParameters " << arrayName << "ParamAddr" << nrpn << " = { " << arrayName << "Parameters" << nrpn << ", "
              << arrayName << "Type" << nrpn << ", " << arrayName << "XoverType" << nrpn << ", " << arrayName << "RawFrequency"
              << nrpn << ", "
              << "BIQUAD" << nrpn << "BANDCOUNT"
              << " };\n";
    }

    return block << DspSourceBlocks::biquadVariablesEnd;
}

void BuildProjectFile::writeProcessInitCalls (const LibraryFunctionDefinition& function, uint32_t dspId,
                                              const juce::String& functionName, DspSourceTexts& texts, const GraphNode* node,
                                              bool isBiquad, GeneratedTexts generated) const
{
    juce::String line ("\t");

    if (function.returnValueCount == 1)
    {
        ParameterDescriptor result;
        getFunctionParameter (function, ParameterNumbering::returnValuesFirst, 0, result);

        if (isDspIdArgType (result.type))
            line << generated[Slot::dspIdSlot] << " = ";
        else if (isProcessIdArgType (result.type))
            line << generated[Slot::processIdSlot] << " = ";
        else if (isParamTypeCode_4_2_5 (result.type))
            line << orMissingVirtualSource (generated[Slot::virtualSourceSlot]) << " = ";
        else
        {
            line << "unknown_return_LIBVAR = ";
            logInternalError ("unknown_return_LIBVAR", (int) dspId);
        }
    }

    line << functionName << "(";

    for (int i = 0; i < function.parameterCount; ++i)
    {
        line << " " << getParameterValue (function, i, dspId, functionName, node, isBiquad, generated);
        line << (i + 1 < function.parameterCount ? "," : " ");
    }

    texts.body << line << ");\n";
}

juce::String BuildProjectFile::getParameterValue (const LibraryFunctionDefinition& function, int parameter, uint32_t dspId,
                                                  const juce::String& functionName, const GraphNode* node, bool isBiquad,
                                                  const GeneratedTexts& generated) const
{
    ParameterDescriptor descriptor;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, parameter, descriptor);
    const auto& type = descriptor.type;

    // A memory argument whose placement wrote nothing for it fails the
    // firmware build here rather than take another process's memory.
    auto memorySymbol = [&generated] (Slot slot)
    { return generated[slot].isEmpty() ? juce::String ("MEMORY_INIT_ERROR") : generated[slot]; };

    if (isDspIdArgType (type))
        return generated[Slot::dspIdSlot];

    if (isProcessIdArgType (type))
        return generated[Slot::processIdSlot];

    if (isParamTypeCode_4_2_5 (type))
    {
        const auto& feeding = generated[Slot::virtualSourceSlot];

        // Only these two set-up functions are known to need their level
        // detector; a module's own function has no pin to connect at all.
        if (feeding.isEmpty())
        {
            if (functionName.contains ("Compressor"))
                logError ("please connect the Level detect green output pin to the Compressor green input pin", (int) dspId);
            else if (functionName.contains ("Wah"))
                logError ("please connect the Level detect green output pin to the Wah green input pin", (int) dspId);
        }

        return orMissingVirtualSource (feeding);
    }

    if (isParamTypeCode_12_0_0 (type))
        return memorySymbol (Slot::wholeAddressSlot);

    // A low half placed in another region than its type's, by the
    // process's memory choice, is the low half placed for this call.
    if (isParamTypeCode_4_0_22 (type))
        return memorySymbol (generated[Slot::int24LowHalfSlot].isEmpty() ? Slot::lowHalfSlot : Slot::int24LowHalfSlot);

    if (isParamTypeCode_4_0_1 (type))
        return memorySymbol (Slot::highHalfSlot);

    if (isParamTypeCode_4_0_2 (type))
        return memorySymbol (Slot::lowHalfSlot);

    if (isParamTypeCode_4_0_20 (type))
        return memorySymbol (generated[Slot::int16LowHalfSlot].isEmpty() ? Slot::lowHalfSlot : Slot::int16LowHalfSlot);

    if (isParamClass21 (type))
        return getLiteralText (descriptor);

    if (isParamTypeCode_4_0_13to15 (type) || isTimeMsParamType (type))
    {
        if (isBiquad)
            return generated[Slot::bandCountSlot];

        return getCountArgument (node, context.getSamplingRateKhz());
    }

    if (isParamTypeCode_4_0_4 (type))
        return "0/*default*/";

    logInternalError ("unknown_parameter_LIBVAR", (int) dspId);
    return "unknown_parameter_LIBVAR";
}

juce::String BuildProjectFile::getCountArgument (const GraphNode* node, double samplingRateKhz)
{
    const uint32_t count = node != nullptr ? node->getChannelCount() : 1;

    if (node != nullptr && (node->channelWord & GraphNode::delayCountFlag) != 0)
        return "0x" + eightHexDigits (MemoryParameters::delaySamples (*node, samplingRateKhz));

    return juce::String (count);
}

void BuildProjectFile::writeRoutingCalls (const ModuleDefinition& module, const GraphNode& node, uint32_t dspId,
                                          GeneratedTexts generated, DspSourceTexts& texts) const
{
    if (module.secondModuleFunctions.isEmpty())
        return;

    const auto* definition = node.getProcessDefinition();
    const bool fromSps = definition != nullptr && definition->fromSps;

    for (int p = 0; p < node.getPinCount(); ++p)
    {
        const auto* pin = node.getPin (p);

        if (pin->isVirtualPin())
            continue;

        const int value = pin->bus;
        const auto pinName = getPinName (node, p);

        if (isMarker (value))
            logError ("missing connection for " + pinName, (int) dspId);

        // An input that reads a DSP output is routed by the output function.
        const bool routedAsOutput = ! pin->isInput() || isDspOutputValue (value);
        const auto* function = module.secondModuleFunctions[routedAsOutput ? 1 : 0];

        if (function == nullptr)
        {
            logInternalError ("no routing function for " + pinName, (int) dspId);
            continue;
        }

        texts.body << "\t" << juce::String (function->name) << "( " << generated[Slot::dspIdSlot] << ", " << pinName;

        if (fromSps)
            texts.body << ", ";
        else
            texts.body << "|" << generated[Slot::processIdSlot] << ", ";

        texts.body << getRoutingValueText (value) << " );\n";
    }
}

juce::String BuildProjectFile::getRoutingValueText (int value)
{
    if (value == notConnected)
        return "ROUTING_ERROR_NOT_CONNECTED";

    if (value == conflictDetected)
        return "ROUTING_ERROR_CONFLICT_DETECTED";

    const auto bits = (uint32_t) value;

    if ((bits & dspInputBit) != 0)
        return "PCS_DSP_IN | " + juce::String (bits & routingNumberMask);

    if ((bits & dspOutputBit) != 0)
        return "PCS_DSP_OUT | " + juce::String (bits & routingNumberMask);

    return "PCS_NODE | " + juce::String (value);
}

void BuildProjectFile::writeBiquadInitCalls (uint32_t dspId, GeneratedTexts generated, DspSourceTexts& texts,
                                             const GraphNode& node) const
{
    // The type array belongs to the biquad control, which a firmware built
    // without the NRPN control leaves out: the call goes with it.
    texts.body << DspSourceBlocks::nrpnControlGuardOpen << "\tinitBiquadExType( "
               << "biquad" << juce::String (dspId) << "Type" << juce::String (node.nrpn) << ", " << generated[Slot::bandCountSlot]
               << " );\n"
               << DspSourceBlocks::nrpnControlGuardClose;
}

void BuildProjectFile::writeCustomHookCalls (SourceStream& stream, uint32_t dspId, int hookIndex, const juce::String& arguments,
                                             const juce::String& comment)
{
    if (hookIndex < 0 || hookIndex >= (int) std::size (DspSourceBlocks::hookNames))
        return;

    const auto hook = DspSourceBlocks::hookNames[hookIndex] + juce::String (dspId);
    stream.writeLine ("#ifdef _" + hook);

    if (hookIndex < 2)
    {
        stream.writeLine (hook + "( " + arguments + " )" + ";" + comment);
    }
    else
    {
        stream.writeAndOpenBlock ("if ( " + hook + "( " + arguments + " )" + " )" + comment, true);
        stream.write ("return 1;");
        stream.closeBlock (true);
    }

    stream.writeLine ("#endif");
}

juce::String BuildProjectFile::writeHook (uint32_t dspId, int hookIndex, const juce::String& arguments,
                                          const juce::String& comment) const
{
    // The function body is composed at level 0 with the tabs written into
    // each line, so the hook's lines follow that level and stand in column 0.
    SourceWriter writer;
    writeCustomHookCalls (writer.getStream(), dspId, hookIndex, arguments, comment);
    return writer.getText();
}

juce::StringArray& BuildProjectFile::addHandlerName (uint32_t dspNumber, juce::StringArray& handlerNames, bool flag,
                                                     bool nrpnVariant)
{
    nodeCount = graph.getNumNodes();

    if (nodeCount == 0 || ! flag || dspNumber == 0)
        return handlerNames;

    // The dispatch table is indexed by DSP number - 1: missing DSPs leave
    // empty entries, so that every handler stands at its own DSP's place.
    const int index = (int) dspNumber - 1;

    while (handlerNames.size() < index)
        handlerNames.add ({});

    const auto name = "dsp" + juce::String (dspNumber) + (nrpnVariant ? "NrpnHandler" : "CommandHandler");

    if (handlerNames.size() == index)
        handlerNames.add (name);
    else
        handlerNames.set (index, name);

    return handlerNames;
}

juce::String BuildProjectFile::getLiteralText (const ParameterDescriptor& descriptor)
{
    juce::String literal;

    for (int i = 0; i < descriptor.length && descriptor.data != nullptr; ++i)
        literal += juce::String::charToString ((juce::juce_wchar) descriptor.data[i]);

    return literal;
}

//==============================================================================
// Control handlers and the NRPN list

void BuildProjectFile::writeNrpnHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                                         juce::StringArray& handlerNames)
{
    writeHandler (library, dspId, texts, handlerNames, true);
}

void BuildProjectFile::writeCommandHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                                            juce::StringArray& handlerNames)
{
    writeHandler (library, dspId, texts, handlerNames, false);
}

void BuildProjectFile::writeHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                                     juce::StringArray& handlerNames, bool nrpnVariant)
{
    addHandlerName (dspId, handlerNames, true, nrpnVariant);

    if (nodeCount == 0)
        return;

    ControlHandlerWriter writer (graph, library.getModuleOfDsp (dspId), dspId, texts.biquadCount, context.getSamplingRateKhz());
    const auto handler = nrpnVariant ? writer.writeNrpnHandler() : writer.writeCommandHandler();
    texts.body = handler.handler;
    texts.declarations = handler.declarations;
}

void BuildProjectFile::writeNrpnListRows (const ModuleLibrary& library, uint32_t dspId, juce::MemoryOutputStream& rows)
{
    if (library.findDsp (dspId) == nullptr)
        return;

    NrpnListRows (graph, context, dspId).write (rows);
}
