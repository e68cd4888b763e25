// CXmlNode and CXmlNodes: building, reading and walking elements; values
// surviving Save and Open unchanged. (GBK names in bytes: xml_test.cpp.)
#include <corvane/xmldom/xml.h>
#include <corvane/xmldom/xml_node.h>
#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using DomXml::CXml;
using NodePtr = std::tr1::shared_ptr<DomXml::CXmlNode>;
using ListPtr = std::tr1::shared_ptr<DomXml::CXmlNodes>;
using corvane_test::ReadText;
using corvane_test::ScratchDir;

const std::string kDeclaration = "<?xml version=\"1.0\"?>";

class XmlNode : public ::testing::Test {
 protected:
  // Saves the document, has it checked, and answers the file's text.
  std::string Saved(CXml& xml) {
    const std::string path = m_dir.Path("saved.xml");
    EXPECT_TRUE(xml.Save(path.c_str()));
    EXPECT_CONFORMING_XML(path);
    return ReadText(path);
  }
  ScratchDir m_dir;
};

TEST_F(XmlNode, SetReplacesGetMatchesExactlyAndBadNamesAreRefused) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  EXPECT_TRUE(root->SetAttribute("Name", "first"));
  EXPECT_TRUE(root->SetAttribute("Name", "second"));
  ASSERT_TRUE(root->SetAttribute("null", nullptr));
  ASSERT_TRUE(root->SetAttribute("\xC3\xFB\x88\xD2", "\xD6\xB5"));  // GBK name and value
  EXPECT_EQ(root->GetAttribute("Name"), "second");
  EXPECT_EQ(root->GetAttribute("name"), "");  // letter case counts
  CString value("untouched");
  EXPECT_TRUE(root->GetAttribute(CString("missing"), value));
  EXPECT_EQ(value, "");
  for (const char* name : {"", "1a", "a b", "a=b", "a\"", "a:b", "\xA1\xC1", "xmlns"}) {
    EXPECT_FALSE(root->SetAttribute(name, "v")) << name;
  }
  EXPECT_FALSE(root->SetAttribute("Name", "bell\x07"));  // a control XML cannot carry
  EXPECT_FALSE(root->SetAttribute("a", "v", "p", ""));   // a prefix needs a namespace
  EXPECT_EQ(
      Saved(xml),
      kDeclaration + "<R Name=\"second\" null=\"\" \xE5\x90\x8D\xE5\xA0\x83=\"\xE5\x80\xBC\"/>");
}

TEST_F(XmlNode, SpecialCharactersAreEscapedAndSurviveSaveAndOpen) {
  const char* const kValues[] = {
      "<&\"\t\r\n",
      "it's a>b",
      "  lead and trail  ",
      "&amp; &lt; &#65;",
      "]]>",
      "\xD6\xD0\xCE\xC4\x88\xD2\x81\x40",  // GBK, including characters outside GB2312
      "\x88\x5C\x88\x5C",                  // GBK characters whose second byte is a backslash
  };
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  for (const char* value : kValues)
    ASSERT_TRUE(xml.GetRoot()->NewChild("V")->SetAttribute("v", value));
  Saved(xml);  // literal tabs and line breaks would read back as blanks
  CXml reread;
  ASSERT_TRUE(reread.Open(m_dir.Path("saved.xml").c_str()));
  ListPtr children = reread.GetRoot()->GetChildElements();
  ASSERT_EQ(children->GetCount(), static_cast<int>(sizeof(kValues) / sizeof(kValues[0])));
  for (int i = 0; i < children->GetCount(); ++i) {
    EXPECT_EQ(children->GetItem(i)->GetAttribute("v"), kValues[i]) << i;
  }
}

TEST_F(XmlNode, PrefixAndNamespaceWritePrefixedName) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  ASSERT_TRUE(root->SetAttribute("name", "v", "x", "urn:example"));
  EXPECT_EQ(root->GetAttribute("x:name"), "v");
  // The same prefix again reuses the declaration; another URI for it on the
  // same element is refused.
  ASSERT_TRUE(root->SetAttribute("other", "w", "x", "urn:example"));
  EXPECT_FALSE(root->SetAttribute("third", "u", "x", "urn:different"));
  ASSERT_TRUE(root->NewChild("C")->SetAttribute("name", "c", "x", "urn:example"));
  EXPECT_EQ(Saved(xml), kDeclaration + "<R xmlns:x=\"urn:example\" x:name=\"v\" x:other=\"w\">" +
                            "<C x:name=\"c\"/></R>");
}

TEST_F(XmlNode, NewChildAppendsInOrderAndRefusesWhatIsNoName) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  EXPECT_EQ(root->GetChildElements()->GetCount(), 0);
  for (const char* name : {"a", "b", "a", "_c.1-", "\xCD\xBC\x88\xD2"})
    EXPECT_FALSE(root->NewChild(name)->IsNull());
  // Not XML names: empty, a digit first, blanks, markup, an unbound prefix,
  // and GBK characters no name may hold: the multiplication sign, a circled
  // one, the ideographic space; bytes that are not GBK at all.
  for (const char* name :
       {"", "1", "a b", "<x>", "ns:c", "\xA1\xC1", "\xA2\xD9", "a\xA1\xA1", "\xFF"}) {
    EXPECT_TRUE(root->NewChild(name)->IsNull()) << name;
  }
  ListPtr list = root->GetChildElements();
  root->NewChild("late");
  ASSERT_EQ(list->GetCount(), 5);  // a list is a snapshot
  EXPECT_EQ(Saved(xml),
            kDeclaration + "<R><a/><b/><a/><_c.1-/><\xE5\x9B\xBE\xE5\xA0\x83/><late/></R>");
  EXPECT_EQ(list->GetItem(2)->GetName(), "a");
  for (int index : {5, -1}) EXPECT_TRUE(list->GetItem(index)->IsNull()) << index;
}

TEST_F(XmlNode, OnlyElementsAreListed) {
  CXml xml;
  ASSERT_TRUE(xml.Open(corvane_test::DataFile("xml/mixed_children.xml").c_str()));
  ListPtr list = xml.GetRoot()->GetChildElements();
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_TRUE(list->GetItem(0)->GetName() == "first" && list->GetItem(1)->GetName() == "second");
  EXPECT_EQ(list->GetItem(2)->GetAttribute("a"), "1");
  EXPECT_EQ(list->GetItem(1)->GetChildElements()->GetCount(), 1);
}

TEST_F(XmlNode, EveryOperationOnNoNodeFailsQuietlyExceptGetItem) {
  CXml closed;
  NodePtr none = closed.GetRoot();
  ASSERT_TRUE(none->IsNull());
  EXPECT_TRUE(none->NewChild("a")->IsNull());
  EXPECT_EQ(none->GetName(), "");
  EXPECT_EQ(none->GetAttribute("a"), "");
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
