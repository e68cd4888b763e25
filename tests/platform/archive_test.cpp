// The archive's number layout, its buffering and block transfers, its mode errors, the bytes it
// gives back on close, its end of file, and its destructor's flush.
#include <corvane/platform/afx_archive.h>
#include <gtest/gtest.h>

#include <algorithm>
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
  UINT Read(void* buffer, UINT count) override { return CFile::Read(buffer, std::min(count, 3u)); }
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
  using Numbers = std::tuple<BYTE, WORD, DWORD, LONG, short, char, bool, float, double, LONGLONG,
                             ULONGLONG, double>;
  const Numbers written(0xAB, 0x1234, 0x89ABCDEFu, -3, -4, 'Z', true, 1.5f, -0.0, -5,
                        0x0102030405060708ull, std::numeric_limits<double>::quiet_NaN());
  const auto storeAll = [](const Numbers& values) {
    return [&values](CArchive& ar) { std::apply([&](auto... v) { (ar << ... << v); }, values); };
  };
  ByteBuilder expected;  // LONG takes 4 bytes, as on the framework's platform
  expected.U8(0xAB).U16(0x1234).U32(0x89ABCDEF).U32(0xFFFFFFFD).U16(0xFFFC).U8('Z').U8(1);
  expected.U32(0x3FC00000).U64(0x8000000000000000ull).U64(0xFFFFFFFFFFFFFFFBull);
  expected.U64(0x0102030405060708ull).U64(0x7FF8000000000000ull);
  ASSERT_EQ(Store(storeAll(written)), expected.bytes());

  CFile file;  // then a DWORD cut short
  Reopen(file, ByteBuilder(expected).U8(1).U8(2).U8(3).bytes());
  CArchive ar(&file, CArchive::load);
  Numbers back;
  DWORD cut = 7;
  std::apply([&](auto&... v) { (ar >> ... >> v); }, back);
  EXPECT_EQ(ArchiveCause([&] { ar >> cut; }), CArchiveException::endOfFile);
  EXPECT_EQ(cut, 7u) << "a cut number is not read";
  // Every value, -0.0 and NaN included, came back exactly.
  EXPECT_EQ(Store(storeAll(back)), expected.bytes());
}

TEST_F(ArchiveTest, BlocksLargeAndSmallMixWithNumbersInOrderWhateverTheBuffer) {
  std::string big(100000, '\0'), back(100 + big.size(), '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  unsigned char callerBuffer[128];
  const auto fill = [&](CArchive& ar) {
    ar.Write(big.data(), 100);
    ar.Write(big.data(), static_cast<UINT>(big.size()));  // bypasses the buffer
    ar << 3.0;
  };
  TrickleFile file;  // a large block is read again until it is all there
  Reopen(file, Store(fill, CArchive::store, sizeof callerBuffer, callerBuffer));
  CArchive ar(&file, CArchive::load, 1);  // raised to the minimum size
  double three;
  EXPECT_EQ(ar.Read(&back[0], 100), 100u);
  EXPECT_EQ(ar.Read(&back[100], static_cast<UINT>(big.size())), big.size());
  ar >> three;
  EXPECT_EQ(three, 3.0);
  EXPECT_EQ(back, big.substr(0, 100) + big);
  EXPECT_EQ(ar.Read(&back[0], 16), 0u);  // short at the end, no exception
}

TEST_F(ArchiveTest, ModeErrorsUnreadBytesGivenBackOnCloseAndFlushesOnlyWhereTheyMayBe) {
  CFile file;
  Reopen(file, {7, 0, 0, 0, 0xEE}, CFile::modeReadWrite);  // a DWORD, then the host's trailer
  DWORD seven = 0;
  BYTE trailer = 0;
  {
    CArchive ar(&file, CArchive::load, 64);
    EXPECT_EQ(ArchiveCause([&] { ar.Write("x", 1); }), CArchiveException::readOnly);
    ar >> seven;  // the load position did not move either
    ar.Close();
  }
  EXPECT_EQ(file.Read(&trailer, 1), 1u);
  EXPECT_EQ(seven, 7);
  EXPECT_EQ(trailer, 0xEE);
  EXPECT_EQ(ReadAll(path), (Bytes{7, 0, 0, 0, 0xEE})) << "nothing was written";
  int value = 77;
  EXPECT_EQ(Store([&](CArchive& ar) {
              ar << BYTE(9);
              EXPECT_EQ(ArchiveCause([&] { ar >> value; }), CArchiveException::writeOnly);
            }),
            (Bytes{9}));
  EXPECT_EQ(value, 77);
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
