#include "model/ProcessPresetStore.h"

#include "hvif/HalvixInterface.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace
{
constexpr uint32_t lowNumberMask = 0xFFFFu;
constexpr uint32_t fixedDelayRecognitionBits = 0x5EA0000u;

bool contains (const std::vector<int>& list, int position)
{
    return std::find (list.begin(), list.end(), position) != list.end();
}
} // namespace

ProcessPresetStore::ProcessPresetStore()
{
    reset (true);
}

ProcessPresetStore::~ProcessPresetStore() = default;

ProcessPresetStore::ProcessPresetStore (const ProcessPresetStore& other)
{
    reset (true);
    copyFrom (other);
}

ProcessPresetStore& ProcessPresetStore::operator= (const ProcessPresetStore& other)
{
    copyFrom (other);
    return *this;
}

ProcessPresetStore::ProcessPresetStore (ProcessPresetStore&&) noexcept = default;
ProcessPresetStore& ProcessPresetStore::operator= (ProcessPresetStore&&) noexcept = default;

//==============================================================================
int ProcessPresetStore::getPresetCount() const noexcept
{
    return (int) presets.size();
}

int ProcessPresetStore::getControlCount() const noexcept
{
    return (int) controls.size();
}

void ProcessPresetStore::syncControlCount (int limit)
{
    fixedControlCount = juce::jlimit (0, getControlCount(), limit);
}

juce::String ProcessPresetStore::getPresetName (int n) const
{
    if (auto* preset = getPresetRecord (n))
        return preset->name;

    return {};
}

PresetRecord* ProcessPresetStore::getPresetRecord (int n) const noexcept
{
    return n >= 0 && n < getPresetCount() ? presets[(size_t) n].get() : nullptr;
}

PresetRecord* ProcessPresetStore::getCurrentPresetRecord() const noexcept
{
    return getPresetRecord (currentPreset);
}

bool ProcessPresetStore::findPreset (const juce::String& presetName)
{
    const auto index = indexOfPreset (presetName);

    if (index < 0)
        return false;

    currentPreset = index;
    return true;
}

int ProcessPresetStore::indexOfPreset (const juce::String& presetName) const
{
    if (presetName.isEmpty())
        return -1;

    for (int i = 0; i < getPresetCount(); ++i)
        if (presets[(size_t) i]->name == presetName)
            return i;

    return -1;
}

//==============================================================================
bool ProcessPresetStore::addPreset()
{
    if (getPresetCount() >= maxPresets)
        return false;

    presets.push_back (std::make_unique<PresetRecord>());
    currentPreset = getPresetCount() - 1;
    lowerSelectedPresetToLast();
    return true;
}

void ProcessPresetStore::setCurrentPresetName (const juce::String& presetName)
{
    if (auto* preset = getCurrentPresetRecord())
        preset->name = presetName;
}

bool ProcessPresetStore::selectOrAddPreset (const juce::String& presetName, int valueCount, bool allowExisting)
{
    if (findPreset (presetName))
    {
        if (! allowExisting)
            return false;
    }
    else
    {
        if (! addPreset())
            return false;

        setCurrentPresetName (presetName);
    }

    auto& values = getCurrentPresetRecord()->values;

    if (valueCount > 0 && (size_t) valueCount < values.size())
        values.resize ((size_t) valueCount);
    else
        padWithDefaults (values, valueCount > 0 ? (size_t) valueCount : (size_t) getControlCount());

    return true;
}

bool ProcessPresetStore::copyPresetFrom (const PresetRecord* source, bool allowExisting)
{
    if (source == nullptr)
        return false;

    const auto existed = indexOfPreset (source->name) >= 0;

    // An existing preset takes the values even when it may not be selected
    // again; a refused new one (the store is full) must not pass them to
    // whichever preset happens to be current.
    if (! selectOrAddPreset (source->name, (int) source->values.size(), allowExisting) && ! existed)
        return false;

    if (auto* current = getCurrentPresetRecord(); current != nullptr && current != source)
        current->values = source->values;

    return true;
}

void ProcessPresetStore::removePresetByName (const juce::String& presetName)
{
    removePreset (indexOfPreset (presetName));
}

void ProcessPresetStore::removePreset (int n)
{
    if (n < 0 || n >= getPresetCount())
        return;

    presets.erase (presets.begin() + n);
    currentPreset = getPresetCount() - 1;
    lowerSelectedPresetToLast();
}

void ProcessPresetStore::padValuesToControlCount()
{
    if (auto* preset = getCurrentPresetRecord())
        padWithDefaults (preset->values, (size_t) getControlCount());
}

void ProcessPresetStore::padWithDefaults (std::vector<uint32_t>& values, size_t size) const
{
    values.reserve (size);

    while (values.size() < size)
    {
        auto* control = getControl ((int) values.size());
        values.push_back (control != nullptr ? control->defaultValue : 0u);
    }
}

void ProcessPresetStore::lowerSelectedPresetToLast() noexcept
{
    selectedPreset = std::min (selectedPreset, getPresetCount() - 1);
}

//==============================================================================
uint32_t ProcessPresetStore::toStoredNumber (uint32_t number, const juce::String& controlName) noexcept
{
    const auto keepsWholeNumber = number == fixedDelayControlNrpn || controlName == fixedDelayControlName;
    return number == noControlNumber ? 0 : (keepsWholeNumber ? number : (number & lowNumberMask));
}

bool ProcessPresetStore::addOrUpdateControl (uint32_t number, const juce::String& controlName, bool registerIndex,
                                             std::optional<uint32_t> defaultValue)
{
    const auto storedNumber = toStoredNumber (number, controlName);

    if (findControl (controlName))
    {
        controls[(size_t) currentControl]->nrpn = storedNumber;

        if (defaultValue.has_value())
            controls[(size_t) currentControl]->defaultValue = *defaultValue;
    }
    else
    {
        if (getControlCount() >= maxControls)
            return false;

        auto control = std::make_unique<ControlRecord>();
        control->nrpn = storedNumber;
        control->name = controlName;
        control->defaultValue = defaultValue.value_or (0u);
        controls.push_back (std::move (control));
        currentControl = getControlCount() - 1;
        controlPositions.emplace (controlName, currentControl);
    }

    if (registerIndex && number != noControlNumber)
        registerControl (currentControl, number);

    return true;
}

bool ProcessPresetStore::addOrUpdateControlOfKind (uint32_t number, const juce::String& controlName, bool fixed,
                                                   std::optional<uint32_t> defaultValue)
{
    if (! addOrUpdateControl (number, controlName, false, defaultValue))
        return false;

    registerControl (currentControl, fixed ? 0u : secondaryControlFlag);
    return true;
}

void ProcessPresetStore::registerControl (int position, uint32_t number)
{
    // A control is listed once, where it was first registered: a second entry
    // would give it two places when the order is normalised.
    if (isListed (position))
        return;

    if ((number & secondaryControlFlag) == 0)
    {
        fixedIndex.push_back (position);
        syncControlCount ((int) fixedIndex.size());
    }
    else
    {
        secondaryIndex.push_back (position);
    }
}

bool ProcessPresetStore::isFixedControl (int position) const
{
    // The lists say which controls are fixed; only a store without lists
    // falls back to its first fixed-count positions.
    if (fixedIndex.empty() && secondaryIndex.empty())
        return position < fixedControlCount;

    return contains (fixedIndex, position);
}

bool ProcessPresetStore::isListed (int position) const
{
    return contains (fixedIndex, position) || contains (secondaryIndex, position);
}

int ProcessPresetStore::indexOfControl (const juce::String& controlName) const
{
    const auto found = controlPositions.find (controlName);
    return found != controlPositions.end() ? found->second : -1;
}

bool ProcessPresetStore::findControl (const juce::String& controlName)
{
    const auto count = getControlCount();

    if (count == 0)
        return false;

    if (const auto position = indexOfControl (controlName); position >= 0)
    {
        currentControl = position;
        return true;
    }

    // As a search that went round from the current control, which may lie
    // past the end after controls were dropped, and found nothing.
    currentControl = currentControl < 0 ? 0 : currentControl % count;
    return false;
}

int ProcessPresetStore::getValidCurrentControl() const noexcept
{
    return currentControl >= 0 && currentControl < getControlCount() ? currentControl : -1;
}

const ControlRecord* ProcessPresetStore::getControl (int n) const noexcept
{
    return n >= 0 && n < getControlCount() ? controls[(size_t) n].get() : nullptr;
}

juce::String ProcessPresetStore::getCurrentControlName() const
{
    if (auto* control = getControl (currentControl))
        return control->name;

    return {};
}

uint32_t ProcessPresetStore::getCurrentControlNrpn() const noexcept
{
    if (auto* control = getControl (currentControl))
        return control->nrpn;

    return 0;
}

bool ProcessPresetStore::isFixedDelayControl() const noexcept
{
    if (! fixedDelayControlHeld)
        return false;

    if (auto* control = getControl (currentControl))
        return (control->nrpn | fixedDelayRecognitionBits) == fixedDelayControlNrpn;

    return false;
}

bool ProcessPresetStore::hasBuiltControls() const noexcept
{
    return built && getControlCount() + fixedControlCount != 0;
}

void ProcessPresetStore::dropAllControls()
{
    controls.clear();
    controlPositions.clear();
    fixedIndex.clear();
    secondaryIndex.clear();
    fixedControlCount = 0;
    currentControl = -1;
}

void ProcessPresetStore::copyControlsFrom (const ProcessPresetStore& source)
{
    if (&source == this)
        return;

    dropAllControls();

    for (int i = 0; i < source.getControlCount(); ++i)
    {
        const auto& control = *source.controls[(size_t) i];

        if (findControl (control.name))
            continue;

        addOrUpdateControlOfKind (control.nrpn, control.name, source.isFixedControl (i), control.defaultValue);
    }
}

bool ProcessPresetStore::takeControlNumbers (const ProcessControlList& list)
{
    auto changed = false;

    for (auto& control : controls)
    {
        const auto index = control->name == fixedDelayControlName ? -1 : list.indexOf (control->name);

        if (index < 0)
            continue;

        const auto number = toStoredNumber (list[index].number, control->name);
        changed = changed || number != control->nrpn;
        control->nrpn = number;
    }

    return changed;
}

bool ProcessPresetStore::holdsControlsOf (const ProcessControlList& list) const
{
    int held = 0;

    for (const auto& control : controls)
    {
        if (control->name == fixedDelayControlName)
            continue;

        if (const auto index = list.indexOf (control->name); index < 0 || list[index].name != control->name)
            return false;

        ++held;
    }

    return held == list.size();
}

bool ProcessPresetStore::followControls (const ProcessControlList& list)
{
    if (! built || holdsControlsOf (list))
        return false;

    std::vector<std::map<juce::String, uint32_t>> named (presets.size());

    for (size_t p = 0; p < presets.size(); ++p)
        for (size_t i = 0; i < presets[p]->values.size() && i < controls.size(); ++i)
            named[p][controls[i]->name] = presets[p]->values[i];

    std::optional<ControlRecord> delayControl;

    for (const auto& control : controls)
        if (control->name == fixedDelayControlName)
            delayControl = *control;

    dropAllControls();
    orderNormalised = false;

    for (int i = 0; i < list.size(); ++i)
        addOrUpdateControl (list[i].number, list[i].name, true, list[i].defaultValue);

    if (delayControl.has_value())
        addOrUpdateControl (delayControl->nrpn, delayControl->name, true, delayControl->defaultValue);

    for (size_t p = 0; p < presets.size(); ++p)
    {
        auto& values = presets[p]->values;
        values.clear();

        for (const auto& control : controls)
        {
            const auto value = named[p].find (control->name);
            values.push_back (value != named[p].end() ? value->second : control->defaultValue);
        }

        // In registration order now, which the normalising step puts right.
        presets[p]->orderDone = false;
    }

    return true;
}

//==============================================================================
uint32_t ProcessPresetStore::getCurrentValue() const noexcept
{
    if (! isCurrentControlInPreset() || currentControl >= getControlCount())
        return 0;

    return getCurrentPresetRecord()->values[(size_t) currentControl];
}

void ProcessPresetStore::setCurrentValue (uint32_t value) noexcept
{
    if (isCurrentControlInPreset() && currentControl < getControlCount())
        getCurrentPresetRecord()->values[(size_t) currentControl] = value;
}

bool ProcessPresetStore::isCurrentControlInPreset() const noexcept
{
    auto* preset = getCurrentPresetRecord();
    return preset != nullptr && currentControl >= 0 && (size_t) currentControl < preset->values.size();
}

void ProcessPresetStore::markCurrentPresetOrderDone() noexcept
{
    if (auto* preset = getCurrentPresetRecord())
        if (currentControl >= 0 && currentControl < getControlCount())
            preset->orderDone = true;
}

void ProcessPresetStore::takeValuesFromPanel (HvIfPanel& panel, const juce::String& presetName)
{
    if (! findPreset (presetName))
        return;

    constexpr uint32_t libraryBit = 0x80000000u;

    for (auto* item = panel.getFirstControlItem (presetName.toRawUTF8()); item != nullptr; item = item->getNext())
    {
        const auto* itemName = item->getName();

        if (itemName != nullptr && findControl (juce::String::fromUTF8 (itemName)))
            setCurrentValue (item->getValue() & ~libraryBit);
    }
}

void ProcessPresetStore::takeShownValuesAsLastSaved()
{
    normaliseControlOrder();

    // The values shown are the current preset's (one the user loaded, say),
    // which the global presets take as well.
    const auto* current = getCurrentPresetRecord();
    const auto shown =
        current != nullptr && current->name != lastSavedPresetName ? std::optional<PresetRecord> (*current) : std::nullopt;

    selectOrAddPreset (lastSavedPresetName, 0, true);

    if (shown.has_value())
    {
        auto* lastSaved = getCurrentPresetRecord();
        lastSaved->values = shown->values;
        lastSaved->orderDone = shown->orderDone;
        padValuesToControlCount();
    }
}

void ProcessPresetStore::takePanelValuesAsLastSaved (HvIfPanel& panel)
{
    takeShownValuesAsLastSaved();
    takeValuesFromPanel (panel, lastSavedPresetName);
}

void ProcessPresetStore::takeValuesAsLastSaved (const ProcessPresetStore& source, const PresetRecord& preset)
{
    selectOrAddPreset (lastSavedPresetName, 0, true);

    for (int c = 0; c < source.getControlCount() && c < (int) preset.values.size(); ++c)
        if (findControl (source.getControl (c)->name))
            setCurrentValue (preset.values[(size_t) c]);
}

bool ProcessPresetStore::limitValuesTo (const ProcessControlList& list)
{
    auto changed = false;

    for (size_t c = 0; c < controls.size(); ++c)
    {
        const auto index = list.indexOf (controls[c]->name);

        if (index < 0)
            continue;

        const auto& range = list[index].range;

        for (auto& preset : presets)
        {
            if (c >= preset->values.size())
                continue;

            auto& value = preset->values[c];
            const auto limited = juce::jlimit (range.minimum, juce::jmax (range.minimum, range.maximum), value);
            changed = changed || limited != value;
            value = limited;
        }
    }

    return changed;
}

bool ProcessPresetStore::rescaleValues (const ProcessControlList& before, const ProcessControlList& after)
{
    auto changed = false;

    for (size_t c = 0; c < controls.size(); ++c)
    {
        const auto old = before.indexOf (controls[c]->name);
        const auto now = after.indexOf (controls[c]->name);

        if (old < 0 || now < 0)
            continue;

        const auto from = before[old].range.unitsPerQuantity;
        const auto to = after[now].range.unitsPerQuantity;

        if (from <= 0.0 || to <= 0.0 || from == to)
            continue;

        for (auto& preset : presets)
        {
            if (c >= preset->values.size())
                continue;

            auto& value = preset->values[c];
            const auto converted = (uint32_t) juce::jlimit (0.0, (double) 0xFFFFFFFFu, std::round ((double) value * to / from));
            changed = changed || converted != value;
            value = converted;
        }
    }

    return changed;
}

//==============================================================================
void ProcessPresetStore::setName (const juce::String& newName)
{
    if (newName.isNotEmpty())
        name = newName;
}

void ProcessPresetStore::clear (bool dropControls)
{
    name = {};
    presets.clear();

    if (dropControls)
    {
        controls.clear();
        controlPositions.clear();
    }

    reset (dropControls);
}

void ProcessPresetStore::reset (bool dropControls)
{
    currentPreset = -1;
    selectedPreset = -1;
    currentControl = -1;
    tableId = -1;
    building = false;
    orderNormalised = false;
    delayCount = 0;
    extraFlag = 0;
    name = {};

    if (dropControls)
    {
        built = false;
        fixedIndex.clear();
        secondaryIndex.clear();
        fixedControlCount = 0;
    }
}

void ProcessPresetStore::copyFrom (const ProcessPresetStore& source)
{
    // Clearing first would lose everything when the source is this store.
    if (&source == this)
        return;

    clear (true);

    fixedControlCount = source.fixedControlCount;
    fixedIndex = source.fixedIndex;
    secondaryIndex = source.secondaryIndex;
    orderNormalised = source.orderNormalised;
    selectedPreset = source.selectedPreset;
    delayCount = source.delayCount;
    building = source.building;
    built = source.built;
    fixedDelayControlHeld = source.fixedDelayControlHeld;
    extraFlag = source.extraFlag;
    tableId = source.tableId;
    name = source.name;

    // Records are copied as they are, so that the copied index lists keep
    // naming the same controls and presets of equal names stay apart.
    for (const auto& control : source.controls)
        controls.push_back (std::make_unique<ControlRecord> (*control));

    controlPositions = source.controlPositions;

    for (const auto& preset : source.presets)
        presets.push_back (std::make_unique<PresetRecord> (*preset));

    currentPreset = source.currentPreset;
    currentControl = source.currentControl;
}

//==============================================================================
void ProcessPresetStore::normaliseControlOrder()
{
    if (orderNormalised)
        return;

    const auto count = getControlCount();
    const auto listsUsed = ! fixedIndex.empty() || ! secondaryIndex.empty();

    // oldPositions[k] is the old position of the control that goes to k:
    // the fixed controls, then the secondary ones, each in registration order,
    // then the controls in neither list in their old order, so none is lost.
    std::vector<int> oldPositions;
    std::vector<int> newPositions ((size_t) count, -1);
    oldPositions.reserve ((size_t) count);

    auto place = [&] (int oldPosition)
    {
        if (oldPosition < 0 || oldPosition >= count || newPositions[(size_t) oldPosition] >= 0)
            return -1;

        newPositions[(size_t) oldPosition] = (int) oldPositions.size();
        oldPositions.push_back (oldPosition);
        return newPositions[(size_t) oldPosition];
    };

    auto renumber = [&] (std::vector<int>& list)
    {
        std::vector<int> renumbered;

        for (auto oldPosition : list)
            if (const auto k = place (oldPosition); k >= 0)
                renumbered.push_back (k);

        list = std::move (renumbered);
    };

    renumber (fixedIndex);
    renumber (secondaryIndex);

    for (int i = 0; i < count; ++i)
        place (i);

    if (listsUsed)
    {
        std::vector<std::unique_ptr<ControlRecord>> reordered;
        reordered.reserve ((size_t) count);

        for (auto oldPosition : oldPositions)
            reordered.push_back (std::move (controls[(size_t) oldPosition]));

        controls = std::move (reordered);

        for (auto& named : controlPositions)
            named.second = newPositions[(size_t) named.second];

        if (currentControl >= 0 && currentControl < count)
            currentControl = newPositions[(size_t) currentControl];
    }

    for (auto& preset : presets)
    {
        if (preset->orderDone)
            continue;

        // Values written while the program ran are still in the old order and
        // move with their controls.
        if (listsUsed)
        {
            std::vector<uint32_t> values;
            padWithDefaults (values, (size_t) count);

            for (size_t k = 0; k < oldPositions.size(); ++k)
                if ((size_t) oldPositions[k] < preset->values.size())
                    values[k] = preset->values[(size_t) oldPositions[k]];

            preset->values = std::move (values);
        }

        preset->orderDone = true;
    }

    orderNormalised = true;
}
