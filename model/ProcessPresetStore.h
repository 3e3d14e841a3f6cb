#pragma once

#include "model/ProcessControlList.h"
#include "model/StringKey.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class HvIfPanel;

// One adjustable value of a process's control panel, with the value its
// panel starts from, which a preset that does not hold it takes too.
struct ControlRecord
{
    uint32_t nrpn = 0;
    juce::String name;
    uint32_t defaultValue = 0;
};

// A named vector of values, one per control, indexed by the control's
// position in the store's control list.
struct PresetRecord
{
    juce::String name;
    bool orderDone = false; // the values are known to be in the store's normalised control order
    std::vector<uint32_t> values;
};

// The controls and named presets of one process node. The graph node holds
// the process's store, the one home of its values, which its box and control
// panel only show and edit; the project's preset collections and the undo
// history keep their own copies, made with copyFrom (which the copy
// constructor and assignment use as well). A store is plain data: it never
// reaches into a control panel, whose owner hands it the values shown.
//
// A control is "fixed" or "secondary" as registered: bit 31 of the number
// given at registration marks a secondary control. Counts are kept to 255
// controls (the process's control list says which) and 255 presets, as the
// preset files and generated tables hold them in a byte: a further one is
// refused.
class ProcessPresetStore
{
public:
    static constexpr int maxControls = ProcessControlList::maxControls;
    static constexpr int maxPresets = 255;

    // The control that carries a delay process's delay count in its presets.
    static constexpr const char* fixedDelayControlName = "-/-delay-/-";
    static constexpr uint32_t fixedDelayControlNrpn = 0x5EAF00D;

    // The preset that holds a process's working values as last saved.
    static constexpr const char* lastSavedPresetName = "(Last-Saved)";

    static constexpr uint32_t secondaryControlFlag = 0x80000000u;
    static constexpr uint32_t noControlNumber = 0xFFFFFFFFu;

    ProcessPresetStore();
    ~ProcessPresetStore();
    ProcessPresetStore (const ProcessPresetStore& other);
    ProcessPresetStore& operator= (const ProcessPresetStore& other);
    ProcessPresetStore (ProcessPresetStore&&) noexcept;
    ProcessPresetStore& operator= (ProcessPresetStore&&) noexcept;

    //==============================================================================
    // Counts and lookups
    int getPresetCount() const noexcept;
    int getControlCount() const noexcept;
    int getFixedControlCount() const noexcept { return fixedControlCount; }

    // Refreshes the control count and sets the fixed count to the smaller of it
    // and the limit (callers pass the size of the fixed index list).
    void syncControlCount (int limit);

    // Empty when n is out of range.
    juce::String getPresetName (int n) const;

    // None when n is out of range.
    PresetRecord* getPresetRecord (int n) const noexcept;
    PresetRecord* getCurrentPresetRecord() const noexcept;

    // Makes the first preset of that name current; false (and nothing changed)
    // for an empty name or no match.
    bool findPreset (const juce::String& name);

    // Index of the first preset of that name, -1 for an empty name or none.
    int indexOfPreset (const juce::String& name) const;

    void setCurrentPreset (int n) noexcept { currentPreset = n; }
    int getCurrentPreset() const noexcept { return currentPreset; }
    void setSelectedPreset (int n) noexcept { selectedPreset = n; }
    int getSelectedPreset() const noexcept { return selectedPreset; }

    //==============================================================================
    // Presets

    // Appends an empty preset and makes it current; false when 255 are held.
    bool addPreset();

    void setCurrentPresetName (const juce::String& name);

    // Makes the named preset current, or appends it (false when 255 are held);
    // false at once when it exists and allowExisting is clear. Then sizes the
    // current preset's values to valueCount, or with 0 pads them up to the
    // control count. A value added for a control is its default.
    bool selectOrAddPreset (const juce::String& name, int valueCount, bool allowExisting);

    // selectOrAddPreset with the source's name and value count, then copies its
    // values. False when the source is none or no preset could be made.
    bool copyPresetFrom (const PresetRecord* source, bool allowExisting);

    void removePresetByName (const juce::String& name);
    void removePreset (int n);

    void padValuesToControlCount();

    //==============================================================================
    // Controls

    // Updates the number of the control of that name, or appends a new control
    // and makes it current; false when a new one would be the 256th. A
    // default given replaces the control's (0 for a new one without).
    bool addOrUpdateControl (uint32_t number, const juce::String& name, bool registerIndex,
                             std::optional<uint32_t> defaultValue = {});

    // The same, with the control listed as fixed or secondary as asked,
    // whatever bit 31 of its number says: a number kept whole (the delay
    // control's) may have that bit set.
    bool addOrUpdateControlOfKind (uint32_t number, const juce::String& name, bool fixed,
                                   std::optional<uint32_t> defaultValue = {});

    // The control of that name becomes current. (A name is held once, so
    // this is the match of a circular search from the current control.)
    bool findControl (const juce::String& name);

    // The position of the control of that name, -1 for none; nothing becomes current.
    int indexOfControl (const juce::String& name) const;

    void setCurrentControl (int n) noexcept { currentControl = n; }
    int getCurrentControl() const noexcept { return currentControl; }
    int getValidCurrentControl() const noexcept;
    juce::String getCurrentControlName() const;
    uint32_t getCurrentControlNrpn() const noexcept;
    bool isFixedDelayControl() const noexcept;

    // None when n is out of range.
    const ControlRecord* getControl (int n) const noexcept;

    const std::vector<int>& getFixedIndex() const noexcept { return fixedIndex; }
    const std::vector<int>& getSecondaryIndex() const noexcept { return secondaryIndex; }

    // Whether the control at the position is fixed (else secondary).
    bool isFixedControl (int position) const;

    bool hasBuiltControls() const noexcept;

    void markBuilding() noexcept { building = true; }
    void markBuilt() noexcept
    {
        building = false;
        built = true;
    }
    bool isBuilding() const noexcept { return building; }
    bool isBuilt() const noexcept { return built; }

    // Replaces this store's controls with the source's: its first fixed-count
    // controls as fixed, the rest as secondary.
    void copyControlsFrom (const ProcessPresetStore& source);

    // Every control of a name the process's control list gives takes the
    // number it has there (the user typed another control number): the
    // controls keep their places, kinds and values. True when a number changed.
    bool takeControlNumbers (const ProcessControlList& list);

    // A built store whose controls are not those the list gives (the user
    // typed a control number that joins a control to another one's
    // parameter, or parts them again) takes the list's, in its order: each
    // preset keeps the value of every control that keeps its name, a new
    // control takes its default, a joined one's value goes. The fixed delay
    // control stays. True when the controls changed.
    bool followControls (const ProcessControlList& list);

    //==============================================================================
    // Values of the current control in the current preset
    uint32_t getCurrentValue() const noexcept;
    void setCurrentValue (uint32_t value) noexcept;
    bool isCurrentControlInPreset() const noexcept;
    void markCurrentPresetOrderDone() noexcept;

    // Takes into the named preset the values the control panel shows.
    void takeValuesFromPanel (HvIfPanel& panel, const juce::String& presetName);

    // What a save keeps of the values shown: the control order normalised,
    // then "(Last-Saved)" made current (added when missing) with the values
    // of the preset that was current (one the user loaded, say).
    void takeShownValuesAsLastSaved();

    // The values a control panel shows become the process's: "(Last-Saved)",
    // made current as a save makes it, takes them.
    void takePanelValuesAsLastSaved (HvIfPanel& panel);

    // Another store's preset becomes the process's values: "(Last-Saved)",
    // made current (added when missing), takes the value of every control
    // the source holds under the same name.
    void takeValuesAsLastSaved (const ProcessPresetStore& source, const PresetRecord& preset);

    // Every value of a control the list gives kept within the control's
    // range there; true when one changed.
    bool limitValuesTo (const ProcessControlList& list);

    // Every value of a control whose scale differs in the two lists (a
    // delay's time, whose units follow its memory) converted so that it
    // stands for the same quantity; true when one changed.
    bool rescaleValues (const ProcessControlList& before, const ProcessControlList& after);

    //==============================================================================
    // Name and the rest of the record
    // An empty name is ignored.
    void setName (const juce::String& newName);
    const juce::String& getName() const noexcept { return name; }

    uint32_t getDelayCount() const noexcept { return delayCount; }
    void setDelayCount (uint32_t count) noexcept { delayCount = count; }

    int getTableId() const noexcept { return tableId; }
    void setTableId (int id) noexcept { tableId = id; }

    bool hasFixedDelayControl() const noexcept { return fixedDelayControlHeld; }
    void setHasFixedDelayControl() noexcept { fixedDelayControlHeld = true; }

    // A flag byte of the owner's, kept with the store and cleared by reset.
    uint8_t getExtraFlag() const noexcept { return extraFlag; }
    void setExtraFlag (uint8_t flag) noexcept { extraFlag = flag; }

    bool isOrderNormalised() const noexcept { return orderNormalised; }

    //==============================================================================
    // Whole store

    // Drops the name and every preset, with dropControls the controls too, then reset.
    void clear (bool dropControls);
    void reset (bool dropControls);

    // Makes this store an equal copy of the source (nothing when it is this store).
    void copyFrom (const ProcessPresetStore& source);

    // Puts the fixed controls first and the secondary ones after them, each in
    // registration order, with the values of presets not yet in that order
    // moved with their controls. Runs once per store.
    void normaliseControlOrder();

private:
    // The number a control is kept under: its low 16 bits, the delay
    // control's whole.
    static uint32_t toStoredNumber (uint32_t number, const juce::String& controlName) noexcept;
    void registerControl (int position, uint32_t number);
    // Grows the values up to the size with the defaults of the controls at
    // the new positions (0 past the last control).
    void padWithDefaults (std::vector<uint32_t>& values, size_t size) const;
    bool isListed (int position) const;
    bool holdsControlsOf (const ProcessControlList& list) const;
    // No control, and no list of them; the presets stay.
    void dropAllControls();
    void lowerSelectedPresetToLast() noexcept;

    std::vector<std::unique_ptr<ControlRecord>> controls;
    // The position of each control by its name: a file's store registers up
    // to 255 controls, each looked for first, and a walk through them all
    // for each would cost the square of their number.
    StringKeyMap<int> controlPositions;
    std::vector<std::unique_ptr<PresetRecord>> presets;
    std::vector<int> secondaryIndex;
    std::vector<int> fixedIndex;

    int fixedControlCount = 0;
    int currentPreset = -1;
    int selectedPreset = -1;
    uint32_t delayCount = 0;
    int tableId = -1;
    bool building = false;
    bool built = false;
    bool orderNormalised = false;
    bool fixedDelayControlHeld = false;
    uint8_t extraFlag = 0;
    juce::String name;
    int currentControl = -1;
};
