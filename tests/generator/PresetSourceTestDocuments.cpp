#include "PresetSourceTestDocuments.h"

namespace presetsourcetest
{
const char* const processDocument = R"XML(<?xml version="1.0" encoding="UTF-8"?>
<PRESETS Version="1.01" NumberOfTableId="0">
  <Class name="Compressor">
    <CountGroup count="1" TableId="-1">
      <Preset>
        <Count NumberOfPresets="2" NumberOfControls="3" NumberOfFixedControls="1"/>
        <Controls fixedName1="Threshold" fixedNrpn1="16" Name1="Ratio" Nrpn1="2147500049" Name2="Attack" Nrpn2="32786"/>
        <Lists>
          <List name="Soft" fixedValue1="10" Value1="3" Value2="100000"/>
          <List name="Hard" fixedValue1="20" Value1="7" Value2="5"/>
        </Lists>
      </Preset>
    </CountGroup>
  </Class>
  <Class name="ShortDelay">
    <CountGroup count="1" TableId="-1">
      <Preset>
        <Count NumberOfPresets="1" NumberOfControls="3" NumberOfFixedControls="2"/>
        <Controls fixedName1="Time" fixedNrpn1="48" fixedName2="-/-delay-/-" fixedNrpn2="99282957" Name1="Feedback" Nrpn1="49203" delay="1"/>
        <Lists>
          <List name="Echo" fixedValue1="5" delayCount="48" Value1="70000"/>
        </Lists>
      </Preset>
    </CountGroup>
  </Class>
  <Class name="Biquad">
    <CountGroup count="4" TableId="-1">
      <Preset>
        <Count NumberOfPresets="1" NumberOfControls="3" NumberOfFixedControls="0"/>
        <Controls Name1="Gain" Nrpn1="2147483680" Name2="Frequency" Nrpn2="2147500065" Name3="Q" Nrpn3="2147483682"/>
        <Lists>
          <List name="Flat" Value1="64" Value2="1000" Value3="7"/>
        </Lists>
      </Preset>
    </CountGroup>
  </Class>
</PRESETS>
)XML";

const char* const globalDocument = R"XML(<?xml version="1.0" encoding="UTF-8"?>
<PRESETS Version="1.01" NumberOfTableId="3">
  <PresetList>
    <Class name="Compressor">
      <CountGroup count="1" TableId="0">
        <Preset>
          <Count NumberOfPresets="2" NumberOfControls="2" NumberOfFixedControls="1"/>
          <Controls fixedName1="Threshold" fixedNrpn1="16" Name1="Ratio" Nrpn1="2147500049"/>
          <Lists>
            <List name="GlobalPresetA_DSP01-PCS02" fixedValue1="10" Value1="3"/>
            <List name="GlobalPresetB_DSP01-PCS02" fixedValue1="20" Value1="7"/>
          </Lists>
        </Preset>
      </CountGroup>
    </Class>
    <Class name="Gain">
      <CountGroup count="1" TableId="2">
        <Preset>
          <Count NumberOfPresets="1" NumberOfControls="1" NumberOfFixedControls="1"/>
          <Controls fixedName1="Level" fixedNrpn1="17"/>
          <Lists>
            <List name="GlobalPresetA_DSP02-PCS01" fixedValue1="99"/>
          </Lists>
        </Preset>
      </CountGroup>
    </Class>
  </PresetList>
  <Class name="Ignored">
    <CountGroup count="1" TableId="-1">
      <Preset>
        <Count NumberOfPresets="1" NumberOfControls="1" NumberOfFixedControls="1"/>
        <Controls fixedName1="X" fixedNrpn1="1"/>
        <Lists><List name="Menu" fixedValue1="1"/></Lists>
      </Preset>
    </CountGroup>
  </Class>
</PRESETS>
)XML";

void addGlobalPreset (Design& design, const juce::String& name,
                      std::initializer_list<std::pair<uint32_t, std::initializer_list<uint32_t>>> tables)
{
    auto& list = design.getGlobalPresets();
    list.addIfMissing (name);
    auto* preset = list.getCurrent();

    for (const auto& [dspId, keys] : tables)
    {
        preset->addTable (dspId);

        for (auto k : keys)
            preset->findTableByDsp (dspId)->appendRawKey (k);
    }
}
} // namespace presetsourcetest
