// The reader end to end on hand-written files: which elements become chunks,
// which are left out with their subtrees, and what the caller's pointer holds
// afterwards (untouched, a new root, or empty), also for hostile files.
#include <string>

#include <gtest/gtest.h>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/xml_file_io.h>

#include "xmlio/xmlio_test_support.h"

namespace {

using xmlio_test::ScratchFolder;
using xmlio_test::WriteBytes;

class ReaderRules : public ::testing::Test {
 protected:
  // Reads `xml` as a whole file into a fresh pointer.
  boost::shared_ptr<IChunk> Read(const std::string& xml) {
    const std::string path = m_folder.File("input.xml");
    WriteBytes(path, xml);
    XmlFileIO io(path.c_str());
    boost::shared_ptr<IChunk> root = newChunk("Sentinel");
    io.read(root);
    return root;
  }
  // Reads a document element R holding `body`.
  boost::shared_ptr<IChunk> ReadBody(const std::string& body) {
    return Read("<?xml version=\"1.0\"?><R>" + body + "</R>");
  }

  ScratchFolder m_folder;
};

TEST_F(ReaderRules, ElementKindsByNameAndType) {
  boost::shared_ptr<IChunk> root = ReadBody(
      "<A/>"                               // label only
      "<B Name=\"n\"/>"                    // label and name
      "<C Value=\"v\" Name=\"m\"/>"        // a value without a type is dropped
      "<D Type=\"INT\" Value=\"5\"/>"      // tag case does not matter
      "<E Type=\"bool\" Value=\"TRUE\"/>"  // only "true" is true
      "<F Type=\"bool\" Value=\"1\"/>"
      "<G Type=\"uint\" Value=\"-1\"/>"
      "<H Type=\"String\"/>");
  ASSERT_TRUE(root);
  ASSERT_EQ(root->numChild(), 8u);
  EXPECT_EQ(root->Child(0)->label(), "A");
  EXPECT_TRUE(root->Child(0)->name().IsEmpty());
  EXPECT_EQ(root->Child(0)->valueKind(), IChunk::kNoValue);
  EXPECT_EQ(root->Child(1)->name(), "n");
  EXPECT_EQ(root->Child(1)->valueKind(), IChunk::kNoValue);
  EXPECT_EQ(root->Child(2)->name(), "m");
  EXPECT_EQ(root->Child(2)->valueKind(), IChunk::kNoValue);
  EXPECT_TRUE(root->Child(2)->getValueAsString().IsEmpty());
  EXPECT_EQ(root->Child(3)->type(), "int");
  EXPECT_EQ(root->Child(3)->getI32Value(), 5);
  EXPECT_FALSE(root->Child(4)->getBoolValue());
  EXPECT_FALSE(root->Child(5)->getBoolValue());
  EXPECT_EQ(root->Child(6)->getU32Value(), 4294967295u);
  EXPECT_EQ(root->Child(7)->type(), "string");
  EXPECT_EQ(root->Child(7)->getValueAsString(), "");
}

TEST_F(ReaderRules, ElementsLeftOutWithTheirSubtrees) {
  boost::shared_ptr<IChunk> root = ReadBody(
      "<Keep1/>"
      "<Drop Type=\"color\"><Inner/><Inner2 Type=\"int\" Value=\"1\"/></Drop>"
      "<Keep2/>"
      "<Drop Type=\"double3\" Value=\"1,2\"><Inner/></Drop>"
      "<Drop Type=\"int\" Value=\" 5\"/>"
      "<Drop Type=\"int\" Value=\"5.0\"/>"
      "<Drop Type=\"int\" Value=\"\"/>"
      "<Drop Type=\"int\" Value=\"4294967296\"/>"
      "<Drop Type=\"double2\" Value=\"1.5\xEF\xBC\x8C" "2\"/>"  // full-width comma: three tokens
      "<Keep3/>");
  ASSERT_TRUE(root);
  ASSERT_EQ(root->numChild(), 3u);
  EXPECT_EQ(root->Child(0)->label(), "Keep1");
  EXPECT_EQ(root->Child(1)->label(), "Keep2");
  EXPECT_EQ(root->Child(2)->label(), "Keep3");
}

TEST_F(ReaderRules, VectorTokens) {
  boost::shared_ptr<IChunk> root = ReadBody(
      "<V Type=\"double2\" Value=\"1.5|2\"/>"
      "<V Type=\"double2\" Value=\"1.5, 2\"/>"  // a token starting with a blank gives 0
      "<V Type=\"float3\" Value=\"1,x,3\"/>"
      "<V Type=\"float3\" Value=\"1,2,\"/>");
  ASSERT_TRUE(root);
  ASSERT_EQ(root->numChild(), 4u);
  EXPECT_DOUBLE_EQ(root->Child(0)->getF64Value2(0), 1.5);
  EXPECT_DOUBLE_EQ(root->Child(0)->getF64Value2(1), 2.0);
  EXPECT_DOUBLE_EQ(root->Child(1)->getF64Value2(0), 1.5);
  EXPECT_DOUBLE_EQ(root->Child(1)->getF64Value2(1), 0.0);
  EXPECT_FLOAT_EQ(root->Child(2)->getF32Value3(0), 1.0f);
  EXPECT_FLOAT_EQ(root->Child(2)->getF32Value3(1), 0.0f);
  EXPECT_FLOAT_EQ(root->Child(2)->getF32Value3(2), 3.0f);
  EXPECT_FLOAT_EQ(root->Child(3)->getF32Value3(1), 2.0f);
  EXPECT_FLOAT_EQ(root->Child(3)->getF32Value3(2), 0.0f);
}

TEST_F(ReaderRules, NoiseIsIgnored) {
  boost::shared_ptr<IChunk> plain = ReadBody("<X Name=\"a\" Type=\"int\" Value=\"7\"><Y/></X>");
  boost::shared_ptr<IChunk> noisy = Read(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- header -->\n<R>\n  text\n"
      "  <?pi data?><X Extra=\"1\" Name=\"a\" Type=\"int\" Value=\"7\" Other=\"q\">"
      "words<!-- c --><Y/> more</X>\n</R>\n");
  ASSERT_TRUE(plain);
  ASSERT_TRUE(noisy);
  ASSERT_EQ(noisy->numChild(), 1u);
  boost::shared_ptr<IChunk> x = noisy->Child(0);
  EXPECT_EQ(x->name(), plain->Child(0)->name());
  EXPECT_EQ(x->getI32Value(), 7);
  ASSERT_EQ(x->numChild(), 1u);
  EXPECT_EQ(x->Child(0)->label(), "Y");
}

TEST_F(ReaderRules, CallersPointerOutcomes) {
  // A new root replaces the old tree.
  boost::shared_ptr<IChunk> root = ReadBody("");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "R");
  // The document element left out: the pointer comes back empty.
  EXPECT_FALSE(Read("<R Type=\"int\" Value=\"1.5\"><A/></R>"));
  EXPECT_FALSE(Read("<R Type=\"matrix\"/>"));
  // Not well-formed, no document element, or a DTD: untouched.
  for (const std::string bad : {"<R><A></R>", "", "<?xml version=\"1.0\"?>",
                                "<!DOCTYPE R [<!ENTITY e \"x\">]><R Name=\"&e;\"/>", "<R/><S/>"}) {
    boost::shared_ptr<IChunk> untouched = Read(bad);
    ASSERT_TRUE(untouched) << bad;
    EXPECT_EQ(untouched->label(), "Sentinel") << bad;
  }
}

TEST_F(ReaderRules, MissingFileOrEmptyPathLeavesPointerAndCallsNothing) {
  xmlio_test::ProgressLog log;
  XmlFileIO io(m_folder.File("absent.xml").c_str());
  io.setStartProgressFun(log.Start());
  io.setSetPosFun(log.Position());
  io.SetEndProgressFun(log.End());
  boost::shared_ptr<IChunk> root = newChunk("Old");
  io.read(root);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "Old");
  io.setPath(CString());
  io.read(root);
  EXPECT_EQ(root->label(), "Old");
  EXPECT_TRUE(log.calls.empty());
}

}  // namespace
