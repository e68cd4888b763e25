// The reader end to end on hand-written files: which elements become chunks or
// are left out with their subtrees, what the caller's pointer holds afterwards
// (untouched, a new root, or empty), and the progress of reading.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <string>

#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

class ReaderRules : public ::testing::Test {
 protected:
  ReaderRules() { m_log.InstallOn(m_io); }
  // Reads `xml` as a whole file, always through the same object, into a
  // pointer holding a sentinel chunk.
  boost::shared_ptr<IChunk> Read(const std::string& xml) {
    WriteText(m_path, xml);
    boost::shared_ptr<IChunk> root = newChunk("Sentinel");
    m_io.read(root);
    return root;
  }
  ScratchDir m_folder;
  const std::string m_path = m_folder.Path("input.xml");
  XmlFileIO m_io{m_path.c_str()};
  ProgressLog m_log;
};

TEST_F(ReaderRules, ElementsToChunks) {
  struct Row {
    const char* element;  // its tag is unique, so the chunk is found by label
    const char* type;     // nullptr: left out with its subtree
    const char* valueText;
  };
  const Row rows[] = {
      {"<A/>", "", ""},
      {"<B Name=\"n\"/>", "", ""},
      {"<C Value=\"v\" Name=\"m\"/>", "", ""},  // a value without a type is dropped
      {"<D Type=\"INT\" Value=\"5\"/>", "int", "5"},
      {"<F Type=\"bool\" Value=\"1\"/>", "bool", "false"},  // only "true" is true
      {"<G Type=\"uint\" Value=\"-1\"/>", "uint", "-1"},
      {"<H Type=\"String\"/>", "string", ""},
      {"<I Type=\"double2\" Value=\"1.5|2\"/>", "double2", "1.500000,2.000000"},
      {"<J Type=\"double2\" Value=\"1.5, 2\"/>", "double2",
       "1.500000,0.000000"},  // blank-led token: 0
      {"<M Type=\"color\"><A/><B Type=\"int\" Value=\"1\"/></M>", nullptr, ""},
      {"<O Type=\"int\" Value=\" 5\"/>", nullptr, ""},
      {"<T Type=\"double2\" Value=\"1.5\xEF\xBC\x8C"
       "2\"/>",
       nullptr, ""},     // full-width comma: 3 tokens
      {"<U/>", "", ""},  // read after the left-out siblings
      // Unknown attributes, text, comments and processing instructions are ignored.
      {"<X Extra=\"1\" Name=\"a\" Type=\"int\" Value=\"7\" Other=\"q\">words<!-- c --><Y/><?pi d?> "
       "more</X>",
       "int", "7"},
  };
  std::string body;
  for (const Row& row : rows) body += row.element;
  boost::shared_ptr<IChunk> root =
      Read("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- header -->\n<R>\n  text <?pi data?>" +
           body + "\n</R>\n");
  ASSERT_TRUE(root);
  unsigned int kept = 0;
  for (const Row& row : rows) {
    const std::string label(row.element + 1, 1);
    boost::shared_ptr<IChunk> chunk = root->ChildByLabel(label.c_str());
    if (row.type == nullptr) {
      EXPECT_FALSE(chunk) << row.element;
      continue;
    }
    ASSERT_TRUE(chunk) << row.element;
    EXPECT_EQ(root->Child(kept++), chunk) << row.element << " out of document order";
    EXPECT_EQ(chunk->type(), row.type) << row.element;
    EXPECT_EQ(chunk->type().IsEmpty(), *row.type == '\0') << row.element;
    EXPECT_EQ(chunk->getValueAsString(), row.valueText) << row.element;
  }
  EXPECT_EQ(root->numChild(), kept);
  EXPECT_EQ(root->ChildByLabel("C")->name(), "m");
  EXPECT_EQ(root->ChildByLabel("G")->getU32Value(), 4294967295u);
  EXPECT_EQ(root->ChildByLabel("X")->name(), "a");
  ASSERT_EQ(root->ChildByLabel("X")->numChild(), 1u);
  EXPECT_EQ(root->ChildByLabel("X")->Child(0)->label(), "Y");
}

TEST_F(ReaderRules, CallersPointerOutcomes) {
  boost::shared_ptr<IChunk> root = Read("<R/>");  // a new root replaces the old tree
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "R");
  // The document element left out: the pointer comes back empty.
  EXPECT_FALSE(Read("<R Type=\"int\" Value=\"1.5\"><A/></R>"));
  EXPECT_FALSE(Read("<R Type=\"matrix\"/>"));
  // Not well-formed, no document element, or a DTD: untouched.
  for (const std::string bad :
       {"<R><A></R>", "", "<!DOCTYPE R [<!ENTITY e \"x\">]><R Name=\"&e;\"/>"}) {
    boost::shared_ptr<IChunk> untouched = Read(bad);
    ASSERT_TRUE(untouched) << bad;
    EXPECT_EQ(untouched->label(), "Sentinel") << bad;
  }
  // A missing file or an empty path: untouched, and no progress call.
  m_log.calls.clear();
  m_io.setPath(m_folder.Path("absent.xml").c_str());
  m_io.read(root);
  m_io.setPath(CString());
  m_io.read(root);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "R");
  EXPECT_TRUE(m_log.calls.empty());
}

TEST_F(ReaderRules, ProgressAcrossRunsOnOneObject) {
  boost::shared_ptr<IChunk> root = Read("<R><A/><B/><C/><D/><E/><F/><G/></R>");
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {14, 28, 42, 57, 71, 85, 100, 114}, true));
  // Without a start callback the counters carry on: the old total 7 divides.
  m_log.calls.clear();
  m_io.setStartProgressFun(StartProgressFun());
  m_io.read(root);
  EXPECT_EQ(m_log.calls, Calls("", {128, 142, 157, 171, 185, 200, 214, 228}, true));
  // Cleared position and end slots stop their calls from the next run on.
  m_log.calls.clear();
  m_io.setSetPosFun(SetPosFun());
  m_io.SetEndProgressFun(EndProgressFun());
  m_io.read(root);
  EXPECT_TRUE(m_log.calls.empty());
  // A new object without a start callback has the total 0: no position calls.
  XmlFileIO fresh(m_path.c_str());
  fresh.setSetPosFun(m_log.Position());
  fresh.read(root);
  EXPECT_TRUE(m_log.calls.empty());
  ASSERT_TRUE(root);
  EXPECT_EQ(root->numChild(), 7u);
  // A throwing start callback stops the run before anything is read.
  fresh.setStartProgressFun([](CString const&, int, int) -> bool { throw 42; });
  boost::shared_ptr<IChunk> before = root;
  EXPECT_THROW(fresh.read(root), int);
  EXPECT_EQ(root, before);
  EXPECT_TRUE(m_log.calls.empty());
}

TEST_F(ReaderRules, ProgressTotalCountsLeftOutElementsThatAreNotVisited) {
  Read("<R><A/><D Type=\"nope\"><x/><y/></D><B/><C/><E/></R>");
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {14, 28, 42, 57, 71, 85}, true));
  m_log.calls.clear();
  Read("<R/>");  // total 0: no position call
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {}, true));
}

}  // namespace
