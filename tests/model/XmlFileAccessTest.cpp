#include "model/XmlFileAccess.h"
#include "model/ModulesDefReader.h"

#include "support/KilledSaves.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

namespace
{
// The text gives no root, and the failure says why.
void expectRefused (const char* text, const char* reason)
{
    auto loaded = XmlFileAccess::parse (text, "PRESETS");
    EXPECT_EQ (loaded.root, nullptr) << text;
    EXPECT_TRUE (loaded.result.failed()) << text;
    EXPECT_TRUE (loaded.result.getErrorMessage().contains (reason)) << text << ": " << loaded.result.getErrorMessage();
}
} // namespace

// JUCE's parser loops for ever on some of these; they must be refused first.
TEST (XmlFileAccessTest, InstructionsOtherThanTheDeclarationAreRefusedBeforeParsing)
{
    const char* const refused[] = {
        "<PRESETS><?x?>y</PRESETS>",
        "<?xml version=\"1.0\"?>\n<PRESETS><List><?a b?>text</List></PRESETS>",
        "<!-- note --><PRESETS a=\"1\">\n  <?x?>\n</PRESETS>",
        "<PRESETS><?x",
        // An instruction closed by ">" and an unclosed comment before the
        // root, as a fuzzer found them: JUCE's parser reads them otherwise
        // than a root search would, and loops.
        "<?xon>onc<!--@@@@ing\"?>\n\n<PRE>\nerOVe<?xn=e@@@@in\"U>=\"?>=\"",
        "<!-- unclosed <PRE><?x?>y</PRE>",
        "<?xml version=\"1.0\" <PRE><?x?>y</PRE>",
        "<?xml version=\"1.0\"",
    };

    for (auto* text : refused)
        expectRefused (text, "processing instruction");
}

TEST (XmlFileAccessTest, PrologInstructionsCommentsAndWrongRootsAreToldApart)
{
    auto good =
        XmlFileAccess::parse ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- a note -->\n<PRESETS v=\"1\"/>", "PRESETS");
    ASSERT_NE (good.root, nullptr);
    EXPECT_TRUE (good.result.wasOk());

    auto wrongRoot = XmlFileAccess::parse ("<OTHER/>", "PRESETS");
    EXPECT_EQ (wrongRoot.root, nullptr);
    EXPECT_TRUE (wrongRoot.result.getErrorMessage().contains ("\"OTHER\""));

    auto notXml = XmlFileAccess::parse ("just text", "PRESETS");
    EXPECT_EQ (notXml.root, nullptr);
    EXPECT_TRUE (notXml.result.failed());
}

TEST (XmlFileAccessTest, SavedFilesReadBackAndMissingFilesAreNoFailure)
{
    juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto file = folder.getFile().getChildFile ("a.xml");

    EXPECT_TRUE (XmlFileAccess::load (file, "ROOT", 1024).result.wasOk());
    EXPECT_EQ (XmlFileAccess::load (file, "ROOT", 1024).root, nullptr);

    juce::XmlElement root ("ROOT");
    root.setAttribute ("Name", "x");
    ASSERT_TRUE (XmlFileAccess::save (root, file).wasOk());
    EXPECT_FALSE (file.loadFileAsString().contains ("\r"));

    auto loaded = XmlFileAccess::load (file, "ROOT", 1024);
    ASSERT_NE (loaded.root, nullptr);
    EXPECT_EQ (loaded.root->getStringAttribute ("Name"), "x");
    EXPECT_TRUE (XmlFileAccess::load (file, "ROOT", 10).result.failed());
    EXPECT_TRUE (XmlFileAccess::save (root, folder.getFile().getChildFile ("none/a.xml")).failed());

    // A file of a byte-order mark and nothing else holds no XML; nothing past
    // its end is read.
    ASSERT_TRUE (file.replaceWithData ("\xef\xbb\xbf", 3));
    EXPECT_EQ (XmlFileAccess::load (file, "ROOT", 1024).result.getErrorMessage(), "not enough input");
}

// JUCE's parser takes these names and then fails its own checks on them.
TEST (XmlFileAccessTest, NamesThatNoXmlFileMayHoldAreRefused)
{
    const char* const refused[] = {
        "<PRESETS 1a=\"x\"/>",
        "<PRESETS><-List/></PRESETS>",
        "<PRESETS a=\"1\" .b=\"2\"/>",
        "<  9ROOT/>",
    };

    for (auto* text : refused)
        expectRefused (text, "name");

    // Digits and signs inside values, comments and text are no names.
    const char* const accepted[] = {
        "<PRESETS a1=\"-1 <9>\" b=\'.x\'><!-- <9a/> --><L x-y.z=\"0\">1 &lt; 2 -3</L><![CDATA[<9/>]]></PRESETS>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE x>\n<PRESETS _a=\"1\" ns:b=\"2\"/>",
    };

    for (auto* text : accepted)
        EXPECT_FALSE (XmlFileAccess::holdsInvalidName (text)) << text;
}

// The file as a fuzzer found it, bytes that are no UTF-8 included: it hung
// the preset readers before.
TEST (XmlFileAccessTest, AFileThatHungTheReadersIsRefusedAtOnce)
{
    const unsigned char bytes[] = { 0x3c, 0x3f, 0x78, 0x6f, 0x6e, 0x3e, 0x6f, 0x6e, 0x63, 0x3c, 0x21, 0x2d, 0x2d, 0xff, 0xff,
                                    0xff, 0xff, 0x69, 0x6e, 0x67, 0x22, 0x3f, 0x3e, 0x0a, 0x0a, 0x3c, 0x50, 0x52, 0x45, 0x3e,
                                    0x0a, 0x65, 0x72, 0x4f, 0x56, 0x65, 0x3c, 0x3f, 0x78, 0x6e, 0x3d, 0x65, 0x80, 0xff, 0xff,
                                    0xf3, 0x69, 0x6e, 0x22, 0x55, 0x3e, 0x3d, 0x22, 0x3f, 0x3e, 0x3d, 0x22 };
    juce::TemporaryFile file;
    ASSERT_TRUE (file.getFile().replaceWithData (bytes, sizeof (bytes)));

    auto loaded = XmlFileAccess::load (file.getFile(), "PRESETS", 1024);
    EXPECT_EQ (loaded.root, nullptr);
    EXPECT_TRUE (loaded.result.failed());
}

// A project file whose end tag holds bytes that are no UTF-8, as a fuzzer
// found it. Read from a file, such bytes are taken as the Windows code page;
// a text made of them as UTF-8 made JUCE's parser read past its end.
TEST (XmlFileAccessTest, TextThatIsNoUtf8IsRefusedBeforeParsing)
{
    const unsigned char bytes[] = {
        0x3c, 0x3f, 0x78, 0x6d, 0x6c, 0x20, 0x76, 0x65, 0x72, 0x73, 0x69, 0x6f, 0x6e, 0x3d, 0x22, 0x31, 0x2e, 0x30, 0x22, 0x20,
        0x65, 0x6e, 0x63, 0x6f, 0x64, 0x69, 0x6e, 0x67, 0x3d, 0x22, 0x55, 0x54, 0x46, 0x2d, 0x38, 0x22, 0x3f, 0x3e, 0x0a, 0x0a,
        0x3c, 0x4f, 0x53, 0x54, 0x52, 0x41, 0x4e, 0x45, 0x5f, 0x51, 0x55, 0x45, 0x4c, 0x4c, 0x49, 0x4f, 0x4e, 0x5f, 0x43, 0x6f,
        0x6e, 0x66, 0x69, 0x67, 0x75, 0x72, 0x61, 0x74, 0x69, 0x6f, 0x6e, 0x20, 0x56, 0x65, 0x72, 0x73, 0x69, 0x6f, 0x6e, 0x3d,
        0x22, 0x31, 0x2e, 0x30, 0x31, 0x22, 0x20, 0x53, 0x6f, 0x66, 0x74, 0x77, 0x61, 0x72, 0x65, 0x56, 0x65, 0x72, 0x73, 0x69,
        0x6f, 0x6e, 0x3d, 0x22, 0x31, 0x2e, 0x33, 0x2e, 0x33, 0x2e, 0x36, 0x22, 0x3e, 0x5b, 0x20, 0x20, 0x3c, 0x44, 0x53, 0x50,
        0x73, 0x3e, 0x0a, 0x20, 0x20, 0x20, 0x20, 0x3c, 0x44, 0x53, 0x50, 0x20, 0x49, 0x6e, 0x64, 0x65, 0x78, 0x3d, 0x22, 0x31,
        0x22, 0x20, 0x50, 0x6f, 0x73, 0x69, 0x74, 0x69, 0x6f, 0x6e, 0x58, 0x3d, 0x22, 0x30, 0x2e, 0x35, 0x22, 0x20, 0x50, 0x6f,
        0x73, 0x69, 0x74, 0x69, 0x6f, 0x6e, 0x59, 0x3d, 0x22, 0x30, 0x2e, 0x35, 0x22, 0x20, 0x4d, 0x6f, 0x64, 0x75, 0x6c, 0x65,
        0x49, 0x64, 0x3d, 0x22, 0x33, 0x33, 0x22, 0x20, 0x4e, 0x61, 0x6d, 0x65, 0x3d, 0x22, 0x44, 0x53, 0x50, 0x22, 0x20, 0x6e,
        0x72, 0x70, 0x6e, 0x3d, 0x22, 0x31, 0x22, 0x3e, 0x0a, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x3c, 0x50, 0x72, 0x6f, 0x63,
        0x65, 0x73, 0x73, 0x65, 0x73, 0x2f, 0x3e, 0x0a, 0x20, 0x20, 0x20, 0x20, 0x3c, 0x2f, 0x44, 0x53, 0x50, 0x3e, 0x0a, 0x20,
        0x20, 0x3c, 0x2f, 0xbc, 0xac, 0xaf, 0x8c, 0xc1, 0xf5, 0xc3, 0x05, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x2f, 0x4f,
        0x53, 0x54, 0x52, 0x41, 0x4e, 0x45, 0x5f, 0x51, 0x55, 0x45, 0x4c, 0x4c, 0x49, 0x4f, 0x4e, 0x5f, 0x43, 0x6f, 0x6e, 0x66,
        0x69, 0x67, 0x75, 0x72, 0x61, 0x74, 0x69, 0x6f, 0x6e, 0x3e, 0x0a
    };
    juce::TemporaryFile file;
    ASSERT_TRUE (file.getFile().replaceWithData (bytes, sizeof (bytes)));

    auto loaded = XmlFileAccess::load (file.getFile(), "OSTRANE_QUELLION_Configuration", 4096);
    EXPECT_EQ (loaded.root, nullptr);
    EXPECT_TRUE (loaded.result.failed());

    const auto* start = reinterpret_cast<const char*> (bytes);
    const juce::String asUtf8 (juce::CharPointer_UTF8 (start), juce::CharPointer_UTF8 (start + sizeof (bytes)));
    EXPECT_TRUE (XmlFileAccess::parse (asUtf8, "OSTRANE_QUELLION_Configuration").result.getErrorMessage().contains ("UTF-8"));

    const char* const cutShort[] = { "<A>\xc3</A>", "<A>\xe2\x82</A>", "<A x=\"\xf0\x9f\x98\"/>", "<A>\xff</A>" };

    for (auto* text : cutShort)
        EXPECT_EQ (XmlFileAccess::parse (juce::String (juce::CharPointer_UTF8 (text)), "A").root, nullptr);

    EXPECT_NE (XmlFileAccess::parse (juce::String::fromUTF8 ("<A x=\"\xc3\xa9\xe2\x82\xac\"/>"), "A").root, nullptr);
}

// A pipe waits for a writer for ever, a device holds nothing or never ends:
// the readers refuse them, under any name, before reading a byte.
TEST (XmlFileAccessTest, WhatIsNoRegularFileIsRefusedAtOnce)
{
    juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto pipe = folder.getFile().getChildFile ("x.zqp");
    const auto link = folder.getFile().getChildFile ("Modules.def");
    ASSERT_TRUE (Watchdog::makePipe (pipe));
    ASSERT_TRUE (juce::File ("/dev/null").createSymbolicLink (link, false));

    const std::pair<juce::File, const char*> cases[] = { { pipe, "pipe" },
                                                         { juce::File ("/dev/null"), "device" },
                                                         { juce::File ("/dev/zero"), "device" },
                                                         { link, "device" },
                                                         { folder.getFile(), "folder" } };

    for (auto& [file, reason] : cases)
    {
        auto results = std::make_shared<juce::StringArray>();
        const auto finished =
            Watchdog::finishesWithin (std::chrono::seconds (5),
                                      [file = file, results]
                                      {
                                          results->add (XmlFileAccess::load (file, "PRESETS", 1024).result.getErrorMessage());
                                          ModulesDefReader reader;
                                          results->add (reader.open (file) ? "opened" : "refused");
                                      });

        ASSERT_TRUE (finished) << file.getFullPathName();
        EXPECT_TRUE ((*results)[0].contains (reason)) << file.getFullPathName() << ": " << (*results)[0];
        EXPECT_EQ ((*results)[1], "refused") << file.getFullPathName();
    }
}

// Run by the test below in a process of its own, which it kills.
TEST (XmlFileAccessTest, DISABLED_SavesUntilKilled)
{
    const auto file = KilledSaves::getTarget();

    if (file == juce::File())
        GTEST_SKIP();

    juce::XmlElement root ("ROOT");

    for (int i = 0; i < 5000; ++i)
        root.createNewChildElement ("Item")->setAttribute ("Value", juce::String::repeatedString ("x", 50));

    for (;;)
        XmlFileAccess::save (root, file);
}

// Saves killed at any moment, as many times as the user likes, leave one
// temporary file at most beside the target, which the next save replaces.
TEST (XmlFileAccessTest, KilledSavesLeaveOneTemporaryFileAtMost)
{
    juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto target = folder.getFile().getChildFile ("big.zqp");

    ASSERT_TRUE (KilledSaves::killSavers ("XmlFileAccessTest.DISABLED_SavesUntilKilled", target, 12));
    ASSERT_TRUE (target.existsAsFile());
    EXPECT_LE (folder.getFile().getNumberOfChildFiles (juce::File::findFiles), 2);

    juce::XmlElement root ("ROOT");
    ASSERT_TRUE (XmlFileAccess::save (root, target).wasOk());
    EXPECT_EQ (folder.getFile().getNumberOfChildFiles (juce::File::findFiles), 1);
    EXPECT_NE (XmlFileAccess::load (target, "ROOT", 1024).root, nullptr);
}
