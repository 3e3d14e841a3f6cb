#pragma once

#include "model/ProjectFileContent.h"
#include "model/ProjectFileFormat.h"
#include "model/ProjectFileWriter.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>
#include <memory>

class Design;
class GraphNode;
class ModuleLibrary;

// The project file (".zqp") of a design, with no window: reading it into a
// checked content first and installing that whole, writing it whole or not
// at all, and reading parts of it again once the pages exist (the command
// words, the saved control values). The project page carries the dialogs,
// the title and the status around these.
class ProjectFile
{
public:
    struct Loaded
    {
        // None when the file was refused.
        std::unique_ptr<ProjectFileContent> content;
        juce::Result result = juce::Result::ok();
        // Nothing stands under the name: the file is missing, not refused.
        bool missing = false;
    };

    // Reads and checks the file; the design is not touched. Refused, with
    // the reason: a file that is missing, no XML, too large, no regular file,
    // or not a project file.
    static Loaded load (const juce::File& file, const ModuleLibrary& library);
    static Loaded parse (const juce::String& text, const ModuleLibrary& library);

    // Makes the content the open design, as read from that file: the
    // project's name, folder and file, the output directory (the file's
    // folder, then the file's "Directory"), the version that created it,
    // and everything the content holds. Its messages go to the log.
    static void install (const ProjectFileContent& content, const juce::File& file, Design& design);

    static std::unique_ptr<juce::XmlElement> createXml (Design& design, const ProjectFileWriter::Options& options);

    // Writes the design to the file through a temporary file beside it: the
    // old file stays as it was when anything fails.
    static juce::Result save (Design& design, const juce::File& file, const ProjectFileWriter::Options& options);

    // A name chosen without extension gets ".zqp".
    static juce::File withProjectExtension (const juce::File& file);

    //==============================================================================
    // Gives the command words of every process of the saved file back to the
    // process's node (found by its NRPN number, and only while it runs the
    // same process), once the process editors have built the words.
    static void reloadCommandLists (const juce::XmlElement& root, Design& design);

    // (DSP index - 1, process NRPN << 8 | control NRPN, value).
    using ControlSender = std::function<void (int, uint32_t, uint32_t)>;

    // Loads every process's "(Last-Saved)" values of the saved file into its
    // node's store again, under the controls the process lists now, and
    // sends each control but the fixed delay control.
    static void sendSavedControls (const juce::XmlElement& root, Design& design, const ControlSender& send);
};
