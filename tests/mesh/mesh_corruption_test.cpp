// Damaged mesh files: every truncation of a valid file (the empty file
// included) ends in endOfFile, and counts or lengths larger than the data fail
// at once, using memory for the bytes really present only.
#include <corvane/mesh/mesh_bin.h>

#include <string>

#include <gtest/gtest.h>

#include "mesh/mesh_sample.h"
#include "platform/allocation_meter.h"
#include "platform/scratch_dir.h"

namespace {

using namespace corvane_test;

class MeshCorruptionTest : public ::testing::Test {
 protected:
  // The archive cause that loading the damaged file raises (-1: none).
  int LoadCause(CMeshBin& bin) {
    return CaughtCause<CArchiveException>([&] { bin.load(path.c_str()); });
  }
  int LoadCause(const Bytes& bytes) {
    WriteAll(path, bytes);
    CMeshBin bin;
    return LoadCause(bin);
  }
  ScratchDir dir;
  const std::string path = dir.Path("damaged.bin");
};

TEST_F(MeshCorruptionTest, EveryTruncationRaisesEndOfFile) {
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(1, 2));
  bin.meshes.push_back(SampleMesh(2, 0));
  bin.meshes[1].name = CString(std::string(260, 'w').c_str());
  const std::string wholePath = dir.Path("whole.bin");
  bin.save(wholePath.c_str());
  const Bytes whole = ReadAll(wholePath);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    ASSERT_EQ(LoadCause(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
              CArchiveException::endOfFile)
        << "cut at " << size;
  }
  EXPECT_EQ(LoadCause(whole), -1);
  CMeshBin partly;  // a load cut in the last mesh leaves the list partly read
  WriteAll(path, Bytes(whole.begin(), whole.end() - 1));
  EXPECT_EQ(LoadCause(partly), CArchiveException::endOfFile);
  ASSERT_EQ(partly.meshes.size(), 2u);
  EXPECT_TRUE(partly.meshes[0].faces[1] == bin.meshes[0].faces[1]);
}

TEST_F(MeshCorruptionTest, HugeCountsAndLengthsFailFast) {
  const ByteBuilder oneMesh = ByteBuilder().U32(1).U32(1);
  const Bytes files[] = {
      ByteBuilder().U32(0xFFFFFFFF).U32(1).U32(0x41414141).bytes(),  // a mesh number and a cut name
      ByteBuilder(oneMesh).U8(0).U32(0xFFFFFFFF).U32(0).bytes(),     // faces
      ByteBuilder(oneMesh).U8(0).U32(1).U32(0xFFFFFFFF).F64(1).F64(2).F64(3).bytes(),  // points
      ByteBuilder(oneMesh).U8(0).U32(0).U32(0xFFFFFFFF).U32(9).bytes(),                // mesh indices
      ByteBuilder(oneMesh).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF).bytes(),  // name length
  };
  for (const Bytes& file : files) {
    WriteAll(path, file);
    CMeshBin bin;
    AllocationMeter meter;
    EXPECT_EQ(LoadCause(bin), CArchiveException::endOfFile) << ::testing::PrintToString(file);
    EXPECT_LT(meter.PeakAboveStart(), 256u * 1024u) << ::testing::PrintToString(file);
  }
}

}  // namespace
