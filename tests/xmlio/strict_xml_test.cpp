// XML 1.0 at both edges. A document that is not well-formed (with namespaces) or is outside
// the library's limits fails every way of loading it: CXml::Open, XmlFileIO::read (the tree
// untouched, no callback), FileConvert, the load report (with the parser's reason). Unusual
// legal documents load; what XML cannot carry is never written.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <string>

#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;
using namespace std::string_literals;

std::string Nested(int depth) { return depth == 0 ? "" : "<e>" + Nested(depth - 1) + "</e>"; }

std::string Declared(const char* encoding, const std::string& rest) {
  return std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>" + rest;
}

// The text as UTF-16 (`width` 2) or UTF-32 (4), little-endian unless `bigEndian`.
std::string Encoded(const std::u16string& text, int width = 2, bool bigEndian = false) {
  std::string bytes;
  for (const char16_t unit : text) {
    std::string code(static_cast<std::size_t>(width), '\0');
    code[0] = static_cast<char>(unit & 0xFF);
    code[1] = static_cast<char>(unit >> 8);
    bytes.append(bigEndian ? std::string(code.rbegin(), code.rend()) : code);
  }
  return bytes;
}

class StrictXml : public ::testing::Test {
 protected:
  ScratchDir m_dir;
  const std::string m_path = m_dir.Path("document.xml");
};

TEST_F(StrictXml, EveryNotWellFormedDocumentFailsEveryLoad) {
  const struct {
    const char* kind;
    std::string bytes;
  } cases[] = {
      // Encoding: bytes invalid in the document's encoding, names nobody knows.
      {"GBK without a declaration", "<a v=\"\xD6\xD0\"/>"},
      {"invalid GBK", Declared("GBK", "<a v=\"\x81\x20\"/>")},
      {"overlong UTF-8", "<a v=\"\xC0\xAF\"/>"},
      {"unknown encoding", Declared("no-such-code", "<a/>")},
      {"BOM contradicts declaration", "\xEF\xBB\xBF" + Declared("GBK", "<a/>")},
      {"lone surrogate", "\xFF\xFE" + Encoded(u"<a v=\"\xD800\"/>")},
      {"cut UTF-16", "\xFF\xFE" + Encoded(u"<a/>") + "x"},
      // Markup (the parser's own rules; a few stand for all), prolog, characters.
      {"undeclared entity", "<a v=\"&nbsp;\"/>"},
      {"empty file", ""},
      {"DTD", "<!DOCTYPE a [<!ENTITY x \"y\">]><a>&x;</a>"},
      {"too deep", Nested(257)},
      {"raw control", "<a>\x01</a>"},
      {"reference to a surrogate", "<a v=\"&#xD800;\"/>"},
      {"]]> in text", "<a>]]></a>"},
      {"blank lines before the declaration", "\n\n<?xml version=\"1.0\"?><a/>"},
      {"unbound element prefix", "<p:a/>"},
      {"one attribute twice by namespace",
       "<a xmlns:p=\"urn:x\" xmlns:q=\"urn:x\" p:v=\"1\" q:v=\"2\"/>"},
  };
  for (const auto& c : cases) {
    WriteText(m_path, c.bytes);
    EXPECT_FALSE(DomXml::CXml().Open(m_path.c_str())) << c.kind;
    XmlFileIO io(m_path.c_str());
    ProgressLog log;
    log.InstallOn(io);
    boost::shared_ptr<IChunk> root = newChunk("Sentinel");
    io.read(root);
    EXPECT_EQ(root->label(), "Sentinel") << c.kind;
    EXPECT_TRUE(log.calls.empty()) << c.kind;
    FileConvert document;
    document.SetPath(m_path.c_str(), true);
    EXPECT_FALSE(document.GetRoot()) << c.kind;
    const corvane::LoadReport report = corvane::InspectChunkFile(m_path.c_str());
    EXPECT_FALSE(report.loads) << c.kind;
    EXPECT_FALSE(report.failure.empty()) << c.kind;
  }
}

// A byte invalid in the declared encoding is placed as the parser places its own faults.
TEST_F(StrictXml, InvalidBytesAreReportedWhereTheyAre) {
  const std::string gbk = "\n<a>\n  <b v=\"\xD6\xD0x\x81\x20\"/></a>";  // 中x, then no GBK
  const struct {
    const char* kind;
    std::string bytes;
    unsigned long line;
    unsigned long column;
  } cases[] = {
      {"GBK", Declared("GBK", gbk), 3, 11},
      {"GB2312", Declared("GB2312", gbk), 3, 11},
      {"UTF-16, CR LF", "\xFF\xFE" + Encoded(u"<a>\r\n<b v=\"\xD800\"/></a>"), 2, 7},
      {"UTF-16, a lone CR", "\xFF\xFE" + Encoded(u"<a>\r\r\xD800</a>"), 3, 1},
  };
  for (const auto& c : cases) {
    WriteText(m_path, c.bytes);
    const corvane::LoadReport report = corvane::InspectChunkFile(m_path.c_str());
    EXPECT_FALSE(report.loads) << c.kind;
    EXPECT_NE(report.failure.find("not valid"), std::string::npos) << c.kind << report.failure;
    EXPECT_EQ(report.line, c.line) << c.kind;
    EXPECT_EQ(report.column, c.column) << c.kind;
  }
}

TEST_F(StrictXml, LegalButUnusualDocumentsLoad) {
  const struct {
    const char* kind;
    std::string bytes;
    const char* name;         // the "Name" of the child chunk read
    const char* label = "C";  // and its label
  } cases[] = {
      {"CDATA", "<R><![CDATA[<&>]]><C Name=\"n\"/></R>", "n"},
      {"character references", "<R><C Name=\"&#x4E2D;&#65;&lt;\"/></R>", "\xD6\xD0\x41<"},
      {"CRLF line ends", "<?xml version=\"1.0\"?>\r\n<R>\r\n<C\r\nName=\"n\"/>\r\n</R>\r\n", "n"},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF<R><C Name=\"\xE4\xB8\xAD\"/></R>", "\xD6\xD0"},
      {"UTF-16 without a mark", Encoded(u"<?xml version=\"1.0\"?><R><C Name=\"n\"/></R>"), "n"},
      {"UTF-16LE with a mark", "\xFF\xFE" + Encoded(u"<R><C Name=\"\x4E2D\"/></R>"), "\xD6\xD0"},
      // A UTF-32LE mark begins as the UTF-16LE one does.
      {"UTF-32LE with a mark", "\xFF\xFE\0\0"s + Encoded(u"<R><C Name=\"\x4E2D\"/></R>", 4),
       "\xD6\xD0"},
      {"UTF-32BE with a mark", "\0\0\xFE\xFF"s + Encoded(u"<R><C Name=\"\x4E2D\"/></R>", 4, true),
       "\xD6\xD0"},
      {"outside the code page", "<R><C Name=\"a\xE0\xB8\x81z\"/></R>", "a?z"},  // Thai: '?'
      {"GB2312 read as GBK", Declared("gb2312", "<R><C Name=\"\x88\xD2\"/></R>"), "\x88\xD2"},
      {"depth 256", "<R><C Name=\"n\">" + Nested(254) + "</C></R>", "n"},
      {"prefixed names", "<R xmlns:x=\"urn:x\"><x:C x:Name=\"p\" Name=\"n\"/></R>", "n", "x:C"},
  };
  for (const auto& c : cases) {
    WriteText(m_path, c.bytes);
    EXPECT_TRUE(DomXml::CXml().Open(m_path.c_str())) << c.kind;
    // Read in one pass (nothing to report) and in two (a progress callback).
    for (const bool withProgress : {false, true}) {
      XmlFileIO io(m_path.c_str());
      if (withProgress) io.setStartProgressFun([](CString const&, int, int) { return true; });
      boost::shared_ptr<IChunk> root;
      io.read(root);
      ASSERT_TRUE(root) << c.kind;
      ASSERT_EQ(root->numChild(), 1u) << c.kind;
      EXPECT_EQ(root->Child(0)->name(), c.name) << c.kind;
      EXPECT_EQ(root->Child(0)->label(), c.label) << c.kind;
    }
  }
}

TEST_F(StrictXml, NamesAndValuesXmlCannotCarryAreNeverWritten) {
  // Labels no XML name may be (the multiplication sign, a byte that is not
  // GBK, a colon): the chunk is left out with its subtree, which is still
  // visited and released. (The DOM layer's names: xml_node_test.cpp.)
  boost::shared_ptr<IChunk> root = newChunk("R"), dropped;
  for (const char* label : {"\xA1\xC1", "\xFF", "p:a"}) {
    dropped = newChunk(label, "n", 1);
    dropped->addChild(newChunk("Inner"));
    root->addChild(dropped);
  }
  // A Name or Value with controls other than tab and line ends is left out.
  root->addChild(newChunk("Ctl", "a\001b", CString("tab\there\x1F")));
  XmlFileIO io(m_path.c_str());
  ProgressLog log;
  log.InstallOn(io);
  io.save(root);
  EXPECT_CONFORMING_XML(m_path);
  EXPECT_EQ(ReadText(m_path), "<?xml version=\"1.0\"?><R><Ctl Type=\"string\"/></R>");
  EXPECT_EQ(log.calls.size(), 1u + 8u + 1u);  // start, a position for every chunk, end
  EXPECT_FALSE(dropped->Child(0));
}

// The public check of one element agrees with a real save and load: what it
// keeps comes back as the same chunk, what it refuses does not.
TEST_F(StrictXml, ElementCheckAgreesWithASaveAndALoad) {
  using corvane::ElementRule;
  using corvane::ElementText;
  const struct {
    CString label, name, type, value;
    ElementRule broken;
    ElementText text;
  } cases[] = {
      {"Var", "\xC3\xFB", "double", "2.5", ElementRule::kNone, ElementText::kNone},
      {"Only", "", "", "", ElementRule::kNone, ElementText::kNone},
      {"1R", "", "", "", ElementRule::kElementName, ElementText::kLabel},
      {"p:a", "", "", "", ElementRule::kElementName, ElementText::kLabel},
      {"", "n", "", "", ElementRule::kElementName, ElementText::kLabel},  // written as "att"
      {CString("ok\0tail", 7), "", "", "", ElementRule::kElementName, ElementText::kLabel},
      {"C", "a\001b", "", "", ElementRule::kAttributeText, ElementText::kName},
      {"C", "", "string", "tab\there\x1F", ElementRule::kAttributeText, ElementText::kValue},
      {"C", "", "", "v", ElementRule::kValueNeedsType, ElementText::kValue},
      {"C", "", "int", "5.0", ElementRule::kValueReadsAsType, ElementText::kValue},
      {"C", "", "color", "", ElementRule::kValueReadsAsType, ElementText::kType},
  };
  for (const auto& c : cases) {
    const std::string what = std::string(c.label.GetString()) + "/" + c.name.GetString();
    const corvane::ElementCheck check = corvane::CheckElement(c.label, c.name, c.type, c.value);
    EXPECT_EQ(check.broken, c.broken) << what;
    EXPECT_EQ(check.text, c.text) << what;
    EXPECT_EQ(check.reason.empty(), c.broken == ElementRule::kNone) << what;
    EXPECT_EQ(static_cast<bool>(check.chunk), c.broken == ElementRule::kNone) << what;
    if (!check.chunk) continue;
    // Kept: a save and a load give the same chunk back.
    boost::shared_ptr<IChunk> root = newChunk("R");
    root->addChild(check.chunk);
    const CString text = check.chunk->getValueAsString();
    ASSERT_TRUE(corvane::SaveChunkFile(m_path.c_str(), root)) << what;
    boost::shared_ptr<IChunk> back;
    ASSERT_TRUE(corvane::InspectChunkFile(m_path.c_str(), {}, &back).loads) << what;
    ASSERT_TRUE(back) << what;
    ASSERT_EQ(back->numChild(), 1u) << what;
    EXPECT_EQ(back->Child(0)->label(), c.label) << what;
    EXPECT_EQ(back->Child(0)->name(), c.name) << what;
    EXPECT_EQ(back->Child(0)->type(), c.type) << what;
    EXPECT_EQ(back->Child(0)->getValueAsString(), text) << what;
  }
}

}  // namespace
