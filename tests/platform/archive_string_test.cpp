// The framework's string length prefix and the CString archive form: every
// width boundary, wide strings converted to code page 936, and damaged
// prefixes that must fail with endOfFile without allocating for their claim.
#include <corvane/platform/afx_archive.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "support/allocation_meter.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

std::string Text(const CString& text) { return std::string(text.GetString(), text.GetLength()); }

class ArchiveStringTest : public ::testing::Test {
 protected:
  Bytes Stored(const std::function<void(CArchive&)>& fill) {
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    fill(ar);
    ar.Close();  // the file writes through
    return ReadAll(path);
  }
  // Reads `bytes` through `read`: the archive cause raised, or -1.
  int Loaded(const Bytes& bytes, const std::function<void(CArchive&)>& read) {
    WriteAll(path, bytes);
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    return CaughtCause<CArchiveException>([&] { read(ar); });
  }
  ScratchDir dir;
  const std::string path = dir.Path("string.bin");
};

TEST_F(ArchiveStringTest, PrefixWidthFollowsTheLengthAndNarrowTextFollowsItsPrefix) {
  const std::pair<unsigned long long, Bytes> cases[] = {
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0xFFFFFFFF, ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF).bytes()}};
  for (const auto& c : cases) {
    int charSize = 0;
    EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, c.first, FALSE); }), c.second);
    Loaded(c.second, [&](CArchive& ar) { EXPECT_EQ(AfxReadStringLength(ar, charSize), c.first); });
    EXPECT_EQ(charSize, 1) << c.first;
    if (c.first > 0xFFFF) continue;
    // A text of that length: its bytes follow the prefix unchanged, GBK and a NUL among them.
    const std::string text = std::string("\xD6\xD0\0\xCE\xC4", 5) + std::string(c.first - 5, 'c');
    const Bytes stored =
        Stored([&](CArchive& ar) { ar << CString(text.data(), int(text.size())); });
    EXPECT_EQ(stored, ByteBuilder().Append(c.second).Text(text).bytes());
    CString back("old");
    EXPECT_EQ(Loaded(stored, [&](CArchive& ar) { ar >> back; }), -1);
    EXPECT_EQ(Text(back), text);
  }
  EXPECT_EQ(Stored([](CArchive& ar) { AfxWriteStringLength(ar, 255, TRUE); }),
            (Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}));  // wide: marked, then as narrow
}

TEST_F(ArchiveStringTest, WideTextIsConvertedAndShortTextsAndHugeClaimsFailCheaply) {
  ByteBuilder longWide;  // long enough for a word prefix and the piecewise reader
  longWide.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(40000);
  std::string longNarrow;
  for (int i = 0; i < 20000; ++i) longWide.U16('b').U16(0x4E2D), longNarrow += "b\xD6\xD0";
  // "中a文" as UTF-16LE (U+4E2D, 'a', U+6587); "é°" (U+00E9, U+00B0), double bytes in code
  // page 936 as well; then "A", U+0000, "B": a NUL is kept.
  const std::pair<Bytes, std::string> converted[] = {
      {{0xFF, 0xFE, 0xFF, 0x03, 0x2D, 0x4E, 0x61, 0x00, 0x87, 0x65}, "\xD6\xD0\x61\xCE\xC4"},
      {{0xFF, 0xFE, 0xFF, 0x02, 0xE9, 0x00, 0xB0, 0x00}, "\xA8\xA6\xA1\xE3"},
      {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00}, std::string("A\0B", 3)},
      {longWide.bytes(), longNarrow}};
  CString text;
  for (const auto& c : converted) {
    BYTE after = 0;
    Loaded(ByteBuilder().Append(c.first).U8(0x99).bytes(),
           [&](CArchive& ar) { ar >> text >> after; });
    EXPECT_EQ(Text(text), c.second);
    EXPECT_EQ(after, 0x99) << "exactly the text was consumed";
  }
  // Texts shorter than their prefix says, up to wide claims of 2^63 characters.
  const Bytes failing[] = {
      {0x05, 'a', 'b'},
      {0xFF, 0xFE, 0xFF, 0x02, 'a', 0},
      ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0x7FFFFFF0).Text("xyz").bytes(),
      ByteBuilder().U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(~0u).U64(1ull << 63).bytes(),
  };
  for (const Bytes& bytes : failing) {
    AllocationMeter meter;
    EXPECT_EQ(Loaded(bytes, [&](CArchive& ar) { ar >> text; }), CArchiveException::endOfFile);
    EXPECT_LT(meter.PeakAboveStart(), 512u * 1024u) << ::testing::PrintToString(bytes);
  }
}

}  // namespace
