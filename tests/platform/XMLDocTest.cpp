#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/XMLDoc.h"
#include "support/TempDir.h"

namespace {

using thorn::test::TempDir;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string LoadMessage(const std::filesystem::path& file) {
    TXMLDocument document;
    try {
        document.LoadFromFile(file);
    } catch (const Exception& error) {
        EXPECT_FALSE(document.GetDocumentElement());
        return error.what();
    }
    return "(loaded)";
}

TEST(XMLDoc, ReadsElementsAndAttributes) {
    TXMLDocument document;
    document.LoadFromBytes(Bytes("<Data id='7'><B n='1'/><!-- note --><b n='2'/>text<b n='3'/></Data>"), "a.xml");
    IXMLNode root = document.GetDocumentElement();
    EXPECT_EQ(root.NodeName(), "Data");
    EXPECT_EQ(root.Attributes("id"), "7");
    EXPECT_EQ(root.Attributes("absent"), "");
    EXPECT_FALSE(root.HasAttribute("absent"));
    const IXMLNodeList children = root.ChildNodes();
    ASSERT_EQ(children.Count(), 3);  // elements only
    EXPECT_EQ(children.Nodes(2).Attributes("n"), "3");
    EXPECT_FALSE(children.Nodes(3));
    EXPECT_FALSE(children.Nodes(-1));
    EXPECT_EQ(children.FindNode("b").Attributes("n"), "2");  // the first, matched by case
    EXPECT_FALSE(children.FindNode("c"));

    const IXMLNode none;
    EXPECT_EQ(none.NodeName(), "");
    EXPECT_EQ(none.ChildNodes().Count(), 0);
    EXPECT_EQ(none.Attributes("id"), "");
}

// Texts come as UTF-8 whatever the file's declared encoding, and are saved
// so (the declaration saying so).
TEST(XMLDoc, DeclaredEncodingsAreReadAsUtf8) {
    struct Case {
        const char* text;
        const char* value;
    };
    const Case cases[] = {
        {"<?xml version='1.0' encoding='ISO-8859-1'?><a n='\xE9'/>", "\xC3\xA9"},
        {"<?xml version=\"1.0\" encoding=\"Windows-1252\"?><a n='\xE9\x80'/>", "\xC3\xA9\xE2\x82\xAC"},
        {"<?xml version='1.0'?><a n='\xE2\x82\xAC'/>", "\xE2\x82\xAC"},
        // Blanks may stand around "=" and between the parts.
        {"<?xml version = \"1.0\" encoding = \"windows-1252\" ?><a n='\xE9'/>", "\xC3\xA9"},
        {"<?xml version='1.0'\r\n\tencoding\t=\n'CP1252'?><a n='\x80'/>", "\xE2\x82\xAC"},
        {"<?xml version='1.0' encoding = 'ISO-8859-1'?><a n='\xE9'/>", "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        TXMLDocument document;
        document.LoadFromBytes(Bytes(c.text), "a.xml");
        EXPECT_EQ(document.GetDocumentElement().Attributes("n"), c.value) << c.text;
        const std::string saved = document.SaveToString();
        EXPECT_EQ(saved.find("1252"), std::string::npos) << saved;
        EXPECT_NE(saved.find(c.value), std::string::npos) << saved;
    }
    // Only the declaration names the encoding.
    TXMLDocument document;
    document.LoadFromBytes(Bytes("<?xml-model encoding='windows-1252'?><a n='\xC3\xA9'/>"), "a.xml");
    EXPECT_EQ(document.GetDocumentElement().Attributes("n"), "\xC3\xA9");
}

// What the parser does not finish, or finishes with something else than one
// element, is refused with where it stopped.
TEST(XMLDoc, IncompleteDocumentsAreRefused) {
    struct Case {
        const char* text;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"<a><b/>", "Start-end tags mismatch at byte 6"},
        {"<a><b/></a", "at byte 9"},
        {"", "No document element found"},
        {"<a x='1/>", "at byte"},
        {"<a/><b/>", "more than one document element"},
        {"<a/>junk", "text outside the document element"},
        // Well-formedness the parser does not check.
        {"<a p='1' q='2' p='3'/>", "attribute \"p\" is given more than once in element \"a\""},
        {"<a p='village.bmp&#0;.txt'/>", "the character reference \"&#0;\" in element \"a\""},
        {"<a><b>x&#x1F;</b></a>", "\"&#x1F;\" in element \"b\""},
        {"<a p='&#xD800;'/>", "\"&#xD800;\""},
        {"<a p='&#1114112;'/>", "\"&#1114112;\""},
        {"<a p='&#99999999999999999999;'/>", "\"&#99999999999999999999;\""},
        {"<a n=\"Cas<tle\"/>", "Error parsing element attribute at byte 9"},
        {"<a n='&lt;' m=\"x\r\n<\"/>", "Error parsing element attribute at byte 18"},
        {"<?xml version='1.0'?><?xml version='1.0'?><a/>",
         "Error parsing document declaration/processing instruction at byte 26"},
        {"<!-- c --><?xml version='1.0'?><a/>", "declaration/processing instruction at byte 15"},
        {"<a/><?xml version='1.0'?>", "declaration/processing instruction at byte 9"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        thorn::test::WriteFileBytes(dir / "cut.xml", Bytes(c.text));
        const std::string message = LoadMessage(dir / "cut.xml");
        EXPECT_NE(message.find("cut.xml"), std::string::npos) << c.text << ": " << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.text << ": " << message;
    }
    // Names from the file are cut in messages.
    const std::string longName(10 << 20, 'n');
    thorn::test::WriteFileBytes(dir / "cut.xml", Bytes("<" + longName + " p='1' p='2'/>"));
    const std::string message = LoadMessage(dir / "cut.xml");
    EXPECT_NE(message.find("element \"nnnnnnnn"), std::string::npos) << message.substr(0, 200);
    EXPECT_LT(message.size(), 200u + (dir / "cut.xml").string().size());
}

// A document is read only when what it holds can be written back and read
// again: its nesting, its tags and its written size are bounded, and
// characters XML does not allow are refused where the writer would turn them
// into references the reader refuses.
TEST(XMLDoc, WhatCouldNotBeWrittenBackIsNotRead) {
    const auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "<a>";
        for (int i = 0; i < depth; ++i) text += "</a>";
        return text;
    };
    std::string siblings = "<a>";
    for (size_t i = 0; i < TXMLDocument::kMaxTags; ++i) siblings += "<b/>";
    siblings += "</a>";
    struct Case {
        std::string text;
        std::string message;  // empty: read
    };
    const Case cases[] = {
        {nested(TXMLDocument::kMaxDepth), ""},
        {nested(TXMLDocument::kMaxDepth + 1), "its elements are nested more than 64 deep"},
        {siblings, "it holds more than 100000 tags"},
        // Each ">" is written back as "&gt;".
        {"<a>" + std::string(5 << 20, '>') + "</a>", "written back it would take more than 16711680 bytes"},
        // Under 16 MiB, yet over what leaves room to write it back: the
        // message names the limit it passes.
        {"<a>" + std::string(16'720'000, 'x') + "</a>", "written back it would take more than 16711680 bytes"},
        {"<a Note=\"kept\x01value\"/>", "the character U+0001 in element \"a\" is not allowed in XML"},
        {"<a><b>x\x1Fy</b></a>", "the character U+001F in element \"b\""},
        {"<a><!-- \x02 --></a>", "U+0002"},
        {std::string("<a p='x\0y'/>", 12), "the character U+0000 is not allowed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        TXMLDocument document;
        try {
            document.LoadFromBytes(Bytes(c.text), "a.xml");
            EXPECT_EQ(c.message, "");
        } catch (const EXMLDocError& error) {
            EXPECT_FALSE(c.message.empty()) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

// What the program writes reads back the same: line ends in texts and in
// attributes as they were, and characters XML cannot hold left out of what
// the program sets.
TEST(XMLDoc, WhatIsWrittenReadsBackTheSame) {
    TempDir dir;
    TXMLDocument document;
    document.LoadFromBytes(Bytes("<a p='tab&#9;lf&#10;cr&#13;'>line\r\nnext&#13;end<b/>cr\rlf\n</a>"), "a.xml");
    document.GetDocumentElement().SetAttribute("Note", "kept\x01value\r\n");
    const std::string written = document.SaveToString();
    document.SaveToFile(dir / "a.xml");
    TXMLDocument reread;
    reread.LoadFromFile(dir / "a.xml");
    EXPECT_EQ(reread.SaveToString(), written);
    IXMLNode a = reread.GetDocumentElement();
    EXPECT_EQ(a.Attributes("p"), "tab\tlf\ncr\r");
    EXPECT_EQ(a.Attributes("Note"), "keptvalue\r\n");
    // The texts, as a reader that keeps line ends sees them.
    pugi::xml_document raw;
    ASSERT_TRUE(raw.load_string(written.c_str(), pugi::parse_default & ~pugi::parse_eol));
    EXPECT_STREQ(raw.child("a").first_child().value(), "line\r\nnext\rend");
    EXPECT_STREQ(raw.child("a").last_child().value(), "cr\rlf\n");
}

// Nothing is written that would not be read: the file stays as it was.
TEST(XMLDoc, WhatWouldNotBeReadIsNotWritten) {
    TempDir dir;
    thorn::test::WriteFileBytes(dir / "ini.xml", Bytes("<old/>"));
    TXMLDocument document;
    IXMLNode node = document.AddDocumentElement("a");
    for (int i = 0; i < TXMLDocument::kMaxDepth; ++i) node = node.AddChild("a");
    EXPECT_THROW(document.SaveToFile(dir / "ini.xml"), EXMLDocError);
    EXPECT_EQ(thorn::test::ReadFileBytes(dir / "ini.xml"), Bytes("<old/>"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// A file that is a link stays one: the document is written to its target.
TEST(XMLDoc, SaveWritesThroughALink) {
    TempDir dir;
    thorn::test::WriteFileBytes(dir / "real.xml", Bytes("<old/>"));
    std::filesystem::create_symlink("real.xml", dir / "ini.xml");
    TXMLDocument document;
    document.AddDocumentElement("new");
    document.SaveToFile(dir / "ini.xml");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "ini.xml"));
    TXMLDocument reread;
    reread.LoadFromFile(dir / "real.xml");
    EXPECT_EQ(reread.GetDocumentElement().NodeName(), "new");
}

// What XML allows is read: a declaration first, references to allowed
// characters ("&lt;" among them), and anything in comments, processing
// instructions and character data.
TEST(XMLDoc, ReferencesXmlAllowsAreRead) {
    TXMLDocument document;
    document.LoadFromBytes(
        Bytes("<?xml version='1.0'?><a p='&#9;&#x10FFFF;&#0' q='&#x1F' r='a&lt;b' s='&#60;' t='a&#32;b'><!-- &#0; < -->"
              "<?pi &#0; <?><![CDATA[&#0;<]]></a>"),
        "a.xml");
    EXPECT_EQ(document.GetDocumentElement().Attributes("p"), "\t\xF4\x8F\xBF\xBF&#0");
    EXPECT_EQ(document.GetDocumentElement().Attributes("q"), "&#x1F");
    EXPECT_EQ(document.GetDocumentElement().Attributes("r"), "a<b");
    EXPECT_EQ(document.GetDocumentElement().Attributes("s"), "<");
    EXPECT_EQ(document.GetDocumentElement().Attributes("t"), "a b");
}

TEST(XMLDoc, OnlyRegularFilesOfBoundedSizeAreRead) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // opening it must not wait for a writer
    std::filesystem::create_directory(dir / "folder");
    thorn::test::WriteFileBytes(dir / "large.xml", std::vector<uint8_t>(TXMLDocument::kMaxFileSize + 1, ' '));
    EXPECT_NE(LoadMessage(dir / "fifo").find("not a regular file"), std::string::npos);
    EXPECT_NE(LoadMessage(dir / "folder").find("not a regular file"), std::string::npos);
    EXPECT_NE(LoadMessage(dir / "missing.xml").find("No such file or directory"), std::string::npos);
    EXPECT_NE(LoadMessage(dir / "large.xml").find("larger than 16 MiB"), std::string::npos);
}

// A save keeps every element, attribute and comment the program does not
// know, in their order; a changed attribute keeps its place.
TEST(XMLDoc, SaveKeepsWhatItDoesNotKnow) {
    TempDir dir;
    thorn::test::WriteFileBytes(dir / "ini.xml", Bytes("<?xml version=\"1.0\"?>\n<!-- kept -->\n"
                                                       "<Root><Editor zoom=\"2\" Other=\"x\"><Font Name=\"Tahoma\"/>"
                                                       "<Unknown deep=\"1\"><Inner/></Unknown></Editor><Tail/></Root>"));
    TXMLDocument document;
    document.LoadFromFile(dir / "ini.xml");
    IXMLNode editor = document.GetDocumentElement().ChildNodes().FindNode("Editor");
    editor.SetAttribute("zoom", "3");
    editor.SetAttribute("New", "\xC3\xA9");
    editor.AddChild("MainForm").SetAttribute("Left", "10");
    document.SaveToFile(dir / "ini.xml");
    EXPECT_FALSE(std::filesystem::exists(dir / "ini.xml.tmp"));

    // Read back by the XML library itself, not by the code under test.
    pugi::xml_document reread;
    ASSERT_TRUE(reread.load_file((dir / "ini.xml").c_str(), pugi::parse_default | pugi::parse_comments));
    EXPECT_STREQ(reread.first_child().value(), " kept ");
    pugi::xml_node saved = reread.child("Root").child("Editor");
    std::vector<std::string> attributes;
    for (pugi::xml_attribute a : saved.attributes()) attributes.push_back(std::string(a.name()) + "=" + a.value());
    EXPECT_EQ(attributes, (std::vector<std::string>{"zoom=3", "Other=x", "New=\xC3\xA9"}));
    std::vector<std::string> children;
    for (pugi::xml_node c : saved.children()) children.push_back(c.name());
    EXPECT_EQ(children, (std::vector<std::string>{"Font", "Unknown", "MainForm"}));
    EXPECT_TRUE(saved.child("Unknown").child("Inner"));
    EXPECT_STREQ(saved.child("MainForm").attribute("Left").value(), "10");
    EXPECT_TRUE(reread.child("Root").child("Tail"));
}

TEST(XMLDoc, NewDocumentIsWrittenAndUnwritableFilesAreReported) {
    TempDir dir;
    TXMLDocument document;
    EXPECT_FALSE(document.GetDocumentElement());
    IXMLNode root = document.AddDocumentElement("Settings");
    EXPECT_EQ(document.AddDocumentElement("Other"), root);
    root.AddChild("Editor").SetAttribute("a", "1");
    document.SaveToFile(dir / "new.xml");
    TXMLDocument reread;
    reread.LoadFromFile(dir / "new.xml");
    EXPECT_EQ(reread.GetDocumentElement().ChildNodes().FindNode("Editor").Attributes("a"), "1");
    EXPECT_THROW(document.SaveToFile(dir / "no" / "folder.xml"), EXMLDocError);
}

}  // namespace
