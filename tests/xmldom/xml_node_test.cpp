// CXmlNode and CXmlNodes: building, reading and walking elements; values
// surviving Save and Open unchanged. (GBK names in bytes: xml_test.cpp.)
#include <corvane/xmldom/xml.h>
#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using DomXml::CXml;
using NodePtr = std::tr1::shared_ptr<DomXml::CXmlNode>;
using ListPtr = std::tr1::shared_ptr<DomXml::CXmlNodes>;

class XmlNode : public ::testing::Test {
 protected:
  XmlNode() {
    EXPECT_TRUE(m_xml.Create("R"));
    m_root = m_xml.GetRoot();
  }
  // Saves the document, has it checked, and answers the file's text after the declaration.
  std::string Saved() {
    EXPECT_TRUE(m_xml.Save(m_path.c_str()));
    EXPECT_CONFORMING_XML(m_path);
    const std::string text = corvane_test::ReadText(m_path);
    EXPECT_EQ(text.substr(0, 21), "<?xml version=\"1.0\"?>");
    return text.substr(21);
  }
  corvane_test::ScratchDir m_dir;
  const std::string m_path = m_dir.Path("saved.xml");
  CXml m_xml;
  NodePtr m_root;
};

TEST_F(XmlNode, SetReplacesGetMatchesExactlyAndBadNamesAreRefused) {
  EXPECT_TRUE(m_root->SetAttribute("Name", "first"));
  EXPECT_TRUE(m_root->SetAttribute("Name", "second"));
  ASSERT_TRUE(m_root->SetAttribute("null", nullptr));
  ASSERT_TRUE(m_root->SetAttribute("\xC3\xFB\x88\xD2", "\xD6\xB5"));  // GBK name and value
  EXPECT_EQ(m_root->GetAttribute("Name"), "second");
  EXPECT_EQ(m_root->GetAttribute("name"), "");  // letter case counts
  CString value("untouched");
  EXPECT_TRUE(m_root->GetAttribute(CString("missing"), value));
  EXPECT_EQ(value, "");
  for (const char* name : {"", "1a", "a=b", "a:b", "\xA1\xC1", "xmlns"})
    EXPECT_FALSE(m_root->SetAttribute(name, "v")) << name;
  EXPECT_FALSE(m_root->SetAttribute("Name", "bell\x07"));  // a control XML cannot carry
  EXPECT_FALSE(m_root->SetAttribute("a", "v", "p", ""));   // a prefix needs a namespace
  EXPECT_EQ(Saved(), "<R Name=\"second\" null=\"\" \xE5\x90\x8D\xE5\xA0\x83=\"\xE5\x80\xBC\"/>");
}

TEST_F(XmlNode, SpecialCharactersSurviveSaveAndOpen) {
  // Then a quote alone in a value long enough for the eight-byte scan; last, GBK
  // with characters outside GB2312 and with a backslash as the second byte.
  const char* const kValues[] = {
      "<&\"\t\r\n",          "  lead and trail  ",       "&amp; &#65;",     "]]>",
      "say \"hello world\"", "\xD6\xD0\x88\xD2\x81\x40", "\x88\x5C\x88\x5C"};
  for (const char* value : kValues) ASSERT_TRUE(m_root->NewChild("V")->SetAttribute("v", value));
  Saved();  // literal tabs and line breaks would read back as blanks
  ASSERT_TRUE(m_xml.Open(m_path.c_str()));
  ListPtr children = m_xml.GetRoot()->GetChildElements();
  ASSERT_EQ(children->GetCount(), static_cast<int>(std::size(kValues)));
  for (int i = 0; i < children->GetCount(); ++i)
    EXPECT_EQ(children->GetItem(i)->GetAttribute("v"), kValues[i]) << i;
}

TEST_F(XmlNode, PrefixAndNamespaceWritePrefixedName) {
  ASSERT_TRUE(m_root->SetAttribute("name", "v", "x", "urn:example"));
  EXPECT_EQ(m_root->GetAttribute("x:name"), "v");
  // The same prefix again reuses its declaration; another URI for it is refused.
  ASSERT_TRUE(m_root->SetAttribute("other", "w", "x", "urn:example"));
  EXPECT_FALSE(m_root->SetAttribute("third", "u", "x", "urn:different"));
  EXPECT_EQ(Saved(), "<R xmlns:x=\"urn:example\" x:name=\"v\" x:other=\"w\"/>");
}

TEST_F(XmlNode, NewChildAppendsInOrderAndRefusesWhatIsNoName) {
  EXPECT_EQ(m_root->GetChildElements()->GetCount(), 0);
  for (const char* name : {"a", "b", "a", "_c.1-", "\xCD\xBC\x88\xD2"})
    EXPECT_FALSE(m_root->NewChild(name)->IsNull());
  // Not XML names: a digit first, markup, an unbound prefix, and GBK no name
  // may hold: the multiplication sign, the ideographic space, a byte not GBK.
  for (const char* name : {"", "1", "<x>", "ns:c", "\xA1\xC1", "a\xA1\xA1", "\xFF"})
    EXPECT_TRUE(m_root->NewChild(name)->IsNull()) << name;
  ListPtr list = m_root->GetChildElements();
  m_root->NewChild("late");
  ASSERT_EQ(list->GetCount(), 5);  // a list is a snapshot
  EXPECT_EQ(Saved(), "<R><a/><b/><a/><_c.1-/><\xE5\x9B\xBE\xE5\xA0\x83/><late/></R>");
  EXPECT_TRUE(list->GetItem(5)->IsNull());
}

TEST_F(XmlNode, OnlyElementsAreListed) {
  ASSERT_TRUE(m_xml.Open(corvane_test::DataFile("xml/mixed_children.xml").c_str()));
  ListPtr list = m_xml.GetRoot()->GetChildElements();
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItem(0)->GetName(), "first");
  EXPECT_EQ(list->GetItem(1)->GetName(), "second");
  EXPECT_EQ(list->GetItem(1)->GetChildElements()->GetCount(), 1);
}

TEST(XmlNoNode, EveryOperationFailsQuietlyExceptGetItem) {
  NodePtr none = CXml().GetRoot();
  ASSERT_TRUE(none->IsNull());
  EXPECT_TRUE(none->NewChild("a")->IsNull());
  EXPECT_EQ(none->GetName(), "");
  CString value("untouched");
  EXPECT_FALSE(none->GetAttribute(CString("a"), value));
  EXPECT_EQ(value, "untouched");
  EXPECT_FALSE(none->SetAttribute("a", "v"));
  ListPtr list = none->GetChildElements();
  EXPECT_EQ(list->GetCount(), -1);
  try {
    list->GetItem(0);
    FAIL() << "GetItem on a wrapper without a list must throw";
  } catch (const _com_error& error) {
    EXPECT_EQ(error.Error(), E_POINTER);
  }
}

}  // namespace
