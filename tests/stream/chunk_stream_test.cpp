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
      {m_root << 4294967295u, "uint", "-1"},
      {m_root << 1.5f, "float", "1.500000"},
      {m_root << 1.5, "double", "1.500000"},
      {m_root << static_cast<__int64>(1LL << 40), "long64", "1099511627776"},
      {m_root << static_cast<unsigned __int64>(~0ULL), "ulong64", "-1"},
      {m_root << true, "bool", "true"},
      {m_root << CString("c"), "string", "c"},
      {m_root << "literal", "string", "literal"},
      {m_root << std::string("s"), "string", "s"},
      {m_root << std::wstring(L"w"), "string", "w"},
      {m_root << L"w\x6B63", "string", "w\xD5\xFD"},  // a wide literal is text, not bool
      {m_root << TmpFloat2{1, 2}, "float2", "1.000000,2.000000"},
      {m_root << TmpFloat3{1, 2, 3}, "float3", "1.000000,2.000000,3.000000"},
      {m_root << TmpFloat4{1, 2, 3, 4}, "float4", "1.000000,2.000000,3.000000,4.000000"},
      {m_root << TmpDouble2{1.5, 2}, "double2", "1.500000,2.000000"},
      {m_root << TmpDouble3{1, 2.5, -3}, "double3", "1.000000,2.500000,-3.000000"},
      {m_root << TmpDouble4{5, 6, 7, 8}, "double4", "5.000000,6.000000,7.000000,8.000000"},
  };
  ASSERT_EQ(m_root->numChild(), sizeof cases / sizeof cases[0]);
  for (unsigned int i = 0; i < m_root->numChild(); ++i) {
    EXPECT_EQ(m_root->Child(i), cases[i].chunk);
    EXPECT_EQ(cases[i].chunk->type(), cases[i].tag);
    CString text;
    std::string narrow;
    std::wstring wide;
    cases[i].chunk >> text >> narrow >> wide;
    EXPECT_EQ(text, cases[i].text) << cases[i].tag;
    EXPECT_EQ(narrow, cases[i].text) << cases[i].tag;
    EXPECT_EQ(wide, XmlOp::_a2w(cases[i].text)) << cases[i].tag;
  }
}

TEST_F(ChunkStream, ReadsCopyTheBitsOfTheChunksOwnValue) {
  TmpFloat2 f2{};
  TmpFloat3 f3{};
  TmpFloat4 f4{};
  (m_root << TmpFloat4{1, 2, 3, 4}) >> f2 >> f3 >> f4;
  EXPECT_TRUE(f2.y == 2 && f3.z == 3 && f4.w == 4);
  TmpDouble2 d2{};
  TmpDouble3 d3{};
  TmpDouble4 d4{};
  (m_root << TmpDouble4{5, 6, 7, 8}) >> d2 >> d3 >> d4;
  EXPECT_TRUE(d2.x == 5 && d3.z == 7 && d4.w == 8);
  int bits = 0;
  float value = 0;
  unsigned int ubits = 0;
  __int64 raw = 0;
  double d = 0;
  unsigned __int64 u64 = 0;
  bool flag = false;
  (m_root << 1.0f) >> bits >> value >> ubits;
  (m_root << 1.5) >> raw >> d;
  (m_root << static_cast<__int64>(-1)) >> u64 >> flag;
  EXPECT_TRUE(bits == 0x3F800000 && value == 1.0f && ubits == 0x3F800000u);
  EXPECT_TRUE(raw == 0x3FF8000000000000LL && d == 1.5 && u64 == ~0ULL && flag);
}

TEST_F(ChunkStream, WritesConsumeThePendingStringsAndChainedWritesNest) {
  CIoPubHelp::h_StrLabel = "Var";
  CIoPubHelp::h_strName = "Scale";
  boost::shared_ptr<IChunk> inner = (m_root << 1) << 2;
  ASSERT_EQ(m_root->numChild(), 1u);
  boost::shared_ptr<IChunk> outer = m_root->Child(0);
  EXPECT_TRUE(outer->label() == "Var" && outer->name() == "Scale");
  EXPECT_TRUE(inner->label().IsEmpty() && inner->name().IsEmpty());
  ASSERT_EQ(outer->numChild(), 1u);
  EXPECT_EQ(outer->Child(0), inner);
  EXPECT_EQ(inner->getI32Value(), 2);

  CIoPubHelp::h_StrLabel = "Lost";
  CIoPubHelp::h_strName = "lost";
  boost::shared_ptr<IChunk> orphan = boost::shared_ptr<IChunk>() << std::string("x");
  ASSERT_TRUE(orphan);
  EXPECT_TRUE(orphan->label() == "Lost" && orphan->getValueAsString() == "x");
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty() && CIoPubHelp::h_strName.IsEmpty());
  EXPECT_EQ(orphan.use_count(), 1);
}

TEST_F(ChunkStream, ReadingAnEmptyChunk) {
  int number = 7;
  CString text("kept");
  std::string narrow = "gone";
  std::wstring wide = L"gone";
  TmpFloat2 record{3, 4};
  EXPECT_FALSE(boost::shared_ptr<IChunk>() >> number >> text >> narrow >> wide >> record);
  EXPECT_TRUE(number == 7 && text == "kept" && record.x == 3);
  EXPECT_TRUE(narrow.empty() && wide.empty());
}

}  // namespace
