// The conversion document: the seven sections, loading by path, saving at destruction with
// progress, copies that share one pending write, and loads and saves that fail.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>
#include <gtest/gtest.h>

#include <boost/weak_ptr.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

class Convert : public ::testing::Test {
 protected:
  std::string Path() const { return m_folder.Path("exchange.xml"); }
  ScratchDir m_folder;
  ProgressLog m_log;
};

// A load's chunks share large blocks; any chunk the host keeps stays whole
// after the tree and the document are gone, and may be released on any thread.
TEST_F(Convert, KeptChunksOutliveTheDocumentOnAnyThread) {
  std::string xml = "<FILE_CONVERT><Entitys>";
  for (int i = 0; i < 3000; ++i)
    xml += "<E Name=\"e" + std::to_string(i) + "\" Type=\"int\" Value=\"" + std::to_string(i) +
           "\"><S Type=\"string\" Value=\"s" + std::to_string(i) + "\"/></E>";
  WriteText(Path(), xml + "</Entitys></FILE_CONVERT>");
  std::vector<boost::shared_ptr<IChunk>> kept[4];
  boost::weak_ptr<IChunk> watched;
  {
    FileConvert document;
    document.SetPath(Path().c_str(), true);
    const boost::shared_ptr<IChunk> entities = document.GetEntitys();
    ASSERT_TRUE(entities);
    ASSERT_EQ(entities->numChild(), 3000u);
    for (unsigned int i = 0; i < 3000; i += 7) kept[i % 4].push_back(entities->Child(i));
    watched = kept[0].front()->Child(0);
  }
  ASSERT_FALSE(watched.expired());  // held through its parent
  std::vector<std::thread> threads;
  for (auto& share : kept) {
    threads.emplace_back([&share] {
      for (boost::shared_ptr<IChunk>& chunk : share) {
        const int value = chunk->getI32Value();
        EXPECT_EQ(chunk->name(), ("e" + std::to_string(value)).c_str());
        ASSERT_EQ(chunk->numChild(), 1u);
        EXPECT_EQ(chunk->Child(0)->getValueAsString(), ("s" + std::to_string(value)).c_str());
        chunk.reset();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(watched.expired());
}

TEST_F(Convert, WriteModeCopiesWriteTheSevenSectionsOnceAndTheyLoadBack) {
  boost::shared_ptr<IChunk> sysVar;
  {
    FileConvert first;
    m_log.InstallOn(first);
    first.SetPath(Path().c_str(), false);
    first.GetLayers()->addChild(newChunk("Layer", "dropped"));
    first.SetPath(Path().c_str(), false);  // a new empty tree: the layer is dropped
    sysVar = first.GetSysVar();
    sysVar->addChild(newChunk("Var", "v", 5));
    {
      FileConvert second(first), third;
      third = second;
    }  // copies destroyed first: the file is not written yet
    EXPECT_FALSE(Exists(Path()));
    EXPECT_TRUE(m_log.calls.empty());
  }
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {12, 25, 37, 50, 62, 75, 87, 100, 112}, true));
  EXPECT_EQ(
      ReadText(Path()),
      "<?xml version=\"1.0\"?><FILE_CONVERT><SysVar><Var Name=\"v\" Type=\"int\" Value=\"5\"/>"
      "</SysVar><Layers/><Environment/><Materials/><Meshs/><Groups/><Entitys/></FILE_CONVERT>");
  EXPECT_CONFORMING_XML(Path());
  ASSERT_EQ(sysVar->numChild(), 1u);  // a held section stays valid, holding empty entries
  EXPECT_FALSE(sysVar->Child(0));

  m_log.calls.clear();
  FileConvert loaded;
  m_log.InstallOn(loaded);
  loaded.SetPath(Path().c_str(), true);
  EXPECT_EQ(m_log.calls.front(), ReadStart());  // the callbacks reach the read too
  ASSERT_TRUE(loaded.GetRoot());
  EXPECT_EQ(loaded.GetEntitys(), loaded.GetRoot()->Child(6));
  EXPECT_EQ(loaded.GetSysVar()->Child(0)->getI32Value(), 5);
}

TEST_F(Convert, SectionsAreFoundWhateverTheirCaseAndMayBeMissing) {
  WriteText(Path(),
            "<FILE_CONVERT><SYSVAR/><LAYERS><L Name=\"a\"/></LAYERS><Entitys/></FILE_CONVERT>");
  FileConvert document;
  document.SetPath(Path().c_str(), true);
  ASSERT_TRUE(document.GetLayers());
  EXPECT_EQ(document.GetLayers()->label(), "LAYERS");  // the file's own case is kept
  EXPECT_TRUE(document.GetSysVar());
  EXPECT_FALSE(document.GetGroups());
}

TEST_F(Convert, MissingFileAssignmentReadModeOrAThrowingCallbackWriteNothing) {
  const std::string other = m_folder.Path("other.xml");
  {
    FileConvert target, source, document;
    target.SetPath(other.c_str(), false);
    source.SetPath(Path().c_str(), true);  // read mode, missing file: all empty
    EXPECT_FALSE(source.GetRoot());
    EXPECT_FALSE(source.GetEntitys());
    target = source;  // drops the target's pending write
    document.SetPath(other.c_str(), false);
    boost::shared_ptr<IChunk> before = document.GetRoot();
    document.SetPath(Path().c_str(), true);  // the failed load keeps the tree, in read mode
    EXPECT_EQ(document.GetRoot(), before);
  }
  EXPECT_FALSE(Exists(other));
  EXPECT_FALSE(Exists(Path()));
  // A callback that throws in the destructor abandons the save.
  WriteText(Path(), "<Old/>");
  {
    FileConvert document;
    document.setStartProgressFun([](CString const&, int, int) -> bool { throw 1; });
    document.SetPath(Path().c_str(), false);
  }
  EXPECT_EQ(ReadText(Path()), "<Old/>");
}

}  // namespace
