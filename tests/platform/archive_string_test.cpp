// The framework's string length prefix and the CString archive form: every
// width boundary, wide strings converted to code page 936, and damaged
// prefixes that must fail with endOfFile without allocating for their claim.
#include <corvane/platform/afx_archive.h>
#include <gtest/gtest.h>

#include <string>

#include "support/allocation_meter.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

class ArchiveStringTest : public ::testing::Test {
 protected:
  template <typename Fill>
  Bytes Stored(Fill fill) {
    {
      CFile file;
      EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
      CArchive ar(&file, CArchive::store);
      fill(ar);
    }
    return ReadAll(path);
  }
  template <typename Read>
  void Loaded(const Bytes& bytes, Read read) {
    WriteAll(path, bytes);
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    read(ar);
  }
  ScratchDir dir;
  const std::string path = dir.Path("string.bin");
};

TEST_F(ArchiveStringTest, PrefixWidthFollowsTheLength) {
  const ByteBuilder qword = ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF);
  const struct {
    unsigned long long length;
    Bytes prefix;
  } cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {0xFFFFFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}},
      {0xFFFFFFFF, ByteBuilder(qword).U64(0xFFFFFFFF).bytes()},
      {0x123456789ull, ByteBuilder(qword).U64(0x123456789ull).bytes()},
  };
  for (const auto& c : cases) {
    const Bytes wide = ByteBuilder().U8(0xFF).U16(0xFFFE).Append(c.prefix).bytes();
    for (const BOOL unicode : {FALSE, TRUE}) {
      SCOPED_TRACE(::testing::Message()
                   << "length " << c.length << (unicode ? " wide" : " narrow"));
      EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, c.length, unicode); }),
                unicode ? wide : c.prefix);
      Loaded(unicode ? wide : c.prefix, [&](CArchive& ar) {
        int charSize = 0;
        EXPECT_EQ(AfxReadStringLength(ar, charSize), c.length);
        EXPECT_EQ(charSize, unicode ? 2 : 1);
      });
    }
  }
}

TEST_F(ArchiveStringTest, NarrowTextFollowsItsPrefixByteForByte) {
  // GBK with an embedded NUL, then the empty text, the longest byte prefix, the shortest word and
  // dword prefixes.
  for (const std::string& text :
       {std::string("\xD6\xD0\0\xCE\xC4", 5), std::string(), std::string(254, 'a'),
        std::string(255, 'b'), std::string(0xFFFE, 'c')}) {
    SCOPED_TRACE(text.size());
    const CString value(text.data(), static_cast<int>(text.size()));
    const Bytes prefix =
        Stored([&](CArchive& ar) { AfxWriteStringLength(ar, text.size(), FALSE); });
    const Bytes stored = Stored([&](CArchive& ar) { ar << value; });
    EXPECT_EQ(stored, ByteBuilder().Append(prefix).Text(text).bytes());
    Loaded(stored, [&](CArchive& ar) {
      CString back("old");
      ar >> back;
      EXPECT_EQ(std::string(back.GetString(), static_cast<std::size_t>(back.GetLength())), text);
    });
  }
}

TEST_F(ArchiveStringTest, WideTextIsConvertedToTheNarrowCodePage) {
  // "中a文" as UTF-16LE (U+4E2D, 'a', U+6587), then one more byte.
  Loaded({0xFF, 0xFE, 0xFF, 0x03, 0x2D, 0x4E, 0x61, 0x00, 0x87, 0x65, 0x99}, [&](CArchive& ar) {
    CString text;
    BYTE after;
    ar >> text >> after;
    EXPECT_EQ(std::string(text.GetString(), static_cast<std::size_t>(text.GetLength())),
              "\xD6\xD0"
              "a"
              "\xCE\xC4");
    EXPECT_EQ(after, 0x99);  // exactly three characters were consumed
  });
  // A NUL character is kept, as in narrow strings: "A", U+0000, "B".
  Loaded({0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00}, [&](CArchive& ar) {
    CString text;
    ar >> text;
    EXPECT_EQ(std::string(text.GetString(), static_cast<std::size_t>(text.GetLength())),
              std::string("A\0B", 3));
  });
  // Long enough for a word prefix and the piecewise reader.
  ByteBuilder longWide;
  longWide.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(40000);
  for (int i = 0; i < 40000; ++i) longWide.U16(i % 2 ? 0x4E2D : 'b');
  Loaded(longWide.bytes(), [&](CArchive& ar) {
    CString text;
    ar >> text;
    ASSERT_EQ(text.GetLength(), 60000);
    EXPECT_EQ(std::string(text.GetString() + 59997, 3), "b\xD6\xD0");
  });
}

TEST_F(ArchiveStringTest, ShortTextsAndHugeClaimsRaiseEndOfFileWithoutAllocatingForThem) {
  const ByteBuilder dword = ByteBuilder().U8(0xFF).U16(0xFFFF);
  const Bytes cases[] = {
      {},
      {0x05, 'a', 'b'},
      {0xFF, 0x00},  // a cut prefix
      {0xFF, 0xFE, 0xFF, 0x02, 'a', 0},
      ByteBuilder(dword).U32(100000).Text("xyz").bytes(),
      ByteBuilder(dword).U32(0xFFFFFFFE).Text("tiny").bytes(),
      ByteBuilder(dword).U32(0xFFFFFFFF).U64(0xFFFFFFFF).Text("tiny").bytes(),
      ByteBuilder(dword).U32(0xFFFFFFFF).U64(~0ull).Text("tiny").bytes(),
      ByteBuilder()
          .U8(0xFF)
          .U16(0xFFFE)
          .Append(dword.bytes())
          .U32(0xFFFFFFFF)
          .U64(1ull << 63)
          .bytes(),
  };
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
