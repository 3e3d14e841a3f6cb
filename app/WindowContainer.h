#pragma once

#include "app/BoardMidiCallback.h"
#include "app/HelpWindow.h"
#include "app/MainContainer.h"
#include "app/MidiDevices.h"
#include "app/OutputLogWindow.h"
#include "hvif/HalvixInterface.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <memory>

class ProjectInterface;

// The content of the main window: the tabbed main container under a strip
// of the application's controls: the "Project" button with the File menu,
// "?" for the about box, a status label shown for two seconds, the MIDI
// devices that lead to the development board, and the global presets with
// their "Save"/"Create" and "Remove" buttons. It also owns the log window.
//
// MIDI devices are opened by their identifier, which is what is remembered:
// "Refresh" lists the devices again and opens the same ones again, once,
// wherever they now stand in the lists. The open output is where the board
// messages and the MIDI-control library's messages go (through the board
// callback's lock); incoming System Exclusive messages are handed to the
// library on the message thread.
class WindowContainer : public juce::Component,
                        public juce::ComboBox::Listener,
                        public juce::Button::Listener,
                        public juce::Timer,
                        public juce::MidiInputCallback
{
public:
    static constexpr const char* logWindowTitle = "Ostrane Quellion - Log";
    static constexpr int statusShowTimeMs = 2000;
    static constexpr int fileMenuItemHeight = 19;

    // The File menu's item ids; the recent files follow recentFileBaseId.
    enum FileMenuItem
    {
        newProjectItem = 1,
        openProjectItem = 2,
        saveItem = 3,
        saveAsItem = 4,
        clearRecentFilesItem = 5,
        generateItem = 6,
        exitItem = 7,
        nrpnListItem = 8,
        recentFileBaseId = 100
    };

    // The item of the global-preset choice that stands for a new preset.
    static constexpr const char* newGlobalPresetItem = "(New)";
    static constexpr int newGlobalPresetId = 1;

    // The settings file is shared with the main window and must outlive
    // this, as must the board callback (the MIDI-control library's, which
    // sends on the open output); without one the container keeps its own.
    WindowContainer (juce::PropertiesFile& settings, HvIfInterface* midiControl, BoardMidiCallback* boardCallback = nullptr);
    ~WindowContainer() override;

    MainContainer& getMainContainer() noexcept { return mainContainer; }
    ProjectInterface& getProjectInterface() noexcept;

    //==============================================================================
    // Status label: the text shown for two seconds (a new one restarts the time).
    void showProjectSaved();
    void showProjectLoaded();
    void showGlobalPresetLoaded();
    void showStatus (const juce::String& text);
    // Only the text changes.
    void showLoading();
    juce::Label& getStatusLabel() noexcept { return statusLabel; }

    // Hides the label.
    void timerCallback() override;

    //==============================================================================
    // File menu
    static juce::PopupMenu createFileMenu (const juce::RecentlyOpenedFilesList& recentFiles);
    void showFileMenu();
    void handleFileMenu (int itemId);
    juce::TextButton& getProjectButton() noexcept { return projectButton; }

    //==============================================================================
    // Empties the log, heads it with the time of this call, and shows the log
    // window afresh, where it was last left (or along the bottom of this
    // container the first time).
    void showLogWindow();
    // Closes the log window as its close button does, when there is one.
    void closeLogWindow();
    OutputLogWindow* getLogWindow() const noexcept { return logWindow.get(); }

    static juce::String makeLogHeader (juce::Time time);

    // The about box, made on first use and shown again by every "?".
    void showAboutWindow();
    HelpWindow* getAboutWindow() const noexcept { return aboutWindow.get(); }
    juce::TextButton& getAboutButton() noexcept { return aboutButton; }

    //==============================================================================
    // MIDI devices

    // Closes both devices, lists the system's devices again and opens the
    // ones in use before once more, when they are still there.
    void refreshMidiDevices();

    MidiInputPort* getMidiInput() const noexcept { return midiInput.get(); }
    MidiOutputPort* getMidiOutput() const noexcept { return midiOutput.get(); }
    BoardMidiCallback& getBoardCallback() noexcept { return boardCallback; }

    juce::ComboBox& getMidiInputCombo() noexcept { return midiInCombo; }
    juce::ComboBox& getMidiOutputCombo() noexcept { return midiOutCombo; }
    juce::TextButton& getRefreshButton() noexcept { return refreshButton; }

    // The MIDI input's thread: System Exclusive messages go on to the
    // MIDI-control library, on the message thread; others are dropped.
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

    //==============================================================================
    // Global presets

    // Fills the choice with "(New)" and the design's global presets and
    // selects "(New)" (without applying anything); the design is locked
    // while it has global presets, and the window's title says so.
    void refreshGlobalPresetList();

    // After a save or an open: "Save"/"Create" can be used, and "Remove"
    // while a stored global preset is chosen. A new project disables both.
    void enableGlobalPresetButtons();
    void disableGlobalPresetButtons();

    // What "Save"/"Create" does for the entry chosen (by the entry, never
    // by its text: a global preset may be named "(New)"): "(New)" creates,
    // a global preset is saved into, nothing chosen does nothing. True when
    // a global preset was saved.
    bool saveChosenGlobalPreset();

    // Asks for a name (a blank one or one in use creates nothing) and
    // creates that global preset, which locks the design. A save that
    // failed creates nothing and leaves the design as it was.
    bool createGlobalPreset();

    // Saves the design into that global preset; a failed save leaves it as
    // it was.
    bool saveGlobalPreset (const juce::String& name);

    juce::ComboBox& getGlobalPresetCombo() noexcept { return globalPresetCombo; }
    juce::TextButton& getSavePresetButton() noexcept { return savePresetButton; }
    juce::TextButton& getRemovePresetButton() noexcept { return removePresetButton; }

    //==============================================================================
    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* comboBox) override;

private:
    void setUpProjectButtons();
    void setUpMidiGroup();
    void setUpGlobalPresetGroup();

    void fillMidiCombos();
    // By value: the identifier may be the remembered one, which they reset.
    void openMidiInput (juce::String identifier);
    void openMidiOutput (juce::String identifier);
    void closeMidiInput();
    void closeMidiOutput();
    void midiInputChosen();
    void midiOutputChosen();
    void forwardSysEx (const std::vector<uint8_t>& message);

    void keepBoxInFront();
    void globalPresetChosen();
    // The buttons' texts and states for the choice.
    void updateGlobalPresetButtons();
    void confirmRemoveGlobalPreset();
    void removeChosenGlobalPresetLater();
    void showCreatedGlobalPreset (const juce::String& name);
    // Whether the preset was saved and whether the save created it.
    std::pair<bool, bool> runSavePresetThread (const juce::String& name, bool create);

    juce::PropertiesFile& settings;
    BoardMidiCallback ownBoardCallback;
    BoardMidiCallback& boardCallback;
    MainContainer mainContainer;

    juce::TextButton projectButton{ "Project" };
    juce::TextButton aboutButton{ "?" };
    juce::Label statusLabel{ "new label", "Project successfully saved!" };

    juce::ComboBox midiInCombo{ "comboBoxMidiIn" };
    juce::ComboBox midiOutCombo{ "comboBoxMidiOut" };
    juce::Label midiInLabel{ "midiInLabel", "MIDI I/O" };
    juce::GroupComponent midiDeviceGroup{ "midiDeviceGroup", "MIDI device" };
    juce::TextButton refreshButton{ "Refresh" };

    // The devices as the combos list them, and the ones chosen last.
    juce::Array<juce::MidiDeviceInfo> inputDevices, outputDevices;
    juce::String rememberedInput, rememberedOutput;
    std::unique_ptr<MidiInputPort> midiInput;
    std::unique_ptr<MidiOutputPort> midiOutput;

    juce::ComboBox globalPresetCombo{ "GlobalPresets" };
    juce::Label globalPresetLabel{ "Global preset", "Global preset" };
    juce::TextButton savePresetButton{ "Save" };
    juce::TextButton removePresetButton{ "Remove" };
    // False at start and for a new project, true once it was saved or opened.
    bool globalPresetButtonsUsable = false;

    std::unique_ptr<OutputLogWindow> logWindow;
    std::unique_ptr<HelpWindow> aboutWindow;

    // Made here, on the message thread, for the MIDI input's thread to copy.
    const juce::Component::SafePointer<WindowContainer> self{ this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WindowContainer)
};
