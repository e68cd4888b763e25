// The framework's string length prefix and the CString archive form: every
// width boundary, wide strings converted to code page 936, and damaged
// prefixes that must fail with endOfFile without allocating for their claim.
#include <corvane/platform/afx_archive.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/allocation_meter.h"
#include "platform/scratch_dir.h"

namespace {

using corvane_test::AllocationMeter;
using corvane_test::ByteBuilder;
using corvane_test::Bytes;
using corvane_test::ReadAll;
using corvane_test::ScratchDir;
using corvane_test::WriteAll;

class ArchiveStringTest : public ::testing::Test {
 protected:
  template <typename Fill>
  Bytes Stored(Fill fill) {
    const std::string path = dir.Path("out.bin");
    {
      CFile file;
      EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
      CArchive ar(&file, CArchive::store);
      fill(ar);
      ar.Close();
    }
    return ReadAll(path);
  }

  // Opens `bytes` as a file and runs `read` on a loading archive over it.
  template <typename Read>
  void Loaded(const Bytes& bytes, Read read) {
    const std::string path = dir.Path("in.bin");
    WriteAll(path, bytes);
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    read(ar);
  }

  // The cause of the archive exception that reading a CString from `bytes`
  // raises, -1 when it succeeds.
  int ReadStringCause(const Bytes& bytes) {
    int cause = -1;
    Loaded(bytes, [&](CArchive& ar) {
      CString text;
      try {
        ar >> text;
      } catch (CArchiveException* error) {
        cause = error->m_cause;
        error->Delete();
      }
    });
    return cause;
  }

  ScratchDir dir;
};

TEST_F(ArchiveStringTest, PrefixWidthFollowsTheLength) {
  struct Case {
    unsigned long long length;
    Bytes prefix;
  };
  const Case cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {0xFFFFFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}},
      {0xFFFFFFFF,
       ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF).bytes()},
      {0x123456789ull,
       ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0x123456789ull).bytes()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, c.length, FALSE); }), c.prefix);
    Bytes wide = {0xFF, 0xFE, 0xFF};
    wide.insert(wide.end(), c.prefix.begin(), c.prefix.end());
    EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, c.length, TRUE); }), wide);

    Loaded(c.prefix, [&](CArchive& ar) {
      int charSize = 0;
      EXPECT_EQ(AfxReadStringLength(ar, charSize), c.length);
      EXPECT_EQ(charSize, 1);
    });
    Loaded(wide, [&](CArchive& ar) {
      int charSize = 0;
      EXPECT_EQ(AfxReadStringLength(ar, charSize), c.length);
      EXPECT_EQ(charSize, 2);
    });
  }
}

TEST_F(ArchiveStringTest, NarrowTextFollowsItsPrefixByteForByte) {
  for (int length : {0, 1, 254, 255, 0xFFFD, 0xFFFE, 70000}) {
    SCOPED_TRACE(length);
    std::string text(static_cast<std::size_t>(length), '\0');
    for (int i = 0; i < length; ++i) text[static_cast<std::size_t>(i)] = static_cast<char>('a' + i % 26);
    const CString value(text.data(), length);
    const Bytes stored = Stored([&](CArchive& ar) { ar << value; });
    const Bytes prefix = Stored([&](CArchive& ar) { AfxWriteStringLength(ar, static_cast<UINT_PTR>(length), FALSE); });
    EXPECT_EQ(stored, ByteBuilder().Append(prefix).Text(text).bytes());
    Loaded(stored, [&](CArchive& ar) {
      CString back("old");
      ar >> back;
      EXPECT_EQ(back.GetLength(), length);
      EXPECT_TRUE(back == value);
    });
  }
}

TEST_F(ArchiveStringTest, GbkBytesAndEmbeddedZerosPassUnchanged) {
  const CString value("\xD6\xD0\x00\xCE\xC4", 5);  // "中", NUL, "文" in code page 936
  const Bytes stored = Stored([&](CArchive& ar) { ar << value; });
  EXPECT_EQ(stored, (Bytes{5, 0xD6, 0xD0, 0x00, 0xCE, 0xC4}));
  Loaded(stored, [&](CArchive& ar) {
    CString back;
    ar >> back;
    EXPECT_TRUE(back == value);
  });
}

TEST_F(ArchiveStringTest, WideTextIsConvertedToTheNarrowCodePage) {
  // "中a文" as UTF-16LE: U+4E2D, 'a', U+6587.
  const Bytes shortWide = {0xFF, 0xFE, 0xFF, 0x03, 0x2D, 0x4E, 0x61, 0x00, 0x87, 0x65, 0x99};
  Loaded(shortWide, [&](CArchive& ar) {
    CString text;
    ar >> text;
    EXPECT_EQ(std::string(text.GetString(), static_cast<std::size_t>(text.GetLength())),
              "\xD6\xD0" "a" "\xCE\xC4");
    BYTE after;
    ar >> after;  // exactly three characters were consumed
    EXPECT_EQ(after, 0x99);
  });

  // A wide string long enough for a word prefix and the piecewise reader.
  ByteBuilder longWide;
  longWide.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(40000);
  for (int i = 0; i < 40000; ++i) longWide.U16(i % 2 ? 0x4E2D : 'b');
  Loaded(longWide.bytes(), [&](CArchive& ar) {
    CString text;
    ar >> text;
    ASSERT_EQ(text.GetLength(), 60000);
    EXPECT_EQ(std::string(text.GetString(), 3), "b\xD6\xD0");
  });
}

TEST_F(ArchiveStringTest, TextShorterThanItsPrefixRaisesEndOfFile) {
  EXPECT_EQ(ReadStringCause({}), CArchiveException::endOfFile);
  EXPECT_EQ(ReadStringCause({0x05, 'a', 'b'}), CArchiveException::endOfFile);
  EXPECT_EQ(ReadStringCause({0xFF, 0x00}), CArchiveException::endOfFile);          // cut prefix
  EXPECT_EQ(ReadStringCause({0xFF, 0xFE, 0xFF, 0x02, 'a', 0}), CArchiveException::endOfFile);
  EXPECT_EQ(ReadStringCause(ByteBuilder().U8(0xFF).U16(0xFFFF).U32(100000).Text("xyz").bytes()),
            CArchiveException::endOfFile);
  EXPECT_EQ(ReadStringCause({0x02, 'o', 'k'}), -1);
}

TEST_F(ArchiveStringTest, HugeClaimedLengthsFailFastWithoutAllocatingForThem) {
  const Bytes claims[] = {
      ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFE).Text("tiny").bytes(),
      ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF).Text("tiny").bytes(),
      ByteBuilder().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(~0ull).Text("tiny").bytes(),
      ByteBuilder().U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(1ull << 63).bytes(),
      ByteBuilder().U8(0xFF).U16(0xFFFF).U32(50000000).Text("tiny").bytes(),
  };
  for (const Bytes& claim : claims) {
    AllocationMeter meter;
    EXPECT_EQ(ReadStringCause(claim), CArchiveException::endOfFile);
    EXPECT_LT(meter.PeakAboveStart(), 512u * 1024u);
  }
}

}  // namespace
