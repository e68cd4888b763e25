// CXmlNode and CXmlNodes: building, reading and walking elements, with the
// values and names surviving Save and Open unchanged.
#include <corvane/xmldom/xml.h>
#include <corvane/xmldom/xml_node.h>

#include <gtest/gtest.h>

#include "xmldom/xml_test_support.h"

namespace {

using DomXml::CXml;
using DomXml::CXmlNode;
using DomXml::CXmlNodes;
using NodePtr = std::tr1::shared_ptr<CXmlNode>;
using xmldom_test::DataFile;
using xmldom_test::ReadBytes;
using xmldom_test::ScratchDir;

// Saves `xml` and opens the file again in `reread`.
void RoundTrip(CXml& xml, const ScratchDir& dir, CXml& reread) {
  ASSERT_TRUE(xml.Save(dir.File("round.xml").c_str()));
  ASSERT_TRUE(reread.Open(dir.File("round.xml").c_str()));
}

TEST(XmlNodeAttribute, SettingTwiceKeepsOneAttributeWithTheSecondValue) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  EXPECT_TRUE(root->SetAttribute("Name", "first"));
  EXPECT_TRUE(root->SetAttribute("Name", "second"));
  EXPECT_EQ(root->GetAttribute("Name"), "second");
  ASSERT_TRUE(xml.Save(dir.File("a.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("a.xml")), "<?xml version=\"1.0\"?><R Name=\"second\"/>");
}

TEST(XmlNodeAttribute, MissingAndEmptyBothGiveEmptyText) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  ASSERT_TRUE(root->SetAttribute("empty", ""));
  ASSERT_TRUE(root->SetAttribute("null", nullptr));
  EXPECT_EQ(root->GetAttribute("missing"), "");
  EXPECT_EQ(root->GetAttribute("empty"), "");
  EXPECT_EQ(root->GetAttribute("null"), "");
  CString value("untouched");
  EXPECT_TRUE(root->GetAttribute(CString("missing"), value));
  EXPECT_EQ(value, "");
  // Names match exactly, letter case included.
  ASSERT_TRUE(root->SetAttribute("Name", "x"));
  EXPECT_EQ(root->GetAttribute("name"), "");
}

TEST(XmlNodeAttribute, RefusesNamesThatAreNotXmlNames) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  for (const char* name : {"", "1a", "a b", "a=b", "a\"", "a:b"}) {
    EXPECT_FALSE(root->SetAttribute(name, "v")) << name;
  }
  EXPECT_FALSE(root->SetAttribute("a", "v", "p", ""));  // a prefix needs a namespace
  EXPECT_EQ(root->GetAttribute(""), "");
}

TEST(XmlNodeAttribute, SpecialCharactersSurviveSaveAndOpen) {
  ScratchDir dir;
  const char* const kValues[] = {
      "a<b", "a&b", "say \"hi\"", "it's", "a>b", "tab\there", "line\nbreak",
      "carriage\rreturn", "crlf\r\nend", "  lead and trail  ", "&amp; &lt; &#65;", "]]>",
      "\xD6\xD0\xCE\xC4\x88\xD2\x81\x40",  // GBK, including characters outside GB2312
      "\x88\x5C\x88\x5C",                  // GBK characters whose second byte is a backslash
  };
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  int index = 0;
  for (const char* value : kValues) {
    NodePtr child = xml.GetRoot()->NewChild("V");
    ASSERT_TRUE(child->SetAttribute("v", value)) << index;
    ASSERT_TRUE(child->SetAttribute("i", CString().GetString())) << index;
    ++index;
  }
  CXml reread;
  RoundTrip(xml, dir, reread);
  std::tr1::shared_ptr<CXmlNodes> children = reread.GetRoot()->GetChildElements();
  ASSERT_EQ(children->GetCount(), static_cast<int>(sizeof(kValues) / sizeof(kValues[0])));
  for (int i = 0; i < children->GetCount(); ++i) {
    EXPECT_EQ(children->GetItem(i)->GetAttribute("v"), kValues[i]) << i;
  }
}

TEST(XmlNodeAttribute, WritesEscapesAndCharacterReferences) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  ASSERT_TRUE(xml.GetRoot()->SetAttribute("v", "<&\"\t\r\n"));
  ASSERT_TRUE(xml.Save(dir.File("a.xml").c_str()));
  // Literal tabs and line breaks would read back as blanks.
  EXPECT_EQ(ReadBytes(dir.File("a.xml")),
            "<?xml version=\"1.0\"?><R v=\"&lt;&amp;&quot;&#09;&#13;&#10;\"/>");
}

TEST(XmlNodeAttribute, PrefixAndNamespaceWritePrefixedName) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  ASSERT_TRUE(root->SetAttribute("name", "v", "x", "urn:example"));
  EXPECT_EQ(root->GetAttribute("x:name"), "v");
  // The same prefix again reuses the declaration; another URI for it on the
  // same element is refused.
  ASSERT_TRUE(root->SetAttribute("other", "w", "x", "urn:example"));
  EXPECT_FALSE(root->SetAttribute("third", "u", "x", "urn:different"));
  NodePtr child = root->NewChild("C");
  ASSERT_TRUE(child->SetAttribute("name", "c", "x", "urn:example"));
  ASSERT_TRUE(xml.Save(dir.File("ns.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("ns.xml")),
            "<?xml version=\"1.0\"?><R xmlns:x=\"urn:example\" x:name=\"v\" x:other=\"w\">"
            "<C x:name=\"c\"/></R>");
}

TEST(XmlNodeName, GbkElementAndAttributeNamesRoundTrip) {
  ScratchDir dir;
  const char kElement[] = "\xCD\xBC\xB2\xE3";  // two GBK characters
  const char kAttribute[] = "\xC3\xFB\xB3\xC6\x88\xD2";
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr child = xml.GetRoot()->NewChild(kElement);
  ASSERT_FALSE(child->IsNull());
  EXPECT_EQ(child->GetName(), kElement);
  ASSERT_TRUE(child->SetAttribute(kAttribute, "\xD6\xB5"));
  CXml reread;
  RoundTrip(xml, dir, reread);
  NodePtr back = reread.GetRoot()->GetChildElements()->GetItem(0);
  EXPECT_EQ(back->GetName(), kElement);
  EXPECT_EQ(back->GetAttribute(kAttribute), "\xD6\xB5");
}

TEST(XmlNodeChildren, NewChildAppendsInOrderAndRefusesBadNames) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  NodePtr root = xml.GetRoot();
  EXPECT_EQ(root->GetChildElements()->GetCount(), 0);
  for (const char* name : {"a", "b", "a", "ns:c"}) EXPECT_FALSE(root->NewChild(name)->IsNull());
  for (const char* name : {"", "1", "a b", "<x>"}) EXPECT_TRUE(root->NewChild(name)->IsNull());
  std::tr1::shared_ptr<CXmlNodes> list = root->GetChildElements();
  ASSERT_EQ(list->GetCount(), 4);
  EXPECT_EQ(list->GetItem(0)->GetName(), "a");
  EXPECT_EQ(list->GetItem(1)->GetName(), "b");
  EXPECT_EQ(list->GetItem(2)->GetName(), "a");
  EXPECT_EQ(list->GetItem(3)->GetName(), "ns:c");
  // A list is a snapshot: later children do not appear in it.
  root->NewChild("late");
  EXPECT_EQ(list->GetCount(), 4);
  EXPECT_EQ(root->GetChildElements()->GetCount(), 5);
}

TEST(XmlNodeChildren, OnlyElementsAreListed) {
  CXml xml;
  ASSERT_TRUE(xml.Open(DataFile("mixed_children.xml").c_str()));
  std::tr1::shared_ptr<CXmlNodes> list = xml.GetRoot()->GetChildElements();
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItem(0)->GetName(), "first");
  EXPECT_EQ(list->GetItem(1)->GetName(), "second");
  EXPECT_EQ(list->GetItem(2)->GetName(), "third");
  EXPECT_EQ(list->GetItem(2)->GetAttribute("a"), "1");
  EXPECT_EQ(list->GetItem(1)->GetChildElements()->GetCount(), 1);
  EXPECT_EQ(list->GetItem(0)->GetChildElements()->GetCount(), 0);
}

TEST(XmlNodeChildren, IndexOutsideTheListGivesWrapperWithoutNode) {
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  xml.GetRoot()->NewChild("a");
  std::tr1::shared_ptr<CXmlNodes> list = xml.GetRoot()->GetChildElements();
  ASSERT_EQ(list->GetCount(), 1);
  for (int index : {1, -1, 1000000}) {
    NodePtr item = list->GetItem(index);
    ASSERT_TRUE(item.get() != nullptr);
    EXPECT_TRUE(item->IsNull()) << index;
    EXPECT_EQ(item->GetName(), "") << index;
  }
}

TEST(XmlNodeNull, EveryOperationFailsQuietlyExceptGetItem) {
  CXml closed;
  NodePtr none = closed.GetRoot();
  ASSERT_TRUE(none->IsNull());
  NodePtr child = none->NewChild("a");
  ASSERT_TRUE(child.get() != nullptr);
  EXPECT_TRUE(child->IsNull());
  EXPECT_EQ(none->GetName(), "");
  EXPECT_EQ(none->GetAttribute("a"), "");
  CString value("untouched");
  EXPECT_FALSE(none->GetAttribute(CString("a"), value));
  EXPECT_EQ(value, "untouched");
  EXPECT_FALSE(none->SetAttribute("a", "v"));
  std::tr1::shared_ptr<CXmlNodes> list = none->GetChildElements();
  ASSERT_TRUE(list.get() != nullptr);
  EXPECT_EQ(list->GetCount(), -1);
  try {
    list->GetItem(0);
    FAIL() << "GetItem on a wrapper without a list must throw";
  } catch (const _com_error& error) {
    EXPECT_EQ(error.Error(), E_POINTER);
  }
  CXmlNodes empty;
  EXPECT_EQ(empty.GetCount(), -1);
  EXPECT_THROW(empty.GetItem(-1), _com_error);
}

}  // namespace
