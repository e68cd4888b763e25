// BinFaceData: one face of a mesh, a plain record the host fills directly.
// It owns its lists and text by value and copies deeply. Equality compares
// the four geometry lists within AcGeContext::gTol and everything else
// exactly. No failures beyond the allocator; one thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/acge.h>
#include <corvane/platform/cstring.h>

#include <vector>

struct CORVANE_API BinFaceData {
  // The value of transientValue after construction; the mesh file never
  // stores the field, so a face read into a new slot keeps it. (A library
  // addition: a name for the constant.)
  static constexpr int kUnsetTransientValue = 0xFFFFFF;

  BinFaceData();
  BinFaceData(const BinFaceData& other);
  BinFaceData(BinFaceData&& other) noexcept;
  BinFaceData& operator=(const BinFaceData& other);
  BinFaceData& operator=(BinFaceData&& other) noexcept;
  ~BinFaceData();

  // Field by field in declaration order, false at the first difference. A
  // NaN factor makes a face unequal even to itself.
  bool operator==(const BinFaceData& other) const;

  std::vector<AcGePoint3d> points3d;
  std::vector<int> indices;
  std::vector<AcGePoint2d> points2dA;
  std::vector<AcGePoint2d> points2dB;
  std::vector<AcGeVector3d> vectors3d;
  CString text;
  int number;
  int transientValue;  // copied and compared, never stored in a file
  bool flagA;
  bool flagB;
  double factor;
  bool flagC;
};
