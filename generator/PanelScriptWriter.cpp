#include "generator/PanelScriptWriter.h"

#include "generator/EqualiserLists.h"
#include "generator/VuMeterIdPool.h"
#include "generator/templates/CustomControlPrograms.h"
#include "model/GraphNode.h"
#include "model/ParameterDescriptor.h"
#include "model/ProcessDefinition.h"
#include "model/ProcessPresetStore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace
{
constexpr const char* closeBracket = "]= ";
constexpr const char* closeSpacedBracket = "] = ";
constexpr const char* breakLine = "BREAK\n";
constexpr const char* boxEnd = "BoxEnd\n";
constexpr const char* curveLayout = "Layout[Height=256,Width=80,TXTCOL=0x00000000,BARCOL=0xFFFFFF,BGCOL=0x707070]\n";

constexpr const char* equaliserOptions = "OPTIONS[EqSlider] = min=-14,max=14,MidiOff=50,valscale=1,valunit=dB,height=80,style=0,"
                                         "width=40\n"
                                         "OPTIONS[EqVBar] = BARCOL=0xFFFFFF,BGCOL=0xD0D0D0,HEIGHT=20,MAX=70,width=80\n";

constexpr const char* otherTicks = "OPTIONS[VuTicks] = \\\n"
                                   "  ticks=4|10(-48)|16|22(-36)|28|34(-24)|40|46(-12)|52|58(0)|64|70(+12)\n";
constexpr const char* compressorTicks = "OPTIONS[CompressorVuTicks] = \\\n"
                                        "  ticks=6(-6)|10|16(-16)|22|28(-28)|34|40(-40)|46|52(-52)|58|64(-64)|70\n";
constexpr const char* companderTicks = "OPTIONS[CompanderVuTicks] = \\\n"
                                       "  ticks=6(+6)|12(0)|18|24(-12)|32|40(-28)|46|52(-40)|58|64(-52)|70\n";

constexpr uint32_t dataMask = 0x7F;

juce::String hexByte (uint32_t value)
{
    return juce::String::toHexString ((int) value).paddedLeft ('0', 2);
}

bool contains (const std::string& text, const char* part)
{
    return text.find (part) != std::string::npos;
}

ParameterTypeCode getLastParameterType (const LibraryFunctionDefinition& function)
{
    ParameterDescriptor descriptor;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, function.parameterCount - 1, descriptor);
    return descriptor.type;
}

ParameterTypeCode getFirstReturnType (const LibraryFunctionDefinition& function)
{
    ParameterDescriptor descriptor;

    if (function.returnValueCount > 0)
        getFunctionParameter (function, ParameterNumbering::returnValuesFirst, 0, descriptor);

    return descriptor.type;
}

bool isTimeDelayLabel (const juce::String& label)
{
    return label.contains ("TimeDel");
}
} // namespace

//==============================================================================
PanelScriptWriter::PanelScriptWriter (const ProcessDefinition& def, const GraphNode& graphNode, uint32_t dsp, double rateKhz,
                                      double sliderValue)
    : definition (def), node (graphNode), dspId (dsp), samplingRateKhz (rateKhz), countSliderValue (sliderValue)
{
    // A node that holds no command words yet (made bare, neither placed,
    // pasted nor read from a file, which give it its words) numbers its
    // controls as they would: numbered all alike, every control would send
    // one message and be taken for one parameter.
    int count = 0;
    commandWords = node.commandWords.empty() ? node.makeControlIds (count) : node.commandWords;
}

juce::String PanelScriptWriter::write (ProcessPresetStore& targetStore, bool isReplacement, int& boxMeterId, VuMeterIdPool& pool)
{
    meterWritten = false;
    body.reset();
    controls = ProcessControlList (node.hasDelayCount());

    if (definition.getSecondFunctionCount() == 0)
        return {};

    store = &targetStore;
    replacement = isReplacement;
    meterId = &boxMeterId;
    meterIds = &pool;

    writeKindHeader();

    for (int i = 0; i < definition.getSecondFunctionCount(); ++i)
        writeFunction (i, *definition.secondFunctions[i]);

    const auto kind = definition.hasKind ? definition.processKind : 0u;
    juce::MemoryOutputStream text (body.getDataSize() + 16384);

    if (boxMeterId >= 0)
        text << makeMeterDefinitions (boxMeterId, kind);

    if (isBiquadProcessKind (kind))
        text << equaliserOptions << EqualiserListTexts::qEncoderOptions << EqualiserListTexts::frequencyEncoderOptions
             << EqualiserListTexts::gainEncoderOptions << CustomControlPrograms::polyEq;
    else if (isCompanderProcessKind (kind))
        text << CustomControlPrograms::compander;
    else if (isCompressorProcessKind (kind) || isLimiterProcessKind (kind))
        text << CustomControlPrograms::compressor;

    text << makeTitleLine (node.getName(), definition.name, dspId, node.nrpn);
    text.write (body.getData(), body.getDataSize());

    if (isBiquadProcessKind (kind) || isCompressorProcessKind (kind) || isLimiterProcessKind (kind) ||
        isCompanderProcessKind (kind))
        text << boxEnd;

    store = nullptr;
    return text.toUTF8();
}

juce::String PanelScriptWriter::getProblem() const
{
    return controls.describeRefused ("\"" + node.getName() + "\"");
}

//==============================================================================
void PanelScriptWriter::writeKindHeader()
{
    if (! definition.hasKind)
        return;

    const auto kind = definition.processKind;

    if (isBiquadProcessKind (kind))
    {
        writeEqualiserBlock();
        body << "BoxEnd\n\nBoxStart[Biquad Control]\n";
    }
    else if (isCompressorProcessKind (kind))
    {
        body << curveLayout << "CompressorUI[Compressor,Width=480,Height=100,min=0,max=1,Def=2]\n"
             << "\nBoxStart[Compressor Control]\n";
    }
    else if (isLimiterProcessKind (kind))
    {
        body << "\nBoxStart[Limiter Control]\n";
    }
    else if (isCompanderProcessKind (kind))
    {
        body << curveLayout << "Compander[Comp1,Width=500, Height=100]\n"
             << "\nBoxStart[Compander Control,width=780]\n";
    }
}

void PanelScriptWriter::writeEqualiserBlock()
{
    const auto bands = (int) node.getChannelCount();
    const auto first = (int) getFirstControlNumber();
    // The bands' controls follow the definition's other controls; a
    // definition with fewer than four others still keeps them among its own.
    const auto offset = juce::jmax (0, definition.getSecondFunctionCount() - definition.coefficientFunctionCount - 4);

    body << "Layout[Height=250,Width=80,TXTCOL=0x00000000,BARCOL=0xFFFFFF,BGCOL=0x707070]\n"
         << "PolyEQV2[EQ,Width=700, Height=80,min=20,max=22000,Def=" << bands << "]\n"
         << "BoxStart[EQ controls,width=700]\n";

    for (int b = 0; b < bands; ++b)
    {
        const auto number = (uint32_t) (first + offset + b) & 0xFFFF;
        const juce::String band (b + 1), filter ("EQ.Filter[" + juce::String (b) + "]");
        const auto enable = ",Enable=Type" + band;

        // The bracket opens with the word "Type" and the list; the band's
        // own name is the "Name=" attribute, which the library reports it by.
        writeControl ("DROPDOWN", "Type" + band,
                      getFilterTypeList (definition.processKind, b, bands) + ",Name=Type" + band + ",def=1,Ref=" + filter +
                          ".Type",
                      closeSpacedBracket, { Message::Form::nrpn, NrpnForm::bracket7Bit, number }, false, "Type");
        writeControl ("SLIMFADER", "Q" + band, ",@EqQEncoder" + enable + "(PIOWXYZ),Ref=" + filter + ".QFactor,def=955",
                      closeSpacedBracket, { Message::Form::nrpn, NrpnForm::raw, (number + 31) & 0xFFFF }, false);
        writeControl ("ENCODER", "Freq" + band,
                      ",@EqFreqEncoder" + enable + "(PTHLIOWXYZ),def=" + juce::String (81920 + 12 * b) + ",Ref=" + filter +
                          ".Freq",
                      closeSpacedBracket, { Message::Form::sysEx, NrpnForm::raw, (number + 62) & 0xFFFF }, false);
        writeControl ("ENCODER", "Gain" + band, ",@EqGainEncoder" + enable + "(PWXYZ),Ref=" + filter + ".Gain,def=64",
                      closeSpacedBracket, { Message::Form::nrpn, NrpnForm::bracket7Bit, (number + 93) & 0xFFFF }, false);
        body << "Break\n";
    }
}

void PanelScriptWriter::writeFunction (int index, const LibraryFunctionDefinition& function)
{
    if (contains (function.name, "Biquad_UpdateCoeff") || (function.firstText.empty() && function.secondText.empty()))
        return;

    const auto label = makeNameSafe (juce::String::fromUTF8 (function.firstText.c_str()));
    auto annotation = juce::String::fromUTF8 (function.secondText.c_str()).replace ("fs", getRateText());
    annotation = annotation.removeCharacters ("\r\n");

    const auto type = getLastParameterType (function);
    const auto indexed = function.hasIndexParameter();
    const auto channels = indexed ? node.getControlChannelCount() : 1u;
    const auto functionCount = definition.getSecondFunctionCount();
    const auto breakBefore = functionCount >= 11 && index == functionCount / 2;

    if (indexed)
        annotation << (node.getName() == "HQDistortion_Q1" || node.getName() == "HQDistortion_Q0" ? ", HEIGHT=100"
                                                                                                  : ", HEIGHT=50");

    for (uint32_t k = 0; k < channels; ++k)
    {
        if (breakBefore)
            body << breakLine;

        const auto name = indexed ? label + juce::String (k + 1) : label;
        writeControlLine (function, type, name, annotation, (getControlNumber (index) + k) & 0xFFFF, k + 1 == channels);
    }
}

void PanelScriptWriter::writeControlLine (const LibraryFunctionDefinition& function, const ParameterTypeCode& type,
                                          const juce::String& name, const juce::String& annotation, uint32_t number,
                                          bool isLastChannel)
{
    const auto indexed = function.hasIndexParameter();
    const Message bracket{ Message::Form::nrpn, NrpnForm::bracket7Bit, number };

    if (isParamTypeCode_4_0_16 (type))
    {
        writeControl ("CHECKBOX", name, ",def=0,min=0,max=1," + annotation, closeBracket, bracket, indexed);
        body << breakLine;
    }
    else if (isOnOffParamType (type))
    {
        writeControl ("CHECKBOX", name, ",def=0,valscale=(x)?0:180," + annotation, closeBracket, bracket, indexed);

        if (isLastChannel)
            body << breakLine;
    }
    else if (isParamTypeCode_4_0_25 (type))
    {
        // The list's entries follow the name directly; any other annotation
        // (a formula) would otherwise run into the name.
        const auto separated = annotation.isEmpty() || annotation.startsWithChar ('|') || annotation.startsWithChar (',');
        writeControl ("DROPDOWN", name, (separated ? "" : ",") + annotation, closeBracket, bracket, indexed);
        body << breakLine;
    }
    else if (! writeSliderLine (function, type, name, annotation, number))
    {
        if (isParamClass22 (type))
            return;

        const auto returnType = getFirstReturnType (function);

        if (isParamTypeCode_4_0_4 (returnType))
            writeMeterLine (name, true);
        else if (isParamTypeCode_4_0_28 (returnType))
            writeMeterLine (name, false);
    }
}

bool PanelScriptWriter::writeSliderLine (const LibraryFunctionDefinition& function, const ParameterTypeCode& type,
                                         const juce::String& name, const juce::String& annotation, uint32_t number)
{
    const auto label = makeNameSafe (juce::String::fromUTF8 (function.firstText.c_str()));
    const auto indexed = function.hasIndexParameter();
    const Message raw{ Message::Form::nrpn, NrpnForm::raw, number };
    const Message bracket{ Message::Form::nrpn, NrpnForm::bracket7Bit, number };
    const auto scale = ",valscale=" + annotation;

    if (isGainDbParamType (type))
    {
        auto reference = getCompressorReference (name, "Threshold", "Comp1.Param.Threshold1", "Compressor.Param[0].threshold");

        if (reference.isEmpty() && isCompressorLike() && name.contains ("Boost"))
            reference =
                isCompanderProcessKind (definition.processKind) ? ",Ref=Comp1.Param.Boost" : ",Ref=Compressor.Param[0].Boost";

        writeControl ("SLIDER", name, scale + ", valUnit=dB,valprec=1" + reference, closeBracket, raw, indexed);
    }
    else if (isLevelDbParamType (type))
    {
        writeControl ("SLIDER", name, scale + ", valUnit=dB, valprec=1", closeBracket, raw, indexed);
    }
    else if (isRange16383ParamType (type))
    {
        writeControl ("SLIDER", name, scale + ",min=0,max=16383, valUnit=, def=10,valprec=1", closeBracket, bracket, indexed);
    }
    else if (isFrequencyHzParamType (type))
    {
        writeControl ("SLIDER", name, scale + ",valUnit=Hz,valprec=1", closeBracket, raw, indexed);
    }
    else if (isRatioParamType (type))
    {
        const auto reference = getCompressorReference (name, "Ratio", "Comp1.Param.Ratio1", "Compressor.Param[1].ratio");
        writeControl ("SLIDER", name, scale + ",valUnit=:1,valprec=1" + reference, closeBracket, raw, indexed);
    }
    else if (isParamTypeCode_4_0_5 (type) && isTimeDelayLabel (label))
    {
        if (isDelayType())
            writeControl ("SLIDER", name,
                          ",valscale=" + getTimeDelayScale() + ", valUnit=ms,valprec=1" + ",def=0,min=0,max=16383*(" +
                              formatNumber (countSliderValue) + "*(" + getRateText() + "/65535))",
                          closeBracket, raw, indexed);
    }
    else if (isTimeMsParamType (type))
    {
        const auto unit = juce::String (type.kind == 0 ? ", valUnit=s" : ", valUnit=ms");

        if (isDelayType())
        {
            // A value counts memory words, two a sample but in 24-bit RAM:
            // what it stands for follows the memory.
            const auto wordsPerMs = samplingRateKhz * (node.memoryWord == 3 ? 1.0 : 2.0);
            const auto factor = formatNumber (wordsPerMs);
            const auto maximum = countSliderValue * wordsPerMs;
            writeControl ("SLIDER", name,
                          ",valscale=x/" + factor + ",descale=x*" + factor + ",valprec=3" + unit +
                              ",def=0,min=0,max=" + formatNumber (maximum),
                          closeBracket, { Message::Form::sysEx, NrpnForm::raw, number }, indexed, {}, wordsPerMs);
        }
        else
        {
            writeControl ("SLIDER", name, scale + ",valprec=3" + unit, closeBracket, raw, indexed);
        }
    }
    else if (isParamTypeCode_4_0_5 (type) || contains (function.name, "ShiftAmount") || contains (function.name, "Pitch"))
    {
        const auto plainUnit = label.contains ("Bias") || label.contains ("ShiftAmount") || label.contains ("Pitch");
        writeControl ("SLIDER", name, scale + (plainUnit ? ",valUnit=" : ",valUnit=%,valprec=1"), closeBracket,
                      label.contains ("ShiftAmount") ? bracket : raw, indexed);
    }
    else
    {
        return false;
    }

    return true;
}

void PanelScriptWriter::writeMeterLine (const juce::String& name, bool kindTicks)
{
    if (*meterId < 0)
        *meterId = meterIds->takeId();

    // Every id is held by another box: the panel does without this meter.
    if (*meterId < 0)
        return;

    meterWritten = true;
    const auto kind = definition.hasKind ? definition.processKind : 0u;
    const char* ticks = ",@Vuticks,def=70,max=70,height=80,barmin2=58,barmin3=69,";

    if (kindTicks && isCompanderProcessKind (kind))
        ticks = ",@CompanderVuTicks,def=70,max=70,height=80,barmin2=64,barmin3=70,";
    else if (kindTicks && (isCompressorProcessKind (kind) || isLimiterProcessKind (kind)))
        ticks = ",@CompressorVuTicks,def=70,max=70,height=80,barmin2=64,barmin3=70,";

    body << "METER[" << name << ticks << "SysEx=VuValue.Val]\n";
}

void PanelScriptWriter::writeControl (const char* kind, const juce::String& name, const juce::String& attributes,
                                      const char* separator, const Message& message, bool indexed, const juce::String& firstWord,
                                      double unitsPerQuantity)
{
    auto content = (firstWord.isNotEmpty() ? firstWord : name) + attributes;
    auto registered = (message.number & dataMask) | (indexed ? indexedFlag : 0u);

    if (message.form == Message::Form::sysEx)
        registered |= sysExFlag;
    else if (message.nrpnForm == NrpnForm::raw)
        registered |= rawNrpnFlag;

    const auto defaultValue = findDefault (content);
    auto range = findRange (content);
    range.unitsPerQuantity = unitsPerQuantity;
    const auto entry = controls.add (name, registered, defaultValue, range);

    if (entry.index < 0)
        return;

    // The library reports a control by the name the line gives it.
    if (entry.name != name)
        content = firstWord.isNotEmpty() ? withName (content, entry.name) : entry.name + attributes;

    const auto& stored = controls[entry.index].name;

    if (entry.isNew && ! store->isBuilt())
        store->addOrUpdateControl (registered, stored, true, defaultValue);

    // A preset's value goes into the line, so that the panel shows the preset
    // and the next save takes its values back rather than the defaults. A
    // store without presets leaves the description's defaults.
    if (replacement && store->findControl (stored) && store->isCurrentControlInPreset())
        content = withDefault (content, store->getCurrentValue());

    body << kind << "[" << content << separator << makeMessageText (message);
}

//==============================================================================
juce::String PanelScriptWriter::makeMessageText (const Message& message) const
{
    const auto channel = dspId > 0 ? (int) dspId - 1 : 0;

    if (message.form == Message::Form::sysEx)
        return makeSysExMessage (message.number, channel);

    return makeNrpnMessage (message.number, channel, message.nrpnForm);
}

juce::String PanelScriptWriter::makeNrpnMessage (uint32_t number, int channel, NrpnForm form)
{
    // Both halves travel as MIDI data bytes.
    const auto msb = hexByte ((number >> 8) & dataMask);
    const auto lsb = hexByte (number & dataMask);

    if (form == NrpnForm::raw)
    {
        const auto status = " 0xB" + juce::String::toHexString (channel & 0xF);
        return status + " 0x63 0x" + msb + status + " 0x62 0x" + lsb + status + " 0x26 xl" + status + " 0x6 xh\n";
    }

    return "NRPN[0x" + msb + "." + lsb + ",x" + (form == NrpnForm::bracket7Bit ? "l," : ",") + juce::String (channel) + "]\n";
}

juce::String PanelScriptWriter::makeSysExMessage (uint32_t number, int channel)
{
    return "0xF0 0 0x3A 0x7E 0x3D " + juce::String (channel) + " 0x" + hexByte ((number >> 8) & dataMask) + " 0x" +
           hexByte (number & dataMask) + " 4 xh3 xh2 xh xl 0xF7\n";
}

juce::String PanelScriptWriter::makeTitleLine (const juce::String& nodeName, const juce::String& definitionName, uint32_t dsp,
                                               uint32_t nrpn)
{
    return "[" + makeNameSafe (nodeName) + "  { " + makeNameSafe (definitionName) + " }  DSP" + juce::String (dsp) + " - #" +
           juce::String (nrpn) + "]\n";
}

juce::String PanelScriptWriter::makeMeterDefinitions (int id, uint32_t processKind)
{
    juce::String text;
    text << "SYSEXBUF[VuValue] = Val=0\n"
         << "\n"
         << "SYSEX[RcvMeter] = F0h 00h 3Ah 7Eh " << juce::String::toHexString (id & (int) dataMask) << "h BLOCK[VuValue] F7h\n"
         << "\n";

    if (isCompanderProcessKind (processKind))
        text << companderTicks;
    else if (isCompressorProcessKind (processKind) || isLimiterProcessKind (processKind))
        text << compressorTicks;
    else
        text << otherTicks;

    return text << "\n";
}

juce::String PanelScriptWriter::formatNumber (double value)
{
    auto text = juce::String (value, 6);

    if (text.containsChar ('.'))
        text = text.trimCharactersAtEnd ("0").trimCharactersAtEnd (".");

    return text == "-0" ? juce::String ("0") : text;
}

namespace
{
// The value of every whole attribute "key" (one that stands after a comma)
// of an attribute text, in order.
template <typename Visit>
void forEachAttribute (const juce::String& attributes, const char* key, Visit&& visit)
{
    const auto keyLength = (int) std::strlen (key);

    for (int position = attributes.indexOfIgnoreCase (key); position >= 0;
         position = attributes.indexOfIgnoreCase (position + keyLength, key))
    {
        if (! attributes.substring (0, position).trimEnd().endsWithChar (','))
            continue;

        const auto end = attributes.indexOfChar (position, ',');
        visit (position, end < 0 ? attributes.length() : end);
    }
}

// Every whole attribute "key" set to the value, or one appended when there
// is none.
juce::String withAttribute (const juce::String& attributes, const char* key, const juce::String& value)
{
    const auto keyLength = (int) std::strlen (key);
    juce::String result;
    int position = 0;
    auto found = false;

    forEachAttribute (attributes, key,
                      [&] (int start, int end)
                      {
                          result << attributes.substring (position, start + keyLength) << value;
                          position = end;
                          found = true;
                      });

    return found ? result + attributes.substring (position) : attributes + "," + key + value;
}

// The text of the last attribute "key" that is a plain number: digits, a
// leading minus and, when allowed, one decimal point.
std::optional<juce::String> findNumberText (const juce::String& attributes, const char* key, bool withPoint)
{
    std::optional<juce::String> found;
    const auto keyLength = (int) std::strlen (key);

    forEachAttribute (attributes, key,
                      [&] (int start, int end)
                      {
                          const auto text = attributes.substring (start + keyLength, end).trim();
                          const auto digits = text.startsWithChar ('-') ? text.substring (1) : text;
                          const auto points = digits.length() - digits.removeCharacters (".").length();

                          if (digits.isNotEmpty() && digits != "." && digits.length() < (withPoint ? 16 : 10) &&
                              digits.containsOnly ("0123456789.") && points <= (withPoint ? 1 : 0))
                              found = text;
                      });

    return found;
}

std::optional<double> findPlainNumber (const juce::String& attributes, const char* key)
{
    const auto text = findNumberText (attributes, key, true);
    return text.has_value() ? std::optional<double> (text->getDoubleValue()) : std::nullopt;
}

std::optional<int64_t> findWholeNumber (const juce::String& attributes, const char* key)
{
    const auto text = findNumberText (attributes, key, false);
    return text.has_value() ? std::optional<int64_t> (text->getLargeIntValue()) : std::nullopt;
}

} // namespace

uint32_t PanelScriptWriter::findDefault (const juce::String& attributes)
{
    const auto minimum = findWholeNumber (attributes, "min=");
    const auto maximum = findWholeNumber (attributes, "max=");
    auto value = findWholeNumber (attributes, "def=").value_or (minimum.value_or (0));

    if (minimum.has_value())
        value = std::max (value, *minimum);

    if (maximum.has_value())
        value = std::min (value, *maximum);

    return (uint32_t) std::max<int64_t> (value, 0);
}

ProcessControlList::Range PanelScriptWriter::findRange (const juce::String& attributes)
{
    ProcessControlList::Range range;
    const auto minimum = findPlainNumber (attributes, "min=");
    const auto maximum = findPlainNumber (attributes, "max=");

    if (minimum.has_value())
        range.minimum = (uint32_t) juce::jlimit (0.0, (double) 0xFFFFFFFFu, std::ceil (*minimum));

    if (maximum.has_value())
        range.maximum = (uint32_t) juce::jlimit (0.0, (double) 0xFFFFFFFFu, std::floor (*maximum));

    return range;
}

juce::String PanelScriptWriter::withDefault (const juce::String& attributes, uint32_t value)
{
    return withAttribute (attributes, "def=", juce::String (value));
}

juce::String PanelScriptWriter::withName (const juce::String& attributes, const juce::String& name)
{
    return withAttribute (attributes, "Name=", name);
}

juce::String PanelScriptWriter::makeNameSafe (const juce::String& name)
{
    return ProcessControlList::makeSafeName (name);
}

//==============================================================================
juce::String PanelScriptWriter::getCompressorReference (const juce::String& name, const char* word, const char* compander,
                                                        const char* compressor) const
{
    // The second threshold or ratio of a compander is tested first: its name
    // holds the first one's too.
    if (! isCompressorLike() || ! name.contains (word))
        return {};

    const auto numbered = juce::String (word) + "2";

    if (name.contains (numbered))
        return ",Ref=Comp1.Param." + numbered;

    return ",Ref=" + juce::String (isCompanderProcessKind (definition.processKind) ? compander : compressor);
}

juce::String PanelScriptWriter::getTimeDelayScale() const
{
    const auto rate = getRateText();
    return "(1/" + rate + ")*(1000+(65520*(" + formatNumber (countSliderValue) + "*(" + rate + "/65520))-1000)*(x/16383))";
}

uint32_t PanelScriptWriter::getControlNumber (int functionIndex) const
{
    return functionIndex >= 0 && (size_t) functionIndex < commandWords.size() ? commandWords[(size_t) functionIndex] & 0xFFFF : 0;
}

uint32_t PanelScriptWriter::getFirstControlNumber() const
{
    // A coefficient function comes first in many definitions and has no
    // control number: the bands would address no process at all.
    for (const auto word : commandWords)
        if (const auto number = word & 0xFFFF; number != 0 && number != 0xFFFF)
            return number;

    return (node.nrpn & 0xFF) << 8;
}

bool PanelScriptWriter::isDelayType() const
{
    return definition.isDelayType();
}

bool PanelScriptWriter::isCompressorLike() const
{
    const auto kind = definition.hasKind ? definition.processKind : 0u;
    return isCompressorProcessKind (kind) || isLimiterProcessKind (kind) || isCompanderProcessKind (kind);
}

//==============================================================================
ProcessControlList PanelScriptWriter::writeAside (const GraphNode& node, uint32_t dspId, double samplingRateKhz,
                                                  ProcessPresetStore& store)
{
    VuMeterIdPool asideIds;
    int asideMeterId = VuMeterIdPool::noId;
    PanelScriptWriter writer (*node.getProcessDefinition(), node, dspId, samplingRateKhz, (double) node.getChannelCount());
    writer.write (store, false, asideMeterId, asideIds);
    return writer.getControls();
}

ProcessControlList PanelScriptWriter::listControls (const GraphNode& node, uint32_t dspId, double samplingRateKhz)
{
    ProcessPresetStore aside;
    return node.getProcessDefinition() != nullptr ? writeAside (node, dspId, samplingRateKhz, aside) : ProcessControlList();
}

bool PanelScriptWriter::registerStoreControls (GraphNode& node, uint32_t dspId, double samplingRateKhz)
{
    const auto* definition = node.getProcessDefinition();
    auto& store = node.presetStore;

    if (definition == nullptr || definition->getSecondFunctionCount() == 0 || store.isBuilt())
        return false;

    // The text written registers the controls, in the order the panel lists
    // them, as a panel built would.
    store.markBuilding();
    writeAside (node, dspId, samplingRateKhz, store);
    store.markBuilt();
    return true;
}

bool PanelScriptWriter::updateStoreControls (GraphNode& node, uint32_t dspId, double samplingRateKhz,
                                             const ProcessControlList* before)
{
    const auto* definition = node.getProcessDefinition();

    if (definition == nullptr || definition->getSecondFunctionCount() == 0)
        return false;

    // Controls registered just now are those the panel lists, at their defaults.
    if (registerStoreControls (node, dspId, samplingRateKhz))
        return true;

    auto& store = node.presetStore;
    const auto controls = listControls (node, dspId, samplingRateKhz);
    auto changed = store.takeControlNumbers (controls);
    changed = store.followControls (controls) || changed;

    if (before != nullptr)
        changed = store.rescaleValues (*before, controls) || changed;

    return store.limitValuesTo (controls) || changed;
}
