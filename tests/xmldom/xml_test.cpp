// CXml: making, saving, opening, copying and closing documents. (What a save
// keeps of what its path names is in save_test.cpp; what Open reads and
// refuses, in strict_xml_test.cpp.)
#include <corvane/xmldom/xml.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using corvane_test::ReadText;
using corvane_test::ScratchDir;
using corvane_test::WriteText;
using DomXml::CXml;

const std::string kDeclaration = "<?xml version=\"1.0\"?>";

TEST(Xml, CreateSaveOpenAndTheStoredPath) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("FILE_CONVERT"));
  EXPECT_FALSE(xml.Save());  // Create stores no path
  ASSERT_TRUE(xml.Save(dir.Path("a.xml").c_str()));
  xml.GetRoot()->SetAttribute("Name", "second");
  ASSERT_TRUE(xml.Save(nullptr));  // the path of the last save
  EXPECT_CONFORMING_XML(dir.Path("a.xml"));
  EXPECT_EQ(ReadText(dir.Path("a.xml")), kDeclaration + "<FILE_CONVERT Name=\"second\"/>");

  const char kName[] = "\xD6\xD0\xCE\xC4\x88\xD2";  // GBK, the last character outside GB2312
  ASSERT_TRUE(xml.Create(kName));
  EXPECT_FALSE(xml.Save());  // Create forgot the earlier path
  ASSERT_TRUE(xml.Save(dir.Path("gbk.xml").c_str()));
  EXPECT_CONFORMING_XML(dir.Path("gbk.xml"));
  EXPECT_EQ(ReadText(dir.Path("gbk.xml")),
            kDeclaration + "<\xE4\xB8\xAD\xE6\x96\x87\xE5\xA0\x83/>");

  WriteText(dir.Path("in.xml"),
            "<?xml version='1.0' encoding='UTF-8'?>\n<!-- c -->\n<a>\n  <b x='1'/>\n</a>\n");
  ASSERT_TRUE(xml.Open(dir.Path("in.xml").c_str()));
  // A missing file or a folder fails and keeps the document and its path.
  EXPECT_FALSE(xml.Open(dir.Path("missing.xml").c_str()));
  EXPECT_FALSE(xml.Open(dir.Dir().string().c_str()));
  EXPECT_FALSE(xml.Open(nullptr));
  ASSERT_TRUE(xml.Save());  // back to the path Open stored, without comment or blanks
  EXPECT_CONFORMING_XML(dir.Path("in.xml"));
  EXPECT_EQ(ReadText(dir.Path("in.xml")), kDeclaration + "<a><b x=\"1\"/></a>");
}

TEST(Xml, RefusedNamesAndMalformedFilesLeaveNoDocumentElement) {
  ScratchDir dir;
  for (const char* name : {"", "1abc", "a<b", static_cast<const char*>(nullptr)}) {
    CXml xml;
    EXPECT_FALSE(xml.Create(name) || xml.Save(dir.Path("bad.xml").c_str()));
    EXPECT_TRUE(xml.GetRoot()->IsNull());
  }
  EXPECT_TRUE(dir.Entries().empty());
  for (const char* text : {"", "<a></b>", "<?xml version='1.0'?>"}) {
    WriteText(dir.Path("bad.xml"), text);
    CXml xml;
    ASSERT_TRUE(xml.Create("before"));
    EXPECT_FALSE(xml.Open(dir.Path("bad.xml").c_str())) << '"' << text << '"';
    EXPECT_TRUE(xml.GetRoot()->IsNull()) << text;
    EXPECT_FALSE(xml.Save()) << text;  // the stored path, but no root to write
    EXPECT_EQ(ReadText(dir.Path("bad.xml")), text);
  }
}

TEST(Xml, CopiesShareOneDocumentAndWrappersOutliveClose) {
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
  std::tr1::shared_ptr<DomXml::CXmlNode> child = original.GetRoot()->NewChild("child");
  std::tr1::shared_ptr<DomXml::CXmlNodes> list = original.GetRoot()->GetChildElements();
  original.Close();
  original.Close();  // closing twice is harmless
  EXPECT_TRUE(original.GetRoot()->IsNull());
  EXPECT_FALSE(original.Save(dir.Path("closed.xml").c_str()));
  ASSERT_TRUE(copy.Save(dir.Path("copy.xml").c_str()));
  EXPECT_CONFORMING_XML(dir.Path("copy.xml"));
  EXPECT_EQ(ReadText(dir.Path("copy.xml")), kDeclaration + "<R seen=\"yes\"><child/></R>");
  copy.Close();
  assigned.Close();
  // The wrappers keep the document's memory: still readable, then freed safely.
  EXPECT_EQ(child->GetName(), "child");
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetItem(0)->GetName(), "child");
}

TEST(Xml, SaveNeedsADocumentAndAPathThatOpens) {
  ScratchDir dir;
  WriteText(dir.Path("plain"), "old");
  ASSERT_EQ(::mkdir(dir.Path("target").c_str(), 0755), 0);
  CXml xml;
  EXPECT_FALSE(xml.Save(dir.Path("x.xml").c_str()));  // no document yet
  ASSERT_TRUE(xml.Create("R"));
  for (const std::string& path :
       {std::string(), dir.Path("plain/out.xml"), dir.Path("target"), dir.Path("later/out.xml")}) {
    EXPECT_FALSE(xml.Save(path.c_str())) << path;
  }
  // A failed save stores no path: the last one would open now.
  ASSERT_EQ(::mkdir(dir.Path("later").c_str(), 0755), 0);
  EXPECT_FALSE(xml.Save());
  EXPECT_EQ(ReadText(dir.Path("plain")), "old");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"plain", "target", "later"}));
  EXPECT_FALSE(corvane_test::Exists(dir.Path("later/out.xml")));
  // A narrow path names its file in UTF-8: 文件.xml in GBK.
  ASSERT_TRUE(xml.Save((dir.Dir().string() + "/\xCE\xC4\xBC\xFE.xml").c_str()));
  EXPECT_CONFORMING_XML(dir.Path("\xE6\x96\x87\xE4\xBB\xB6.xml"));
}

}  // namespace
