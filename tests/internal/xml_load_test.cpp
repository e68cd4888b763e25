// Loading files: encodings, refused documents (document type declarations,
// depth), hostile input, and the reasons and offsets tools are given.
#include <corvane/xmldom/xml.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "xmldom/dom_access.h"
#include "xmldom/source_encoding.h"
#include "support/xml_test_support.h"

namespace {

using DomXml::CXml;
using DomXml::OpenFailure;
using xmldom_test::DataFile;

std::string Nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<e>";
  for (int i = 0; i < depth; ++i) text += "</e>";
  return text;
}

OpenFailure::Kind FailureOf(const std::string& bytes) {
  CXml xml;
  OpenFailure failure;
  EXPECT_FALSE(DomXml::LoadDocument(xml, bytes.data(), bytes.size(), &failure)) << bytes;
  EXPECT_TRUE(xml.GetRoot()->IsNull());
  return failure.kind;
}

std::string Declaring(const std::string& encoding, const char* rest) {
  return "<?xml version=\"1.0\" encoding=\"" + encoding + "\" ?>" + rest;
}

TEST(XmlLoadEncoding, ReadsEveryMarkedAndDeclaredEncoding) {
  for (const char* file : {"utf8_bom.xml", "utf16le_bom.xml", "utf16be_bom.xml", "gb2312_declared.xml"}) {
    CXml xml;
    ASSERT_TRUE(xml.Open(DataFile(file).c_str())) << file;
    EXPECT_EQ(xml.GetRoot()->GetName(), "root") << file;
    // 中文堃 and 丂 in GBK; 堃 and 丂 are outside GB2312.
    EXPECT_EQ(xml.GetRoot()->GetAttribute("name"), "\xD6\xD0\xCE\xC4\x88\xD2") << file;
    EXPECT_EQ(xml.GetRoot()->GetChildElements()->GetItem(0)->GetAttribute("label"), "\x81\x40") << file;
  }
  CXml outside;
  ASSERT_TRUE(outside.Open(DataFile("outside_code_page.xml").c_str()));
  EXPECT_EQ(outside.GetRoot()->GetAttribute("name"), "a?b");
  for (const char* name : {"gbk", "Gb2312", "GB18030", "utf-8", "UTF8"}) {
    const std::string text = Declaring(name, "<a v=\"\xD6\xD0\"/>");
    CXml xml;
    ASSERT_TRUE(DomXml::LoadDocument(xml, text.data(), text.size(), nullptr)) << name;
    // Read as GBK the bytes are 中; read as UTF-8 they are malformed.
    const bool gbkFamily = name[0] == 'g' || name[0] == 'G';
    EXPECT_EQ(xml.GetRoot()->GetAttribute("v") == "\xD6\xD0", gbkFamily) << name;
  }
}

TEST(XmlLoadEncoding, UnknownEncodingFails) {
  CXml xml;
  OpenFailure failure;
  EXPECT_FALSE(DomXml::OpenDocument(xml, DataFile("unknown_encoding.xml").c_str(), &failure));
  EXPECT_EQ(failure.kind, OpenFailure::kUnknownEncoding);
  // Names the converter must never see: options, paths, empty.
  for (const char* name : {"UTF-8//IGNORE", "../x", "", " GBK"}) {
    EXPECT_EQ(FailureOf(Declaring(name, "<a/>")), OpenFailure::kUnknownEncoding) << name;
  }
  EXPECT_EQ(DomXml::DeclaredEncoding("<?xml version='1.0' encoding = \"GBK\"?><a/>"), "GBK");
  for (const std::string& text :
       {std::string("<?xml version='1.0'?><a encoding='GBK'/>"), std::string("<?xml-stylesheet encoding='GBK'?><a/>"),
        std::string("<?xml version='1.0' xencoding='GBK'?>"), std::string(" <?xml version='1.0' encoding='GBK'?>"),
        std::string("<?xml version='1.0' encoding='GBK"),
        "<?xml version='1.0'" + std::string(DomXml::kDeclarationScanLimit, ' ') + "encoding='GBK'?>"}) {
    EXPECT_EQ(DomXml::DeclaredEncoding(text), "") << text;
  }
}

TEST(XmlLoadRefused, DoctypeDuplicatesAndDepth) {
  CXml xml;
  OpenFailure failure;
  EXPECT_FALSE(DomXml::OpenDocument(xml, DataFile("doctype_entities.xml").c_str(), &failure));
  EXPECT_EQ(failure.kind, OpenFailure::kDoctype);
  EXPECT_TRUE(xml.GetRoot()->IsNull());
  EXPECT_EQ(FailureOf("<!DOCTYPE a SYSTEM \"/etc/passwd\"><a>&x;</a>"), OpenFailure::kDoctype);
  EXPECT_EQ(FailureOf("<!DOCTYPE a><a/>"), OpenFailure::kDoctype);

  std::string many = "<a";
  for (int i = 0; i < 40; ++i) many += " n" + std::to_string(i) + "='v'";
  EXPECT_EQ(FailureOf(many + " n17='again'/>"), OpenFailure::kNotWellFormed);
  const std::string distinct = many + "/>";
  EXPECT_TRUE(DomXml::LoadDocument(xml, distinct.data(), distinct.size(), nullptr));

  const std::string deepest = Nested(DomXml::kMaxElementDepth);
  ASSERT_TRUE(DomXml::LoadDocument(xml, deepest.data(), deepest.size(), nullptr));
  EXPECT_EQ(xml.GetRoot()->GetName(), "e");
  EXPECT_EQ(FailureOf(Nested(DomXml::kMaxElementDepth + 1)), OpenFailure::kTooDeep);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FailureOf(Nested(100000)), OpenFailure::kTooDeep);
  EXPECT_EQ(FailureOf(std::string(100000, '<')), OpenFailure::kNotWellFormed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(XmlLoadHostile, TruncatedAndBrokenInputNeverLoadsHalfADocument) {
  const std::string good = "<?xml version=\"1.0\"?><R a=\"1\"><C Name=\"x\">text</C><D/></R>";
  for (std::size_t cut = 0; cut < good.size(); ++cut) FailureOf(good.substr(0, cut));
  for (const std::string& text : {std::string("<a>\0</a>", 8), std::string("\xFF\xFE<", 3),
                                  std::string("\xFE\xFF\0", 3), std::string("<\0?\0", 4),
                                  std::string("<?xml version='1.0' encoding='UTF-16'?><a/>")}) {
    CXml xml;
    DomXml::LoadDocument(xml, text.data(), text.size(), nullptr);  // must not crash
  }
}

TEST(XmlLoadDiagnostics, OffsetsMapToLinesOfTheConvertedText) {
  CXml xml;
  OpenFailure failure;
  DomXml::OpenOptions keep;
  keep.keepText = true;
  const std::string broken = "<a>\n<b>\n</c>\n</a>";
  EXPECT_FALSE(DomXml::LoadDocument(xml, broken.data(), broken.size(), &failure, keep));
  EXPECT_EQ(failure.kind, OpenFailure::kNotWellFormed);
  EXPECT_FALSE(failure.message.empty());
  ASSERT_TRUE(DomXml::DocumentAccess::Text(xml) != nullptr);
  EXPECT_EQ(DomXml::LineOfOffset(*DomXml::DocumentAccess::Text(xml), failure.offset), 3);

  // UTF-16 with a mark: offsets count bytes of the UTF-8 text after the mark.
  xmldom_test::ScratchDir dir;
  const std::u16string source = u"<?xml version=\"1.0\"?>\n<a>\n  <\u4E2D/>\n</a>";
  std::string bytes("\xFF\xFE", 2);
  for (char16_t unit : source) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  xmldom_test::WriteBytes(dir.File("u16.xml"), bytes);
  ASSERT_TRUE(DomXml::OpenDocument(xml, dir.File("u16.xml").c_str(), nullptr, keep));
  const std::string* text = DomXml::DocumentAccess::Text(xml);
  ASSERT_TRUE(text != nullptr);
  const pugi::xml_node inner = DomXml::DocumentAccess::Document(xml)->document_element().first_child();
  EXPECT_EQ(text->compare(static_cast<std::size_t>(inner.offset_debug()), 3, "\xE4\xB8\xAD"), 0);
  EXPECT_EQ(DomXml::LineOfOffset(*text, inner.offset_debug()), 3);
  EXPECT_EQ(DomXml::LineOfOffset(*text, -1), 0);
  ASSERT_TRUE(xml.Open(dir.File("u16.xml").c_str()));
  EXPECT_TRUE(DomXml::DocumentAccess::Text(xml) == nullptr);  // kept only when asked for
}

TEST(XmlLoadAccess, RawHandlesAndWrappersAgree) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  pugi::xml_node handle = DomXml::NodeAccess::Handle(*xml.GetRoot());
  EXPECT_EQ(handle, DomXml::DocumentAccess::Document(xml)->document_element());
  handle.append_child("raw");
  std::tr1::shared_ptr<DomXml::CXmlNode> wrapped =
      DomXml::NodeAccess::Wrap(handle.first_child(), DomXml::DocumentAccess::Keepalive(xml));
  EXPECT_EQ(wrapped->GetName(), "raw");
  EXPECT_EQ(DomXml::NodeAccess::Document(*wrapped).get(), DomXml::DocumentAccess::Keepalive(xml).get());
  EXPECT_TRUE(DomXml::NodeAccess::Wrap(pugi::xml_node(), DomXml::DocumentAccess::Keepalive(xml))->IsNull());
  xml.Close();
  EXPECT_TRUE(DomXml::DocumentAccess::Keepalive(xml).get() == nullptr);
  EXPECT_EQ(wrapped->GetName(), "raw");  // still held by the wrapper
}

}  // namespace
