#include "model/GlobalPresetManager.h"

#include "model/Design.h"
#include "model/PresetFileAccess.h"

GlobalPresetManager::GlobalPresetManager (Design& designToUse, PresetDocument& document)
    : design (designToUse), projectDocument (document)
{
}

juce::File GlobalPresetManager::getGlobalPresetFile() const
{
    return design.getSettings().getGlobalPresetFile();
}

bool GlobalPresetManager::holds (const juce::String& name) const
{
    // Looked for without making it the list's current preset.
    auto& list = design.getGlobalPresets();

    for (int i = 0; i < list.getCount(); ++i)
        if (list.getPreset (i)->getName() == name)
            return true;

    return false;
}

juce::Result GlobalPresetManager::checkNewName (const juce::String& name) const
{
    // A blank name could neither be chosen nor removed afterwards.
    if (name.trim().isEmpty())
        return juce::Result::fail ("A global preset needs a name.");

    if (holds (name))
        return juce::Result::fail ("\"" + name + "\" global preset name already used, please choose another preset name");

    return juce::Result::ok();
}

std::unique_ptr<GlobalPresetManager::Saving> GlobalPresetManager::makeSaving (const juce::String& name, bool create)
{
    return std::make_unique<Saving> (*this, name, create);
}

juce::Result GlobalPresetManager::save (const juce::String& name, bool create)
{
    auto saving = makeSaving (name, create);
    saving->start();

    for (int i = 0; i < saving->getDspCount(); ++i)
        saving->collectDsp (i);

    saving->compare();
    saving->clean();
    return saving->finish();
}

juce::Result GlobalPresetManager::remove (const juce::String& name)
{
    if (! holds (name))
        return juce::Result::fail ("there is no global preset \"" + name + "\"");

    // The file keeps the preset: so does the design, or it would come back.
    if (auto written = projectDocument.writeGlobalPresetsFile (getGlobalPresetFile(), name); written.failed())
        return written;

    design.getGlobalPresets().removeByName (name);
    return juce::Result::ok();
}

//==============================================================================
GlobalPresetManager::Saving::Saving (GlobalPresetManager& manager, const juce::String& presetName, bool createPreset)
    : owner (manager), name (presetName), create (createPreset)
{
}

void GlobalPresetManager::Saving::note (const juce::Result& outcome)
{
    if (outcome.failed() && result.wasOk())
        result = outcome;
}

juce::Result GlobalPresetManager::Saving::start()
{
    file = owner.getGlobalPresetFile();

    // The global presets are kept beside the project file.
    if (file == juce::File())
        note (juce::Result::fail ("The project has no file yet: save the project first."));
    else if (create)
        note (owner.checkNewName (name));
    else if (! owner.holds (name))
        note (juce::Result::fail ("There is no global preset \"" + name + "\" to save into."));

    if (result.failed())
        return result;

    // Failures of the copies' stages reach the user as the project's do.
    document.setMessageHandler (owner.projectDocument.getMessageHandler());

    note (document.readGlobalRoot (file, root));

    if (result.failed())
        return result;

    stores.emplace (owner.design.getPresetStores());
    globalPresets.emplace (owner.design.getGlobalPresets());
    document.setPresetStores (&*stores);
    document.setGlobalPresets (&*globalPresets);
    document.setUsePresetList();

    collector = std::make_unique<GlobalPresetCollector> (owner.design, document, *root);

    for (int i = 0; i < owner.design.getNumDsps(); ++i)
        dspIds.push_back (owner.design.getDsp (i)->getDspId());

    return result;
}

void GlobalPresetManager::Saving::collectDsp (int position)
{
    if (result.failed() || position < 0 || position >= getDspCount())
        return;

    collector->collectDspGlobalPreset (name, dspIds[(size_t) position], getDspCount(), position == 0);
    note (collector->getResult());
}

void GlobalPresetManager::Saving::compare()
{
    if (result.wasOk())
        document.rebuildReferencedPresets();
}

void GlobalPresetManager::Saving::clean()
{
    if (result.wasOk())
        document.removeUnreferencedPresets();
}

juce::Result GlobalPresetManager::Saving::finish()
{
    if (result.failed())
        return result;

    document.renumberInto (*root);

    if (auto written = PresetFileAccess::save (*root, file); written.failed())
    {
        note (juce::Result::fail ("The global preset file " + file.getFullPathName() +
                                  " could not be written: " + written.getErrorMessage()));
        return result;
    }

    // The list before the install: with no DSP the collection creates nothing.
    created = create && globalPresets->findByName (name) >= 0;
    owner.design.getPresetStores() = std::move (*stores);
    owner.design.getGlobalPresets() = std::move (*globalPresets);
    return result;
}
