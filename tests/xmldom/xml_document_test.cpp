// CXml: making, saving, opening, copying and closing documents.
#include <corvane/xmldom/xml.h>

#include <gtest/gtest.h>

#include "xmldom/dom_access.h"
#include "xmldom/xml_test_support.h"

namespace {

using DomXml::CXml;
using xmldom_test::ReadBytes;
using xmldom_test::ScratchDir;
using xmldom_test::WriteBytes;

constexpr char kEmptyConvertFile[] = "<?xml version=\"1.0\"?><FILE_CONVERT/>";

TEST(XmlDocumentCreate, SavesDeclarationAndEmptyRootExactly) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("FILE_CONVERT"));
  ASSERT_TRUE(xml.Save(dir.File("out.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("out.xml")), kEmptyConvertFile);
  EXPECT_EQ(xml.GetRoot()->GetName(), "FILE_CONVERT");
}

TEST(XmlDocumentCreate, RefusesNamesThatAreNotXmlNames) {
  ScratchDir dir;
  for (const char* name : {"", "1abc", "a b", "a<b", "a\"b"}) {
    CXml xml;
    EXPECT_FALSE(xml.Create(name)) << name;
    EXPECT_TRUE(xml.GetRoot()->IsNull()) << name;
    // No document element: nothing worth writing.
    EXPECT_FALSE(xml.Save(dir.File("bad.xml").c_str())) << name;
  }
  CXml xml;
  EXPECT_FALSE(xml.Create(nullptr));
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(XmlDocumentCreate, KeepsNarrowRootNameThroughSaveAndOpen) {
  ScratchDir dir;
  const char kName[] = "\xD6\xD0\xCE\xC4\x88\xD2";  // three GBK characters, the last outside GB2312
  CXml xml;
  ASSERT_TRUE(xml.Create(kName));
  ASSERT_TRUE(xml.Save(dir.File("gbk.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("gbk.xml")),
            "<?xml version=\"1.0\"?><\xE4\xB8\xAD\xE6\x96\x87\xE5\xA0\x83/>");
  CXml again;
  ASSERT_TRUE(again.Open(dir.File("gbk.xml").c_str()));
  EXPECT_EQ(again.GetRoot()->GetName(), kName);
}

TEST(XmlDocumentSave, NullPathUsesTheStoredPath) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("FILE_CONVERT"));
  EXPECT_FALSE(xml.Save());  // Create stores no path
  EXPECT_FALSE(xml.Save(nullptr));
  EXPECT_TRUE(dir.Entries().empty());

  ASSERT_TRUE(xml.Save(dir.File("a.xml").c_str()));
  xml.GetRoot()->SetAttribute("Name", "second");
  ASSERT_TRUE(xml.Save());
  EXPECT_EQ(ReadBytes(dir.File("a.xml")),
            "<?xml version=\"1.0\"?><FILE_CONVERT Name=\"second\"/>");
}

TEST(XmlDocumentSave, WithoutDocumentFails) {
  ScratchDir dir;
  CXml xml;
  EXPECT_FALSE(xml.Save(dir.File("a.xml").c_str()));
  ASSERT_TRUE(xml.Create("R"));
  xml.Close();
  EXPECT_FALSE(xml.Save(dir.File("a.xml").c_str()));
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(XmlDocumentSave, OpenedDocumentIsWrittenWithDeclarationAndNoWhitespace) {
  ScratchDir dir;
  WriteBytes(dir.File("in.xml"), "<?xml version='1.0' encoding='UTF-8'?>\n<!-- c -->\n<a>\n  <b x='1'/>\n</a>\n");
  CXml xml;
  ASSERT_TRUE(xml.Open(dir.File("in.xml").c_str()));
  ASSERT_TRUE(xml.Save());  // back to the path Open stored
  EXPECT_EQ(ReadBytes(dir.File("in.xml")), "<?xml version=\"1.0\"?><a><b x=\"1\"/></a>");
}

TEST(XmlDocumentOpen, MissingFileLeavesOpenDocumentAndPathAlone) {
  ScratchDir dir;
  WriteBytes(dir.File("good.xml"), "<r/>");
  CXml xml;
  ASSERT_TRUE(xml.Open(dir.File("good.xml").c_str()));
  EXPECT_FALSE(xml.Open(dir.File("missing.xml").c_str()));
  EXPECT_FALSE(xml.Open(dir.path().c_str()));  // a folder is not a readable file
  EXPECT_FALSE(xml.Open(nullptr));
  EXPECT_EQ(xml.GetRoot()->GetName(), "r");
  // The stored path is still the first file's.
  xml.GetRoot()->SetAttribute("k", "v");
  ASSERT_TRUE(xml.Save());
  EXPECT_EQ(ReadBytes(dir.File("good.xml")), "<?xml version=\"1.0\"?><r k=\"v\"/>");
}

TEST(XmlDocumentOpen, MalformedFileFailsAndKeepsPathWithoutRoot) {
  ScratchDir dir;
  const char* const kMalformed[] = {
      "",          "   ",        "<a>",           "<a></b>",      "<a/><b/>",
      "<a/>junk",  "junk<a/>",   "<a x='1' x='2'/>", "<a x=1/>",  "<a><b></a></b>",
      "\xEF\xBB\xBF", "<?xml version='1.0'?>",
  };
  for (const char* text : kMalformed) {
    WriteBytes(dir.File("bad.xml"), text);
    CXml xml;
    ASSERT_TRUE(xml.Create("before"));
    EXPECT_FALSE(xml.Open(dir.File("bad.xml").c_str())) << '"' << text << '"';
    EXPECT_TRUE(xml.GetRoot()->IsNull()) << text;
    EXPECT_EQ(xml.GetRoot()->GetName(), "") << text;
    // The failed Open stored its path: a document without root cannot be saved there.
    EXPECT_FALSE(xml.Save()) << text;
    EXPECT_EQ(ReadBytes(dir.File("bad.xml")), text);
  }
}

TEST(XmlDocumentRoot, NewOrClosedObjectGivesWrapperWithoutNode) {
  CXml xml;
  std::tr1::shared_ptr<DomXml::CXmlNode> root = xml.GetRoot();
  ASSERT_TRUE(root.get() != nullptr);
  EXPECT_TRUE(root->IsNull());
  ASSERT_TRUE(xml.Create("R"));
  EXPECT_FALSE(xml.GetRoot()->IsNull());
  xml.Close();
  ASSERT_TRUE(xml.GetRoot().get() != nullptr);
  EXPECT_TRUE(xml.GetRoot()->IsNull());
  EXPECT_TRUE(DomXml::DocumentAccess::Document(xml) == nullptr);
}

TEST(XmlDocumentCopy, CopiesShareOneDocumentAndOutliveClose) {
  ScratchDir dir;
  CXml original;
  ASSERT_TRUE(original.Create("R"));
  CXml copy(original);
  CXml assigned;
  ASSERT_TRUE(assigned.Create("Other"));
  assigned = original;
  copy.GetRoot()->SetAttribute("seen", "yes");
  EXPECT_EQ(original.GetRoot()->GetAttribute("seen"), "yes");
  EXPECT_EQ(assigned.GetRoot()->GetAttribute("seen"), "yes");

  original.Close();
  original.Close();  // closing twice is harmless
  EXPECT_TRUE(original.GetRoot()->IsNull());
  ASSERT_FALSE(copy.GetRoot()->IsNull());
  EXPECT_FALSE(copy.GetRoot()->NewChild("child")->IsNull());
  ASSERT_TRUE(copy.Save(dir.File("copy.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("copy.xml")), "<?xml version=\"1.0\"?><R seen=\"yes\"><child/></R>");
}

TEST(XmlDocumentCopy, WrappersOutliveTheirDocument) {
  std::tr1::shared_ptr<DomXml::CXmlNode> child;
  std::tr1::shared_ptr<DomXml::CXmlNodes> list;
  {
    CXml xml;
    ASSERT_TRUE(xml.Create("R"));
    child = xml.GetRoot()->NewChild("c");
    list = xml.GetRoot()->GetChildElements();
    xml.Close();
  }
  // The wrappers keep the document's memory: still readable, then freed safely.
  EXPECT_EQ(child->GetName(), "c");
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetItem(0)->GetName(), "c");
}

TEST(XmlDocumentReuse, OneObjectOpensAndCreatesInTurn) {
  ScratchDir dir;
  WriteBytes(dir.File("one.xml"), "<one/>");
  WriteBytes(dir.File("two.xml"), "<two/>");
  CXml xml;
  ASSERT_TRUE(xml.Open(dir.File("one.xml").c_str()));
  ASSERT_TRUE(xml.Create("made"));
  EXPECT_FALSE(xml.Save());  // Create forgot the opened path
  ASSERT_TRUE(xml.Open(dir.File("two.xml").c_str()));
  EXPECT_EQ(xml.GetRoot()->GetName(), "two");
}

}  // namespace
