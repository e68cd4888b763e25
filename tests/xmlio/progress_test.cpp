// The progress protocol of saving and reading, call by call: start message
// bytes, positions, end; counters kept across runs; cleared slots.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/xml_file_io.h>

#include "xmlio/xmlio_test_support.h"

namespace {

using xmlio_test::Exists;
using xmlio_test::Positions;
using xmlio_test::ProgressLog;
using xmlio_test::ReadStart;
using xmlio_test::SaveStart;
using xmlio_test::ScratchFolder;
using xmlio_test::WriteBytes;

std::vector<std::string> Calls(std::string first, std::vector<int> positions, bool end) {
  std::vector<std::string> calls;
  if (!first.empty()) calls.push_back(first);
  for (const std::string& p : Positions(positions)) calls.push_back(p);
  if (end) calls.push_back("end");
  return calls;
}

boost::shared_ptr<IChunk> SevenSections() {
  boost::shared_ptr<IChunk> root = newChunk("FILE_CONVERT");
  for (const char* label : {"SysVar", "Layers", "Environment", "Materials", "Meshs", "Groups", "Entitys"})
    root->addChild(newChunk(label));
  return root;
}

void Install(XmlFileIO& io, ProgressLog& log) {
  io.setStartProgressFun(log.Start());
  io.setSetPosFun(log.Position());
  io.SetEndProgressFun(log.End());
}

class Progress : public ::testing::Test {
 protected:
  ScratchFolder m_folder;
  ProgressLog m_log;
};

TEST_F(Progress, SavingSevenSections) {
  XmlFileIO io(m_folder.File("out.xml").c_str());
  Install(io, m_log);
  m_log.startResult = false;  // the result changes nothing
  io.save(SevenSections());
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {14, 28, 42, 57, 71, 85, 100, 114}, true));
}

TEST_F(Progress, SavingTwoLevels) {
  boost::shared_ptr<IChunk> root = newChunk("R");
  boost::shared_ptr<IChunk> a = newChunk("A");
  for (int i = 0; i < 3; ++i) a->addChild(newChunk("C"));
  root->addChild(a);
  root->addChild(newChunk("B"));
  XmlFileIO io(m_folder.File("out.xml").c_str());
  Install(io, m_log);
  io.save(root);
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {20, 40, 60, 80, 100, 120}, true));
}

TEST_F(Progress, SavingWithoutStartMakesNoPositionCalls) {
  XmlFileIO io(m_folder.File("out.xml").c_str());
  io.setSetPosFun(m_log.Position());
  io.SetEndProgressFun(m_log.End());
  io.save(SevenSections());
  EXPECT_EQ(m_log.calls, Calls("", {}, true));  // the end callback still runs
  EXPECT_TRUE(Exists(m_folder.File("out.xml")));
}

TEST_F(Progress, SavingChildlessRootWithStartDoesNothing) {
  XmlFileIO io(m_folder.File("out.xml").c_str());
  Install(io, m_log);
  boost::shared_ptr<IChunk> root = newChunk("R", "n");
  io.save(root);
  EXPECT_TRUE(m_log.calls.empty());
  EXPECT_FALSE(Exists(m_folder.File("out.xml")));
  // Without a start callback the same root is written.
  io.setStartProgressFun(StartProgressFun());
  io.save(root);
  EXPECT_TRUE(Exists(m_folder.File("out.xml")));
  EXPECT_EQ(m_log.calls, Calls("", {}, true));
}

TEST_F(Progress, ReadingAcrossRunsOnOneObject) {
  const std::string path = m_folder.File("seven.xml");
  {
    XmlFileIO writer(path.c_str());
    writer.save(SevenSections());
  }
  XmlFileIO io(path.c_str());
  Install(io, m_log);
  boost::shared_ptr<IChunk> root;
  io.read(root);
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {14, 28, 42, 57, 71, 85, 100, 114}, true));

  // Without a start callback the counters carry on: the old total 7 divides.
  m_log.calls.clear();
  io.setStartProgressFun(StartProgressFun());
  io.read(root);
  EXPECT_EQ(m_log.calls, Calls("", {128, 142, 157, 171, 185, 200, 214, 228}, true));

  // Cleared position and end slots stop their calls from the next run on.
  m_log.calls.clear();
  io.setSetPosFun(SetPosFun());
  io.SetEndProgressFun(EndProgressFun());
  io.read(root);
  EXPECT_TRUE(m_log.calls.empty());
  ASSERT_TRUE(root);
  EXPECT_EQ(root->numChild(), 7u);
}

TEST_F(Progress, ReadingWithoutStartOnNewObjectMakesNoPositionCalls) {
  const std::string path = m_folder.File("seven.xml");
  XmlFileIO(path.c_str()).save(SevenSections());
  XmlFileIO io(path.c_str());
  io.setSetPosFun(m_log.Position());
  boost::shared_ptr<IChunk> root;
  io.read(root);
  EXPECT_TRUE(m_log.calls.empty());  // the total is 0
  ASSERT_TRUE(root);
}

TEST_F(Progress, ReadingChildlessDocumentCallsStartAndEnd) {
  const std::string path = m_folder.File("one.xml");
  WriteBytes(path, "<R/>");
  XmlFileIO io(path.c_str());
  Install(io, m_log);
  boost::shared_ptr<IChunk> root;
  io.read(root);
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {}, true));
}

TEST_F(Progress, ReadingCountsLeftOutElementsInTheTotalOnly) {
  const std::string path = m_folder.File("drop.xml");
  // Total 7: the dropped element and its two children count, but are not visited.
  WriteBytes(path, "<R><A/><D Type=\"nope\"><x/><y/></D><B/><C/><E/></R>");
  XmlFileIO io(path.c_str());
  Install(io, m_log);
  boost::shared_ptr<IChunk> root;
  io.read(root);
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {14, 28, 42, 57, 71, 85}, true));
  ASSERT_TRUE(root);
  EXPECT_EQ(root->numChild(), 4u);
}

TEST_F(Progress, ThrowingStartCallbackStopsTheRun) {
  const std::string path = m_folder.File("seven.xml");
  XmlFileIO(path.c_str()).save(SevenSections());
  XmlFileIO io(path.c_str());
  Install(io, m_log);
  io.setStartProgressFun([](CString const&, int, int) -> bool { throw 42; });
  boost::shared_ptr<IChunk> root = newChunk("Old");
  EXPECT_THROW(io.read(root), int);
  EXPECT_EQ(root->label(), "Old");
  EXPECT_TRUE(m_log.calls.empty());
}

}  // namespace
