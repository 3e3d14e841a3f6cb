#include "app/WindowContainer.h"

#include "app/ProjectInterface.h"
#include "app/SavePresetThread.h"
#include "app/WindowStacking.h"
#include "editors/Dialogs.h"
#include "model/DesignLog.h"

namespace
{
const juce::Colour stripColour (0xff282828);
const juce::Colour stripButtonColour (0xff484848);
const juce::Colour comboColour (0xfe282828);
const juce::Colour statusColour (0xffff8c00);
const juce::Colour labelColour (0xfffffff0);

constexpr int maxRecentFileItems = 5;

void setUpStripButton (juce::TextButton& button)
{
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    button.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    button.setColour (juce::TextButton::buttonColourId, stripButtonColour);
}

void setUpStripLabel (juce::Label& label)
{
    label.setFont (juce::Font (14.0f, juce::Font::plain));
    label.setJustificationType (juce::Justification::centredLeft);
    label.setEditable (false, false, false);
    // The strip is dark: the labels' text is light, as on the project page.
    label.setColour (juce::Label::textColourId, labelColour);
}

void fillDeviceCombo (juce::ComboBox& combo, const juce::Array<juce::MidiDeviceInfo>& devices)
{
    combo.clear (juce::dontSendNotification);

    for (int i = 0; i < devices.size(); ++i)
        combo.addItem (devices.getReference (i).name, i + 1);
}

int indexOfDevice (const juce::Array<juce::MidiDeviceInfo>& devices, const juce::String& identifier)
{
    for (int i = 0; i < devices.size(); ++i)
        if (devices.getReference (i).identifier == identifier)
            return i;

    return -1;
}
} // namespace

WindowContainer::WindowContainer (juce::PropertiesFile& settingsFile, HvIfInterface* midiControl,
                                  BoardMidiCallback* boardMidiCallback)
    : settings (settingsFile), boardCallback (boardMidiCallback != nullptr ? *boardMidiCallback : ownBoardCallback),
      mainContainer (settingsFile)
{
    mainContainer.setMidiControl (midiControl, nullptr);
    addAndMakeVisible (mainContainer);

    // The board messages go out where the library's messages go.
    getProjectInterface().getBoardControl().setOutput ([this] (const uint8_t* message, int size)
                                                       { boardCallback.sendSysEx (message, size); });

    setUpProjectButtons();
    setUpMidiGroup();
    setUpGlobalPresetGroup();
}

WindowContainer::~WindowContainer()
{
    // The input's thread stops before anything it reaches goes.
    closeMidiInput();
    closeMidiOutput();
    stopTimer();
    getProjectInterface().getBoardControl().setOutput ({});

    for (auto* button : { &projectButton, &aboutButton, &refreshButton, &savePresetButton, &removePresetButton })
        button->removeListener (this);

    aboutWindow.reset();
    logWindow.reset();
}

ProjectInterface& WindowContainer::getProjectInterface() noexcept
{
    return mainContainer.getProjectInterface();
}

void WindowContainer::setUpProjectButtons()
{
    projectButton.setBounds (13, 12, 112, 22);

    for (auto* button : { &projectButton, &aboutButton })
    {
        setUpStripButton (*button);
        button->addListener (this);
        addAndMakeVisible (*button);
    }

    setUpStripLabel (statusLabel);
    statusLabel.setColour (juce::Label::textColourId, statusColour);
    addChildComponent (statusLabel);
}

void WindowContainer::setUpMidiGroup()
{
    midiInCombo.setTextWhenNothingSelected ("No MIDI IN");
    midiOutCombo.setTextWhenNothingSelected ("No MIDI OUT");

    for (auto* combo : { &midiInCombo, &midiOutCombo })
    {
        combo->setColour (juce::ComboBox::backgroundColourId, comboColour);
        // Light text on the dark background, "No MIDI IN" included.
        combo->setColour (juce::ComboBox::textColourId, labelColour);
        combo->addListener (this);
        addAndMakeVisible (*combo);
    }

    fillMidiCombos();

    setUpStripLabel (midiInLabel);
    addAndMakeVisible (midiInLabel);
    // The group frames nothing: it keeps no place in the layout.
    addAndMakeVisible (midiDeviceGroup);
    refreshButton.addListener (this);
    addAndMakeVisible (refreshButton);
}

void WindowContainer::setUpGlobalPresetGroup()
{
    globalPresetCombo.addItem (newGlobalPresetItem, newGlobalPresetId);
    globalPresetCombo.setTextWhenNothingSelected (newGlobalPresetItem);
    globalPresetCombo.addListener (this);
    addAndMakeVisible (globalPresetCombo);

    setUpStripLabel (globalPresetLabel);
    addAndMakeVisible (globalPresetLabel);

    // Both disabled, under their first names, until a project is saved or
    // opened.
    for (auto* button : { &savePresetButton, &removePresetButton })
    {
        button->setEnabled (false);
        button->addListener (this);
        addAndMakeVisible (*button);
    }
}

//==============================================================================
void WindowContainer::showProjectSaved()
{
    showStatus ("Project successfully saved!");
}

void WindowContainer::showProjectLoaded()
{
    showStatus ("Project loaded!");
}

void WindowContainer::showGlobalPresetLoaded()
{
    showStatus ("Global preset loaded!");
}

void WindowContainer::showStatus (const juce::String& text)
{
    statusLabel.setText (text, juce::dontSendNotification);
    statusLabel.setVisible (true);
    startTimer (statusShowTimeMs);
}

void WindowContainer::showLoading()
{
    statusLabel.setText ("Loading...", juce::dontSendNotification);
}

void WindowContainer::timerCallback()
{
    statusLabel.setVisible (false);
    stopTimer();
}

//==============================================================================
juce::PopupMenu WindowContainer::createFileMenu (const juce::RecentlyOpenedFilesList& recentFiles)
{
    juce::PopupMenu menu;
    menu.addItem (newProjectItem, "New empty project <CTRL+N>");
    menu.addSeparator();
    menu.addItem (openProjectItem, "Open project <CTRL+O>");
    menu.addItem (saveItem, "Save <CTRL+S>");
    menu.addItem (saveAsItem, "Save project as... <CTRL+SHIFT+S>");
    menu.addSeparator();

    for (int i = 0; i < juce::jmin (recentFiles.getNumFiles(), maxRecentFileItems); ++i)
        menu.addItem (recentFileBaseId + i, recentFiles.getFile (i).getFullPathName());

    menu.addItem (clearRecentFilesItem, "Clear recent file list");
    menu.addSeparator();
    menu.addSeparator();
    menu.addItem (generateItem, "Generate source files <CTRL+G>");
    menu.addItem (nrpnListItem, "Generate NRPN list file");
    menu.addSeparator();
    menu.addItem (exitItem, "Exit <CTRL+Q>");
    return menu;
}

void WindowContainer::showFileMenu()
{
    const auto menu = createFileMenu (getProjectInterface().getRecentFiles());
    handleFileMenu (Dialogs::getCurrent().showMenu (menu, fileMenuItemHeight));
}

void WindowContainer::handleFileMenu (int itemId)
{
    auto& project = getProjectInterface();

    // A new or opened project clears its modified mark itself; after a
    // cancelled one the design keeps it, or it would be lost at quit.
    switch (itemId)
    {
        case newProjectItem:
            if (project.newProject())
                closeLogWindow();
            return;

        case openProjectItem:
            if (project.openProject ({}))
                closeLogWindow();
            return;

        case saveItem: project.saveProject (false); return;
        case saveAsItem: project.saveProject (true); return;
        case clearRecentFilesItem: project.getRecentFiles().clear(); return;
        case generateItem: mainContainer.generate (false); return;
        case nrpnListItem: project.writeNrpnListFile(); return;

        case exitItem:
            closeLogWindow();

            if (mainContainer.onQuitRequested)
                mainContainer.onQuitRequested();
            return;

        default: break;
    }

    const auto recent = itemId - recentFileBaseId;
    auto& recentFiles = project.getRecentFiles();

    if (recent >= 0 && recent < maxRecentFileItems && recent < recentFiles.getNumFiles())
        if (project.openProject (recentFiles.getFile (recent)))
            closeLogWindow();
}

//==============================================================================
juce::String WindowContainer::makeLogHeader (juce::Time time)
{
    return "Compilation result on " + time.formatted ("%d/%m/%Y") + " at " + time.formatted ("%H:%M:%S") + "\n";
}

void WindowContainer::showLogWindow()
{
    clearLog();
    appendToLog (makeLogHeader (juce::Time::getCurrentTime()), 0);

    if (logWindow != nullptr && logWindow->isVisible())
    {
        // Closing stores where it stood, so the new window opens there.
        logWindow->closeButtonPressed();
        showLogWindow();
        return;
    }

    logWindow.reset();
    logWindow = std::make_unique<OutputLogWindow> (logWindowTitle, juce::Colour (0xff232321), settings);
    logWindow->setAlwaysOnTop (true);

    if (! logWindow->restoreStoredState())
    {
        const auto width = getWidth();
        const auto height = getHeight();

        if (width > 0 && height > 0)
            logWindow->setBounds (0, (int) (0.6 * height), width, (int) (0.4 * height));
    }

    // Always on top as JUCE sees it, and above the main window as the window
    // manager stacks it: a main window covering the screen would otherwise
    // go over the log at a click while JUCE still took the log to be in
    // front, and the log's area would swallow every click.
    WindowStacking::keepAboveOwner (*logWindow, *this);

    logWindow->setVisible (true);
    logWindow->toFront (true);
    keepBoxInFront();
}

void WindowContainer::keepBoxInFront()
{
    // A log opened while a box waits for its answer (a project read behind a
    // question) would cover it: the box stays in front, on top as the log.
    if (auto* modal = juce::Component::getCurrentlyModalComponent())
    {
        auto* box = modal->getTopLevelComponent();

        if (box != nullptr && box->isOnDesktop() && box != logWindow.get())
        {
            box->setAlwaysOnTop (true);
            box->toFront (true);
        }
    }
}

void WindowContainer::closeLogWindow()
{
    if (logWindow != nullptr)
        logWindow->closeButtonPressed();
}

void WindowContainer::showAboutWindow()
{
    if (aboutWindow == nullptr)
    {
        const auto width = getWidth();
        const auto height = getHeight();

        // Over the right part of the main window, wherever that stands.
        aboutWindow = std::make_unique<HelpWindow> ("About", juce::Colour (0xff383838));
        aboutWindow->setBounds (getScreenX() + (int) (0.6 * width), getScreenY() + (int) (0.3 * height),
                                juce::jmax (300, (int) (0.2 * width)), juce::jmax (200, (int) (0.3 * height)));
        aboutWindow->setResizable (false, false);
        aboutWindow->setResizeLimits (300, 180, 800, 2000);
    }

    aboutWindow->setVisible (true);
    aboutWindow->toFront (true);
}

//==============================================================================
void WindowContainer::fillMidiCombos()
{
    auto& devices = MidiDevices::getCurrent();
    inputDevices = devices.getInputs();
    outputDevices = devices.getOutputs();
    fillDeviceCombo (midiInCombo, inputDevices);
    fillDeviceCombo (midiOutCombo, outputDevices);
}

void WindowContainer::refreshMidiDevices()
{
    closeMidiInput();
    closeMidiOutput();
    fillMidiCombos();

    // Chosen again quietly and opened once: a notification would open the
    // device a second time and send every control twice.
    const auto inputIndex = indexOfDevice (inputDevices, rememberedInput);
    const auto outputIndex = indexOfDevice (outputDevices, rememberedOutput);

    if (inputIndex >= 0)
    {
        midiInCombo.setSelectedItemIndex (inputIndex, juce::dontSendNotification);
        openMidiInput (inputDevices.getReference (inputIndex).identifier);
    }

    if (outputIndex >= 0)
    {
        midiOutCombo.setSelectedItemIndex (outputIndex, juce::dontSendNotification);
        openMidiOutput (outputDevices.getReference (outputIndex).identifier);
    }
}

void WindowContainer::midiInputChosen()
{
    closeMidiInput();
    const auto index = midiInCombo.getSelectedItemIndex();

    if (index >= 0 && index < inputDevices.size())
        openMidiInput (inputDevices.getReference (index).identifier);
}

void WindowContainer::midiOutputChosen()
{
    closeMidiOutput();
    const auto index = midiOutCombo.getSelectedItemIndex();

    if (index >= 0 && index < outputDevices.size())
        openMidiOutput (outputDevices.getReference (index).identifier);
}

void WindowContainer::openMidiInput (juce::String identifier)
{
    closeMidiInput();
    rememberedInput = {};
    midiInput = MidiDevices::getCurrent().openInput (identifier, *this);

    if (midiInput == nullptr)
    {
        // The choice shows what is open: nothing.
        midiInCombo.setSelectedItemIndex (-1, juce::dontSendNotification);
        return;
    }

    midiInput->start();
    rememberedInput = identifier;
}

void WindowContainer::openMidiOutput (juce::String identifier)
{
    closeMidiOutput();
    rememberedOutput = {};
    midiOutput = MidiDevices::getCurrent().openOutput (identifier);

    if (midiOutput == nullptr)
    {
        midiOutCombo.setSelectedItemIndex (-1, juce::dontSendNotification);
        return;
    }

    rememberedOutput = identifier;
    boardCallback.setOutput (midiOutput.get());

    // The board starts from the values last saved of every process.
    getProjectInterface().getBoardControl().sendAllControls();
}

void WindowContainer::closeMidiInput()
{
    if (midiInput != nullptr)
        midiInput->stop();

    midiInput.reset();
}

void WindowContainer::closeMidiOutput()
{
    // No send of the library's threads reaches the output once this returns.
    boardCallback.setOutput (nullptr);
    midiOutput.reset();
}

void WindowContainer::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    if (! message.isSysEx())
        return;

    const auto* data = message.getRawData();
    std::vector<uint8_t> bytes (data, data + message.getRawDataSize());

    juce::MessageManager::callAsync (
        [target = self, bytes = std::move (bytes)]
        {
            if (auto* container = target.getComponent())
                container->forwardSysEx (bytes);
        });
}

void WindowContainer::forwardSysEx (const std::vector<uint8_t>& message)
{
    // Without the library the message is dropped.
    if (auto* library = mainContainer.getMidiControlInterface())
        library->handleSysEx (message.data(), (int) message.size());
}

//==============================================================================
void WindowContainer::refreshGlobalPresetList()
{
    auto& presets = mainContainer.getGlobalPresets();
    globalPresetCombo.clear (juce::dontSendNotification);
    globalPresetCombo.addItem (newGlobalPresetItem, newGlobalPresetId);

    for (int i = 0; i < presets.getCount(); ++i)
        if (auto* preset = presets.getPreset (i))
            globalPresetCombo.addItem (preset->getName(), newGlobalPresetId + 1 + i);

    globalPresetCombo.setSelectedId (newGlobalPresetId, juce::dontSendNotification);
    updateGlobalPresetButtons();

    auto& project = getProjectInterface();
    const auto locked = presets.getCount() > 0;
    setDesignLocked (locked);

    if (locked)
    {
        project.showLockedTitle();
    }
    else
    {
        project.updateWindowTitle (project.getProjectSettings().getProjectName());
        setLockWarningShown (false);
    }

    project.refreshAllEditors();
}

void WindowContainer::enableGlobalPresetButtons()
{
    globalPresetButtonsUsable = true;
    updateGlobalPresetButtons();
}

void WindowContainer::disableGlobalPresetButtons()
{
    globalPresetButtonsUsable = false;
    updateGlobalPresetButtons();
}

void WindowContainer::updateGlobalPresetButtons()
{
    // "(New)" (or nothing) chosen creates; a stored global preset chosen is
    // saved into, or removed: "(New)" is nothing to remove.
    const bool storedChosen = globalPresetCombo.getSelectedId() > newGlobalPresetId;
    savePresetButton.setButtonText (storedChosen ? "Save" : "Create");
    savePresetButton.setEnabled (globalPresetButtonsUsable);
    removePresetButton.setEnabled (storedChosen);
}

void WindowContainer::globalPresetChosen()
{
    const auto id = globalPresetCombo.getSelectedId();
    updateGlobalPresetButtons();

    if (id <= newGlobalPresetId)
        return;

    showLoading();

    if (getProjectInterface().getBoardControl().applyGlobalPreset (globalPresetCombo.getText()))
        showGlobalPresetLoaded();
}

bool WindowContainer::saveChosenGlobalPreset()
{
    const auto id = globalPresetCombo.getSelectedId();

    if (id == newGlobalPresetId)
        return createGlobalPreset();

    return id > newGlobalPresetId && saveGlobalPreset (globalPresetCombo.getText());
}

bool WindowContainer::createGlobalPreset()
{
    juce::String name;

    if (! Dialogs::getCurrent().askForName ("New Global preset", "GlobalPresetA", name) || name.trim().isEmpty())
        return false;

    if (auto usable = getProjectInterface().getGlobalPresetManager().checkNewName (name); usable.failed())
    {
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Create new global preset",
                                           usable.getErrorMessage(), "Ok");
        return false;
    }

    const auto [saved, created] = runSavePresetThread (name, true);

    // Only a global preset the design now holds is listed, and locks it.
    if (created)
        showCreatedGlobalPreset (name);

    updateGlobalPresetButtons();
    return saved;
}

bool WindowContainer::saveGlobalPreset (const juce::String& name)
{
    if (name.isEmpty() || mainContainer.getGlobalPresets().findByName (name) < 0)
        return false;

    const auto saved = runSavePresetThread (name, false).first;
    updateGlobalPresetButtons();
    return saved;
}

void WindowContainer::showCreatedGlobalPreset (const juce::String& name)
{
    // Chosen quietly: the design already holds these values.
    const auto id = globalPresetCombo.getNumItems() + 1;
    globalPresetCombo.addItem (name, id);
    globalPresetCombo.setSelectedId (id, juce::dontSendNotification);

    auto& project = getProjectInterface();
    setDesignLocked (true);

    if (! isLockWarningShown())
    {
        project.showLockedTitle();
        project.warnDesignLocked();
    }

    project.refreshAllEditors();
}

void WindowContainer::confirmRemoveGlobalPreset()
{
    // Only a stored global preset is removed, the one chosen now.
    if (globalPresetCombo.getSelectedId() <= newGlobalPresetId)
        return;

    const auto name = globalPresetCombo.getText();

    if (Dialogs::getCurrent().askYesNoCancel ("Global preset", "Do you really want to remove: " + name + "?") !=
        Dialogs::Answer::yes)
        return;

    auto& project = getProjectInterface();

    if (const auto removed = project.getGlobalPresetManager().remove (name); removed.failed())
    {
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Global preset",
                                           "The global preset could not be removed from\n" +
                                               project.getGlobalPresetFile().getFullPathName() + ":\n" +
                                               removed.getErrorMessage());
        return;
    }

    refreshGlobalPresetList();
}

void WindowContainer::removeChosenGlobalPresetLater()
{
    // After the choice of the combo box, which reaches it a message later: a
    // click right after choosing another global preset names that one.
    juce::MessageManager::callAsync (
        [target = self]
        {
            if (auto* container = target.getComponent())
                container->confirmRemoveGlobalPreset();
        });
}

std::pair<bool, bool> WindowContainer::runSavePresetThread (const juce::String& name, bool create)
{
    // Behind its progress window; it ends with a message of its own.
    SavePresetThread saving (*this, name, create);
    saving.runThread();
    return { saving.wasSaved(), saving.createdPreset() };
}

//==============================================================================
void WindowContainer::buttonClicked (juce::Button* button)
{
    if (button == &projectButton)
        showFileMenu();
    else if (button == &aboutButton)
        showAboutWindow();
    else if (button == &refreshButton)
        refreshMidiDevices();
    else if (button == &savePresetButton)
        saveChosenGlobalPreset();
    else if (button == &removePresetButton)
        removeChosenGlobalPresetLater();
}

void WindowContainer::comboBoxChanged (juce::ComboBox* comboBox)
{
    if (comboBox == &midiOutCombo)
        midiOutputChosen();
    else if (comboBox == &midiInCombo)
        midiInputChosen();
    else if (comboBox == &globalPresetCombo)
        globalPresetChosen();
}

void WindowContainer::paint (juce::Graphics& g)
{
    g.setColour (stripColour);
    g.fillRect (0, 0, getWidth(), 300);
}

void WindowContainer::resized()
{
    // The strip stands a little in from the window's frame.
    setTopLeftPosition (4, 30);

    const auto w = getWidth();
    const auto h = getHeight();

    mainContainer.setBounds (0, 40, w, h - 40);
    aboutButton.setBounds (w - 27, 12, 24, 22);
    statusLabel.setBounds (130, 13, 200, 20);
    midiInCombo.setBounds (w - 268, 13, 85, 20);
    midiOutCombo.setBounds (w - 178, 13, 90, 20);
    midiInLabel.setBounds (w - 327, 15, 60, 16);
    refreshButton.setBounds (w - 82, 12, 50, 22);
    globalPresetCombo.setBounds (w - 268, 41, 115, 20);
    globalPresetLabel.setBounds (w - 355, 43, 95, 16);
    savePresetButton.setBounds (w - 82, 40, 50, 22);
    removePresetButton.setBounds (w - 148, 40, 60, 22);
}
