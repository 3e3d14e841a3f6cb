#include "generator/ControlHandlerWriter.h"

#include "generator/BuildProjectFile.h"
#include "generator/SourceIdentifiers.h"
#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"
#include "model/DesignLog.h"
#include "model/GraphData.h"
#include "model/ModuleDefinition.h"
#include "model/ParameterDescriptor.h"

#include <algorithm>
#include <set>

namespace
{
constexpr int preControlHook = 2;
constexpr int postControlHook = 3;
const char* const preHookComment = "// Do all your custom pre NRPN code into this function";
const char* const postHookComment = "// Do all your custom post NRPN code into this function";
const char* const skipGuard = "\n#ifndef\t_SKIP_ZQV_NRPN_CTRL\n";
const char* const skipGuardEnd = "#endif\t// _SKIP_ZQV_NRPN_CTRL";

// The command words of a node that belong to a control function of its
// definition: a word past the last function serves nothing.
int getControlWordCount (const GraphNode& node, const ProcessDefinition& definition)
{
    return juce::jmin ((int) node.commandWords.size(), definition.getSecondFunctionCount());
}

bool isControlFunction (const LibraryFunctionDefinition* function)
{
    return function != nullptr && function->isControl();
}

bool isReadBackFunction (const juce::String& name)
{
    return name.contains ("GetPeak") || name.contains ("GetCurrentLevel") || name.contains ("GetGainRed");
}

void writeUnbracedLine (SourceStream& stream, const juce::String& header, const juce::String& line)
{
    stream.writeAndOpenBlock (header, false);
    stream.writeLine (line);
    stream.closeBlock (false);
}

void closeWithSemicolon (SourceStream& stream)
{
    stream.getWriter().closeBlock (0, true, true, true);
}
} // namespace

ControlHandlerWriter::ControlHandlerWriter (const GraphData& dspGraph, const ModuleDefinition* dspModule, uint32_t dspNumber,
                                            int biquadProcesses, double samplingRateKhz)
    : graph (dspGraph), module (dspModule), dspId (dspNumber), dsp (juce::String (dspNumber)),
      hasBiquadProcess (biquadProcesses > 0), rateKhz (samplingRateKhz)
{
}

juce::String ControlHandlerWriter::toHex (uint32_t value)
{
    return juce::String::toHexString (value).toUpperCase().paddedLeft ('0', 4);
}

juce::String ControlHandlerWriter::writeSendSysExCall (const juce::String& call)
{
    return " sendSysExMessage( value, " + call + " );";
}

//==============================================================================
// The command list

std::vector<ControlHandlerWriter::CommandRow> ControlHandlerWriter::collectCommandRows (Variant variant, int& count) const
{
    std::vector<CommandRow> rows;
    count = 0;

    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        const auto& node = *graph.getNode (i);
        const auto* definition = node.getProcessDefinition();

        if (definition == nullptr)
            continue;

        for (int j = 0; j < getControlWordCount (node, *definition); ++j)
        {
            const auto word = node.commandWords[(size_t) j];
            const auto number = word & controlNumberMask;

            if (number == 0 || number == controlNumberMask || ! isControlFunction (definition->secondFunctions[j]))
                continue;

            CommandRow row;
            row.command = word;
            row.processField = node.nrpn | ((word & biquadParameterBit) != 0 && node.biquadMark ? biquadRowBit : 0u);
            row.comment = " // " + makeCommentText (juce::String (definition->secondFunctions[j]->name)) + "\n";

            if (variant == Variant::command || ! row.isBiquadRow())
                ++count;

            rows.push_back (row);
        }
    }

    // Controls of one number keep their node order, so that the text does
    // not change from one generation to the next.
    std::stable_sort (rows.begin(), rows.end(),
                      [] (const CommandRow& a, const CommandRow& b) { return a.getControlNumber() < b.getControlNumber(); });
    return rows;
}

int ControlHandlerWriter::writeCommandList (SourceStream& stream, const juce::String& baseName, Variant variant, int& count) const
{
    const auto rows = collectCommandRows (variant, count);

    // An empty list is not written at all: C has no empty initialiser, and
    // the handler then does without the list's lookup.
    if (count != 0)
    {
        stream.writeAndOpenBlock (
            "const WORD " + baseName + "List[NUMBEROFCOMMAND" + dsp + (variant == Variant::nrpn ? "][2]=" : "][3]="), true);

        for (size_t r = 0; r < rows.size(); ++r)
        {
            const auto& row = rows[r];

            if (variant == Variant::nrpn && row.isBiquadRow())
                continue;

            juce::String text ("{ 0x" + toHex (row.getControlNumber()));

            if (variant == Variant::command)
                text << ", 0x" << toHex (row.processField);

            text << ", 0x" << toHex (row.getFunctionId()) << " }";

            if (r + 1 < rows.size())
                text << ",";

            stream.write (text + row.comment);
        }

        closeWithSemicolon (stream);
    }

    return writeBiquadCommandTable (stream, rows, baseName, variant);
}

int ControlHandlerWriter::writeBiquadCommandTable (SourceStream& stream, const std::vector<CommandRow>& rows,
                                                   const juce::String& baseName, Variant variant) const
{
    if (! hasBiquadProcess)
        return 0;

    juce::StringArray tableRows;

    for (const auto& row : rows)
    {
        const auto* node = graph.findNodeByNrpn (row.processField & 0x7FFF);

        if (node == nullptr || ! node->biquadMark || (row.command & biquadParameterBit) == 0)
            continue;

        juce::String text ("{ 0x" + toHex (row.getControlNumber()));

        if (variant == Variant::nrpn)
            text << ", 0x" << toHex (row.getFunctionId());

        tableRows.add (text + ", &biquad" + dsp + "ParamAddr" + juce::String (node->nrpn) + " }");
    }

    if (tableRows.isEmpty())
        return 0;

    stream.write ("\n#define NB_BIQUAD_COMMAND " + juce::String (tableRows.size()));
    stream.writeAndOpenBlock (juce::String ("\nconst ") +
                                  (variant == Variant::command ? "BiquadCommandParamsTable " : "BiquadParamsTable ") + baseName +
                                  "BiquadTable[NB_BIQUAD_COMMAND] = ",
                              true);
    stream.write (tableRows.joinIntoString (",\n"));
    closeWithSemicolon (stream);
    return tableRows.size();
}

//==============================================================================
// The case lines

const ProcessDefinition* ControlHandlerWriter::getDefinitionOf (const GraphNode& node) const
{
    const auto* own = node.getProcessDefinition();

    if (own == nullptr || module == nullptr)
        return own;

    const auto* found = module->findProcessById (own->processId);
    return found != nullptr ? found : own;
}

void ControlHandlerWriter::writeFunctionCases (SourceStream& stream) const
{
    std::set<const ProcessDefinition*> written;
    std::set<uint32_t> functionIds;

    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        const auto& node = *graph.getNode (i);
        const auto* definition = getDefinitionOf (node);

        // The function ids are the definition's: any node of it with command
        // words gives its cases, once.
        if (definition == nullptr || node.commandWords.empty() || ! written.insert (definition).second)
            continue;

        stream.writeLine ("//" + makeCommentText (juce::String (definition->name)));

        for (int j = 0; j < getControlWordCount (node, *definition); ++j)
        {
            const auto word = node.commandWords[(size_t) j];
            const auto& function = *definition->secondFunctions[j];
            const auto functionId = (word >> 16) & 0x7FFF;

            // A word left empty names no function.
            if ((word >> 16) == 0xFFFF || word == 0 || function.parameterCount == 0 || ! isControlFunction (&function))
                continue;

            // Two cases of one value would stop the firmware build.
            if (! functionIds.insert (functionId).second)
            {
                logError ("The function id 0x" + toHex (functionId) + " of " + juce::String (function.name) +
                              " is given to another control function already: it is not called",
                          (int) dspId);
                continue;
            }

            const auto call = makeCall (function, node);
            stream.write ("case 0x" + toHex (functionId) + ": ");
            stream.write (isReadBackFunction (juce::String (function.name)) ? writeSendSysExCall (call) : call + ";");
            stream.writeLine (" return 1;");
        }
    }
}

juce::String ControlHandlerWriter::makeCall (const LibraryFunctionDefinition& function, const GraphNode& node) const
{
    juce::String call (juce::String (function.name) + "(");
    const int count = function.parameterCount;

    for (int k = 0; k < count; ++k)
    {
        ParameterDescriptor parameter;
        getFunctionParameter (function, ParameterNumbering::parametersOnly, k, parameter);
        bool takesNext = false;
        call << " " << getArgumentExpression (function, parameter, node, rateKhz, takesNext);

        if (takesNext)
            ++k;

        // A literal standing for two parameters brings its own separator.
        if (k + 1 >= count)
            call << " ";
        else if (! takesNext)
            call << ",";
    }

    return call + ")";
}

juce::String ControlHandlerWriter::getArgumentExpression (const LibraryFunctionDefinition& function,
                                                          const ParameterDescriptor& parameter, const GraphNode& node,
                                                          double samplingRateKhz, bool& takesNext)
{
    const auto& type = parameter.type;
    takesNext = false;

    if (isDspIdArgType (type))
        return "dspId";

    if (isParamTypeCode_4_0_5 (type) && juce::String (function.name).contains ("ShiftAmount"))
        return "val8bit-0x40";

    if (isProcessIdArgType (type))
        return "processId";

    if (isParamClass21 (type))
        return BuildProjectFile::getLiteralText (parameter);

    // A delay's count is its length in ms, by which nothing in the firmware
    // is sized: its calls take the size its set-up call gave it.
    if (isParamTypeCode_4_0_13to15 (type))
        return BuildProjectFile::getCountArgument (&node, samplingRateKhz);

    if (isParamTypeCode_4_0_4 (type) || isParamTypeCode_4_0_16 (type) || isOnOffParamType (type) || isParamTypeCode_4_0_25 (type))
        return "val8bit";

    if (isParamTypeCode_4_0_5 (type) || isGainDbParamType (type) || isFrequencyHzParamType (type) || isLevelDbParamType (type) ||
        isRange16383ParamType (type) || isRatioParamType (type) || isParamTypeCode_4_0_6 (type) || isTimeMsParamType (type))
        return type.typeClass == 12 ? "dvalue" : "value";

    if (isParamTypeCode_12_0_7 (type))
        return "dvalue";

    if (isIndexParamType (type))
        return "index";

    if (isUpdateCoeffFuncArgType (type))
        return "&updateCoeffFunc";

    if (isBiquadObjectArgType (type))
        return "theBiquad";

    if (isParamClass22 (type))
    {
        takesNext = true;
        return BuildProjectFile::getLiteralText (parameter);
    }

    logInternalError ("unknown_parameter_LIBVAR", -1);
    return "unknown_parameter_LIBVAR";
}

//==============================================================================
// The biquad functions

juce::String ControlHandlerWriter::findBiquadFunctionName (const char* part) const
{
    if (module == nullptr)
        return {};

    // The process named after the biquads serves every biquad of the DSP;
    // a module that names none is served by its first biquad process.
    auto findIn = [part] (const ProcessDefinition& process) -> juce::String
    {
        for (auto& function : process.secondFunctions)
            if (juce::String (function->name).contains (part))
                return juce::String (function->name);

        return {};
    };

    for (auto& process : module->getProcesses())
        if (juce::String (process->name).contains ("Biquad"))
            return findIn (*process);

    for (auto& process : module->getProcesses())
        if (process->hasKind && isBiquadProcessKind (process->processKind))
            if (auto name = findIn (*process); name.isNotEmpty())
                return name;

    return {};
}

juce::String ControlHandlerWriter::getBiquadFunctionName (const char* part) const
{
    auto name = findBiquadFunctionName (part);

    if (name.isNotEmpty())
        return name;

    logInternalError ("No biquad function " + juce::String (part) + " in the module of this DSP", (int) dspId);
    return missingBiquadFunction;
}

//==============================================================================
// The handlers

bool ControlHandlerWriter::writeHandlerStart (SourceStream& stream, juce::String& declarations, const juce::String& header,
                                              Variant variant, int& count) const
{
    const auto baseName = (variant == Variant::nrpn ? "nrpn" : "command") + dsp;
    const auto list = baseName + "List";
    declarations = "#define\tNUMBEROFPROCESS" + dsp + "\t0x" + toHex ((uint32_t) graph.getNumNodes()) + "\n";
    stream.writeLine (skipGuard);

    const bool biquadBranch = writeCommandList (stream, baseName, variant, count) > 0 && hasBiquadProcess;
    declarations << "#define\tNUMBEROFCOMMAND" << dsp << "\t0x" << toHex ((uint32_t) count) << "\n";

    if (count != 0)
        declarations << "extern const WORD " << list << "[NUMBEROFCOMMAND" << dsp
                     << (variant == Variant::nrpn ? "][2];\n" : "][3];\n");

    stream.newLine();
    declarations << "extern " << header << ";\n";

    if (count == 0)
        stream.newLine();

    stream.writeAndOpenBlock (header, true);
    stream.newLine();
    return biquadBranch;
}

void ControlHandlerWriter::writeBiquadLocals (SourceStream& stream) const
{
    if (hasBiquadProcess)
    {
        stream.writeLine ("BiquadParameters *theBiquad;");
        stream.writeLine ("UpdateCoeffCallback updateCoeffFunc;\n");
    }
}

ControlHandlerWriter::Texts ControlHandlerWriter::writeNrpnHandler()
{
    Texts texts;
    SourceWriter writer;
    auto& stream = writer.getStream();
    const auto list = "nrpn" + dsp + "List";

    int count = 0;
    const bool biquadBranch =
        writeHandlerStart (stream, texts.declarations,
                           "WORD dsp" + dsp + "NrpnHandler( WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format )",
                           Variant::nrpn, count);
    stream.writeLine ("WORD i, functionId, index = 0, val8bit;");
    stream.writeLine ("DWORD dvalue;");
    writeBiquadLocals (stream);

    BuildProjectFile::writeCustomHookCalls (stream, dspId, preControlHook, "dspId, nrpn, &value, format", preHookComment);
    stream.newLine();
    stream.writeLine ("val8bit = value>>8;");
    writeUnbracedLine (stream, "if ( format == FORMAT_14BIT_PRECISION )", "dvalue=(DWORD)value<<(DWORD)13;");
    writeUnbracedLine (stream, "else", "dvalue=value;");
    stream.newLine();

    if (count != 0)
    {
        stream.writeLine ("i = dichotomicSearch( _cptr32(" + list + "), 2, 0, NUMBEROFCOMMAND" + dsp + ", nrpn );\n");
        // The search gives -1 for a number beyond the last row's process: no
        // row serves it, and its bit 15 must not make it a row position.
        writeRangeSearch (stream, "if ( i != -1 && (i&(1<<15)) )", "if ( i == NUMBEROFCOMMAND" + dsp + " ) // higher bound test",
                          "if ( nrpn < " + list + "[i][0] )", list + "[i][1]");
        stream.writeAndOpenBlock ("\nif ( i != -1 )", true);
        stream.write ("index = nrpn - " + list + "[i][0];\nfunctionId = " + list + "[i][1];\nprocessId = dsp" + dsp +
                      "pcs[processId];");
        stream.closeBlock (true);

        if (biquadBranch)
        {
            stream.writeAndOpenBlock ("else", true);
            writeNrpnBiquadLookup (stream);
            stream.closeBlock (true);
        }
        else
        {
            writeUnbracedLine (stream, "else", "return 0;");
        }

        stream.newLine();
    }
    else if (biquadBranch)
    {
        // Every control of the DSP is a biquad parameter: the biquad table
        // alone serves them.
        writeNrpnBiquadLookup (stream);
        stream.newLine();
    }

    if (count != 0 || biquadBranch)
        writeSwitch (stream);

    stream.newLine();
    BuildProjectFile::writeCustomHookCalls (stream, dspId, postControlHook, "dspId, nrpn, val8bit, value, dvalue",
                                            postHookComment);
    stream.writeLine ("return 0;");
    stream.closeBlock (true);
    stream.writeLine (skipGuardEnd);

    texts.handler = writer.getText();
    return texts;
}

void ControlHandlerWriter::writeRangeSearch (SourceStream& stream, const juce::String& missTest,
                                             const juce::String& upperBoundTest, const juce::String& lowerBoundTest,
                                             const juce::String& functionIdCell) const
{
    // A miss takes the row below: a row serves the numbers up to the next
    // row's. A number below the first row has no row below it, and the
    // row's function id is read only once it is known to be a row.
    stream.writeAndOpenBlock (missTest, true);
    stream.writeLine ("i &= 0x7FFF;");
    writeUnbracedLine (stream, upperBoundTest, "i--;");
    stream.writeAndOpenBlock ("else", true);
    writeUnbracedLine (stream, lowerBoundTest, "i--;");
    stream.closeBlock (true);
    writeUnbracedLine (stream, "if ( i == -1 || !(" + functionIdCell + " & (1<<14)) )", "i=-1;");
    stream.closeBlock (true);
}

void ControlHandlerWriter::writeNrpnBiquadLookup (SourceStream& stream) const
{
    const auto table = "nrpn" + dsp + "BiquadTable";
    stream.writeLine ("i = dichotomicSearch( _cptr32(" + table + "), 3, 0, NB_BIQUAD_COMMAND, nrpn );");
    stream.writeAndOpenBlock ("if (i!=-1)", true);
    writeRangeSearch (stream, "if ((i&(1<<15)))", "if ( i >= NB_BIQUAD_COMMAND ) // higher bound test",
                      "if ( nrpn < " + table + "[i].nrpn )", table + "[i].functionId");
    stream.writeAndOpenBlock ("\nif ( i != -1 )", true);
    stream.write ("index = nrpn - " + table + "[i].nrpn;\nfunctionId = " + table + "[i].functionId;\nprocessId = dsp" + dsp +
                  "pcs[processId];\ntheBiquad = (BiquadParameters *)" + table +
                  "[i].parametersTable;\nupdateCoeffFunc.BIQUAD_UpdateCoeffFuncPtr = _cptr32( &" +
                  getBiquadFunctionName ("Biquad_UpdateCoeff"));
    stream.writeLine (" );");
    stream.write ("updateCoeffFunc.BIQUAD_FlatFuncPtr = _cptr32( &" + getBiquadFunctionName ("Biquad_Flat") + " );");
    stream.closeBlock (true);
    stream.closeBlock (true);
}

void ControlHandlerWriter::writeSwitch (SourceStream& stream) const
{
    stream.writeAndOpenBlock ("if (i != -1)", true);
    stream.writeAndOpenBlock ("switch (functionId)", true);
    writeFunctionCases (stream);
    stream.closeBlock (true);
    stream.closeBlock (true);
}

ControlHandlerWriter::Texts ControlHandlerWriter::writeCommandHandler()
{
    Texts texts;
    SourceWriter writer;
    auto& stream = writer.getStream();
    const auto list = "command" + dsp + "List";

    int count = 0;
    const bool biquadBranch = writeHandlerStart (
        stream, texts.declarations, "WORD dsp" + dsp + "CommandHandler( WORD command, WORD dspId, WORD index, DWORD value )",
        Variant::command, count);
    stream.writeLine ("WORD i, functionId, processId, val8bit = value>>8;");
    stream.writeLine ("DWORD dvalue = value;");
    writeBiquadLocals (stream);

    stream.newLine();
    const auto hookArguments = "dspId, command, index, val8bit, value, dvalue";
    BuildProjectFile::writeCustomHookCalls (stream, dspId, preControlHook, hookArguments, preHookComment);
    stream.newLine();

    if (count != 0)
    {
        stream.writeLine ("i = dichotomicSearch( _cptr32(" + list + "), 3, 0, NUMBEROFCOMMAND" + dsp + ", command );\n");
        writeUnbracedLine (stream, "if ((i&(1<<15)))", "i=-1;");
        stream.writeAndOpenBlock ("\nif ( i != -1 )", true);
        stream.write ("functionId = " + list + "[i][2];\nprocessId = " + list + "[i][1];\n");

        if (biquadBranch)
            writeCommandBiquadLookup (stream);

        stream.write ("processId = dsp" + dsp + "pcs[processId&0xFF];\n");
        stream.closeBlock (true);
        stream.newLine();
        writeSwitch (stream);
    }

    stream.newLine();
    BuildProjectFile::writeCustomHookCalls (stream, dspId, postControlHook, hookArguments, postHookComment);
    stream.writeLine ("\nreturn 0;");
    stream.closeBlock (true);
    stream.writeLine (skipGuardEnd);

    texts.handler = writer.getText();
    return texts;
}

void ControlHandlerWriter::writeCommandBiquadLookup (SourceStream& stream) const
{
    const auto table = "command" + dsp + "BiquadTable";
    stream.writeAndOpenBlock ("if (processId&(1<<15)) // need more biquad parameters", true);
    stream.writeLine ("i = dichotomicSearch( _cptr32(" + table + "), 2, 0, NB_BIQUAD_COMMAND, command );");
    writeUnbracedLine (stream, "if ((i&(1<<15)))", "i=-1;");
    stream.writeAndOpenBlock ("if (i!=-1)", true);
    stream.write ("theBiquad = (BiquadParameters *)" + table +
                  "[i].parametersTable;\ntheBiquad->channel = command & 0xFF;\nupdateCoeffFunc.BIQUAD_UpdateCoeffFuncPtr = "
                  "_cptr32( &" +
                  getBiquadFunctionName ("Biquad_UpdateCoeff"));
    stream.writeLine (" );");
    stream.write ("updateCoeffFunc.BIQUAD_FlatFuncPtr = _cptr32( &" + getBiquadFunctionName ("Biquad_Flat") + " );");
    stream.closeBlock (true);
    stream.closeBlock (true);
}
