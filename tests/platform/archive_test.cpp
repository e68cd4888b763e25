// The archive's number layout, its buffering and block transfers, its mode
// errors and its end-of-file and flush failure behaviour.
#include <corvane/platform/afx_archive.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <tuple>

#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

int ArchiveCause(const std::function<void()>& body) { return CaughtCause<CArchiveException>(body); }

// A file whose writes fail as on a full disk.
class FullDiskFile : public CFile {
 public:
  void Write(const void*, UINT) override { AfxThrowFileException(CFileException::diskFull, 28); }
};

// A host's file that hands out at most three bytes a read, as a pipe or a
// socket may.
class TrickleFile : public CFile {
 public:
  UINT Read(void* buffer, UINT count) override {
    return CFile::Read(buffer, count < 3 ? count : 3);
  }
};

class ArchiveTest : public ::testing::Test {
 protected:
  // Stores through `fill`; the archive's destructor flushes unless the mode says not to.
  template <typename Fill>
  Bytes Store(Fill fill, UINT mode = CArchive::store, UINT bufferSize = 4096,
              void* buffer = nullptr) {
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    {
      CArchive ar(&file, mode, bufferSize, buffer);
      fill(ar);
    }
    file.Close();
    return ReadAll(path);
  }
  void Reopen(CFile& file, const Bytes& bytes, UINT mode = CFile::modeRead) {
    WriteAll(path, bytes);
    ASSERT_TRUE(file.Open(path.c_str(), mode));
  }
  ScratchDir dir;
  const std::string path = dir.Path("archive.bin");
};

TEST_F(ArchiveTest, NumbersAreLittleEndianWithoutPaddingAndReadBackBitForBit) {
  using Numbers = std::tuple<BYTE, WORD, DWORD, int, LONG, short, char, bool, bool, float, double,
                             LONGLONG, ULONGLONG, double, double, double>;
  const Numbers written{0xAB,
                        0x1234,
                        0x89ABCDEFu,
                        -2,
                        -3,
                        -4,
                        'Z',
                        true,
                        false,
                        1.5f,
                        1.0,
                        -5,
                        0x0102030405060708ull,
                        -0.0,
                        std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
  auto storeAll = [](const Numbers& values) {
    return [&values](CArchive& ar) {
      std::apply([&](const auto&... v) { (ar << ... << v); }, values);
    };
  };
  const Bytes expected = ByteBuilder()
                             .U8(0xAB)
                             .U16(0x1234)
                             .U32(0x89ABCDEF)
                             .U32(0xFFFFFFFE)
                             .U32(0xFFFFFFFD)  // LONG takes 4 bytes
                             .U16(0xFFFC)
                             .U8('Z')
                             .U8(1)
                             .U8(0)
                             .U32(0x3FC00000)
                             .U64(0x3FF0000000000000ull)
                             .U64(0xFFFFFFFFFFFFFFFBull)
                             .U64(0x0102030405060708ull)
                             .U64(0x8000000000000000ull)
                             .U64(0x7FF8000000000000ull)
                             .U64(0x7FF0000000000000ull)
                             .bytes();
  ASSERT_EQ(Store(storeAll(written)), expected);

  CFile file;
  Reopen(file, expected);
  CArchive ar(&file, CArchive::load);
  Numbers back;
  std::apply([&](auto&... v) { (ar >> ... >> v); }, back);
  EXPECT_EQ(ArchiveCause([&] { ar >> std::get<0>(back); }), CArchiveException::endOfFile);
  EXPECT_EQ(Store(storeAll(back)),
            expected);  // every value, -0.0 and NaN included, came back exactly
}

TEST_F(ArchiveTest, AnyNonZeroByteIsTrueAndACutNumberRaisesEndOfFile) {
  CFile file;
  Reopen(file, {2, 0, 1, 2, 3});
  CArchive ar(&file, CArchive::load);
  bool a, b;
  DWORD value = 7;
  ar >> a >> b;
  EXPECT_EQ(ArchiveCause([&] { ar >> value; }), CArchiveException::endOfFile);
  EXPECT_EQ(std::make_tuple(a, b, value), std::make_tuple(true, false, DWORD(7)));
}

TEST_F(ArchiveTest, BlocksLargeAndSmallMixWithNumbersInOrderWhateverTheBuffer) {
  std::string big(100000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  unsigned char callerBuffer[128];
  const Bytes stored = Store(
      [&](CArchive& ar) {
        ar << 1;
        ar.Write(big.data(), 100);
        ar << 2;
        ar.Write(big.data(), static_cast<UINT>(big.size()));  // bypasses the buffer
        ar << 3.0;
        ar.Write(big.data(), 0);
      },
      CArchive::store, sizeof callerBuffer, callerBuffer);
  ASSERT_EQ(stored.size(), 16 + 100 + big.size());
  CFile file;
  Reopen(file, stored);
  CArchive ar(&file, CArchive::load, 1);  // raised to the minimum size
  int one, two;
  double three;
  std::string small(100, '\0'), large(big.size(), '\0');
  ar >> one;
  EXPECT_EQ(ar.Read(&small[0], 100), 100u);
  ar >> two;
  EXPECT_EQ(ar.Read(&large[0], static_cast<UINT>(large.size())), large.size());
  ar >> three;
  EXPECT_EQ(std::make_tuple(one, two, three, small, large),
            std::make_tuple(1, 2, 3.0, big.substr(0, 100), big));
  EXPECT_EQ(ar.Read(&small[0], 16), 0u);  // short at the end, no exception
}

TEST_F(ArchiveTest, WrongDirectionRaisesModeErrorBeforeAnythingMoves) {
  {
    CFile file;
    Reopen(file, {0x11, 0x22}, CFile::modeReadWrite);
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ArchiveCause([&] { ar << 5; }), CArchiveException::readOnly);
    EXPECT_EQ(ArchiveCause([&] { ar << CString("abc"); }), CArchiveException::readOnly);
    BYTE first;
    ar >> first;  // the load position did not move either
    EXPECT_EQ(first, 0x11);
  }
  EXPECT_EQ(ReadAll(path), (Bytes{0x11, 0x22}));
  EXPECT_EQ(Store([](CArchive& ar) {
              int value = 77;
              CString text("keep");
              ar << BYTE(9);
              EXPECT_EQ(ArchiveCause([&] { ar >> value; }), CArchiveException::writeOnly);
              EXPECT_EQ(ArchiveCause([&] { ar >> text; }), CArchiveException::writeOnly);
              EXPECT_EQ(std::make_tuple(value, text), std::make_tuple(77, CString("keep")));
              ar << BYTE(10);
            }),
            (Bytes{9, 10}));
}

TEST_F(ArchiveTest, DestructorFlushesUnlessToldNotTo) {
  EXPECT_EQ(Store([](CArchive& ar) { ar << DWORD(0xCAFEBABE); }), (Bytes{0xBE, 0xBA, 0xFE, 0xCA}));
  EXPECT_TRUE(
      Store([](CArchive& ar) { ar << DWORD(1); }, CArchive::store | CArchive::bNoFlushOnDelete)
          .empty());
}

TEST_F(ArchiveTest, WriteFailuresReachTheCallerButNeverLeaveTheDestructor) {
  FullDiskFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << 1;
    EXPECT_EQ(CaughtCause<CFileException>([&] { ar.Close(); }), CFileException::diskFull);
    // Closed even though the flush failed: later transfers are refused.
    EXPECT_EQ(ArchiveCause([&] { ar << 2; }), CArchiveException::genericException);
  }
  CArchive ar(&file, CArchive::store);
  ar << 1;  // the destructor's flush fails; it must release the exception inside
}

TEST_F(ArchiveTest, HostFileReadsAreRepeatedAndUnreadBytesGoBackOnClose) {
  std::string block(300, 'x');
  Bytes stored = Store([&](CArchive& ar) {
    ar << DWORD(7);
    ar.Write(block.data(), static_cast<UINT>(block.size()));
  });
  stored.push_back(0xEE);  // the host's own trailer after the records
  for (const bool flushOnly : {false, true}) {
    TrickleFile file;
    Reopen(file, stored);
    DWORD seven = 0;
    std::string back(block.size(), '\0');
    {
      CArchive ar(&file, CArchive::load, 64);
      ar >> seven;
      EXPECT_EQ(ar.Read(&back[0], static_cast<UINT>(back.size())), back.size());
      flushOnly ? ar.Flush() : ar.Close();
    }
    EXPECT_EQ(std::make_tuple(seven, back), std::make_tuple(DWORD(7), block));
    EXPECT_EQ(file.GetPosition(), 4u + block.size());
    BYTE trailer = 0;
    EXPECT_EQ(file.Read(&trailer, 1), 1u);
    EXPECT_EQ(trailer, 0xEE);
  }
}

}  // namespace
