// Mesh files of up to 1 MB built to cost the loader the most memory per byte:
// the smallest possible meshes and faces, each list element the smallest
// form, and the same with counts that claim far more than the file holds.
// The loader's peak stays within a small multiple of the file's size.
#include <corvane/mesh/mesh_bin.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/allocation_meter.h"
#include "platform/scratch_dir.h"

namespace {

using corvane_test::AllocationMeter;
using corvane_test::ByteBuilder;
using corvane_test::Bytes;
using corvane_test::ScratchDir;
using corvane_test::WriteAll;

constexpr std::size_t kFileLimit = 1024 * 1024;
// Records in memory are larger than in the file (a face is 36 bytes on disk
// at least, several times that in memory), and a growing list briefly holds
// its old and new storage.
constexpr std::size_t kMaxBytesPerFileByte = 16;

// The smallest face: five empty lists, an empty text, number, flags, factor.
void AppendEmptyFace(ByteBuilder& out) {
  for (int list = 0; list < 5; ++list) out.U32(0);
  out.U8(0).U32(0).U8(0).U8(0).F64(1.0).U8(0);
}

// The peak heap above the start while loading, and whether the load ended
// with the archive's end-of-file error.
std::size_t LoadPeak(const Bytes& file, bool* endOfFile) {
  ScratchDir dir;
  const std::string path = dir.Path("hostile.bin");
  WriteAll(path, file);
  *endOfFile = false;
  CMeshBin bin;
  AllocationMeter meter;
  try {
    bin.load(path.c_str());
  } catch (CArchiveException* error) {
    *endOfFile = error->m_cause == CArchiveException::endOfFile;
    error->Delete();
  }
  return meter.PeakAboveStart();
}

void ExpectBounded(const char* what, const Bytes& file, bool truncated) {
  ASSERT_LE(file.size(), kFileLimit);
  bool endOfFile = false;
  const std::size_t peak = LoadPeak(file, &endOfFile);
  if (std::getenv("CORVANE_SHOW_COSTS") != nullptr) {
    std::printf("%-24s %8zu bytes: peak %9zu (%.1f per byte)\n", what, file.size(), peak,
                static_cast<double>(peak) / static_cast<double>(file.size()));
  }
  EXPECT_EQ(endOfFile, truncated) << what;
  EXPECT_LE(peak, kMaxBytesPerFileByte * file.size()) << what;
}

TEST(MeshSizeRegression, SmallestMeshesAndFaces) {
  const std::size_t meshBytes = 13, faceBytes = 36;
  const std::size_t meshes = (kFileLimit - 4) / meshBytes;
  for (std::uint32_t claimed : {static_cast<std::uint32_t>(meshes), 0xFFFFFFFFu}) {
    ByteBuilder file;
    file.U32(claimed);
    for (std::size_t i = 0; i < meshes; ++i) file.U32(0).U8(0).U32(0).U32(0);
    ExpectBounded(claimed == 0xFFFFFFFFu ? "meshes, count too large" : "empty meshes", file.bytes(),
                  claimed == 0xFFFFFFFFu);
  }
  const std::size_t faces = (kFileLimit - 4 - 13) / faceBytes;
  for (std::uint32_t claimed : {static_cast<std::uint32_t>(faces), 0xFFFFFFFFu}) {
    ByteBuilder file;
    file.U32(1).U32(0).U8(0).U32(claimed);
    for (std::size_t i = 0; i < faces; ++i) AppendEmptyFace(file);
    if (claimed != 0xFFFFFFFFu) file.U32(0);
    ExpectBounded(claimed == 0xFFFFFFFFu ? "faces, count too large" : "empty faces", file.bytes(),
                  claimed == 0xFFFFFFFFu);
  }
}

TEST(MeshSizeRegression, ListsTextsAndWideTexts) {
  // One face per list kind holding as many elements as fit, with a count
  // claiming four billion: the list grows only with the data really read.
  for (int list = 0; list < 5; ++list) {
    ByteBuilder file;
    file.U32(1).U32(0).U8(0).U32(1);
    for (int before = 0; before < list; ++before) file.U32(0);
    file.U32(0xFFFFFFFFu);
    while (file.bytes().size() + 4 <= kFileLimit) file.U32(0x3F800000u);
    ExpectBounded("list, count too large", file.bytes(), true);
  }
  // Many meshes whose names are one-character wide texts (converted on the
  // way in), and one name claiming more than the file holds.
  ByteBuilder wide;
  const std::size_t count = (kFileLimit - 4) / 19;
  wide.U32(static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i) wide.U32(0).U8(0xFF).U16(0xFFFE).U8(1).U16(0x4E2D).U32(0).U32(0);
  ExpectBounded("wide names", wide.bytes(), false);
  ByteBuilder longName;
  longName.U32(1).U32(0).U8(0xFF).U16(0xFFFF).U32(0x7FFFFFF0u);
  while (longName.bytes().size() < kFileLimit) longName.U8('x');
  ExpectBounded("name longer than file", longName.bytes(), true);
}

}  // namespace
