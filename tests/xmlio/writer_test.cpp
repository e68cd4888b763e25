// The writer: how it consumes the tree, what a second save writes, labels
// that are not XML names, saves that fail or are interrupted (the old file
// survives), a million-deep chain, and the protected per-element steps.
#include <string>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>
#include <corvane/xmlio/xml_file_io.h>

#include "xmlio/xmlio_test_support.h"

namespace {

using xmlio_test::Exists;
using xmlio_test::Positions;
using xmlio_test::ProgressLog;
using xmlio_test::ReadBytes;
using xmlio_test::SaveStart;
using xmlio_test::ScratchFolder;

class Writer : public ::testing::Test {
 protected:
  ScratchFolder m_folder;
};

TEST_F(Writer, ConsumesTheTreeBelowTheRoot) {
  const std::string path = m_folder.File("out.xml");
  boost::shared_ptr<IChunk> root = newChunk("R", "top");
  boost::shared_ptr<IChunk> held = newChunk("Held");
  held->addChild(newChunk("Leaf", "l", 3));
  held->addChild(newChunk("Leaf2"));
  root->addChild(held);
  root->addChild(newChunk("Other", "o", 1.5));
  root->children().push_back(boost::shared_ptr<IChunk>());  // an empty entry is skipped
  root->addChild(newChunk("Last"));

  XmlFileIO io(path.c_str());
  ProgressLog log;
  io.setStartProgressFun(log.Start());
  io.setSetPosFun(log.Position());
  io.save(root);
  // Five chunks below the root: 20 .. 120, none for the empty entry.
  EXPECT_EQ(log.calls.size(), 7u);

  EXPECT_EQ(root->numChild(), 4u);
  for (unsigned int i = 0; i < root->numChild(); ++i) EXPECT_FALSE(root->Child(i)) << i;
  EXPECT_EQ(held->numChild(), 2u);  // the chunk the caller holds survives, emptied
  EXPECT_FALSE(held->Child(0));
  EXPECT_FALSE(held->Child(1));

  pugi::xml_document written;
  ASSERT_TRUE(written.load_file(path.c_str()));
  pugi::xml_node r = written.document_element();
  EXPECT_STREQ(r.attribute("Name").value(), "top");
  EXPECT_EQ(std::distance(r.begin(), r.end()), 3);
  EXPECT_STREQ(r.first_child().first_child().attribute("Value").value(), "3");

  // The second save writes the root alone; the total is the root's entry count.
  log.calls.clear();
  io.save(root);
  EXPECT_EQ(log.calls, (std::vector<std::string>{SaveStart(), "pos:25"}));
  pugi::xml_document again;
  ASSERT_TRUE(again.load_file(path.c_str()));
  EXPECT_STREQ(again.document_element().name(), "R");
  EXPECT_STREQ(again.document_element().attribute("Name").value(), "top");
  EXPECT_FALSE(again.document_element().first_child());
}

TEST_F(Writer, EmptyPathOrRootWritesNothing) {
  boost::shared_ptr<IChunk> root = newChunk("R");
  root->addChild(newChunk("A"));
  XmlFileIO io;
  ProgressLog log;
  io.setStartProgressFun(log.Start());
  io.SetEndProgressFun(log.End());
  io.save(root);
  EXPECT_TRUE(root->Child(0));  // untouched
  io.setPath(m_folder.File("out.xml").c_str());
  io.save(boost::shared_ptr<IChunk>());
  EXPECT_FALSE(Exists(m_folder.File("out.xml")));
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(Writer, LabelsThatAreNotNamesLoseTheirSubtreeButAreStillCounted) {
  const std::string path = m_folder.File("out.xml");
  boost::shared_ptr<IChunk> root = newChunk("R");
  boost::shared_ptr<IChunk> bad = newChunk("1bad", "x");
  bad->addChild(newChunk("Inside"));
  root->addChild(bad);
  root->addChild(newChunk("with space"));
  root->addChild(newChunk("Good"));
  XmlFileIO io(path.c_str());
  ProgressLog log;
  io.setStartProgressFun(log.Start());
  io.setSetPosFun(log.Position());
  io.save(root);
  EXPECT_EQ(log.calls.size(), 1u + 5u);
  EXPECT_FALSE(bad->Child(0));  // released all the same
  pugi::xml_document written;
  ASSERT_TRUE(written.load_file(path.c_str()));
  EXPECT_STREQ(written.document_element().first_child().name(), "Good");
  EXPECT_FALSE(written.document_element().first_child().next_sibling());
}

TEST_F(Writer, RootWithEmptyLabelCarriesNoData) {
  const std::string path = m_folder.File("out.xml");
  boost::shared_ptr<IChunk> root = newChunk("", "name");
  root->addChild(newChunk("A", "a", 1));
  XmlFileIO io(path.c_str());
  io.save(root);
  EXPECT_FALSE(root->Child(0));
  EXPECT_EQ(ReadBytes(path).find("A"), std::string::npos);
  boost::shared_ptr<IChunk> back = newChunk("Old");
  io.read(back);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->label(), "Old");
}

TEST_F(Writer, FailedOrInterruptedSaveKeepsTheOldFile) {
  const std::string path = m_folder.File("keep.xml");
  xmlio_test::WriteBytes(path, "<Old/>");
  boost::shared_ptr<IChunk> root = newChunk("R");
  for (int i = 0; i < 4; ++i) root->addChild(newChunk("C", "", i));

  XmlFileIO io(path.c_str());
  io.setStartProgressFun([](CString const&, int, int) { return true; });
  ProgressLog log;
  int seen = 0;
  io.setSetPosFun([&seen](int) {
    if (++seen == 3) throw std::runtime_error("cancelled");
  });
  io.SetEndProgressFun(log.End());
  EXPECT_THROW(io.save(root), std::runtime_error);
  EXPECT_EQ(ReadBytes(path), "<Old/>");
  EXPECT_TRUE(log.calls.empty());  // no end call
  EXPECT_FALSE(root->Child(0));    // written before the throw: consumed
  EXPECT_TRUE(root->Child(2));     // not reached

  XmlFileIO missingFolder(m_folder.File("no/such/folder/out.xml").c_str());
  missingFolder.SetEndProgressFun(log.End());
  missingFolder.save(root);
  EXPECT_FALSE(Exists(m_folder.File("no")));
  EXPECT_EQ(log.calls, std::vector<std::string>{"end"});  // the failure is not reported
}

TEST_F(Writer, MillionDeepChain) {
  const std::string path = m_folder.File("chain.xml");
  const int kDepth = 1000000;
  boost::shared_ptr<IChunk> root = newChunk("C");
  {
    boost::shared_ptr<IChunk> at = root;
    for (int i = 1; i < kDepth; ++i) {
      boost::shared_ptr<IChunk> next = newChunk("C");
      at->addChild(next);
      at = next;
    }
  }
  XmlFileIO io(path.c_str());
  ProgressLog log;
  io.setStartProgressFun(log.Start());
  int lastPosition = 0;
  io.setSetPosFun([&lastPosition](int position) { lastPosition = position; });
  io.save(root);
  EXPECT_EQ(lastPosition, 100);  // 1000000 * 100 / 999999
  EXPECT_FALSE(root->Child(0));

  const std::string bytes = ReadBytes(path);
  std::size_t opens = 0;
  for (std::size_t at = bytes.find("<C"); at != std::string::npos; at = bytes.find("<C", at + 2)) ++opens;
  EXPECT_EQ(opens, static_cast<std::size_t>(kDepth));

  boost::shared_ptr<IChunk> back = newChunk("Old");
  io.read(back);  // refused at the depth limit
  ASSERT_TRUE(back);
  EXPECT_EQ(back->label(), "Old");
}

// Reaches the protected per-element steps, as a derived class of a host may.
class ElementSteps : public XmlFileIO {
 public:
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
  EXPECT_EQ(back->label(), "Top");
  EXPECT_EQ(back->getI32Value(), 7);
  ASSERT_EQ(back->numChild(), 1u);
  EXPECT_EQ(back->Child(0)->label(), "att");
  EXPECT_EQ(back->Child(0)->name(), "kid");
}

}  // namespace
