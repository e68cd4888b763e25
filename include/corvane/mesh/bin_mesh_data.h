// BinMeshData: one mesh, a plain record owning its faces, name and index
// list by value; copies are deep, face by face. No equality operator. No
// failures beyond the allocator; one thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/mesh/bin_face_data.h>
#include <corvane/platform/cstring.h>

#include <vector>

class CORVANE_API BinMeshData {
 public:
  BinMeshData();
  BinMeshData(const BinMeshData& other);
  BinMeshData(BinMeshData&& other) noexcept;
  BinMeshData& operator=(const BinMeshData& other);
  BinMeshData& operator=(BinMeshData&& other) noexcept;
  ~BinMeshData();

  int number;  // 0 after construction
  CString name;
  std::vector<BinFaceData> faces;
  std::vector<int> indices;
};
