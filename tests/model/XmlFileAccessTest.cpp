#include "model/XmlFileAccess.h"

#include <gtest/gtest.h>

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
    {
        auto loaded = XmlFileAccess::parse (text, "PRESETS");
        EXPECT_EQ (loaded.root, nullptr) << text;
        EXPECT_TRUE (loaded.result.failed()) << text;
        EXPECT_TRUE (loaded.result.getErrorMessage().contains ("processing instruction")) << loaded.result.getErrorMessage();
    }
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
    {
        auto loaded = XmlFileAccess::parse (text, "PRESETS");
        EXPECT_EQ (loaded.root, nullptr) << text;
        EXPECT_TRUE (loaded.result.getErrorMessage().contains ("name")) << text;
    }

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
