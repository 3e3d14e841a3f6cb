#include "editors/DesktopOpener.h"
#include "app/SoftwareUpdater.h"
#include "editors/HelpViewer.h"

#include "support/LocalHttpServer.h"
#include "support/UiTestSupport.h"
#include "support/XSession.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
// Texts that a shell would take for commands: each would leave a file
// named "pwned..." in the working folder.
const juce::StringArray hostileTexts{ "$(touch pwned1)",      "`touch pwned2`",     "; touch pwned3 ;",    "| touch pwned4",
                                      "\"; touch pwned5; \"", "'; touch pwned6; '", "$(touch${IFS}pwned7)" };

// A desktop opener of the test's own first on the PATH, which writes down
// every call: the number of its arguments, then each on a line.
class RecordingOpener
{
public:
    RecordingOpener() : savedPath (std::getenv ("PATH") != nullptr ? std::getenv ("PATH") : "")
    {
        folder.getChildFile ("work").createDirectory();
        workingFolder.setAsCurrentWorkingDirectory();

        const auto opener = folder.getChildFile ("bin").getChildFile (DesktopOpener::openerName);
        opener.getParentDirectory().createDirectory();
        opener.replaceWithText ("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >> '" + record().getFullPathName() + "'\n", false, false,
                                "\n");
        opener.setExecutePermission (true);
        setenv ("PATH", (opener.getParentDirectory().getFullPathName() + ":" + savedPath).toRawUTF8(), 1);
    }

    ~RecordingOpener()
    {
        setenv ("PATH", savedPath.toRawUTF8(), 1);
        restoredFolder.setAsCurrentWorkingDirectory();
    }

    juce::File record() const { return folder.getChildFile ("opened.txt"); }
    juce::File getHelpFolder() const { return folder.getChildFile ("help"); }

    // The calls written down, each as its arguments.
    std::vector<juce::StringArray> calls() const
    {
        std::vector<juce::StringArray> result;
        auto lines = juce::StringArray::fromLines (record().loadFileAsString());

        for (int i = 0; i < lines.size() && lines[i].isNotEmpty(); i += 1 + lines[i].getIntValue())
        {
            juce::StringArray arguments;

            for (int n = 1; n <= lines[i].getIntValue(); ++n)
                arguments.add (lines[i + n]);

            result.push_back (arguments);
        }

        return result;
    }

    // Waits until the openers started so far have written (and a little
    // more, for a command one of them might have run on the way).
    void waitForCalls (size_t count) const
    {
        vxtest::waitFor ([&] { return calls().size() >= count; }, 5000);
        vxtest::pump (300);
    }

    juce::StringArray ranCommands() const
    {
        juce::StringArray found;

        for (const auto& file : workingFolder.findChildFiles (juce::File::findFiles, true, "pwned*"))
            found.add (file.getFileName());

        return found;
    }

private:
    vxtest::TemporaryFolder folder;
    const juce::File workingFolder = folder.getChildFile ("work");
    const juce::File restoredFolder = juce::File::getCurrentWorkingDirectory();
    const juce::String savedPath;
};
} // namespace

TEST (DesktopOpener, TakesOnlyWellFormedWebAddresses)
{
    // Beside the version text's cases: the parts of an address one by one.
    const std::pair<const char*, bool> addresses[] = {
        { "http://127.0.0.1:8080/dl/OstraneQuellion_V1.34.zip", true },
        { "http://[::1]:80/x", true },
        { "https://a.example.org/a%20b#top", true },
        { "http://a.example.org/?a=1&b=2+3,4", true },
        { "https://a.example.org", true },
        { "http://a.example.org/;id", false },
        { "http://a.example.org/|id", false },
        { "http://a.example.org/'x", false },
        { "http://a.example.org/(x)", false },
        { "http://a.example.org/%zz", false },
        { "http://a.example.org/\xc3\xa9", false },
        { "http://user@a.example.org/", false },
        { "http://a.example.org:99999/", false },
        { "http://a..example.org/", false },
        { "http://$(id)/", false },
        { "javascript:alert(1)", false },
        { "http://a.example.org./x", true },
        { "http://a-.example.org/", false },
        { "http://a.-b.example.org/", false },
        { "http://[:]/", false },
        { "http://a.example.org\n/", false },
        { "http://a.example.org/x\r\ny", false },
    };

    for (const auto& [address, accepted] : addresses)
        EXPECT_EQ (DesktopOpener::isWebAddress (juce::String::fromUTF8 (address)), accepted) << address;

    // Names no host has: a label longer than 63, a name longer than 253.
    const auto label = [] (int length) { return juce::String::repeatedString ("a", length); };
    EXPECT_TRUE (DesktopOpener::isWebAddress ("http://" + label (63) + ".example.org/"));
    EXPECT_FALSE (DesktopOpener::isWebAddress ("http://" + label (64) + ".example.org/"));
    EXPECT_FALSE (DesktopOpener::isWebAddress ("http://" + juce::String::repeatedString (label (60) + ".", 5) + "org/"));
}

TEST (DesktopOpener, NothingItOpensRunsACommand)
{
    RecordingOpener opener;
    vxtest::ScriptedDialogs dialogs;
    juce::StringArray expected;

    // Help pages whose names hold what a shell would run, opened with the
    // desktop's own viewer.
    HelpViewer viewer (opener.getHelpFolder());

    for (const auto& text : hostileTexts)
    {
        const auto page = opener.getHelpFolder().getChildFile ("guide " + text + ".pdf");
        ASSERT_TRUE (page.create().wasOk()) << text;
        EXPECT_TRUE (viewer.showPage ("/" + page.getFileName())) << text;
        expected.add (page.getFullPathName());
    }

    // A help page named by a module's definition that would lie outside the
    // help folder (a desktop entry or a program of the user's) is not opened.
    const auto outside = opener.getHelpFolder().getSiblingFile ("outside.desktop");
    ASSERT_TRUE (outside.create().wasOk());

    for (const auto* page : { "/../outside.desktop", "guide/../../outside.desktop" })
    {
        EXPECT_FALSE (viewer.showPage (page)) << page;
        EXPECT_EQ (viewer.explainNotShown (page), "No help page \"outside.desktop\" in the folder \"help\".");
    }

    // Web pages of such addresses are not opened at all.
    for (const auto& text : hostileTexts)
        EXPECT_FALSE (DesktopOpener::openWebPage ("http://127.0.0.1:9/" + text)) << text;

    // Nor offered by the update check, whose page the user may open.
    vxtest::LocalHttpServer server;
    SoftwareUpdater updater;
    updater.setServerAddress (server.getAddress());
    server.setResponse ("/OstraneVersionInfo.txt",
                        vxtest::LocalHttpServer::text ("VERSION|OstraneQuellion|9.0|http://127.0.0.1:9/$(touch${IFS}pwned8)\n"));
    dialogs.buttonChoices = { 1 }; // "Go to download page", were it offered
    updater.runUpdateCheck ("OstraneQuellion", "1.336");
    EXPECT_TRUE (dialogs.buttonQuestions.empty());

    // A web page of an ordinary address is.
    EXPECT_TRUE (DesktopOpener::openWebPage ("https://a.example.org/index.php?a=1&b=2"));
    expected.add ("https://a.example.org/index.php?a=1&b=2");

    opener.waitForCalls ((size_t) expected.size());
    const auto calls = opener.calls();
    ASSERT_EQ (calls.size(), (size_t) expected.size());

    // Each call got its text whole, as its one argument (the order in which
    // the openers ran may differ).
    juce::StringArray received;

    for (const auto& call : calls)
    {
        EXPECT_EQ (call.size(), 1) << call.joinIntoString ("|");
        received.add (call[0]);
    }

    received.sort (false);
    expected.sort (false);
    EXPECT_EQ (received, expected);
    EXPECT_TRUE (opener.ranCommands().isEmpty()) << opener.ranCommands().joinIntoString (", ");
}
