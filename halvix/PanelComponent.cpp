#include "PanelComponent.h"

#include "HalvixPanel.h"

#include <functional>

namespace
{
constexpr int labelHeight = 18;
constexpr int rowGap = 6;
constexpr int boxMargin = 10;
constexpr int boxTitleHeight = 22;
constexpr int maxListEntries = 256;

const juce::Colour panelBackground (0xFF2B2B2B);
const juce::Colour textColour (0xFFE8E8E8);
const juce::Colour dimTextColour (0xFFA0A0A0);

using ChangeFunction = std::function<void (PanelControl&, uint32_t)>;

std::unique_ptr<juce::Label> makeLabel (const juce::String& text)
{
    auto label = std::make_unique<juce::Label> (juce::String(), text);
    label->setColour (juce::Label::textColourId, textColour);
    label->setFont (juce::Font (14.0f, juce::Font::bold));
    return label;
}

// The filter letter of a list entry: "Peak (P)" gives "P".
juce::String getEntryLetter (const juce::String& entry)
{
    const auto open = entry.lastIndexOfChar ('(');
    return open < 0 ? juce::String() : entry.substring (open + 1).upToFirstOccurrenceOf (")", false, false).trim();
}

//==============================================================================
// A slider, slim fader or encoder: the name above, the value in the control's
// unit beside it.
class SliderView : public PanelComponent::ItemView
{
public:
    SliderView (PanelControl& control, ChangeFunction onChange) : ItemView (control), change (std::move (onChange))
    {
        const auto isKnob = control.getKind() == PanelControl::Kind::encoder;
        label = makeLabel (control.getControlName());
        addAndMakeVisible (*label);

        slider.setSliderStyle (isKnob ? juce::Slider::RotaryHorizontalVerticalDrag : juce::Slider::LinearHorizontal);
        slider.setTextBoxStyle (juce::Slider::TextBoxRight, true, 96, 22);
        slider.setRange ((double) control.getMinimum(), (double) control.getMaximum(), 1.0);
        slider.textFromValueFunction = [&control] (double value) { return control.getValueText ((uint32_t) value); };
        slider.setValue ((double) control.getValue(), juce::dontSendNotification);
        slider.updateText();
        slider.onValueChange = [this] { change (item, (uint32_t) slider.getValue()); };
        slider.setName (control.getControlName());
        addAndMakeVisible (slider);
    }

    int getPreferredHeight() const override { return labelHeight + (item.getKind() == PanelControl::Kind::encoder ? 64 : 28); }

    void refresh() override { slider.setValue ((double) item.getValue(), juce::dontSendNotification); }

    void resized() override
    {
        auto area = getLocalBounds();
        label->setBounds (area.removeFromTop (labelHeight));
        slider.setBounds (area);
    }

    juce::Slider slider;

private:
    ChangeFunction change;
    std::unique_ptr<juce::Label> label;
};

class CheckBoxView : public PanelComponent::ItemView
{
public:
    CheckBoxView (PanelControl& control, ChangeFunction onChange)
        : ItemView (control), change (std::move (onChange)), button (control.getControlName())
    {
        button.setColour (juce::ToggleButton::textColourId, textColour);
        button.setToggleState (control.getValue() != control.getMinimum(), juce::dontSendNotification);
        button.onClick = [this] { change (item, button.getToggleState() ? item.getMaximum() : item.getMinimum()); };
        addAndMakeVisible (button);
    }

    int getPreferredHeight() const override { return 28; }
    void refresh() override { button.setToggleState (item.getValue() != item.getMinimum(), juce::dontSendNotification); }
    void resized() override { button.setBounds (getLocalBounds()); }

private:
    ChangeFunction change;
    juce::ToggleButton button;
};

class DropDownView : public PanelComponent::ItemView
{
public:
    DropDownView (PanelControl& control, ChangeFunction onChange) : ItemView (control), change (std::move (onChange))
    {
        label = makeLabel (control.getControlName());
        addAndMakeVisible (*label);

        // A list without entries offers the values of its range.
        if (control.getOptions().empty())
            for (auto v = control.getMinimum(); v <= control.getMaximum() && v - control.getMinimum() < maxListEntries; ++v)
                control.getOptions().push_back ({ juce::String (v), v });

        for (size_t i = 0; i < control.getOptions().size(); ++i)
            box.addItem (control.getOptions()[i].text, (int) i + 1);

        refresh();
        box.onChange = [this]
        {
            const auto index = box.getSelectedItemIndex();

            if (index >= 0)
                change (item, item.getOptions()[(size_t) index].value);
        };
        addAndMakeVisible (box);
    }

    int getPreferredHeight() const override { return labelHeight + 26; }
    void refresh() override { box.setSelectedItemIndex (item.indexOfOption (item.getValue()), juce::dontSendNotification); }

    // The filter letter of the chosen entry.
    juce::String getChosenLetter() const { return getEntryLetter (box.getText()); }

    void resized() override
    {
        auto area = getLocalBounds();
        label->setBounds (area.removeFromTop (labelHeight));
        box.setBounds (area.removeFromTop (24));
    }

private:
    ChangeFunction change;
    std::unique_ptr<juce::Label> label;
    juce::ComboBox box;
};

// A level meter: a bar from the bottom of its range, green, then yellow from
// "barmin2", red from "barmin3", with the ticks of its scale.
class MeterView : public PanelComponent::ItemView, private juce::Timer
{
public:
    MeterView (PanelControl& control, PanelModel& model) : ItemView (control)
    {
        if ((buffer = model.findBuffer (control.getMeterBuffer())) != nullptr)
            field = buffer->indexOfField (control.getMeterField());

        startTimerHz (20);
    }

    int getPreferredWidth() const override { return 110; }
    int getPreferredHeight() const override { return labelHeight + item.getWholeNumber ("height", 80, 40, 400) + 8; }

    void paint (juce::Graphics& g) override
    {
        auto area = getLocalBounds();
        g.setColour (textColour);
        g.setFont (juce::Font (14.0f, juce::Font::bold));
        g.drawText (item.getControlName(), area.removeFromTop (labelHeight), juce::Justification::centredLeft);

        auto bar = area.removeFromLeft (24).reduced (2, 4).toFloat();
        const auto minimum = (float) item.getMinimum(), maximum = (float) juce::jmax (item.getMaximum(), item.getMinimum() + 1);
        auto toY = [&] (float v)
        { return bar.getBottom() - bar.getHeight() * juce::jlimit (0.0f, 1.0f, (v - minimum) / (maximum - minimum)); };

        g.setColour (juce::Colours::black);
        g.fillRect (bar);
        const auto yellowFrom = (float) item.getNumber ("barmin2", maximum),
                   redFrom = (float) item.getNumber ("barmin3", maximum);
        const auto level = (float) shownValue;
        const std::pair<float, juce::Colour> zones[] = { { yellowFrom, juce::Colour (0xFF30C040) },
                                                         { redFrom, juce::Colour (0xFFE0C020) },
                                                         { maximum, juce::Colour (0xFFE03020) } };
        auto from = minimum;

        for (const auto& [to, colour] : zones)
        {
            const auto top = juce::jmin (level, to);

            if (top > from)
            {
                g.setColour (colour);
                g.fillRect (juce::Rectangle<float>::leftTopRightBottom (bar.getX(), toY (top), bar.getRight(), toY (from)));
            }

            from = juce::jmax (from, to);
        }

        g.setColour (dimTextColour);
        g.setFont (11.0f);

        for (const auto& tick : item.getTicks())
        {
            const auto y = toY ((float) tick.position);
            g.drawHorizontalLine ((int) y, bar.getRight() + 1, bar.getRight() + 6);

            if (tick.label.isNotEmpty())
                g.drawText (tick.label, (int) bar.getRight() + 8, (int) y - 6, 48, 12, juce::Justification::centredLeft);
        }
    }

private:
    void timerCallback() override
    {
        const auto value = buffer != nullptr ? buffer->getField (field) : (int) item.getDefault();

        if (value != shownValue)
        {
            shownValue = value;
            repaint();
        }
    }

    PanelBuffer* buffer = nullptr;
    int field = 0;
    int shownValue = -1;
};

// Where a graphic control of the panel stands: a frame with its name.
class GraphicView : public PanelComponent::ItemView
{
public:
    using ItemView::ItemView;

    int getPreferredWidth() const override { return item.getWholeNumber ("width", columnWidth, columnWidth, 720); }
    int getPreferredHeight() const override { return item.getWholeNumber ("height", 80, 40, 300); }

    void paint (juce::Graphics& g) override
    {
        g.setColour (juce::Colour (0xFF383838));
        g.fillRoundedRectangle (getLocalBounds().toFloat().reduced (1.0f), 4.0f);
        g.setColour (juce::Colour (0xFF606060));
        g.drawRoundedRectangle (getLocalBounds().toFloat().reduced (1.0f), 4.0f, 1.0f);
        g.setColour (dimTextColour);
        g.setFont (13.0f);
        g.drawFittedText (item.getKeyword() + " \"" + item.getControlName() + "\": a graphic control this panel does not draw",
                          getLocalBounds().reduced (8), juce::Justification::centred, 2);
    }
};
} // namespace

//==============================================================================
PanelComponent::PanelComponent (HalvixPanel& ownerPanel) : panel (ownerPanel)
{
    setOpaque (true);

    for (const auto& box : panel.getModel().getBoxes())
    {
        BoxView boxView;
        boxView.width = box.width;

        if (box.title.isNotEmpty())
        {
            boxView.group = std::make_unique<juce::GroupComponent> (juce::String(), box.title);
            boxView.group->setColour (juce::GroupComponent::textColourId, textColour);
            boxView.group->setColour (juce::GroupComponent::outlineColourId, juce::Colour (0xFF707070));
            addAndMakeVisible (*boxView.group);
        }

        for (const auto& column : box.columns)
        {
            if (column.empty())
                continue;

            boxView.columns.emplace_back();

            for (auto* control : column)
            {
                views.push_back (makeView (*control));
                addAndMakeVisible (*views.back());
                boxView.columns.back().push_back (views.back().get());
            }
        }

        if (! boxView.columns.empty())
            boxes.push_back (std::move (boxView));
    }

    updateEnabledControls();
    setSize (getPreferredBounds().getWidth(), getPreferredBounds().getHeight());
}

PanelComponent::~PanelComponent() = default;

std::unique_ptr<PanelComponent::ItemView> PanelComponent::makeView (PanelControl& control)
{
    auto onChange = [this] (PanelControl& changed, uint32_t value) { valueChanged (changed, value); };

    switch (control.getKind())
    {
        case PanelControl::Kind::slider:
        case PanelControl::Kind::slimFader:
        case PanelControl::Kind::encoder: return std::make_unique<SliderView> (control, onChange);
        case PanelControl::Kind::checkBox: return std::make_unique<CheckBoxView> (control, onChange);
        case PanelControl::Kind::dropDown: return std::make_unique<DropDownView> (control, onChange);
        case PanelControl::Kind::meter: return std::make_unique<MeterView> (control, panel.getModel());
        case PanelControl::Kind::graphic: break;
    }

    return std::make_unique<GraphicView> (control);
}

void PanelComponent::valueChanged (PanelControl& control, uint32_t value)
{
    panel.changeValue (control, value);

    // Another control of the same message took the value too.
    for (const auto& view : views)
        if (PanelModel::sharesValue (control, view->getControl()))
            view->refresh();

    if (control.getKind() == PanelControl::Kind::dropDown)
        updateEnabledControls();
}

void PanelComponent::updateEnabledControls()
{
    for (const auto& view : views)
    {
        const auto source = view->getControl().getEnableSource();

        if (source.isEmpty())
            continue;

        for (const auto& other : views)
            if (auto* list = dynamic_cast<DropDownView*> (other.get());
                list != nullptr && list->getControl().getControlName() == source)
                view->setEnabled (view->getControl().getEnableLetters().contains (list->getChosenLetter()));
    }
}

juce::Rectangle<int> PanelComponent::layoutBox (const BoxView& box, juce::Point<int> origin, bool apply)
{
    const auto inset = box.group != nullptr ? boxMargin : 0;
    auto x = origin.x + inset;
    const auto top = origin.y + (box.group != nullptr ? boxTitleHeight : 0);
    auto bottom = top;

    for (const auto& column : box.columns)
    {
        auto width = 0;

        for (const auto* view : column)
            width = juce::jmax (width, view->getPreferredWidth());

        auto y = top;

        for (auto* view : column)
        {
            if (apply)
                view->setBounds (x, y, width, view->getPreferredHeight());

            y += view->getPreferredHeight() + rowGap;
        }

        bottom = juce::jmax (bottom, y);
        x += width + boxMargin;
    }

    const auto width = juce::jmax (x - origin.x + inset - boxMargin, box.width);
    const juce::Rectangle<int> bounds (origin.x, origin.y, width, bottom - origin.y + inset);

    if (apply && box.group != nullptr)
        box.group->setBounds (bounds);

    return bounds;
}

juce::Rectangle<int> PanelComponent::getPreferredBounds() const
{
    juce::Point<int> origin (boxMargin, boxMargin);
    auto right = boxMargin;

    for (const auto& box : boxes)
    {
        const auto bounds = layoutBox (box, origin, false);
        right = juce::jmax (right, bounds.getRight());
        origin.y = bounds.getBottom() + boxMargin;
    }

    return { 0, 0, right + boxMargin, origin.y };
}

void PanelComponent::paint (juce::Graphics& g)
{
    g.fillAll (panelBackground);
}

void PanelComponent::resized()
{
    juce::Point<int> origin (boxMargin, boxMargin);

    for (const auto& box : boxes)
        origin.y = layoutBox (box, origin, true).getBottom() + boxMargin;
}
