// The factories, the name and label readers and the pending slot's reset.
#include <corvane/chunk/chunk_factory.h>

#include <string>

#include <gtest/gtest.h>

namespace {

const CString L("L");
const CString N("N");

TEST(Factories, EachOverloadMakesItsKind) {
  struct Case {
    boost::shared_ptr<IChunk> chunk;
    const char* tag;
    IChunk::ValueKind kind;
  };
  const Case cases[] = {
      {newChunk(L, N, 1), "int", IChunk::kInt},
      {newChunk(L, N, 1u), "uint", IChunk::kUInt},
      {newChunk(L, N, 1.0f), "float", IChunk::kFloat},
      {newChunk(L, N, static_cast<__int64>(1)), "long64", IChunk::kLong64},
      {newChunk(L, N, static_cast<unsigned __int64>(1)), "ulong64", IChunk::kULong64},
      {newChunk(L, N, 1.0), "double", IChunk::kDouble},
      {newChunk(L, N, true), "bool", IChunk::kBool},
      {newChunk(L, N, 1.0f, 2.0f), "float2", IChunk::kFloat2},
      {newChunk(L, N, 1.0f, 2.0f, 3.0f), "float3", IChunk::kFloat3},
      {newChunk(L, N, 1.0f, 2.0f, 3.0f, 4.0f), "float4", IChunk::kFloat4},
      {newChunk(L, N, 1.0, 2.0), "double2", IChunk::kDouble2},
      {newChunk(L, N, 1.0, 2.0, 3.0), "double3", IChunk::kDouble3},
      {newChunk(L, N, 1.0, 2.0, 3.0, 4.0), "double4", IChunk::kDouble4},
      {newChunk(L, N, CString("t")), "string", IChunk::kString},
      {newChunk(L, N, "t"), "string", IChunk::kString},
      {newChunk(L, N, std::string("t")), "string", IChunk::kString},
      {newChunk(L, N, std::wstring(L"t")), "string", IChunk::kString},
      {newChunk(L, N, CString("Mine"), CString("t")), "Mine", IChunk::kCustomText},
      {newChunk(L, N), "", IChunk::kNoValue},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.chunk->type(), c.tag);
    EXPECT_EQ(c.chunk->valueKind(), c.kind) << c.tag;
    EXPECT_EQ(c.chunk->label(), "L") << c.tag;
    EXPECT_EQ(c.chunk->name(), "N") << c.tag;
    EXPECT_EQ(c.chunk->numChild(), 0u) << c.tag;
  }
  EXPECT_EQ(cases[12].chunk->getF64Value4(3), 4.0);
  EXPECT_STREQ(cases[15].chunk->getStringValue(), "t");
}

TEST(Factories, LabelOnly) {
  boost::shared_ptr<IChunk> root = newChunk("FILE_CONVERT");
  EXPECT_EQ(root->label(), "FILE_CONVERT");
  EXPECT_TRUE(root->name().IsEmpty());
  EXPECT_EQ(root->valueKind(), IChunk::kNoValue);
}

TEST(Factories, StandardStringsAreConverted) {
  EXPECT_EQ(newChunk(L, N, std::string())->getStringValue(), nullptr);
  EXPECT_STREQ(newChunk(L, N, std::string("\xD5\xFD\xD4\xDA"))->getStringValue(),
               "\xD5\xFD\xD4\xDA");
  EXPECT_STREQ(newChunk(L, N, std::string("ab\0cd", 5))->getStringValue(), "ab");
  EXPECT_STREQ(newChunk(L, N, std::wstring(L"\x6B63\x5728"))->getStringValue(),
               "\xD5\xFD\xD4\xDA");
  EXPECT_STREQ(newChunk(L, N, std::wstring(L"a\x0E01z"))->getStringValue(), "a?z");
  EXPECT_EQ(newChunk(L, N, std::wstring(L"\0x", 2))->getStringValue(), nullptr);
}

TEST(Factories, NameAndLabelOfAnEmptyPointer) {
  EXPECT_EQ(NameChun(boost::shared_ptr<IChunk>()), "");
  EXPECT_EQ(LabelChun(boost::shared_ptr<IChunk>()), "");
  EXPECT_EQ(NameChun(newChunk("lab", "nam")), "nam");
  EXPECT_EQ(LabelChun(newChunk("lab", "nam")), "lab");
}

TEST(Factories, ResetEmptiesThePendingSlot) {
  CIoPubHelp::h_StrLabel = "pending";
  CIoPubHelp::h_strName = "name";
  CIoPubHelp::reset();
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty());
  EXPECT_TRUE(CIoPubHelp::h_strName.IsEmpty());
  CIoPubHelp::reset();
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty());
  CIoPubHelp helper;
  CIoPubHelp other;
  EXPECT_EQ(&(helper = other), &helper);
}

}  // namespace
