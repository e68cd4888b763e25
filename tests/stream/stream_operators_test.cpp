// The << and >> operators between chunks and values.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/stream/chunk_stream.h>

#include <string>

#include <gtest/gtest.h>

namespace {

class StreamOperators : public ::testing::Test {
 protected:
  void SetUp() override { CIoPubHelp::reset(); }
  void TearDown() override { CIoPubHelp::reset(); }

  static void Pending(const char* label, const char* name) {
    CIoPubHelp::h_StrLabel = label;
    CIoPubHelp::h_strName = name;
  }

  boost::shared_ptr<IChunk> root_ = newChunk("root");
};

TEST_F(StreamOperators, EachValueTypeMakesItsKind) {
  struct Case {
    boost::shared_ptr<IChunk> chunk;
    const char* tag;
    const char* text;
  };
  const TmpFloat2 f2{1, 2};
  const TmpFloat3 f3{1, 2, 3};
  const TmpFloat4 f4{1, 2, 3, 4};
  const TmpDouble2 d2{1.5, 2};
  const TmpDouble3 d3{1, 2.5, -3};
  const TmpDouble4 d4{1, 2, 3, 4};
  const Case cases[] = {
      {root_ << -5, "int", "-5"},
      {root_ << 4294967295u, "uint", "-1"},
      {root_ << 1.5f, "float", "1.500000"},
      {root_ << 1.5, "double", "1.500000"},
      {root_ << static_cast<__int64>(1LL << 40), "long64", "1099511627776"},
      {root_ << static_cast<unsigned __int64>(~0ULL), "ulong64", "-1"},
      {root_ << true, "bool", "true"},
      {root_ << CString("c"), "string", "c"},
      {root_ << "literal", "string", "literal"},
      {root_ << std::string("s"), "string", "s"},
      {root_ << std::wstring(L"w"), "string", "w"},
      {root_ << f2, "float2", "1.000000,2.000000"},
      {root_ << f3, "float3", "1.000000,2.000000,3.000000"},
      {root_ << f4, "float4", "1.000000,2.000000,3.000000,4.000000"},
      {root_ << d2, "double2", "1.500000,2.000000"},
      {root_ << d3, "double3", "1.000000,2.500000,-3.000000"},
      {root_ << d4, "double4", "1.000000,2.000000,3.000000,4.000000"},
  };
  ASSERT_EQ(root_->numChild(), sizeof cases / sizeof cases[0]);
  for (unsigned int i = 0; i < root_->numChild(); ++i) {
    EXPECT_EQ(root_->Child(i), cases[i].chunk);
    EXPECT_EQ(cases[i].chunk->type(), cases[i].tag);
    EXPECT_EQ(cases[i].chunk->getValueAsString(), cases[i].text) << cases[i].tag;
  }
}

TEST_F(StreamOperators, EveryWriteConsumesThePendingSlot) {
  Pending("Var", "Scale");
  boost::shared_ptr<IChunk> first = root_ << 2.5;
  EXPECT_EQ(first->label(), "Var");
  EXPECT_EQ(first->name(), "Scale");
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty());
  EXPECT_TRUE(CIoPubHelp::h_strName.IsEmpty());
  boost::shared_ptr<IChunk> second = root_ << 1;
  EXPECT_TRUE(second->label().IsEmpty());
  EXPECT_TRUE(second->name().IsEmpty());

  Pending("Lost", "lost");
  boost::shared_ptr<IChunk> orphan = boost::shared_ptr<IChunk>() << std::string("x");
  ASSERT_TRUE(orphan);
  EXPECT_EQ(orphan->label(), "Lost");
  EXPECT_STREQ(orphan->getStringValue(), "x");
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty());
  EXPECT_TRUE(CIoPubHelp::h_strName.IsEmpty());
  EXPECT_EQ(orphan.use_count(), 1);
  EXPECT_EQ(root_->numChild(), 2u);
}

TEST_F(StreamOperators, ChainedWritesNest) {
  boost::shared_ptr<IChunk> inner = (root_ << 1) << 2;
  ASSERT_EQ(root_->numChild(), 1u);
  boost::shared_ptr<IChunk> outer = root_->Child(0);
  EXPECT_EQ(outer->getI32Value(), 1);
  ASSERT_EQ(outer->numChild(), 1u);
  EXPECT_EQ(outer->Child(0), inner);
  EXPECT_EQ(inner->getI32Value(), 2);
}

TEST_F(StreamOperators, ReadsCopyBitsAndTexts) {
  int a = 0;
  int b = 0;
  boost::shared_ptr<IChunk> chunk = root_ << 42;
  EXPECT_EQ(chunk >> a >> b, chunk);
  EXPECT_EQ(a, 42);
  EXPECT_EQ(b, 42);
  CString text;
  chunk >> text;
  EXPECT_EQ(text, "42");

  boost::shared_ptr<IChunk> one = root_ << 1.0f;
  int bits = 0;
  float value = 0;
  unsigned int ubits = 0;
  one >> bits >> value >> ubits;
  EXPECT_EQ(bits, 1065353216);
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(ubits, 0x3F800000u);

  boost::shared_ptr<IChunk> half = root_ << 1.5;
  std::string narrow;
  std::wstring wide;
  __int64 raw = 0;
  half >> narrow >> wide >> raw;
  EXPECT_EQ(narrow, "1.500000");
  EXPECT_EQ(wide, L"1.500000");
  EXPECT_EQ(raw, 0x3FF8000000000000LL);

  bool flag = false;
  (root_ << true) >> flag;
  EXPECT_TRUE(flag);
  unsigned __int64 u64 = 0;
  (root_ << static_cast<__int64>(-1)) >> u64;
  EXPECT_EQ(u64, ~0ULL);
  double d = 0;
  (root_ << 2.25) >> d;
  EXPECT_EQ(d, 2.25);
}

TEST_F(StreamOperators, RecordsRoundTrip) {
  TmpFloat2 f2{};
  TmpFloat3 f3{};
  TmpFloat4 f4{};
  TmpDouble2 d2{};
  TmpDouble3 d3{};
  TmpDouble4 d4{};
  (root_ << TmpFloat4{1, 2, 3, 4}) >> f2 >> f3 >> f4;
  EXPECT_EQ(f2.y, 2.0f);
  EXPECT_EQ(f3.z, 3.0f);
  EXPECT_EQ(f4.w, 4.0f);
  (root_ << TmpDouble4{5, 6, 7, 8}) >> d2 >> d3 >> d4;
  EXPECT_EQ(d2.x, 5.0);
  EXPECT_EQ(d3.z, 7.0);
  EXPECT_EQ(d4.w, 8.0);
  TmpDouble3 copy{};
  copy = d3;
  EXPECT_EQ(copy.y, 6.0);
}

TEST_F(StreamOperators, TextsKeepBytesAndLoseUnrepresentableCharacters) {
  std::string bytes;
  (root_ << std::string("\xD5\xFD\x80\xFF")) >> bytes;
  EXPECT_EQ(bytes, "\xD5\xFD\x80\xFF");
  std::string narrow;
  std::wstring wide;
  (root_ << std::wstring(L"\x6B63\x5728\x0E01")) >> narrow >> wide;
  EXPECT_EQ(narrow, "\xD5\xFD\xD4\xDA?");
  EXPECT_EQ(wide, L"\x6B63\x5728?");
  (root_ << std::string("ab\0cd", 5)) >> narrow;
  EXPECT_EQ(narrow, "ab");
}

TEST_F(StreamOperators, ReadingAnEmptyChunk) {
  boost::shared_ptr<IChunk> none;
  int number = 7;
  CString text("kept");
  std::string narrow = "gone";
  std::wstring wide = L"gone";
  TmpFloat2 record{3, 4};
  EXPECT_FALSE(none >> number >> text >> narrow >> wide >> record);
  EXPECT_EQ(number, 7);
  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(narrow.empty());
  EXPECT_TRUE(wide.empty());
  EXPECT_EQ(record.x, 3.0f);
}

}  // namespace
