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

// A host's file that hands out at most three bytes a read, as a pipe may.
class TrickleFile : public CFile {
 public:
  UINT Read(void* buffer, UINT count) override {
    return CFile::Read(buffer, count < 3 ? count : 3);
  }
};

class ArchiveTest : public ::testing::Test {
 protected:
  // Stores through `fill`; the archive's destructor flushes unless the mode says not to.
  Bytes Store(const std::function<void(CArchive&)>& fill, UINT mode = CArchive::store,
              int bufferSize = 4096, void* buffer = nullptr) {
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    {
      CArchive ar(&file, mode, bufferSize, buffer);
      fill(ar);
    }
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
                             LONGLONG, ULONGLONG, double, double>;
  const Numbers written(0xAB, 0x1234, 0x89ABCDEFu, -2, -3, -4, 'Z', true, false, 1.5f, -0.0, -5,
                        0x0102030405060708ull, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity());
  const auto storeAll = [](const Numbers& values) {
    return [&values](CArchive& ar) { std::apply([&](auto... v) { (ar << ... << v); }, values); };
  };
  ByteBuilder expected;
  expected.U8(0xAB).U16(0x1234).U32(0x89ABCDEF).U32(0xFFFFFFFE).U32(0xFFFFFFFD);  // LONG: 4
  expected.U16(0xFFFC).U8('Z').U8(1).U8(0).U32(0x3FC00000).U64(0x8000000000000000ull);
  expected.U64(0xFFFFFFFFFFFFFFFBull).U64(0x0102030405060708ull).U64(0x7FF8000000000000ull);
  expected.U64(0x7FF0000000000000ull);
  ASSERT_EQ(Store(storeAll(written)), expected.bytes());

  CFile file;  // then a bool of 2 and a DWORD cut short
  Reopen(file, ByteBuilder(expected).U8(2).U8(1).U8(2).U8(3).bytes());
  CArchive ar(&file, CArchive::load);
  Numbers back;
  bool two = false;
  DWORD cut = 7;
  std::apply([&](auto&... v) { (ar >> ... >> v); }, back);
  ar >> two;
  EXPECT_EQ(ArchiveCause([&] { ar >> cut; }), CArchiveException::endOfFile);
  EXPECT_TRUE(two && cut == 7) << "any non-zero byte is true; a cut number is not read";
  // Every value, -0.0 and NaN included, came back exactly.
  EXPECT_EQ(Store(storeAll(back)), expected.bytes());
}

TEST_F(ArchiveTest, BlocksLargeAndSmallMixWithNumbersInOrderWhateverTheBuffer) {
  std::string big(100000, '\0'), small(100, '\0'), large(big.size(), '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  unsigned char callerBuffer[128];
  const Bytes stored = Store(
      [&](CArchive& ar) {
        ar << 1;
        ar.Write(big.data(), 100);
        ar << 2;
        ar.Write(big.data(), static_cast<UINT>(big.size()));  // bypasses the buffer
        ar << 3.0;
      },
      CArchive::store, sizeof callerBuffer, callerBuffer);
  TrickleFile file;  // a large block is read again until it is all there
  Reopen(file, stored);
  CArchive ar(&file, CArchive::load, 1);  // raised to the minimum size
  int one, two;
  double three;
  ar >> one;
  const UINT smallRead = ar.Read(&small[0], 100);
  ar >> two;
  const UINT largeRead = ar.Read(&large[0], static_cast<UINT>(large.size()));
  ar >> three;
  EXPECT_EQ(std::make_tuple(one, two, three, small, large, smallRead, largeRead),
            std::make_tuple(1, 2, 3.0, big.substr(0, 100), big, 100u, UINT(big.size())));
  EXPECT_EQ(ar.Read(&small[0], 16), 0u);  // short at the end, no exception
}

TEST_F(ArchiveTest, WrongDirectionRaisesModeErrorBeforeAnythingMoves) {
  CFile file;
  Reopen(file, {0x11, 0x22}, CFile::modeReadWrite);
  BYTE first = 0;
  {
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ArchiveCause([&] { ar << 5; }), CArchiveException::readOnly);
    EXPECT_EQ(ArchiveCause([&] { ar.Write("x", 1); }), CArchiveException::readOnly);
    ar >> first;  // the load position did not move either
  }
  file.Close();
  EXPECT_TRUE(first == 0x11 && ReadAll(path) == (Bytes{0x11, 0x22}));
  int value = 77;
  EXPECT_EQ(Store([&](CArchive& ar) {
              ar << BYTE(9);
              EXPECT_EQ(ArchiveCause([&] { ar >> value; }), CArchiveException::writeOnly);
              EXPECT_EQ(ArchiveCause([&] { ar.Read(&value, 1); }), CArchiveException::writeOnly);
              ar << BYTE(10);
            }),
            (Bytes{9, 10}));
  EXPECT_EQ(value, 77);
}

TEST_F(ArchiveTest, UnreadBytesGoBackToTheFileOnFlushAndClose) {
  for (const bool flushOnly : {false, true}) {
    CFile file;
    Reopen(file, {7, 0, 0, 0, 0xEE});  // a DWORD, then the host's own trailer
    DWORD seven = 0;
    BYTE trailer = 0;
    {
      CArchive ar(&file, CArchive::load, 64);
      ar >> seven;
      flushOnly ? ar.Flush() : ar.Close();
    }
    EXPECT_EQ(file.Read(&trailer, 1), 1u);
    EXPECT_EQ(std::make_tuple(seven, trailer), std::make_tuple(DWORD(7), BYTE(0xEE)));
  }
}

TEST_F(ArchiveTest, TheDestructorFlushesUnlessToldNotToAndNeverThrows) {
  EXPECT_EQ(Store([](CArchive& ar) { ar << DWORD(0xCAFEBABE); }), (Bytes{0xBE, 0xBA, 0xFE, 0xCA}));
  EXPECT_TRUE(
      Store([](CArchive& ar) { ar << DWORD(1); }, CArchive::store | CArchive::bNoFlushOnDelete)
          .empty());
  CFile full;  // every write fails as on a full disk
  ASSERT_TRUE(full.Open("/dev/full", CFile::modeWrite));
  CArchive ar(&full, CArchive::store), dropped(&full, CArchive::store);
  ar << 1;
  dropped << 1;  // its destructor's flush fails; it must release the exception inside
  EXPECT_EQ(CaughtCause<CFileException>([&] { ar.Close(); }), CFileException::diskFull);
  // Closed even though the flush failed: later transfers are refused.
  EXPECT_EQ(ArchiveCause([&] { ar << 2; }), CArchiveException::genericException);
}

}  // namespace
