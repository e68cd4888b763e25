// CXml: making, saving, opening, copying and closing documents. (What a save keeps of what
// its path names: platform/save_posix_test.cpp; what Open reads and refuses: strict_xml_test.cpp.)
#include <corvane/xmldom/xml.h>
#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using corvane_test::ReadText;
using corvane_test::WriteText;
using DomXml::CXml;

const std::string kDeclaration = "<?xml version=\"1.0\"?>";

class Xml : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return m_dir.Path(name); }
  // The text of a file a save wrote, checked.
  std::string Written(const char* name) {
    EXPECT_CONFORMING_XML(Path(name));
    return ReadText(Path(name));
  }
  corvane_test::ScratchDir m_dir;
};

TEST_F(Xml, CreateSaveOpenAndTheStoredPath) {
  CXml xml;
  ASSERT_TRUE(xml.Create("FILE_CONVERT"));
  ASSERT_TRUE(xml.Save(Path("a.xml").c_str()));
  xml.GetRoot()->SetAttribute("Name", "second");
  ASSERT_TRUE(xml.Save(nullptr));  // the path of the last save
  EXPECT_EQ(Written("a.xml"), kDeclaration + "<FILE_CONVERT Name=\"second\"/>");
  ASSERT_TRUE(xml.Create("\xD6\xD0\xCE\xC4\x88\xD2"));  // GBK, the last outside GB2312
  EXPECT_FALSE(xml.Save());  // Create stores no path, and forgets the earlier one
  ASSERT_TRUE(xml.Save(Path("gbk.xml").c_str()));
  EXPECT_EQ(Written("gbk.xml"), kDeclaration + "<\xE4\xB8\xAD\xE6\x96\x87\xE5\xA0\x83/>");

  // Text keeps a carriage return given as a reference; a literal line end reads as "\n".
  WriteText(Path("in.xml"),
            "<?xml version='1.0'?>\n<!-- c -->\n<a>\n  <b x='1'/>x&#13;y\r\n</a>\n");
  ASSERT_TRUE(xml.Open(Path("in.xml").c_str()));
  // A missing file fails and keeps the document and its path.
  EXPECT_FALSE(xml.Open(Path("missing.xml").c_str()));
  ASSERT_TRUE(xml.Save());  // back to the path Open stored, without comment or blanks
  EXPECT_EQ(Written("in.xml"), kDeclaration + "<a><b x=\"1\"/>x&#13;y\n</a>");
}

TEST_F(Xml, CopiesShareOneDocumentAndWrappersOutliveClose) {
  CXml original;
  ASSERT_TRUE(original.Create("R"));
  CXml copy(original), assigned;
  assigned = original;
  copy.GetRoot()->SetAttribute("seen", "yes");
  EXPECT_EQ(assigned.GetRoot()->GetAttribute("seen"), "yes");
  std::tr1::shared_ptr<DomXml::CXmlNode> child = original.GetRoot()->NewChild("child");
  std::tr1::shared_ptr<DomXml::CXmlNodes> list = original.GetRoot()->GetChildElements();
  original.Close();
  EXPECT_TRUE(original.GetRoot()->IsNull());
  ASSERT_TRUE(copy.Save(Path("copy.xml").c_str()));
  EXPECT_EQ(Written("copy.xml"), kDeclaration + "<R seen=\"yes\"><child/></R>");
  copy.Close();
  assigned.Close();
  // The wrappers keep the document's memory: still readable, then freed safely.
  EXPECT_EQ(child->GetName(), "child");
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetItem(0)->GetName(), "child");
}

TEST_F(Xml, RefusedNamesMalformedFilesAndSavesThatCannotOpen) {
  for (const char* name : {"", "1abc", "a<b", static_cast<const char*>(nullptr)}) {
    CXml xml;
    EXPECT_FALSE(xml.Create(name));
    EXPECT_FALSE(xml.Save(Path("bad.xml").c_str()));
  }
  WriteText(Path("bad.xml"), "<a></b>");
  CXml xml;
  ASSERT_TRUE(xml.Create("before"));
  EXPECT_FALSE(xml.Open(Path("bad.xml").c_str()));
  EXPECT_TRUE(xml.GetRoot()->IsNull());
  EXPECT_FALSE(xml.Save());  // the stored path, but no root to write
  EXPECT_EQ(ReadText(Path("bad.xml")), "<a></b>");
  WriteText(Path("plain"), "old");
  ASSERT_TRUE(xml.Create("R"));
  for (const std::string& path :
       {std::string(), Path("plain/out.xml"), Path("missing/out.xml"), m_dir.Dir().string()})
    EXPECT_FALSE(xml.Save(path.c_str())) << path;
  EXPECT_FALSE(xml.Save());  // a failed save stores no path
  EXPECT_EQ(ReadText(Path("plain")), "old");
  EXPECT_EQ(m_dir.Entries(), (std::set<std::string>{"bad.xml", "plain"}));
  // A narrow path names its file in UTF-8: 文件.xml in GBK.
  ASSERT_TRUE(xml.Save((m_dir.Dir().string() + "/\xCE\xC4\xBC\xFE.xml").c_str()));
  EXPECT_CONFORMING_XML(Path("\xE6\x96\x87\xE4\xBB\xB6.xml"));
}

}  // namespace
