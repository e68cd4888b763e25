// The writer: progress, consuming the tree, a second save, labels that are
// not XML names, saves that write nothing, fail or are interrupted (the old
// file survives), a million-deep chain, and the protected per-element steps.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

class Writer : public ::testing::Test {
 protected:
  Writer() { m_log.InstallOn(m_io); }
  std::string Path() const { return m_folder.Path("out.xml"); }
  ScratchDir m_folder;
  XmlFileIO m_io{Path().c_str()};
  ProgressLog m_log;
};

TEST_F(Writer, ConsumesTheTreeAndASecondSaveWritesTheRootAlone) {
  boost::shared_ptr<IChunk> root = newChunk("R", "top");
  boost::shared_ptr<IChunk> held = newChunk("Held");
  for (int i = 0; i < 3; ++i) held->addChild(newChunk("Leaf", "l", i));
  root->addChild(held);
  root->addChild(newChunk("Last"));
  m_log.startResult = false;  // changes nothing
  m_io.save(root);
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {20, 40, 60, 80, 100, 120}, true));
  EXPECT_EQ(
      ReadText(Path()),
      "<?xml version=\"1.0\"?><R Name=\"top\"><Held><Leaf Name=\"l\" Type=\"int\" Value=\"0\"/>"
      "<Leaf Name=\"l\" Type=\"int\" Value=\"1\"/><Leaf Name=\"l\" Type=\"int\" Value=\"2\"/>"
      "</Held><Last/></R>");
  EXPECT_CONFORMING_XML(Path());
  EXPECT_FALSE(root->Child(1));
  ASSERT_EQ(held->numChild(), 3u);  // the chunk the caller holds survives, emptied
  EXPECT_FALSE(held->Child(2));

  // The second total is the root's entry count; empty entries make no element and no call.
  m_log.calls.clear();
  m_io.save(root);
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {50}, true));
  EXPECT_EQ(ReadText(Path()), "<?xml version=\"1.0\"?><R Name=\"top\"/>");
  EXPECT_CONFORMING_XML(Path());
}

TEST_F(Writer, SavesWithoutFileOrWithoutStartCallback) {
  boost::shared_ptr<IChunk> root = newChunk("R");
  root->addChild(newChunk("A"));
  m_io.setPath(CString());
  m_io.save(root);  // empty path: untouched
  EXPECT_TRUE(root->Child(0));
  m_io.setPath(Path().c_str());
  m_io.save(boost::shared_ptr<IChunk>());
  m_io.save(newChunk("R", "childless"));  // with a start callback: nothing at all
  EXPECT_FALSE(Exists(Path()));
  EXPECT_TRUE(m_log.calls.empty());
  // Without a start callback: no position calls, but the end call and the file.
  m_io.setStartProgressFun(StartProgressFun());
  m_io.save(root);
  EXPECT_EQ(m_log.calls, Calls("", {}, true));
  EXPECT_EQ(ReadText(Path()), "<?xml version=\"1.0\"?><R><A/></R>");
  EXPECT_CONFORMING_XML(Path());
}

TEST_F(Writer, LabelsThatAreNotNamesLoseTheirSubtreeButAreStillCounted) {
  boost::shared_ptr<IChunk> root = newChunk("R");
  boost::shared_ptr<IChunk> bad = newChunk("1bad", "x");
  bad->addChild(newChunk("Inside"));
  root->addChild(bad);
  boost::shared_ptr<IChunk> good = newChunk("Good");
  good->addChild(newChunk("with space"));  // Good is left without children
  root->addChild(good);
  m_io.save(root);
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {25, 50, 75, 100, 125}, true));
  EXPECT_FALSE(bad->Child(0));  // released all the same
  EXPECT_EQ(ReadText(Path()), "<?xml version=\"1.0\"?><R><Good/></R>");
  EXPECT_CONFORMING_XML(Path());
}

TEST_F(Writer, FailedOrInterruptedSaveKeepsTheOldFile) {
  WriteText(Path(), "<Old/>");
  boost::shared_ptr<IChunk> root = newChunk("R");
  for (int i = 0; i < 4; ++i) root->addChild(newChunk("C", "", i));
  m_io.setSetPosFun([](int position) {
    if (position == 75) throw std::runtime_error("cancelled");
  });
  EXPECT_THROW(m_io.save(root), std::runtime_error);
  EXPECT_EQ(ReadText(Path()), "<Old/>");
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {}, false));  // no end call
  EXPECT_FALSE(root->Child(0));                           // written before the throw: consumed
  EXPECT_TRUE(root->Child(2));                            // not reached

  m_log.calls.clear();
  m_io.setPath(m_folder.Path("no/such/folder/out.xml").c_str());
  m_io.setStartProgressFun(StartProgressFun());
  m_io.save(root);
  EXPECT_FALSE(Exists(m_folder.Path("no")));
  EXPECT_FALSE(root->Child(2));                 // consumed all the same
  EXPECT_EQ(m_log.calls, Calls("", {}, true));  // the failure is not reported
}

TEST_F(Writer, MillionDeepChainIsWrittenToTheDepthReadersAccept) {
  const int kDepth = 1000000;
  boost::shared_ptr<IChunk> root = newChunk("C"), at = root;
  for (int i = 1; i < kDepth; ++i, at = at->Child(0)) at->addChild(newChunk("C"));
  at.reset();
  int lastPosition = 0;
  m_io.setSetPosFun([&lastPosition](int position) { lastPosition = position; });
  m_io.save(root);
  EXPECT_EQ(lastPosition, 100);  // 1000000 * 100 / 999999: every chunk is visited
  EXPECT_FALSE(root->Child(0));
  // Only the 256 levels a reader accepts are written: the declaration, "<C>"
  // and "</C>" for the first 255, "<C/>".
  EXPECT_EQ(ReadText(Path()).size(), 21u + 255u * 7u + 4u);
  EXPECT_CONFORMING_XML(Path());
}

// Reaches the protected per-element steps, as a derived class of a host may.
struct ElementSteps : XmlFileIO {
  using XmlFileIO::read;
  using XmlFileIO::save;
};

TEST_F(Writer, ProtectedStepsWorkOnWrappers) {
  DomXml::CXml document;
  ASSERT_TRUE(document.Create("Top"));
  boost::shared_ptr<IChunk> chunk = newChunk("Top", "t", 7);
  chunk->addChild(newChunk("", "kid"));
  ElementSteps steps;
  steps.save(chunk, document.GetRoot());
  EXPECT_FALSE(chunk->Child(0));
  boost::shared_ptr<IChunk> back;
  steps.read(back, document.GetRoot());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->getI32Value(), 7);
  ASSERT_EQ(back->numChild(), 1u);
  EXPECT_EQ(back->Child(0)->label(), "att");
  EXPECT_EQ(back->Child(0)->name(), "kid");
}

}  // namespace
