// The conversion document: the seven sections, loading by path, saving at
// destruction, copies that share one pending write, and failed loads.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>

#include "xmlio/xmlio_test_support.h"

namespace {

using xmlio_test::Exists;
using xmlio_test::Positions;
using xmlio_test::ProgressLog;
using xmlio_test::ReadBytes;
using xmlio_test::ReadStart;
using xmlio_test::SaveStart;
using xmlio_test::ScratchFolder;
using xmlio_test::WriteBytes;

std::vector<std::string> ChildNames(const std::string& path) {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_file(path.c_str()));
  std::vector<std::string> names;
  for (pugi::xml_node child : document.document_element().children()) names.push_back(child.name());
  return names;
}

const std::vector<std::string> kSections = {"SysVar", "Layers", "Environment", "Materials",
                                            "Meshs",  "Groups", "Entitys"};

class Convert : public ::testing::Test {
 protected:
  std::string Path() const { return m_folder.File("exchange.xml"); }
  ScratchFolder m_folder;
  ProgressLog m_log;
};

TEST_F(Convert, EmptyDocumentWritesSevenSectionsWithProgress) {
  {
    FileConvert document;
    document.setStartProgressFun(m_log.Start());
    document.setSetPosFun(m_log.Position());
    document.SetEndProgressFun(m_log.End());
    document.SetPath(Path().c_str(), false);
    EXPECT_FALSE(Exists(Path()));  // nothing is written before destruction
    EXPECT_TRUE(m_log.calls.empty());
  }
  std::vector<std::string> expected{SaveStart()};
  for (const std::string& p : Positions({14, 28, 42, 57, 71, 85, 100, 114})) expected.push_back(p);
  expected.push_back("end");
  EXPECT_EQ(m_log.calls, expected);
  EXPECT_EQ(ChildNames(Path()), kSections);
  EXPECT_NE(ReadBytes(Path()).find("<FILE_CONVERT>"), std::string::npos);  // no attributes

  m_log.calls.clear();
  FileConvert loaded;
  loaded.setStartProgressFun(m_log.Start());
  loaded.setSetPosFun(m_log.Position());
  loaded.SetPath(Path().c_str(), true);
  EXPECT_EQ(m_log.calls.front(), ReadStart());
  EXPECT_EQ(m_log.calls.back(), "pos:114");
  ASSERT_TRUE(loaded.GetRoot());
  EXPECT_EQ(loaded.GetRoot()->label(), "FILE_CONVERT");
  EXPECT_EQ(loaded.GetLayers(), loaded.GetRoot()->Child(1));
  EXPECT_EQ(loaded.GetEntitys(), loaded.GetRoot()->Child(6));
}

TEST_F(Convert, MissingFileLeavesEverythingEmptyAndWritesNothing) {
  {
    FileConvert document;
    document.SetPath(Path().c_str(), true);
    EXPECT_FALSE(document.GetRoot());
    EXPECT_FALSE(document.GetSysVar());
    EXPECT_FALSE(document.GetLayers());
    EXPECT_FALSE(document.GetEntitys());
  }
  EXPECT_FALSE(Exists(Path()));

  // A failed load keeps a tree already there.
  FileConvert document;
  document.SetPath(Path().c_str(), false);
  boost::shared_ptr<IChunk> before = document.GetRoot();
  document.SetPath(m_folder.File("absent.xml").c_str(), true);
  EXPECT_EQ(document.GetRoot(), before);
}

TEST_F(Convert, SectionsAreFoundWhateverTheirCaseAndMayBeMissing) {
  WriteBytes(Path(), "<FILE_CONVERT><SYSVAR/><LAYERS><L Name=\"a\"/></LAYERS><Entitys/></FILE_CONVERT>");
  FileConvert document;
  document.SetPath(Path().c_str(), true);
  ASSERT_TRUE(document.GetLayers());
  EXPECT_EQ(document.GetLayers()->label(), "LAYERS");  // the file's own case is kept
  EXPECT_EQ(document.GetLayers()->numChild(), 1u);
  EXPECT_TRUE(document.GetSysVar());
  EXPECT_FALSE(document.GetGroups());
  EXPECT_FALSE(document.GetMeshs());
  EXPECT_TRUE(document.GetEntitys());
}

TEST_F(Convert, HeldSectionSurvivesWithEmptyEntries) {
  boost::shared_ptr<IChunk> sysVar;
  {
    FileConvert document;
    document.SetPath(Path().c_str(), false);
    sysVar = document.GetSysVar();
    sysVar->addChild(newChunk("Var", "A", 1));
    sysVar->addChild(newChunk("Var", "B", 2));
  }
  ASSERT_TRUE(sysVar);
  EXPECT_EQ(sysVar->label(), "SysVar");
  ASSERT_EQ(sysVar->numChild(), 2u);
  EXPECT_FALSE(sysVar->Child(0));
  EXPECT_FALSE(sysVar->Child(1));
  FileConvert loaded;
  loaded.SetPath(Path().c_str(), true);
  ASSERT_TRUE(loaded.GetSysVar());
  EXPECT_EQ(loaded.GetSysVar()->numChild(), 2u);
}

TEST_F(Convert, SecondWriteModeSetPathDropsEarlierData) {
  {
    FileConvert document;
    document.SetPath(Path().c_str(), false);
    document.GetLayers()->addChild(newChunk("Layer", "dropped"));
    document.SetPath(Path().c_str(), false);
    document.GetSysVar()->addChild(newChunk("Var", "kept", 1));
  }
  FileConvert loaded;
  loaded.SetPath(Path().c_str(), true);
  EXPECT_EQ(loaded.GetLayers()->numChild(), 0u);
  ASSERT_EQ(loaded.GetSysVar()->numChild(), 1u);
  EXPECT_EQ(loaded.GetSysVar()->Child(0)->name(), "kept");
}

TEST_F(Convert, WriteModeCopiesWriteTheWholeTreeOnce) {
  int saves = 0;
  {
    FileConvert first;
    first.SetEndProgressFun([&saves]() { ++saves; });
    first.SetPath(Path().c_str(), false);
    first.GetSysVar()->addChild(newChunk("Var", "v", 5));
    {
      FileConvert second(first);
      FileConvert third;
      third = second;
    }  // copies destroyed first: the file is not written yet
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(Exists(Path()));
  }
  EXPECT_EQ(saves, 1);
  FileConvert loaded;
  loaded.SetPath(Path().c_str(), true);
  ASSERT_TRUE(loaded.GetSysVar());
  ASSERT_EQ(loaded.GetSysVar()->numChild(), 1u);
  EXPECT_EQ(loaded.GetSysVar()->Child(0)->getI32Value(), 5);
}

TEST_F(Convert, AssignmentDropsTheTargetsPendingWrite) {
  const std::string other = m_folder.File("other.xml");
  {
    FileConvert target;
    target.SetPath(other.c_str(), false);
    FileConvert source;
    source.SetPath(Path().c_str(), true);  // read mode, missing file
    target = source;
  }
  EXPECT_FALSE(Exists(other));
  EXPECT_FALSE(Exists(Path()));

  // A read-mode SetPath drops the write, too.
  {
    FileConvert document;
    document.SetPath(other.c_str(), false);
    document.SetPath(Path().c_str(), true);
  }
  EXPECT_FALSE(Exists(other));
}

TEST_F(Convert, ThrowingCallbackInDestructorAbandonsTheSave) {
  WriteBytes(Path(), "<Old/>");
  {
    FileConvert document;
    document.setStartProgressFun([](CString const&, int, int) -> bool { throw 1; });
    document.SetPath(Path().c_str(), false);
  }
  EXPECT_EQ(ReadBytes(Path()), "<Old/>");
}

}  // namespace
