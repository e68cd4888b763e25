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
    {
      CFile file;
      EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
      CArchive ar(&file, CArchive::store);
      fill(ar);
    }
    return ReadAll(path);
  }
  void Loaded(const Bytes& bytes, const std::function<void(CArchive&)>& read) {
    WriteAll(path, bytes);
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    read(ar);
  }
  ScratchDir dir;
  const std::string path = dir.Path("string.bin");
};

TEST_F(ArchiveStringTest, PrefixWidthFollowsTheLengthAndNarrowTextFollowsItsPrefix) {
  const ByteBuilder qword = ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF);
  const struct {
    unsigned long long length;
    Bytes prefix;
  } cases[] = {{0, {0x00}},
               {254, {0xFE}},
               {255, {0xFF, 0xFF, 0x00}},
               {0xFFFD, {0xFF, 0xFD, 0xFF}},
               {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
               {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
               {0xFFFFFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}},
               {0xFFFFFFFF, ByteBuilder(qword).U64(0xFFFFFFFF).bytes()},
               {0x123456789ull, ByteBuilder(qword).U64(0x123456789ull).bytes()}};
  for (const auto& c : cases) {
    const unsigned long long length = c.length;  // named for the lambdas
    const Bytes& prefix = c.prefix;
    const Bytes wide = ByteBuilder().U8(0xFF).U16(0xFFFE).Append(prefix).bytes();
    for (const BOOL unicode : {FALSE, TRUE}) {
      SCOPED_TRACE(::testing::Message() << "length " << length << (unicode ? " wide" : ""));
      EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, length, unicode); }),
                unicode ? wide : prefix);
      Loaded(unicode ? wide : prefix, [&](CArchive& ar) {
        int charSize = 0;
        EXPECT_EQ(AfxReadStringLength(ar, charSize), length);
        EXPECT_EQ(charSize, unicode ? 2 : 1);
      });
    }
    if (length > 0xFFFF) continue;
    // A text of that length: its bytes follow the prefix unchanged, GBK and a NUL among them.
    std::string text(length, 'c');
    if (length >= 5) text.replace(0, 5, "\xD6\xD0\0\xCE\xC4", 5);
    const Bytes stored = Stored([&](CArchive& ar) { ar << CString(text.data(), int(length)); });
    EXPECT_EQ(stored, ByteBuilder().Append(prefix).Text(text).bytes());
    Loaded(stored, [&](CArchive& ar) {
      CString back("old");
      ar >> back;
      EXPECT_EQ(Text(back), text);
    });
  }
}

TEST_F(ArchiveStringTest, WideTextIsConvertedToTheNarrowCodePage) {
  ByteBuilder longWide;  // long enough for a word prefix and the piecewise reader
  longWide.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(40000);
  std::string longNarrow;
  for (int i = 0; i < 20000; ++i) longWide.U16('b').U16(0x4E2D);
  for (int i = 0; i < 20000; ++i) longNarrow += "b\xD6\xD0";
  // "中a文" as UTF-16LE (U+4E2D, 'a', U+6587); then "A", U+0000, "B": a NUL is kept.
  const std::pair<Bytes, std::string> cases[] = {
      {{0xFF, 0xFE, 0xFF, 0x03, 0x2D, 0x4E, 0x61, 0x00, 0x87, 0x65}, "\xD6\xD0\x61\xCE\xC4"},
      {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00}, std::string("A\0B", 3)},
      {longWide.bytes(), longNarrow}};
  for (const auto& c : cases) {
    Loaded(ByteBuilder().Append(c.first).U8(0x99).bytes(), [&](CArchive& ar) {
      CString text;
      BYTE after = 0;
      ar >> text >> after;
      EXPECT_EQ(Text(text), c.second);
      EXPECT_EQ(after, 0x99) << "exactly the text was consumed";
    });
  }
}

TEST_F(ArchiveStringTest, ShortTextsAndHugeClaimsRaiseEndOfFileWithoutAllocatingForThem) {
  const ByteBuilder dword = ByteBuilder().U8(0xFF).U16(0xFFFF);
  const ByteBuilder wideQword = ByteBuilder().U8(0xFF).U16(0xFFFE).Append(dword.bytes());
  const Bytes cases[] = {{},
                         {0x05, 'a', 'b'},
                         {0xFF, 0x00},  // a cut prefix
                         {0xFF, 0xFE, 0xFF, 0x02, 'a', 0},
                         ByteBuilder(dword).U32(0x7FFFFFF0).Text("xyz").bytes(),
                         ByteBuilder(dword).U32(0xFFFFFFFE).Text("tiny").bytes(),
                         ByteBuilder(dword).U32(0xFFFFFFFF).U64(0xFFFFFFFF).Text("tiny").bytes(),
                         ByteBuilder(dword).U32(0xFFFFFFFF).U64(~0ull).Text("tiny").bytes(),
                         ByteBuilder(wideQword).U32(0xFFFFFFFF).U64(1ull << 63).bytes()};
  for (const Bytes& bytes : cases) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    AllocationMeter meter;
    Loaded(bytes, [](CArchive& ar) {
      CString text;
      EXPECT_EQ(CaughtCause<CArchiveException>([&] { ar >> text; }), CArchiveException::endOfFile);
    });
    EXPECT_LT(meter.PeakAboveStart(), 512u * 1024u);
  }
}

}  // namespace
