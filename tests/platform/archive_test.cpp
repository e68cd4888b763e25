// The archive's number layout, its buffering and block transfers, its mode
// errors and its end-of-file and flush failure behaviour.
#include <corvane/platform/afx_archive.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "platform/scratch_dir.h"

namespace {

using corvane_test::ByteBuilder;
using corvane_test::Bytes;
using corvane_test::ReadAll;
using corvane_test::ScratchDir;
using corvane_test::WriteAll;

// Runs `body` and answers the archive cause it raised (-1 when none).
template <typename Body>
int ArchiveCause(Body body) {
  try {
    body();
  } catch (CArchiveException* error) {
    const int cause = error->m_cause;
    error->Delete();
    return cause;
  }
  return -1;
}

// A file whose writes fail as on a full disk.
class FullDiskFile : public CFile {
 public:
  void Write(const void*, UINT) override { AfxThrowFileException(CFileException::diskFull, 28); }
};

class ArchiveTest : public ::testing::Test {
 protected:
  std::string Store(void (*fill)(CArchive&)) {
    const std::string path = dir.Path("store.bin");
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    fill(ar);
    ar.Close();
    file.Close();
    return path;
  }
  ScratchDir dir;
};

TEST_F(ArchiveTest, NumbersAreLittleEndianWithoutPadding) {
  const std::string path = Store([](CArchive& ar) {
    ar << BYTE(0xAB) << WORD(0x1234) << DWORD(0x89ABCDEFu) << int(-2) << LONG(-3) << short(-4)
       << 'Z' << true << false << 1.5f << 1.0 << LONGLONG(-5) << ULONGLONG(0x0102030405060708ull);
  });
  const Bytes expected = ByteBuilder()
                             .U8(0xAB).U16(0x1234).U32(0x89ABCDEF).U32(0xFFFFFFFE)
                             .U32(0xFFFFFFFD)  // LONG takes 4 bytes
                             .U16(0xFFFC).U8('Z').U8(1).U8(0)
                             .U32(0x3FC00000).U64(0x3FF0000000000000ull)
                             .U64(0xFFFFFFFFFFFFFFFBull).U64(0x0102030405060708ull)
                             .bytes();
  EXPECT_EQ(ReadAll(path), expected);

  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  BYTE b;
  WORD w;
  DWORD d;
  int i;
  LONG l;
  short s;
  char c;
  bool t, f;
  float fl;
  double db;
  LONGLONG ll;
  ULONGLONG ull;
  ar >> b >> w >> d >> i >> l >> s >> c >> t >> f >> fl >> db >> ll >> ull;
  EXPECT_EQ(b, 0xAB);
  EXPECT_EQ(w, 0x1234);
  EXPECT_EQ(d, 0x89ABCDEFu);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(l, -3);
  EXPECT_EQ(s, -4);
  EXPECT_EQ(c, 'Z');
  EXPECT_TRUE(t);
  EXPECT_FALSE(f);
  EXPECT_EQ(fl, 1.5f);
  EXPECT_EQ(db, 1.0);
  EXPECT_EQ(ll, -5);
  EXPECT_EQ(ull, 0x0102030405060708ull);
  EXPECT_EQ(ArchiveCause([&] { ar >> b; }), CArchiveException::endOfFile);
}

TEST_F(ArchiveTest, SpecialDoublesKeepTheirBits) {
  const std::string path = Store([](CArchive& ar) { ar << -0.0 << std::numeric_limits<double>::quiet_NaN()
                                                      << std::numeric_limits<double>::infinity(); });
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  double negativeZero, nan, infinity;
  ar >> negativeZero >> nan >> infinity;
  EXPECT_TRUE(std::signbit(negativeZero));
  EXPECT_TRUE(std::isnan(nan));
  EXPECT_EQ(infinity, std::numeric_limits<double>::infinity());
}

TEST_F(ArchiveTest, AnyNonZeroByteReadsAsTrue) {
  const std::string path = dir.Path("bool.bin");
  WriteAll(path, {2, 0, 0xFF});
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  bool a, b, c;
  ar >> a >> b >> c;
  EXPECT_TRUE(a);
  EXPECT_FALSE(b);
  EXPECT_TRUE(c);
}

TEST_F(ArchiveTest, NumberCutByEndOfFileRaisesEndOfFile) {
  const std::string path = dir.Path("short.bin");
  WriteAll(path, {1, 2, 3});
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  DWORD value = 7;
  EXPECT_EQ(ArchiveCause([&] { ar >> value; }), CArchiveException::endOfFile);
  EXPECT_EQ(value, 7u);
}

TEST_F(ArchiveTest, BlocksLargeAndSmallMixWithNumbersInOrder) {
  std::string big(100000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  const std::string path = dir.Path("blocks.bin");
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store, 128);
    ar << 1;
    ar.Write(big.data(), 100);
    ar << 2;
    ar.Write(big.data(), static_cast<UINT>(big.size()));  // bypasses the buffer
    ar << 3;
    ar.Write(big.data(), 0);
    ar.Close();
  }
  EXPECT_EQ(ReadAll(path).size(), 12 + 100 + big.size());

  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load, 128);
  int one, two, three;
  std::string small(100, '\0'), large(big.size(), '\0');
  ar >> one;
  EXPECT_EQ(ar.Read(&small[0], 100), 100u);
  ar >> two;
  EXPECT_EQ(ar.Read(&large[0], static_cast<UINT>(large.size())), large.size());
  ar >> three;
  EXPECT_EQ(one, 1);
  EXPECT_EQ(two, 2);
  EXPECT_EQ(three, 3);
  EXPECT_EQ(small, big.substr(0, 100));
  EXPECT_EQ(large, big);
  char rest[16];
  EXPECT_EQ(ar.Read(rest, sizeof rest), 0u);  // short at the end, no exception
}

TEST_F(ArchiveTest, BlockReadIsShortAtEndOfFile) {
  const std::string path = dir.Path("five.bin");
  WriteAll(path, {1, 2, 3, 4, 5});
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  unsigned char out[10000] = {};
  EXPECT_EQ(ar.Read(out, sizeof out), 5u);
  EXPECT_EQ(out[4], 5);
}

TEST_F(ArchiveTest, WrongDirectionRaisesModeErrorBeforeAnythingMoves) {
  const std::string path = dir.Path("mode.bin");
  WriteAll(path, {0x11, 0x22, 0x33, 0x44});
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeReadWrite));
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ArchiveCause([&] { ar << 5; }), CArchiveException::readOnly);
    EXPECT_EQ(ArchiveCause([&] { ar.Write("x", 1); }), CArchiveException::readOnly);
    EXPECT_EQ(ArchiveCause([&] { ar << CString("abc"); }), CArchiveException::readOnly);
    BYTE first;
    ar >> first;  // the load position did not move either
    EXPECT_EQ(first, 0x11);
  }
  EXPECT_EQ(ReadAll(path), (Bytes{0x11, 0x22, 0x33, 0x44}));

  const std::string stored = Store([](CArchive& ar) {
    ar << BYTE(9);
    int value = 77;
    char block[4];
    CString text("keep");
    EXPECT_EQ(ArchiveCause([&] { ar >> value; }), CArchiveException::writeOnly);
    EXPECT_EQ(ArchiveCause([&] { ar.Read(block, sizeof block); }), CArchiveException::writeOnly);
    EXPECT_EQ(ArchiveCause([&] { ar >> text; }), CArchiveException::writeOnly);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(text, "keep");
    ar << BYTE(10);
  });
  EXPECT_EQ(ReadAll(stored), (Bytes{9, 10}));
}

TEST_F(ArchiveTest, DestructorFlushesUnlessToldNotTo) {
  const std::string flushed = dir.Path("flushed.bin");
  const std::string dropped = dir.Path("dropped.bin");
  {
    CFile file;
    ASSERT_TRUE(file.Open(flushed.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << DWORD(0xCAFEBABE);
  }
  {
    CFile file;
    ASSERT_TRUE(file.Open(dropped.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    ar << DWORD(0xCAFEBABE);
  }
  EXPECT_EQ(ReadAll(flushed), (Bytes{0xBE, 0xBA, 0xFE, 0xCA}));
  EXPECT_TRUE(ReadAll(dropped).empty());
}

TEST_F(ArchiveTest, FlushFailureReachesCloseAndNeverLeavesTheDestructor) {
  FullDiskFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << 1;
    int cause = -1;
    try {
      ar.Close();
    } catch (CFileException* error) {
      cause = error->m_cause;
      error->Delete();
    }
    EXPECT_EQ(cause, CFileException::diskFull);
    // Closed even though the flush failed: later transfers are refused.
    EXPECT_EQ(ArchiveCause([&] { ar << 2; }), CArchiveException::genericException);
  }
  {
    CArchive ar(&file, CArchive::store);
    ar << 1;
  }  // the destructor's flush fails; the exception is released inside
  SUCCEED();
}

TEST_F(ArchiveTest, FullBufferIsWrittenOutAsFileErrorWhenDiskIsFull) {
  FullDiskFile file;
  CArchive ar(&file, CArchive::store, 64);
  int cause = -1;
  try {
    for (int i = 0; i < 100; ++i) ar << i;
  } catch (CFileException* error) {
    cause = error->m_cause;
    error->Delete();
  }
  EXPECT_EQ(cause, CFileException::diskFull);
  ar.Abort();
}

TEST_F(ArchiveTest, LoadingFlushGivesUnreadBytesBackToTheFile) {
  const std::string path = dir.Path("flush.bin");
  WriteAll(path, {1, 2, 3, 4, 5, 6});
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  WORD first;
  ar >> first;
  ar.Flush();
  EXPECT_EQ(file.GetPosition(), 2u);
  BYTE next;
  ar >> next;
  EXPECT_EQ(next, 3);
}

TEST_F(ArchiveTest, TinyAndCallerBuffersWork) {
  unsigned char own[256];
  const std::string path = dir.Path("buffers.bin");
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store, sizeof own, own);
    for (int i = 0; i < 1000; ++i) ar << static_cast<double>(i);
    ar.Close();
  }
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load, 1);  // raised to the minimum size
  for (int i = 0; i < 1000; ++i) {
    double value;
    ar >> value;
    ASSERT_EQ(value, i);
  }
  EXPECT_EQ(ar.GetFile(), &file);
  EXPECT_TRUE(ar.IsLoading());
  EXPECT_FALSE(ar.IsStoring());
}

}  // namespace
