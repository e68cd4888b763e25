// The chunk factories (one per IChunk constructor): the type tag and value
// text each makes; the name and label readers; emptying the pending strings.
#include <corvane/chunk/chunk_factory.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const CString L("L");
const CString N("N");

TEST(ChunkFactory, EachFactoryMakesItsTagAndValueTextAndTheReaders) {
  const struct {
    boost::shared_ptr<IChunk> chunk;
    const char* tag;
    const char* text;
  } cases[] = {
      // The digits of "%f": value_text_test.cpp.
      {newChunk(L, N, INT_MIN), "int", "-2147483648"},
      {newChunk(L, N, 4294967295u), "uint", "-1"},  // the bits printed as signed, as for ulong64
      {newChunk(L, N, false), "bool", "false"},
      {newChunk(L, N, -2.5), "double", "-2.500000"},
      {newChunk(L, N, 1.0, 2.0, 3.0, 4.5), "double4", "1.000000,2.000000,3.000000,4.500000"},
      {newChunk(L, N, CString("")), "string", ""},
      {newChunk(L, N, "literal"), "string", "literal"},   // a literal is text, not a bool
      {newChunk(L, N, L"\x6B63"), "string", "\xD5\xFD"},  // a wide literal is text too
      {newChunk(L, N, std::string("ab\0cd", 5)), "string", "ab"},
      {newChunk(L, N, CString("Mine"), CString("red")), "Mine", "red"},
      {newChunk(L, N), "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.chunk->type(), c.tag) << c.text;
    EXPECT_EQ(c.chunk->getValueAsString(), c.text) << c.tag;
    EXPECT_EQ(c.chunk->label(), "L");
    EXPECT_EQ(c.chunk->name(), "N");
    EXPECT_EQ(c.chunk->numChild(), 0u);
    EXPECT_TRUE(*c.text != '\0' || *c.tag != 's' || c.chunk->getStringValue() == nullptr);
  }
  const boost::shared_ptr<IChunk> labelOnly = newChunk("FILE_CONVERT");
  EXPECT_EQ(labelOnly->label(), "FILE_CONVERT");
  EXPECT_TRUE(labelOnly->name().IsEmpty());
  // The name and label readers, and emptying the pending strings.
  EXPECT_EQ(NameChun(boost::shared_ptr<IChunk>()), "");
  EXPECT_EQ(LabelChun(boost::shared_ptr<IChunk>()), "");
  EXPECT_EQ(NameChun(newChunk("lab", "nam")), "nam");
  EXPECT_EQ(LabelChun(newChunk("lab", "nam")), "lab");
  CIoPubHelp::h_StrLabel = "pending";
  CIoPubHelp::h_strName = "name";
  CIoPubHelp::reset();
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty());
  EXPECT_TRUE(CIoPubHelp::h_strName.IsEmpty());
}

}  // namespace
