// Damaged mesh files: every truncation of a valid file ends in endOfFile,
// and counts or lengths larger than the data fail at once, using memory for
// the bytes really present only.
#include <corvane/mesh/mesh_bin.h>

#include <string>

#include <gtest/gtest.h>

#include "mesh/mesh_sample.h"
#include "platform/allocation_meter.h"
#include "platform/scratch_dir.h"

namespace {

using corvane_test::AllocationMeter;
using corvane_test::ByteBuilder;
using corvane_test::Bytes;
using corvane_test::ReadAll;
using corvane_test::SampleMesh;
using corvane_test::ScratchDir;
using corvane_test::WriteAll;

int LoadCause(const std::string& path) {
  CMeshBin bin;
  try {
    bin.load(path.c_str());
  } catch (CArchiveException* error) {
    const int cause = error->m_cause;
    error->Delete();
    return cause;
  } catch (CException* error) {
    error->Delete();
    return -2;
  }
  return -1;
}

TEST(MeshCorruptionTest, EveryTruncationRaisesEndOfFile) {
  ScratchDir dir;
  const std::string path = dir.Path("whole.bin");
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(1, 2));
  bin.meshes.push_back(SampleMesh(2, 0));
  bin.meshes[1].name = CString(std::string(260, 'w').c_str());
  bin.save(path.c_str());
  const Bytes whole = ReadAll(path);
  const std::string cut = dir.Path("cut.bin");
  for (std::size_t size = 0; size < whole.size(); ++size) {
    WriteAll(cut, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
    ASSERT_EQ(LoadCause(cut), CArchiveException::endOfFile) << "cut at " << size;
  }
  EXPECT_EQ(LoadCause(path), -1);
}

TEST(MeshCorruptionTest, HugeCountsAndLengthsFailFast) {
  ScratchDir dir;
  const std::string path = dir.Path("hostile.bin");
  const Bytes files[] = {
      // 0xFFFFFFFF meshes, then 8 bytes: a mesh number and a cut name.
      ByteBuilder().U32(0xFFFFFFFF).U32(1).U32(0x41414141).bytes(),
      // one mesh with 0xFFFFFFFF faces.
      ByteBuilder().U32(1).U32(1).U8(0).U32(0xFFFFFFFF).U32(0).bytes(),
      // a face with 0xFFFFFFFF points and a little data.
      ByteBuilder().U32(1).U32(1).U8(0).U32(1).U32(0xFFFFFFFF).F64(1).F64(2).F64(3).bytes(),
      // 0xFFFFFFFF indices after the faces.
      ByteBuilder().U32(1).U32(1).U8(0).U32(0).U32(0xFFFFFFFF).U32(9).bytes(),
      // a mesh name claiming 0xFFFFFFFF bytes.
      ByteBuilder().U32(1).U32(1).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF).bytes(),
  };
  for (const Bytes& file : files) {
    WriteAll(path, file);
    AllocationMeter meter;
    EXPECT_EQ(LoadCause(path), CArchiveException::endOfFile);
    EXPECT_LT(meter.PeakAboveStart(), 256u * 1024u);
  }
}

TEST(MeshCorruptionTest, ManyTinyRecordsCostNoMoreThanAValidFile) {
  ScratchDir dir;
  // The same 10000 empty meshes, once with their true count and once
  // claiming four billion: the damaged file stops at the end of the data,
  // having used no more memory than the valid one.
  ByteBuilder records;
  for (int i = 0; i < 10000; ++i) records.U32(static_cast<unsigned>(i)).U8(0).U32(0).U32(0);
  const std::string validPath = dir.Path("valid.bin"), hostilePath = dir.Path("hostile.bin");
  WriteAll(validPath, ByteBuilder().U32(10000).Append(records.bytes()).bytes());
  WriteAll(hostilePath, ByteBuilder().U32(0xFFFFFFFF).Append(records.bytes()).bytes());

  std::size_t validPeak;
  {
    CMeshBin bin;
    AllocationMeter meter;
    bin.load(validPath.c_str());
    validPeak = meter.PeakAboveStart();
    ASSERT_EQ(bin.meshes.size(), 10000u);
  }
  CMeshBin bin;
  AllocationMeter meter;
  try {
    bin.load(hostilePath.c_str());
    FAIL() << "a missing mesh must end the load";
  } catch (CArchiveException* error) {
    EXPECT_EQ(error->m_cause, CArchiveException::endOfFile);
    error->Delete();
  }
  EXPECT_EQ(bin.meshes.size(), 10001u);  // the last one appended, partly read
  EXPECT_EQ(bin.meshes[9999].number, 9999);
  EXPECT_LE(meter.PeakAboveStart(), validPeak + 4096);
}

}  // namespace
