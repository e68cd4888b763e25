// The << and >> operators between chunks and values.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/stream/chunk_stream.h>
#include <corvane/stream/xmlop.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class ChunkStream : public ::testing::Test {
 protected:
  void SetUp() override { CIoPubHelp::reset(); }
  void TearDown() override { CIoPubHelp::reset(); }
  boost::shared_ptr<IChunk> m_root = newChunk("root");
};

TEST_F(ChunkStream, EachValueTypeMakesItsKindAndReadsBackAsText) {
  const struct {
    boost::shared_ptr<IChunk> chunk;
    const char* tag;
    const char* text;
  } cases[] = {
      {m_root << -5, "int", "-5"},
      {m_root << 1.5, "double", "1.500000"},
      {m_root << static_cast<unsigned __int64>(~0ULL), "ulong64", "-1"},
      {m_root << true, "bool", "true"},
      {m_root << "literal", "string", "literal"},
      {m_root << L"w\x6B63", "string", "w\xD5\xFD"},  // a wide literal is text, not bool
      {m_root << TmpFloat2{1, 2}, "float2", "1.000000,2.000000"},
      {m_root << TmpDouble4{5, 6, 7, 8}, "double4", "5.000000,6.000000,7.000000,8.000000"},
  };
  ASSERT_EQ(m_root->numChild(), sizeof cases / sizeof cases[0]);
  for (unsigned int i = 0; i < m_root->numChild(); ++i) {
    EXPECT_EQ(m_root->Child(i), cases[i].chunk);
    EXPECT_EQ(cases[i].chunk->type(), cases[i].tag);
    CString text;
    std::wstring wide;
    cases[i].chunk >> text >> wide;
    EXPECT_EQ(text, cases[i].text) << cases[i].tag;
    EXPECT_EQ(wide, XmlOp::_a2w(cases[i].text)) << cases[i].tag;
  }
}

TEST_F(ChunkStream, ReadsCopyTheBitsOfTheChunksOwnValue) {
  TmpDouble3 d3{};  // the first three of four
  (m_root << TmpDouble4{5, 6, 7, 8}) >> d3;
  int bits = 0;
  float value = 0;
  __int64 raw = 0;
  unsigned __int64 u64 = 0;
  bool flag = false;
  (m_root << 1.0f) >> bits >> value;
  (m_root << 1.5) >> raw;
  (m_root << static_cast<__int64>(-1)) >> u64 >> flag;
  EXPECT_EQ(d3.x, 5);
  EXPECT_EQ(d3.z, 7);
  EXPECT_EQ(bits, 0x3F800000);
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(raw, 0x3FF8000000000000LL);
  EXPECT_EQ(u64, ~0ULL);
  EXPECT_TRUE(flag);
}

TEST_F(ChunkStream, WritesConsumeThePendingStringsAndChainedWritesNest) {
  CIoPubHelp::h_StrLabel = "Var";
  CIoPubHelp::h_strName = "Scale";
  boost::shared_ptr<IChunk> inner = (m_root << 1) << 2;
  ASSERT_EQ(m_root->numChild(), 1u);
  boost::shared_ptr<IChunk> outer = m_root->Child(0);
  EXPECT_EQ(outer->label(), "Var");
  EXPECT_EQ(outer->name(), "Scale");
  ASSERT_EQ(outer->numChild(), 1u);
  EXPECT_EQ(outer->Child(0), inner);

  CIoPubHelp::h_StrLabel = "Lost";
  CIoPubHelp::h_strName = "lost";
  boost::shared_ptr<IChunk> orphan = boost::shared_ptr<IChunk>() << std::string("x");
  ASSERT_TRUE(orphan);
  EXPECT_EQ(orphan->label(), "Lost");
  EXPECT_EQ(orphan->getValueAsString(), "x");
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty());
  EXPECT_TRUE(CIoPubHelp::h_strName.IsEmpty());
  EXPECT_EQ(orphan.use_count(), 1);
}

TEST_F(ChunkStream, ReadingAnEmptyChunk) {
  int number = 7;
  CString text("kept");
  std::string narrow = "gone";
  std::wstring wide = L"gone";
  TmpFloat2 record{3, 4};
  EXPECT_FALSE(boost::shared_ptr<IChunk>() >> number >> text >> narrow >> wide >> record);
  EXPECT_EQ(number, 7);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(record.x, 3);
  EXPECT_TRUE(narrow.empty());
  EXPECT_TRUE(wide.empty());
}

}  // namespace
