#pragma once

#include "model/DesignLog.h"
#include "model/PresetDocument.h"
#include "model/ProjectFileContent.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <map>
#include <vector>

class ModuleLibrary;

// Reads the XML of a project file into a ProjectFileContent, checking every
// value against the design's limits and the module library: nothing read
// from the file is trusted. What is out of range is dropped or replaced and
// noted in the content's problems; nothing is allocated by a count the file
// gives; the result can be installed whole.
class ProjectFileReader
{
public:
    // Problems of one kind listed before the rest are only counted.
    static constexpr int maxProblemsOfAKind = maxListedProblemsOfAKind;

    explicit ProjectFileReader (const ModuleLibrary& moduleLibrary) noexcept : library (moduleLibrary) {}

    // The root must be "OSTRANE_QUELLION_Configuration" (the caller checks).
    ProjectFileContent read (const juce::XmlElement& root);

    // The pin labels each graph accepts.
    static bool isDspPinName (const juce::String& name);
    static bool isChipPinName (const juce::String& name);

    // "Directory" as written on any system: "\" separators become "/"; a
    // path that starts with a drive letter names nothing here (none).
    static std::optional<juce::String> normaliseDirectory (const juce::String& text);

    // How the stored presets of a process class are read: the class of a
    // delay-type process (by the library's definitions of that name) keeps
    // its delay control and leaves out the copy per ms of each control that
    // files saved while a delay's length counted as channels hold. A class
    // the library does not know is read as the file gives it. The rule reads
    // the library, which must outlive it.
    static PresetDocument::ClassRule classRuleOf (const ModuleLibrary& library);

    // Reads the "(Last-Saved)" values that a "Process" element holds for its
    // process into the store, as the process has them today: a delay-type
    // process's from the count group 1, with the delay control, without the
    // copies per ms of earlier files and with the length given as count; any
    // other's from the group of that count, never with a delay control. The
    // store is marked as the process's box marks it; `prepare` readies it
    // once the element is found to hold values for it. Problems go to
    // `problem`; without one the document's are logged and the rest left
    // unsaid (the file was checked when it was opened). True when
    // "(Last-Saved)" was read and is the current preset.
    using ProblemHandler = std::function<void (const juce::String&)>;
    static bool loadLastSaved (const juce::XmlElement& element, const ProcessDefinition& definition, uint32_t count,
                               ProcessPresetStore& store, const std::function<void()>& prepare, const ProblemHandler& problem);

private:
    void readSettings (const juce::XmlElement& element);
    void readDsps (const juce::XmlElement* dspsElement);
    bool readDsp (const juce::XmlElement& element, ProjectFileContent::Dsp& dsp);
    void readProcesses (const juce::XmlElement* processesElement, ProjectFileContent::Dsp& dsp,
                        std::map<uint32_t, uint32_t>& ids);
    void readProcess (const juce::XmlElement& element, const ProjectFileContent::Dsp& dsp, int position,
                      ProjectFileContent::Process& process);
    static bool isSecondStaticInstance (const ProjectFileContent::Dsp& dsp, const ProjectFileContent::Process& process);
    void readChannelWord (const juce::XmlElement& element, ProjectFileContent::Process& process);
    void readMemoryWord (const juce::XmlElement& element, ProjectFileContent::Process& process);
    void readCommands (const juce::XmlElement& element, ProjectFileContent::Process& process);
    static bool namesDelayControl (const juce::XmlElement& group);
    static PresetDocument::ClassReading readingOfProcess (const ProcessDefinition& definition);
    static PresetDocument::ClassReading readingOfDelays (std::vector<const ProcessDefinition*> delays);
    void readLastSaved (const juce::XmlElement& element, ProjectFileContent::Process& process);
    template <typename Item, typename Describe>
    void assignNrpns (std::vector<Item>& items, uint32_t maximum, Describe&& describe);
    void assignProcessNrpns (ProjectFileContent::Dsp& dsp);
    void assignDspNrpns();

    std::vector<ProjectFileContent::Connection> readConnections (const juce::XmlElement* list, const juce::String& tag,
                                                                 const std::map<uint32_t, uint32_t>& ids,
                                                                 const ProjectFileContent::Dsp* dsp);
    std::vector<ProjectFileContent::PinLabel> readPinLabels (const juce::XmlElement* list, const juce::String& tag,
                                                             const std::map<uint32_t, uint32_t>& ids,
                                                             const ProjectFileContent::Dsp* dsp);

    // How many pins a node offers on one side: for a process the pins its
    // box shows, for a DSP its module's; 0 for a node that is not there.
    uint32_t getPinLimit (const ProjectFileContent::Dsp* dsp, uint32_t nodeId, bool input) const;

    // False, noting the problem, for a text that is no number; a missing
    // attribute gives the fallback.
    bool readUnsigned (const juce::XmlElement& element, const char* attribute, uint32_t& value, uint32_t fallback = 0);
    bool readInt (const juce::XmlElement& element, const char* attribute, int& value, int fallback = 0);
    double readPosition (const juce::XmlElement& element, const char* attribute);
    // Notes a problem; of one kind (the text itself when none is given) the
    // first few are listed, and one line then says how many more there were,
    // so that a damaged file cannot fill the log.
    void problem (const juce::String& text, const juce::String& kind = {});
    void listUnlistedProblems();
    void badNumber (const juce::XmlElement& element, const char* attribute);

    struct ProblemKind
    {
        int count = 0;
        int lastListed = -1;
    };

    juce::String where;
    // The rate the file sets, which a delay's count range depends on; 0 for none.
    double samplingRateKhz = 0.0;
    const ModuleLibrary& library;
    ProjectFileContent content;
    std::map<juce::String, ProblemKind> problemKinds;
};
