#include "editors/Zorvex.h"

#include "editors/ActionManager.h"
#include "editors/Dialogs.h"
#include "editors/GraphEditorView.h"
#include "editors/HelpViewer.h"
#include "editors/InlineNameEditor.h"
#include "editors/ZorvexBus.h"
#include "model/DesignLog.h"
#include "model/ModuleDefinition.h"
#include "model/NodeChannelRules.h"

namespace
{
const char* const internalRamWarning = "Internal RAM is handled by the user.\n\nPlease verify your configuration in Vantix:\n"
                                       "Project->\nSettings->\nChip-Features->\nEmbedded RAM->\nCode/Cache RAM";

bool has (uint32_t word, uint32_t flag) noexcept
{
    return (word & flag) != 0;
}

bool isBiquad (const ProcessDefinition* definition)
{
    return definition != nullptr && isBiquadProcessKind (definition->processKind);
}
} // namespace

Zorvex::Zorvex (GraphData& owningGraph, uint32_t id) : nodeId (id), graph (owningGraph)
{
    title = "Zorvex";
    setName ("Zorvex");
    dropShadow.setShadowProperties (juce::DropShadow (juce::Colours::black.withAlpha (0.0f), 3, { 0, 1 }));
    setComponentEffect (&dropShadow);
    setAlpha (0.7f);
    setPaintingIsUnclipped (false);

    // What the preset menu cannot read or write is the user's to know.
    presetDocument.setMessageHandler (Dialogs::makeWarningHandler());

    if (auto* node = getNode())
    {
        startPresetList (*node);
        createControls (*node);
        shownMemoryWord = node->memoryWord;
        shownReplacements = node->valueReplacements;
    }

    setSize (width, 150);
}

Zorvex::~Zorvex()
{
    closeNameEditor();
    setComponentEffect (nullptr);
}

GraphNode* Zorvex::getNode() const
{
    return graph.findNodeById (nodeId);
}

void Zorvex::startPresetList (const GraphNode& node)
{
    presetList.clear (true);
    presetList.setName (node.getName());
    presetList.setExtraFlag (isBiquad (node.getProcessDefinition()) ? 1 : 0);

    // A delay's length travels in its presets, in every store of it.
    if (node.presetStore.hasFixedDelayControl())
        presetList.setHasFixedDelayControl();
}

ProcessPresetStore* Zorvex::getPresetStore() const
{
    auto* node = getNode();
    return node != nullptr ? &node->presetStore : nullptr;
}

bool Zorvex::isLocked() const
{
    return isDesignLocked();
}

ActionManager* Zorvex::getEditHistory() const
{
    return ownerEditor != nullptr ? ownerEditor->getEditHistory() : nullptr;
}

int Zorvex::getPinFlags() const
{
    auto* node = getNode();
    return node != nullptr ? (int) NodeChannelRules::getPinFlags (*node) : 1;
}

//==============================================================================
void Zorvex::createControls (const GraphNode& node)
{
    auto* definition = node.getProcessDefinition();

    if (definition == nullptr || ! definition->hasChannelWord)
        return;

    const auto pinFlags = definition->defaultChannelWord;

    if (! definition->hasMemoryClass || definition->memoryClass243)
    {
        countSlider = std::make_unique<juce::Slider> ("Extra Parameter Slider");
        countSlider->setSliderStyle (juce::Slider::IncDecButtons);
        countSlider->setTextBoxStyle (juce::Slider::TextBoxLeft, false, 30, 13);
        countSlider->setBounds (48, 2, 55, 13);
        countSlider->setRange (1.0, 8.0, 1.0);
        countSlider->setValue (1.0, juce::dontSendNotification);
        countSlider->addListener (this);
        addAndMakeVisible (*countSlider);

        if (has (pinFlags, GraphNode::delayCountFlag))
        {
            sliderLabel = std::make_unique<juce::Label> ("new label", "(ms)");
            sliderLabel->setFont (juce::Font (13.0f));
            sliderLabel->setJustificationType (juce::Justification::centredLeft);
            sliderLabel->setColour (juce::Label::textColourId, juce::Colours::ivory);
            sliderLabel->setBounds (92, 1, 55, 13);
            addAndMakeVisible (*sliderLabel);
        }
    }

    if (definition->offersMemoryChoice())
    {
        memoryCombo = std::make_unique<juce::ComboBox>();
        memoryCombo->addItem ("Ext. RAM", GraphNode::memoryChoiceExternalRam);
        memoryCombo->addItem ("16-bit Int. RAM ", GraphNode::memoryChoiceInternal16BitRam);
        memoryCombo->addItem ("24-bit Int. RAM ", GraphNode::memoryChoiceInternal24BitRam);
        memoryCombo->setBounds (36, 66, 70, 17);
        memoryCombo->setSize (70, 16);
        memoryCombo->setColour (juce::ComboBox::buttonColourId, juce::Colours::darkorange);
        memoryCombo->setSelectedId (GraphNode::memoryChoiceExternalRam, juce::dontSendNotification);
        memoryCombo->setSelectedId (0, juce::dontSendNotification);
        memoryCombo->addListener (this);
        addAndMakeVisible (*memoryCombo);
    }
}

void Zorvex::configureSlider (const GraphNode& node)
{
    if (countSlider == nullptr || ownerEditor == nullptr)
        return;

    const auto range = NodeChannelRules::getSliderRange (node, ownerEditor->getSamplingRateKhz());
    countSlider->setRange (range.minimum, range.maximum, 1.0);

    if (has (NodeChannelRules::getPinFlags (node), GraphNode::delayCountFlag))
    {
        countSlider->setBounds (26, 2, 70, 13);
        countSlider->setEnabled (true);
    }
}

void Zorvex::setMode (Mode newMode)
{
    mode = newMode;

    if (mode != processMode)
        return;

    if (auto* node = getNode())
        configureSlider (*node);

    setSize (width, smallHeight);
}

void Zorvex::setTitle (const juce::String& newTitle)
{
    if (title != newTitle)
    {
        title = newTitle;
        repaint();
    }
}

void Zorvex::setLoadText (const juce::String& newText)
{
    if (loadText != newText)
    {
        loadText = newText;
        repaint();
    }
}

void Zorvex::setSelected (bool shouldBeSelected)
{
    if (selected != shouldBeSelected)
    {
        selected = shouldBeSelected;
        repaint();
    }
}

//==============================================================================
int Zorvex::computeHeight (uint32_t pinFlags, uint32_t newWord, uint32_t oldWord, int currentHeight, bool growing)
{
    juce::ignoreUnused (oldWord);
    const uint32_t pinFlagBits =
        GraphNode::onePinPerSideFlag | GraphNode::inputsFollowCountFlag | GraphNode::outputsFollowCountFlag;

    if (has (newWord, GraphNode::onePinPerSideFlag))
        return smallHeight;

    if (! has (pinFlags, pinFlagBits))
        return has (pinFlags, GraphNode::delayCountFlag) ? smallHeight : currentHeight;

    const auto count = (int64_t) (newWord & GraphNode::channelCountMask);
    const auto grown = (int) juce::jmin<int64_t> (150 + 3 * count, 10000);
    return (growing || count > 2) ? grown : smallHeight;
}

void Zorvex::applySize (int newHeight)
{
    if (getHeight() != newHeight)
    {
        const auto centre = getBounds().getCentre();
        setSize (width, newHeight);
        setCentrePosition (centre);
    }
}

int Zorvex::getNumPins (bool inputs) const
{
    int count = 0;

    for (auto* child : getChildren())
        if (auto* pin = dynamic_cast<ZorvexBus*> (child))
            if (pin->isInput() == inputs)
                ++count;

    return count;
}

ZorvexBus* Zorvex::findPin (uint32_t pinNodeId, uint32_t pinIndex, bool input) const
{
    for (int i = getNumChildComponents(); --i >= 0;)
        if (auto* pin = dynamic_cast<ZorvexBus*> (getChildComponent (i)))
            if (pin->getNodeId() == pinNodeId && pin->getPinIndex() == pinIndex && pin->isInput() == input)
                return pin;

    return nullptr;
}

void Zorvex::createPins (int inputs, int outputs)
{
    auto* node = getNode();

    auto makeSide = [&] (bool input, int count)
    {
        for (int i = pins.size(); --i >= 0;)
            if (pins[i]->isInput() == input && (int) pins[i]->getPinIndex() >= count)
                pins.remove (i);

        for (int i = 0; i < count; ++i)
        {
            if (findPin (nodeId, (uint32_t) i, input) != nullptr)
                continue;

            auto* pin = pins.add (new ZorvexBus (nodeId, (uint32_t) i, input, mode == processMode, *this));
            addAndMakeVisible (pin);

            // Virtual pins join only other virtual pins: they are drawn green.
            auto* graphPin = node != nullptr && mode == processMode
                                 ? (input ? node->getPin (i) : node->getPin (node->getInputPinCount() + i))
                                 : nullptr;

            if (graphPin != nullptr && graphPin->isVirtualPin() && graphPin->isInput() == input)
                pin->markMustConnect();
        }
    };

    makeSide (true, juce::jmax (0, inputs));
    makeSide (false, juce::jmax (0, outputs));
    inputPinCount = juce::jmax (0, inputs);
    outputPinCount = juce::jmax (0, outputs);
    resized();
}

void Zorvex::layoutPins()
{
    auto* node = getNode();

    if (node == nullptr)
        return;

    if (ownerEditor != nullptr && ownerEditor->getWidth() > 0)
    {
        const auto position = node->getPosition();
        setCentrePosition (juce::roundToInt (position.x * ownerEditor->getWidth()),
                           juce::roundToInt (position.y * ownerEditor->getHeight()));
    }

    graph.setNodeBox (node, this);

    if (mode == processMode)
    {
        if (pinsPending)
        {
            pinsPending = false;
            shownWord = node->channelWord;
            applySize (computeHeight ((uint32_t) getPinFlags(), node->channelWord, node->channelWord, getHeight(), false));
            const auto counts = NodeChannelRules::getPinCounts (*node);
            createPins (counts.inputs, counts.outputs);
        }
    }

    resized();
}

bool Zorvex::rebuildPinsForNCount (uint32_t newWord, uint32_t oldWord)
{
    auto* node = getNode();
    auto rebuilt = false;

    if (node == nullptr)
        return false;

    shownWord = newWord;
    setTitle (node->getName());
    setLoadText (node->loadText);

    if ((newWord & GraphNode::channelCountMask) != (oldWord & GraphNode::channelCountMask))
    {
        const auto counts = NodeChannelRules::getPinCounts (*node, newWord);
        createPins (counts.inputs, counts.outputs);
        const bool growing = (newWord & GraphNode::channelCountMask) > (oldWord & GraphNode::channelCountMask);
        applySize (computeHeight ((uint32_t) getPinFlags(), newWord, oldWord, getHeight(), growing));

        // The process's controls depend on its count: its panel object
        // starts afresh, and the panel is built again (on screen when it
        // was) with the controls and values of the node's store, which
        // followed the count. The preset menus offer the new count's presets.
        const bool panelWasShown = controlPanel.isPanelShown();
        controlPanel.renewPanelObject();
        startPresetList (*node);
        controlPanel.buildControlPanel (panelWasShown, true, false);
        rebuilt = true;
    }

    if (countSlider != nullptr)
        countSlider->setValue ((double) (newWord & GraphNode::channelCountMask), juce::dontSendNotification);

    resized();
    repaint();
    return rebuilt;
}

void Zorvex::setPinsNodeId (uint32_t newId)
{
    nodeId = newId;

    for (auto* child : getChildren())
        if (auto* pin = dynamic_cast<ZorvexBus*> (child))
            pin->setNodeId (newId);

    repaint();
}

void Zorvex::synchroniseFromNode()
{
    auto* node = getNode();

    if (node == nullptr)
        return;

    auto panelShowsNode = false;

    if (mode == processMode && ! pinsPending && node->channelWord != shownWord)
        panelShowsNode = rebuildPinsForNCount (node->channelWord, shownWord);

    // The panel lists what the memory sets (a delay's range) and shows the
    // values of the store, which an undo or a global preset may have given.
    if (mode == processMode && (node->memoryWord != shownMemoryWord || node->valueReplacements != shownReplacements))
    {
        shownMemoryWord = node->memoryWord;
        shownReplacements = node->valueReplacements;

        if (! panelShowsNode)
            controlPanel.followNode();
    }

    // A DSP box has a pin per input and output of the DSP's module, which
    // comes and goes with the module; a DSP has eight of each at most.
    if (mode == dspMode)
    {
        const auto inputs = (int) juce::jmin<uint32_t> (node->inputCount, maxDspPins);
        const auto outputs = (int) juce::jmin<uint32_t> (node->outputCount, maxDspPins);

        if (inputs != inputPinCount || outputs != outputPinCount)
            createPins (inputs, outputs);
    }

    setTitle (mode == processMode ? node->getName() : title);

    if (mode == processMode)
        setLoadText (node->loadText);

    if (countSlider != nullptr)
    {
        // The count of a memory class 243 process is shown nowhere and
        // changed by nobody.
        auto* definition = node->getProcessDefinition();
        const bool fixedCount = definition != nullptr && definition->memoryClass243;
        countSlider->setValue ((double) node->getChannelCount(), juce::dontSendNotification);
        countSlider->setEnabled (! isDesignLocked() && ! fixedCount);
    }

    if (memoryCombo != nullptr)
    {
        // A memory class with bit 31 fixes the memory; the lock fixes it too.
        memoryCombo->setSelectedId (node->memoryChoice, juce::dontSendNotification);
        memoryCombo->setEnabled (! isDesignLocked() && (node->memoryWord & fixedMemoryFlag) == 0);
    }

    if (ownerEditor != nullptr && mode == processMode)
        controlPanel.setLibraryInterface (ownerEditor->getPanelHost().getLibraryInterface());

    if (! moving)
        layoutPins();

    for (auto* child : getChildren())
        if (auto* pin = dynamic_cast<ZorvexBus*> (child))
            pin->updateTooltip();
}

juce::Point<float> Zorvex::getPinCentre (int index, bool input) const
{
    if (auto* pin = findPin (nodeId, (uint32_t) index, input))
    {
        const auto centre = pin->getBounds().toFloat().getCentre() + getPosition().toFloat();
        return centre;
    }

    // A pin number past the pins shown (one vector pin serving several):
    // the side's edge at the box's middle.
    const auto x = input ? (float) pinSize / 2.0f : (float) (getWidth() - pinSize / 2);
    return getPosition().toFloat() + juce::Point<float> (x, (float) getHeight() / 2.0f);
}

//==============================================================================
void Zorvex::resized()
{
    auto place = [this] (bool input, int count)
    {
        for (auto* child : getChildren())
        {
            if (auto* pin = dynamic_cast<ZorvexBus*> (child))
            {
                if (pin->isInput() != input)
                    continue;

                const auto fraction = (float) (pin->getPinIndex() + 1) / (float) (count + 1);
                const int centreY = juce::roundToInt (fraction * (float) getHeight());
                pin->setBounds (input ? 0 : getWidth() - pinSize, centreY - pinSize / 2, pinSize, pinSize);
            }
        }
    };

    place (true, mode == dspMode ? inputPinCount : getNumPins (true));
    place (false, mode == dspMode ? outputPinCount : getNumPins (false));
}

void Zorvex::paint (juce::Graphics& g)
{
    const float m = (float) pinSize;
    const juce::Rectangle<float> body (m + 2.0f, 18.0f, (float) getWidth() - 2.0f * (m + 2.0f), (float) getHeight() - m - 22.0f);

    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (body, 6.0f);

    g.setColour (juce::Colour (outlineColour));
    g.drawRoundedRectangle (body, 6.0f, 2.0f);

    if (selected || dragHighlight)
    {
        g.setColour (juce::Colour (selectedColour));
        g.drawRoundedRectangle (body, 6.0f, 3.0f);
    }

    auto* node = getNode();
    juce::String text;
    juce::Rectangle<int> area;

    if (mode == dspMode)
    {
        text << "DSP#" << juce::String (nodeId);

        if (auto* module = ownerEditor != nullptr ? ownerEditor->getModuleOfDsp (nodeId) : nullptr)
            if (! module->name.empty())
                text << "\n(" << juce::String (module->name) << ")";

        const double load = ownerEditor != nullptr ? ownerEditor->getDspLoad (nodeId) : 0.0;
        text << juce::String::formatted (" \n %03.2f%%", load * 100.0);

        if (node != nullptr && node->getName() != "DSP")
            text = node->getName() + "\n" + text;

        area = getLocalBounds().reduced (4, 2);
    }
    else
    {
        text << (node != nullptr ? node->getName() : title) << "\n"
             << loadText << "\n#" << juce::String (node != nullptr ? node->nrpn : 0);
        area = getLocalBounds().reduced (16, 2);
    }

    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (13.0f, juce::Font::bold));
    g.drawFittedText (text, area, juce::Justification::centred, 2);
}

bool Zorvex::hitTest (int x, int y)
{
    for (int i = getNumChildComponents(); --i >= 0;)
    {
        auto* child = getChildComponent (i);

        if (child->isVisible() && child->getBounds().contains (x, y))
            return true;
    }

    return x >= 3 && x < getWidth() - 6 && y >= pinSize && y < getHeight() - pinSize;
}

void Zorvex::refreshOwnerEditor()
{
    if (ownerEditor != nullptr)
        ownerEditor->synchronise();
}

//==============================================================================
void Zorvex::deselectAll()
{
    graph.setSelectionCount (0);

    if (ownerEditor != nullptr)
        ownerEditor->selectAll (false);
    else
        setSelected (false);
}

void Zorvex::moveBy (int dx, int dy)
{
    setTopLeftPosition (dragStart + juce::Point<int> (dx, dy));

    if (auto* parent = getParentComponent(); parent != nullptr && parent->getWidth() > 0 && parent->getHeight() > 0)
    {
        const auto centre = getBounds().getCentre().toDouble();
        graph.setNodePosition (nodeId, centre.x / parent->getWidth(), centre.y / parent->getHeight());
    }

    if (ownerEditor != nullptr)
        ownerEditor->updateNodeAttachments (nodeId);
}

void Zorvex::moveSelectedGroup (juce::Point<int> offset)
{
    if (ownerEditor == nullptr || mode != processMode)
        return;

    for (auto* other : ownerEditor->getBoxes())
    {
        if (other == this || ! other->isSelected())
            continue;

        if (! other->moving)
        {
            other->dragStart = other->getPosition();
            other->moving = true;
        }

        other->moveBy (offset.x, offset.y);
    }
}

void Zorvex::mouseDown (const juce::MouseEvent& e)
{
    dragStart = getPosition();
    toFront (false);

    // The right button's menu opens at its release, so that the release
    // cannot choose one of its items.
    if (mode == processMode && e.mods.isLeftButtonDown() && ownerEditor != nullptr)
        ownerEditor->showProcessCommands (nodeId);
}

void Zorvex::mouseDrag (const juce::MouseEvent& e)
{
    // The right button asks for the menu, which opens at its release: a hand
    // that moves meanwhile changes nothing of the selection it acts on.
    if (e.mods.isRightButtonDown())
        return;

    if (e.mods.isCtrlDown())
    {
        setSelected (true);
        return;
    }

    if (! selected)
        deselectAll();

    const auto offset = e.getOffsetFromDragStart();

    if (ownerEditor != nullptr)
        ownerEditor->dragOffset = offset;

    moveBy (offset.x, offset.y);

    if (selected)
        moveSelectedGroup (offset);
}

void Zorvex::mouseUp (const juce::MouseEvent& e)
{
    if (ownerEditor != nullptr)
        for (auto* box : ownerEditor->getBoxes())
            box->moving = false;

    // The menu acts on the selection as it stood at the press; the click
    // selects afterwards. The menu runs its own loop: the box may be gone.
    if (e.mods.isRightButtonDown())
    {
        juce::Component::SafePointer<Zorvex> self (this);
        const int result = Dialogs::getCurrent().showMenu (buildMenu(), Dialogs::editorMenuItemHeight);

        if (self == nullptr)
            return;

        handleMenuResult (result);

        if (self == nullptr)
            return;

        // A removal renumbers the nodes: the boxes follow before this one
        // is selected, and a box that went selects nothing.
        if (result > 0)
            refreshOwnerEditor();

        if (self == nullptr || getParentComponent() == nullptr)
            return;
    }

    // The right button moves nothing, so a press held while the hand waits
    // for its menu is still a click; only a move makes it none.
    const bool clicked =
        e.mods.isRightButtonDown() ? e.getDistanceFromDragStart() < dragThreshold : ! e.mouseWasDraggedSinceMouseDown();

    if (clicked)
        clickWithoutDrag (e);
}

void Zorvex::clickWithoutDrag (const juce::MouseEvent& e)
{
    auto* node = getNode();

    if (node == nullptr)
        return;

    if (e.getNumberOfClicks() == 2)
    {
        if (mode == processMode && node != nullptr && node->getProcessDefinition() != nullptr)
            controlPanel.openControlPanel();
        else if (mode == dspMode && ownerEditor != nullptr)
            ownerEditor->showDspTab (nodeId);

        return;
    }

    if (e.mods.isCtrlDown())
    {
        if (e.mods.isRightButtonDown() && selected)
            return;

        setSelected (! selected);
        graph.setSelectionCount (juce::jmax (0, graph.getSelectionCount() + (selected ? 1 : -1)));
        return;
    }

    if (! selected)
    {
        deselectAll();

        if (mode == processMode)
        {
            setSelected (true);
            graph.setSelectionCount (graph.getSelectionCount() + 1);
        }
    }
}

//==============================================================================
void Zorvex::sliderValueChanged (juce::Slider* slider)
{
    auto* node = getNode();
    auto* history = getEditHistory();

    if (slider != countSlider.get() || node == nullptr || history == nullptr || isLocked())
        return;

    const auto newWord = NodeChannelRules::makeChannelWord (node->channelWord, (int) slider->getValue());

    // A value set while the box follows its node is no edit.
    if (newWord == node->channelWord)
        return;

    // An edit history is the owner editor's.
    history->beginEdit (ownerEditor->getDspId());
    history->perform (new ChangeNCountAction (graph, ownerEditor->makeCountChange (*node, newWord), ownerEditor->getDspId(),
                                              ownerEditor->getSamplingRateKhz()));
}

void Zorvex::comboBoxChanged (juce::ComboBox* combo)
{
    auto* node = getNode();
    auto* history = getEditHistory();
    const int chosen = combo != nullptr ? combo->getSelectedId() : 0;

    if (combo != memoryCombo.get() || node == nullptr || chosen == 0 || chosen == node->memoryChoice)
        return;

    if (combo->getText().contains ("Int"))
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Internal RAM Selected", internalRamWarning);

    if (history != nullptr && ! isLocked())
    {
        history->beginEdit (ownerEditor->getDspId());
        history->perform (
            new ChangeMemDelayAction (graph, node->nrpn, chosen, ownerEditor->getDspId(), ownerEditor->getSamplingRateKhz()));
    }
    else
        memoryCombo->setSelectedId (node->memoryChoice, juce::dontSendNotification);
}

//==============================================================================
void Zorvex::showNameEditor()
{
    auto* node = getNode();

    if (node == nullptr)
        return;

    nameEditor = std::make_unique<InlineNameEditor> ("Name");
    nameEditor->setBounds (20, 20, 98, 25);
    nameEditor->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xFFF0F0F0));
    nameEditor->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    nameEditor->setAlpha (1.0f);
    nameEditor->setText (node->getName(), false);
    nameEditor->addListener (this);
    addAndMakeVisible (*nameEditor);
    nameEditor->toFront (true);
    nameEditor->selectAll();
}

void Zorvex::closeNameEditor()
{
    if (nameEditor == nullptr)
        return;

    nameEditor->removeListener (this);
    removeChildComponent (nameEditor.get());

    // Deleted after this event: its own key handler may be what got us here.
    juce::MessageManager::callAsync ([editor = std::shared_ptr<juce::TextEditor> (nameEditor.release())] {});
}

void Zorvex::renameNode (const juce::String& newName)
{
    if (auto* node = getNode())
    {
        node->setName (newName);
        setTitle (newName);
        controlPanel.followNode();
        graph.setModified (true);
        graph.sendChangeMessage();
        repaint();
    }
}

void Zorvex::textEditorReturnKeyPressed (juce::TextEditor& editor)
{
    if (&editor != nameEditor.get())
        return;

    const auto text = editor.getText();
    closeNameEditor();

    if (! isLocked())
        renameNode (text);
}

void Zorvex::textEditorEscapeKeyPressed (juce::TextEditor& editor)
{
    if (&editor == nameEditor.get())
        closeNameEditor();
}

void Zorvex::textEditorFocusLost (juce::TextEditor& editor)
{
    if (&editor == nameEditor.get())
        closeNameEditor();
}

//==============================================================================
juce::PopupMenu Zorvex::buildMenu()
{
    juce::PopupMenu menu;
    const bool unlocked = ! isLocked();
    auto* node = getNode();
    auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

    if (mode == dspMode)
    {
        menu.addItem (removeItem, "Remove DSP", unlocked);
        menu.addItem (setNameItem, "Set name", unlocked);
        menu.addItem (setLegacyNameItem, "Set legacy name", unlocked);
        menu.addSeparator();
        menu.addItem (helpItem, "Help");
        return menu;
    }

    menu.addItem (removeItem, "Remove selected <DEL>", unlocked);

    if (definition != nullptr && definition->fromSps)
        menu.addItem (copyItem, "Static process not copyable", false);
    else
        menu.addItem (copyItem, "Copy selected <CTRL+C>", unlocked);

    menu.addSeparator();
    menu.addItem (setNameItem, "Set name", unlocked);
    menu.addItem (setLegacyNameItem, "Set legacy name", unlocked);
    menu.addSeparator();
    addPresetMenus (menu);
    menu.addSeparator();

    if (definition != nullptr && definition->getSecondFunctionCount() > 0)
    {
        menu.addItem (resetControlsItem, "Reset controls to default");
        menu.addItem (sendControlsItem, "Send controls to BOARD");
        menu.addSeparator();
        menu.addItem (helpItem, "Help on this process");
    }

    return menu;
}

void Zorvex::syncPresetStore()
{
    auto* node = getNode();
    auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

    if (definition == nullptr)
        return;

    // The node's store registers the process's controls (its panel
    // description does, with or without the library), and the list takes
    // them from it.
    auto& store = node->presetStore;

    if (! store.hasBuiltControls())
        controlPanel.generatePanelScript (false, false);

    if (store.hasBuiltControls() && ! presetList.hasBuiltControls())
    {
        presetList.copyControlsFrom (store);
        presetList.markBuilding();
        presetList.markBuilt();
    }

    // Normalised once it has its controls: an empty store would count as in
    // order for good.
    if (presetList.getControlCount() > 0)
        presetList.normaliseControlOrder();

    presetDocument.setStore (&presetList);
    const auto file = ownerEditor != nullptr ? ownerEditor->getPresetFile() : juce::File();

    if (! file.existsAsFile())
        return;

    // The file is the record of the process's presets: what an earlier run
    // or another box of the same process saved is offered too. The preset
    // chosen stays so by name.
    const auto selectedName = presetList.getPresetName (presetList.getSelectedPreset());

    if (presetDocument
            .loadProcessPresetsFromFile (file, juce::String (definition->name), (int) node->getChannelCount(), presetList)
            .failed())
        return;

    // Its own values are the process's, never a preset to offer.
    presetList.removePresetByName (ProcessPresetStore::lastSavedPresetName);
    presetList.setSelectedPreset (presetList.indexOfPreset (selectedName));
}

void Zorvex::addPresetMenus (juce::PopupMenu& menu)
{
    syncPresetStore();

    auto* node = getNode();
    auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;
    const bool hasFile = ownerEditor != nullptr && ownerEditor->getPresetFile() != juce::File();
    const bool canSave = hasFile && definition != nullptr &&
                         definition->getSecondFunctionCount() > definition->coefficientFunctionCount &&
                         ! definition->hasGetPeakFunction();
    const bool hasPresets = presetList.getPresetCount() > 0;

    juce::PopupMenu save, load, remove;
    save.addItem (createPresetItem, "Create new from current settings");
    save.addSeparator();

    if (auto* current = presetList.getPresetRecord (presetList.getSelectedPreset()))
        save.addItem (savePresetItem, "Save: " + current->name);

    remove.addItem (removeAllPresetsItem, "Delete all");
    remove.addSeparator();

    for (int i = 0; i < presetList.getPresetCount(); ++i)
    {
        load.addItem (loadPresetBase + i, presetList.getPresetName (i), true, i == presetList.getSelectedPreset());
        remove.addItem (removePresetBase + i, presetList.getPresetName (i));
    }

    menu.addSubMenu ("Save preset", save, canSave);
    menu.addSubMenu ("Load preset", load, canSave && hasPresets);
    menu.addSubMenu ("Remove Preset", remove, canSave && hasPresets);
}

void Zorvex::handleMenuResult (int itemId)
{
    auto* node = getNode();

    if (itemId <= 0 || node == nullptr)
        return;

    switch (itemId)
    {
        case removeItem:
            if (isLocked() || ownerEditor == nullptr)
                return;

            // A process box removes the selection as it stands: the box the
            // menu came from is selected only by the release that follows.
            if (mode == processMode)
            {
                ownerEditor->removeSelection();
            }
            else if (Dialogs::getCurrent().askYesNo (
                         "Delete DSP", "Do you really want to delete this DSP?\nPrevious changes will be irreversible."))
            {
                if (auto* history = getEditHistory())
                    history->clearUndoHistory();

                ownerEditor->removeDsp (nodeId);
            }
            return;

        case copyItem:
            if (ownerEditor != nullptr && ! isLocked())
                ownerEditor->copySelection();
            return;

        case setNameItem:
            if (! isLocked())
                showNameEditor();
            return;

        case setLegacyNameItem:
            if (! isLocked())
            {
                auto* definition = node->getProcessDefinition();
                renameNode (mode == processMode && definition != nullptr ? juce::String (definition->name)
                                                                         : juce::String ("DSP"));
            }
            return;

        case resetControlsItem:
        {
            // Every control back to its default: the process's values are
            // its defaults from now on.
            auto& store = node->presetStore;
            store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);

            if (auto* values = store.getCurrentPresetRecord())
            {
                values->values.clear();
                store.padValuesToControlCount();
            }

            controlPanel.rebuildControlPanel();
            controlPanelValueChanged();
            return;
        }

        case sendControlsItem:
            if (ownerEditor != nullptr)
                ownerEditor->getPanelHost().sendControlsToBoard (*this);
            return;

        case helpItem:
        {
            // Help that is not there is said in the editor's bar.
            const auto say = [this] (const juce::String& text)
            {
                if (ownerEditor != nullptr)
                    ownerEditor->showMessage (text);
            };

            if (mode == dspMode)
            {
                // The help as a whole, at its first page.
                HelpViewer::getCurrent().showPageOrSay ({}, say);
            }
            else if (auto* definition = node->getProcessDefinition();
                     definition != nullptr && definition->getSecondFunctionCount() > 0)
            {
                HelpViewer::getCurrent().showPageOrSay (juce::String (definition->helpPage), say);
            }
            return;
        }

        default: handlePresetResult (itemId);
    }
}

//==============================================================================
void Zorvex::handlePresetResult (int itemId)
{
    if (itemId == createPresetItem || itemId == savePresetItem)
    {
        createOrSavePreset (itemId == createPresetItem);
    }
    else if (itemId >= loadPresetBase && itemId < loadPresetBase + ProcessPresetStore::maxPresets)
    {
        loadPreset (itemId - loadPresetBase);
    }
    else if (itemId >= removeAllPresetsItem && itemId < removePresetBase + ProcessPresetStore::maxPresets)
    {
        removePresets (itemId - removeAllPresetsItem);
    }
}

void Zorvex::loadPreset (int index)
{
    auto* node = getNode();
    auto* preset = presetList.getPresetRecord (index);

    if (node == nullptr || preset == nullptr)
        return;

    node->presetStore.takeValuesAsLastSaved (presetList, *preset);
    presetList.setSelectedPreset (index);
    presetList.setCurrentPreset (index);
    controlPanel.rebuildControlPanel();
    controlPanelValueChanged();
}

void Zorvex::removePresets (int k)
{
    const auto name = k == 0 ? juce::String() : presetList.getPresetName (k - 1);

    if (k != 0 && name.isEmpty())
        return;

    const auto question = "Do you really want to remove " + (k == 0 ? juce::String ("all presets") : "the preset: " + name) + "?";

    if (Dialogs::getCurrent().askYesNoCancel ("OSTRANE Quellion", question) != Dialogs::Answer::yes)
        return;

    auto* node = getNode();
    auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

    // The process keeps the values it shows: only the presets go.
    if (k == 0)
        while (presetList.getPresetCount() > 0)
            presetList.removePreset (0);
    else
        presetList.removePreset (k - 1);

    if (ownerEditor != nullptr && definition != nullptr && ownerEditor->getPresetFile() != juce::File())
        presetDocument.writePresetsFile (ownerEditor->getPresetFile(), juce::String (definition->name),
                                         (int) node->getControlChannelCount(), name, k == 0);
}

void Zorvex::createOrSavePreset (bool create)
{
    auto* node = getNode();
    auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

    if (definition == nullptr || ownerEditor == nullptr)
        return;

    juce::String name;

    if (create && ! Dialogs::getCurrent().askForName ("New Preset", "New Preset", name))
        return;

    // The controls are registered (the panel is built when missing, showing
    // the process's values) and the list takes them.
    controlPanel.ensureControlPanel();
    syncPresetStore();

    if (! presetList.hasBuiltControls())
        return;

    const auto shownValues = getShownValues();

    if (create && ! presetList.selectOrAddPreset (name, 0, false))
    {
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Create new preset",
                                           "\"" + name + "\" preset name already used, please choose another preset name", "Ok");
        return;
    }

    if (create)
        presetList.setSelectedPreset (presetList.getCurrentPreset());

    const auto target = presetList.getPresetName (presetList.getSelectedPreset());

    if (target.isEmpty() || ! presetList.findPreset (target))
        return;

    // The current settings: the values the process has, as its panel shows them.
    presetList.padValuesToControlCount();

    for (const auto& [controlName, value] : shownValues)
        if (presetList.findControl (controlName))
            presetList.setCurrentValue (value);

    presetList.syncControlCount ((int) presetList.getFixedIndex().size());
    presetList.normaliseControlOrder();

    const int count = PresetDocument::prepareFixedDelayControl (presetList, (int) node->getChannelCount());
    presetDocument.writeProcessPresetDocument (ownerEditor->getPresetFile(), juce::String (definition->name), count, presetList,
                                               PresetDocument::WriteOptions());
}

std::vector<std::pair<juce::String, uint32_t>> Zorvex::getShownValues()
{
    std::vector<std::pair<juce::String, uint32_t>> values;
    auto* node = getNode();

    if (node == nullptr)
        return values;

    auto& shown = node->presetStore;
    auto* preset = shown.getCurrentPresetRecord();

    if (preset == nullptr || shown.getCurrentPreset() < 0)
        return values;

    for (int i = 0; i < shown.getControlCount() && i < (int) preset->values.size(); ++i)
        values.emplace_back (shown.getControl (i)->name, preset->values[(size_t) i]);

    return values;
}

//==============================================================================
bool Zorvex::isInterestedInDragSource (const SourceDetails&)
{
    return true;
}

void Zorvex::itemDragEnter (const SourceDetails&)
{
    dragHighlight = true;
    repaint();
}

void Zorvex::itemDragExit (const SourceDetails&)
{
    dragHighlight = false;
    repaint();
}

void Zorvex::itemDropped (const SourceDetails&)
{
    dragHighlight = false;
    repaint();
}

bool Zorvex::isInterestedInFileDrag (const juce::StringArray&)
{
    return false;
}

void Zorvex::filesDropped (const juce::StringArray&, int, int) {}

bool Zorvex::isInterestedInTextDrag (const juce::String&)
{
    return true;
}

void Zorvex::textDragEnter (const juce::String&, int, int)
{
    dragHighlight = true;
    repaint();
}

void Zorvex::textDragExit (const juce::String&)
{
    dragHighlight = false;
    repaint();
}

void Zorvex::textDropped (const juce::String& text, int, int)
{
    dragHighlight = false;
    setTitle ("Text dropped:\n" + text);
}

uint32_t Zorvex::getControlPanelDspId()
{
    return ownerEditor != nullptr ? ownerEditor->getDspId() : 0;
}

double Zorvex::getSamplingRateKhz()
{
    return ownerEditor != nullptr ? ownerEditor->getSamplingRateKhz() : 0.0;
}

void Zorvex::controlPanelProblem (const juce::String& text)
{
    if (ownerEditor != nullptr)
        ownerEditor->showMessage (text);
}

double Zorvex::getCountSliderValue()
{
    if (countSlider != nullptr)
        return countSlider->getValue();

    auto* node = getNode();
    return node != nullptr ? (double) node->getChannelCount() : 1.0;
}
