#include "app/SoftwareUpdater.h"
#include "model/FileReplacement.h"

#include "support/LocalHttpServer.h"
#include "support/UiTestSupport.h"
#include "support/XSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <tuple>

namespace
{
using vxtest::LocalHttpServer;

const juce::String key = "OstraneQuellion";
const juce::String installer = "OstraneQuellion_V1.34.zip";

// Watches the boxes the check runs modally: records each box's title and
// whether it shows a progress bar, and presses its "Cancel" after the given
// time, or first the key given (at the latest after fifteen seconds, so that
// a box that never closes fails the test rather than hanging it).
class BoxWatcher : private juce::Timer
{
public:
    explicit BoxWatcher (int cancelAfterMs = 15000, juce::KeyPress keyToPress = {})
        : cancelAfter (cancelAfterMs), key (keyToPress)
    {
        startTimer (20);
    }

    juce::StringArray seen;

private:
    void timerCallback() override
    {
        auto* box = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());

        if (box == nullptr)
            return;

        if (box != current)
        {
            current = box;
            shownAt = juce::Time::getMillisecondCounter();
            seen.add (box->getName() + (hasProgressBar (*box) ? " with a progress bar" : ""));
        }

        if (juce::Time::getMillisecondCounter() - shownAt < (juce::uint32) cancelAfter)
            return;

        // The key goes where the user's would: to the window with the focus,
        // which hands it on to the box while the box is modal.
        if (key.isValid() && box->getPeer() != nullptr)
        {
            box->getPeer()->handleKeyPress (std::exchange (key, juce::KeyPress()));
            cancelAfter = 15000;
            return;
        }

        for (auto* child : box->getChildren())
            if (auto* button = dynamic_cast<juce::TextButton*> (child))
                if (button->getButtonText() == "Cancel")
                    button->triggerClick();
    }

    static bool hasProgressBar (juce::Component& box)
    {
        for (auto* child : box.getChildren())
            if (dynamic_cast<juce::ProgressBar*> (child) != nullptr)
                return true;

        return false;
    }

    int cancelAfter;
    juce::KeyPress key;
    juce::Component* current = nullptr;
    juce::uint32 shownAt = 0;
};

// The longest time the message thread went without handling a message
// while this lived.
class MessageThreadWatch : private juce::Timer
{
public:
    MessageThreadWatch() { startTimer (10); }

    // Up to now: a thread that is held still counts.
    juce::uint32 getLongestGapMs() const { return juce::jmax (longest, juce::Time::getMillisecondCounter() - last); }

private:
    void timerCallback() override
    {
        const auto now = juce::Time::getMillisecondCounter();
        longest = juce::jmax (longest, now - last);
        last = now;
    }

    juce::uint32 last = juce::Time::getMillisecondCounter(), longest = 0;
};

class SoftwareUpdaterTest : public ::testing::Test
{
protected:
    SoftwareUpdaterTest()
    {
        updater.setServerAddress (server.getAddress());
        updater.setTimeoutMs (1000);
        updater.openInBrowser = [this] (const juce::String& address)
        {
            opened.add (address);
            return true;
        };
    }

    void publish (const juce::String& version, const juce::String& address, const juce::String& notes = "Faster.\n")
    {
        server.setResponse ("/OstraneVersionInfo.txt",
                            LocalHttpServer::text ("VERSION|OstraneOther|9.9|http://other.example.org\nOther\n"
                                                   "VERSION|" +
                                                   key + "|" + version + "|" + address + "\n" + notes));
    }

    // A version 1.34 whose installer lies in the server's folder "dl".
    void publishUpdate() { publish ("1.34", server.getAddress() + "index.php?racine=dl"); }

    // A whole entry of a newer version that the server sends a few bytes at
    // a time: faster than any connection gives up on, yet whole only after
    // some seconds.
    void publishSlowly()
    {
        auto response = LocalHttpServer::text ("VERSION|" + key + "|1.34|https://a.example.org/q\n" +
                                               juce::String::repeatedString ("Notes.\n", 300));
        response.bytesPerStep = 120;
        response.stepIntervalMs = 200;
        server.setResponse ("/OstraneVersionInfo.txt", response);
    }

    void serveInstaller (LocalHttpServer::Response response) { server.setResponse ("/dl/" + installer, std::move (response)); }

    static juce::MemoryBlock makeInstallerBytes (size_t size)
    {
        juce::MemoryBlock bytes (size);
        // The standard generator: a juce::Random made here would count its
        // objects in this program apart from JUCE's own count.
        std::mt19937 random (34);

        for (size_t i = 0; i < size; ++i)
            static_cast<juce::uint8*> (bytes.getData())[i] = (juce::uint8) (random() & 0xff);

        return bytes;
    }

    juce::File runCheck() { return updater.runUpdateCheck (key, "1.336"); }

    bool installerWasAsked() const { return server.getRequestedPaths().contains ("/dl/" + installer); }

    int filesInFolder() const { return folder.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"); }

    vxtest::ScriptedDialogs dialogs;
    vxtest::TemporaryFolder folder;
    LocalHttpServer server;
    SoftwareUpdater updater;
    juce::StringArray opened;
};
} // namespace

TEST_F (SoftwareUpdaterTest, OffersANewerVersionWithItsNotes)
{
    ASSERT_TRUE (server.isRunning());
    publishUpdate();
    dialogs.buttonChoices = { 2 }; // "Remind me later"

    EXPECT_EQ (runCheck(), juce::File());

    ASSERT_EQ (dialogs.buttonQuestions.size(), 1u);
    const auto& box = dialogs.buttonQuestions[0];
    EXPECT_EQ (box.icon, juce::MessageBoxIconType::WarningIcon);
    EXPECT_EQ (box.title, "Update notification");
    EXPECT_EQ (box.text, "A software update is available: OstraneQuellion V1.34\nFaster.\n");
    EXPECT_EQ (box.buttonText, "Download automatically now|Go to download page|Remind me later");
    EXPECT_FALSE (installerWasAsked());
    EXPECT_TRUE (opened.isEmpty());
    EXPECT_TRUE (dialogs.chooserRequests.empty());
}

TEST_F (SoftwareUpdaterTest, OffersNothingWhenThereIsNothingNewOrSafe)
{
    const std::pair<const char*, juce::String> published[] = {
        { "the running version", "VERSION|OstraneQuellion|1.336|https://a.example.org\n" },
        { "an older version", "VERSION|OstraneQuellion|1.2|https://a.example.org\n" },
        { "another program only", "VERSION|OstraneOther|9.9|https://a.example.org\n" },
        { "a version climbing out of the folder", "VERSION|OstraneQuellion|9/../../x|https://a.example.org\n" },
        { "a file address", "VERSION|OstraneQuellion|9.0|file:///etc/passwd\n" },
        { "an empty text", "" },
    };

    for (const auto& [name, text] : published)
    {
        SCOPED_TRACE (name);
        server.setResponse ("/OstraneVersionInfo.txt", LocalHttpServer::text (text));
        EXPECT_EQ (runCheck(), juce::File());
    }

    // A server that has no version text, or fails.
    server.setResponse ("/OstraneVersionInfo.txt",
                        LocalHttpServer::text ("VERSION|OstraneQuellion|9.0|https://a.example.org\n", 500));
    EXPECT_EQ (runCheck(), juce::File());

    EXPECT_TRUE (dialogs.buttonQuestions.empty()) << "nothing was offered";
    EXPECT_TRUE (opened.isEmpty());
}

TEST_F (SoftwareUpdaterTest, AVersionTextLongerThanAnyIsRefused)
{
    publishUpdate();
    server.setResponse ("/OstraneVersionInfo.txt",
                        LocalHttpServer::text ("VERSION|OstraneQuellion|1.34|https://a.example.org\n" +
                                               juce::String::repeatedString ("x", SoftwareUpdater::maxVersionInfoBytes)));
    EXPECT_TRUE (updater.readVersionInfo().isEmpty());
    EXPECT_EQ (runCheck(), juce::File());
    EXPECT_TRUE (dialogs.buttonQuestions.empty());
}

TEST_F (SoftwareUpdaterTest, NoServerAddressMeansNoCheck)
{
    publishUpdate();

    for (const auto& address : { juce::String(), juce::String ("file:///tmp/"), juce::String ("ftp://127.0.0.1/") })
    {
        updater.setServerAddress (address);
        EXPECT_EQ (runCheck(), juce::File());
    }

    EXPECT_TRUE (server.getRequestedPaths().isEmpty());
    EXPECT_TRUE (dialogs.buttonQuestions.empty());
}

TEST_F (SoftwareUpdaterTest, TheEnvironmentNamesTheServer)
{
    const auto* saved = std::getenv (SoftwareUpdater::serverVariable);
    const juce::String previous (saved != nullptr ? saved : "");

    setenv (SoftwareUpdater::serverVariable, " http://127.0.0.1:9/ ", 1);
    EXPECT_EQ (SoftwareUpdater::getDefaultServerAddress(), "http://127.0.0.1:9/");
    setenv (SoftwareUpdater::serverVariable, "", 1);
    EXPECT_EQ (SoftwareUpdater::getDefaultServerAddress(), "") << "set but empty turns the check off";

    if (saved != nullptr)
        setenv (SoftwareUpdater::serverVariable, previous.toRawUTF8(), 1);
    else
        unsetenv (SoftwareUpdater::serverVariable);
}

TEST_F (SoftwareUpdaterTest, AServerThatNeverAnswersHoldsTheStartOnlyForTheTimeout)
{
    LocalHttpServer::Response silent;
    silent.answers = false;
    server.setResponse ("/OstraneVersionInfo.txt", silent);

    const auto started = juce::Time::getMillisecondCounter();
    EXPECT_EQ (runCheck(), juce::File());
    const auto waited = juce::Time::getMillisecondCounter() - started;

    EXPECT_LT (waited, 8000u) << "a one-second timeout let the check wait " << waited << " ms";
    EXPECT_TRUE (dialogs.buttonQuestions.empty());
}

TEST_F (SoftwareUpdaterTest, ASlowServerIsCutOffAtTheDeadline)
{
    publishSlowly();

    EXPECT_TRUE (updater.readVersionInfo().isEmpty());
    EXPECT_TRUE (server.getAnsweredPaths().isEmpty()) << "the reading ended before the server's answer";

    // As the program starts the check: nothing waits, nothing is offered.
    MessageThreadWatch watch;
    updater.startUpdateCheck (key, "1.336");
    EXPECT_TRUE (updater.isReadingVersionInfo());
    EXPECT_TRUE (vxtest::waitFor ([this] { return ! updater.isReadingVersionInfo(); }, 8000));
    EXPECT_TRUE (server.getAnsweredPaths().isEmpty()) << "cut off before the server's answer";
    EXPECT_TRUE (dialogs.buttonQuestions.empty());
    EXPECT_LT (watch.getLongestGapMs(), 500u) << "the message thread was held";
}

TEST_F (SoftwareUpdaterTest, StartedInTheBackgroundTheOfferComesWithTheText)
{
    publishUpdate();
    dialogs.buttonChoices = { 2 };

    updater.startUpdateCheck (key, "1.336");
    EXPECT_TRUE (dialogs.buttonQuestions.empty()) << "nothing waits for the server";
    EXPECT_TRUE (vxtest::waitFor ([this] { return ! dialogs.buttonQuestions.empty(); }, 8000));
    EXPECT_FALSE (updater.isReadingVersionInfo());
}

TEST_F (SoftwareUpdaterTest, AQuitWhileTheServerIsSlowDoesNotWaitForIt)
{
    publishSlowly();

    {
        SoftwareUpdater reading;
        reading.setServerAddress (server.getAddress());
        reading.setTimeoutMs (5000);
        reading.startUpdateCheck (key, "1.336");
        vxtest::pump (300);
        ASSERT_TRUE (reading.isReadingVersionInfo());
    }

    EXPECT_TRUE (server.getAnsweredPaths().isEmpty()) << "gone before the server's answer";
    EXPECT_TRUE (dialogs.buttonQuestions.empty());
}

TEST_F (SoftwareUpdaterTest, TheDownloadPageOpensInTheBrowser)
{
    publish ("1.34", "https://a.example.org/index.php?racine=quellion");
    dialogs.buttonChoices = { 1 };

    EXPECT_EQ (runCheck(), juce::File());
    EXPECT_EQ (opened, juce::StringArray ({ "https://a.example.org/index.php?racine=quellion" }));
    EXPECT_TRUE (dialogs.chooserRequests.empty());
}

TEST_F (SoftwareUpdaterTest, ClosingTheBoxDoesNothing)
{
    publishUpdate();
    dialogs.buttonChoices = { -1 };

    EXPECT_EQ (runCheck(), juce::File());
    EXPECT_TRUE (opened.isEmpty());
    EXPECT_TRUE (dialogs.chooserRequests.empty());
}

TEST_F (SoftwareUpdaterTest, ACancelledFolderChoiceDownloadsNothing)
{
    publishUpdate();
    serveInstaller (LocalHttpServer::text ("zip"));
    dialogs.buttonChoices = { 0 };

    EXPECT_EQ (runCheck(), juce::File());

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (dialogs.chooserRequests[0].title, "Save installer to...");
    EXPECT_FALSE (installerWasAsked());
    EXPECT_TRUE (dialogs.messages.empty());
}

TEST_F (SoftwareUpdaterTest, AnErrorAnswerIsReportedAndNothingIsSaved)
{
    const std::pair<int, juce::String> answers[] = {
        { 404, "Error: OstraneQuellion_V1.34.zip not found" },
        { 403, "Error: OstraneQuellion_V1.34.zip could not be downloaded: the server answered 403." },
        { 500, "Error: OstraneQuellion_V1.34.zip could not be downloaded: the server answered 500." },
    };

    // An installer of an earlier download stays as it was.
    const auto earlier = folder.getChildFile (installer);
    ASSERT_TRUE (earlier.replaceWithText ("earlier"));
    publishUpdate();

    for (const auto& [status, message] : answers)
    {
        SCOPED_TRACE (status);
        serveInstaller (LocalHttpServer::text ("<html>an error page</html>", status));
        dialogs.messages.clear();
        dialogs.buttonChoices = { 0 };
        dialogs.chosenFiles = { folder.get() };

        EXPECT_EQ (runCheck(), juce::File());

        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].icon, juce::MessageBoxIconType::WarningIcon);
        EXPECT_EQ (dialogs.messages[0].title, "Software update");
        EXPECT_EQ (dialogs.messages[0].text, message);
        EXPECT_EQ (dialogs.messages[0].buttonText, "Cancel");
        EXPECT_EQ (earlier.loadFileAsString(), "earlier");
        EXPECT_EQ (filesInFolder(), 1);
    }
}

TEST_F (SoftwareUpdaterTest, AnUnreachableOrUnwritableDownloadIsReported)
{
    // A port that was open a moment ago and is closed now.
    juce::String closedAddress;
    {
        LocalHttpServer gone;
        closedAddress = gone.getAddress();
    }

    publish ("1.34", closedAddress + "dl");
    dialogs.buttonChoices = { 0 };
    dialogs.chosenFiles = { folder.get() };
    EXPECT_EQ (runCheck(), juce::File());

    // A server that takes the request and never answers: cut off at the
    // deadline, while the window goes on meanwhile.
    LocalHttpServer::Response silent;
    silent.answers = false;
    serveInstaller (silent);
    publishUpdate();
    dialogs.buttonChoices = { 0 };
    dialogs.chosenFiles = { folder.get() };
    {
        MessageThreadWatch watch;
        EXPECT_EQ (runCheck(), juce::File());
        EXPECT_LT (watch.getLongestGapMs(), 500u) << "the message thread waited for the server";
    }

    // A "folder" that is a file: nothing can be written inside it.
    const auto notAFolder = folder.getChildFile ("plain file");
    ASSERT_TRUE (notAFolder.replaceWithText ("x"));
    publishUpdate();
    serveInstaller (LocalHttpServer::text ("zip"));
    dialogs.buttonChoices = { 0 };
    dialogs.chosenFiles = { notAFolder };
    EXPECT_EQ (runCheck(), juce::File());

    ASSERT_EQ (dialogs.messages.size(), 3u);
    EXPECT_EQ (dialogs.messages[0].text, "Error: OstraneQuellion_V1.34.zip could not be downloaded: the server does not answer.");
    EXPECT_EQ (dialogs.messages[1].text, dialogs.messages[0].text);
    EXPECT_EQ (dialogs.messages[2].text,
               "Error: OstraneQuellion_V1.34.zip could not be written into " + notAFolder.getFullPathName() + ".");
    const auto paths = server.getRequestedPaths();
    EXPECT_EQ (std::count (paths.begin(), paths.end(), "/dl/" + installer), 1) << "nothing is fetched that could not be kept";
    EXPECT_EQ (filesInFolder(), 1);
}

TEST_F (SoftwareUpdaterTest, DownloadsTheInstallerIntoTheChosenFolder)
{
    VX_REQUIRE_DISPLAY();
    const auto bytes = makeInstallerBytes (300000);
    publishUpdate();

    // Of announced length, or in chunks that mark the end.
    for (const bool chunked : { false, true })
    {
        SCOPED_TRACE (chunked ? "chunked" : "of announced length");
        LocalHttpServer::Response response;
        response.body = bytes;
        response.chunked = chunked;
        response.bytesPerStep = chunked ? 65536 : 0;
        serveInstaller (response);

        // An earlier file of that name is replaced by the complete download, and
        // what a download of it cut short (the program killed) left beside it.
        ASSERT_TRUE (folder.getChildFile (installer).replaceWithText ("earlier"));
        ASSERT_TRUE (FileReplacement::getTemporaryFile (folder.getChildFile (installer)).replaceWithText ("cut short"));
        dialogs.buttonChoices = { 0 };
        dialogs.chosenFiles = { folder.get() };
        BoxWatcher watcher;

        const auto downloaded = runCheck();

        EXPECT_EQ (downloaded, folder.getChildFile (installer));
        juce::MemoryBlock content;
        ASSERT_TRUE (downloaded.loadFileAsData (content));
        EXPECT_TRUE (content == bytes);
        EXPECT_EQ (filesInFolder(), 1) << "no temporary file is left";
        EXPECT_TRUE (dialogs.messages.empty());
    }

    const juce::String versionText ("/OstraneVersionInfo.txt");
    EXPECT_EQ (server.getRequestedPaths(), juce::StringArray (versionText, "/dl/" + installer, versionText, "/dl/" + installer));
}

TEST_F (SoftwareUpdaterTest, CancelDuringTheDownloadLeavesNothing)
{
    VX_REQUIRE_DISPLAY();
    LocalHttpServer::Response response;
    response.body = makeInstallerBytes (1000000);
    response.bytesToSend = 100000;
    response.holdAfterwards = true;
    serveInstaller (response);
    publishUpdate();
    dialogs.buttonChoices = { 0 };
    dialogs.chosenFiles = { folder.get() };
    BoxWatcher watcher (300);

    EXPECT_EQ (runCheck(), juce::File());

    EXPECT_EQ (watcher.seen, juce::StringArray ({ "Software update with a progress bar" }));
    EXPECT_EQ (filesInFolder(), 0) << "neither the installer nor a part of it is left";
    EXPECT_TRUE (dialogs.messages.empty()) << "a cancel is no error";
}

TEST_F (SoftwareUpdaterTest, ADownloadThatDidNotArriveWholeIsReportedAndLeavesNothing)
{
    VX_REQUIRE_DISPLAY();
    const auto bytes = makeInstallerBytes (200000);
    const auto answer = [&bytes] (int bytesToSend, bool announcesLength, bool chunked, bool holds)
    {
        LocalHttpServer::Response response;
        response.body = bytes;
        response.bytesToSend = bytesToSend;
        response.announcesLength = announcesLength;
        response.chunked = chunked;
        response.bytesPerStep = chunked ? 20000 : 0;
        response.holdAfterwards = holds;
        return response;
    };
    // A stall before the first byte may also end the connecting, which says
    // that the server does not answer.
    const std::tuple<const char*, LocalHttpServer::Response, bool> answers[] = {
        { "cut off before the length announced", answer (50000, true, false, false), false },
        { "no length, then a stall", answer (0, false, false, true), true },
        { "no length, a part, then a stall", answer (50000, false, false, true), false },
        { "no length, and the connection closes", answer (-1, false, false, false), false },
        { "chunks cut off", answer (50000, false, true, false), false },
        { "chunks, then a stall", answer (50000, false, true, true), false },
        { "nothing at all", LocalHttpServer::text (""), false },
    };
    const auto incomplete =
        "Error: OstraneQuellion_V1.34.zip could not be downloaded completely into " + folder.get().getFullPathName() + ".";
    publishUpdate();

    for (const auto& [name, response, mayFindNoAnswer] : answers)
    {
        SCOPED_TRACE (name);
        serveInstaller (response);
        dialogs.messages.clear();
        dialogs.buttonChoices = { 0 };
        dialogs.chosenFiles = { folder.get() };
        BoxWatcher watcher;
        EXPECT_EQ (runCheck(), juce::File());

        ASSERT_EQ (dialogs.messages.size(), 1u);
        const auto& text = dialogs.messages[0].text;
        EXPECT_TRUE (text == incomplete || (mayFindNoAnswer && text.endsWith ("the server does not answer."))) << text;
        EXPECT_EQ (filesInFolder(), 0);
    }
}

TEST_F (SoftwareUpdaterTest, TheQuitShortcutDuringTheDownloadGivesItUp)
{
    VX_REQUIRE_DISPLAY();
    LocalHttpServer::Response response;
    response.body = makeInstallerBytes (1000000);
    response.bytesToSend = 100000;
    response.holdAfterwards = true;
    serveInstaller (response);
    publishUpdate();
    dialogs.buttonChoices = { 0 };
    dialogs.chosenFiles = { folder.get() };

    // The program's quit ends every box that waits.
    int quits = 0;
    updater.onQuitRequested = [&quits]
    {
        ++quits;
        juce::ModalComponentManager::getInstance()->cancelAllModalComponents();
    };
    BoxWatcher watcher (300, juce::KeyPress ('q', juce::ModifierKeys::ctrlModifier, 0));

    EXPECT_EQ (runCheck(), juce::File());

    EXPECT_EQ (quits, 1);
    EXPECT_EQ (watcher.seen, juce::StringArray ({ "Software update with a progress bar" }));
    EXPECT_EQ (filesInFolder(), 0);
    EXPECT_TRUE (dialogs.messages.empty());
}

TEST_F (SoftwareUpdaterTest, ADownloadThatEndsWhileTheQuitAsksIsKeptWhenTheQuitIsCalledOff)
{
    VX_REQUIRE_DISPLAY();
    LocalHttpServer::Response response;
    response.body = makeInstallerBytes (20000);
    response.bytesPerStep = 2000;
    response.stepIntervalMs = 50;
    serveInstaller (response);
    publishUpdate();
    dialogs.buttonChoices = { 0 };
    dialogs.chosenFiles = { folder.get() };

    // The quit asks over the download's box whether to save; the user answers
    // once the download is done, and stays.
    updater.onQuitRequested = [this]
    {
        juce::Component question;
        question.setSize (200, 100);
        question.addToDesktop (0);
        question.enterModalState (false);
        EXPECT_TRUE (vxtest::waitFor ([this] { return updater.getProgress() >= 1.0; }, 8000));
        vxtest::pump (200);
        question.exitModalState (0);
    };
    BoxWatcher watcher (0, juce::KeyPress ('q', juce::ModifierKeys::ctrlModifier, 0));

    EXPECT_EQ (runCheck(), folder.getChildFile (installer));
}

TEST_F (SoftwareUpdaterTest, TheProgressBarFillsOrShowsItIsBusy)
{
    updater.progress (nullptr, 25, 100);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_DOUBLE_EQ (updater.getProgress(), 0.25);

    // A server that does not say how long the file is.
    updater.progress (nullptr, 25, -1);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_DOUBLE_EQ (updater.getProgress(), -1.0);

    updater.progress (nullptr, 0, 0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_DOUBLE_EQ (updater.getProgress(), -1.0);
}
