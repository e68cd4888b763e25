// The binary mesh file's record layout, in one place for the writer and the
// reader: the order of each record's fields, the encoded size of the plain
// list elements and the smallest encoded size of each record. The file has no
// header, magic or version. A visitor is called once per field, in file
// order; lists are 4-byte counts followed by their elements.
#pragma once

#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/platform/acge.h>

#include <cstddef>

namespace corvane {
namespace mesh {

// Face record. flagB precedes flagA (the reverse of the declaration), and
// transientValue is not part of the file.
template <typename Visitor, typename Face>
void VisitFaceFields(Visitor& visit, Face& face) {
  visit(face.points3d);
  visit(face.indices);
  visit(face.points2dA);
  visit(face.points2dB);
  visit(face.vectors3d);
  visit(face.text);
  visit(face.number);
  visit(face.flagB);
  visit(face.flagA);
  visit(face.factor);
  visit(face.flagC);
}

// Mesh record.
template <typename Visitor, typename Mesh>
void VisitMeshFields(Visitor& visit, Mesh& mesh) {
  visit(mesh.number);
  visit(mesh.name);
  visit(mesh.faces);
  visit(mesh.indices);
}

// Bytes per element in the file for the lists of plain values.
template <typename T>
struct EncodedSize;
template <>
struct EncodedSize<int> {
  static constexpr std::size_t value = 4;
};
template <>
struct EncodedSize<AcGePoint2d> {
  static constexpr std::size_t value = 2 * 8;
};
template <>
struct EncodedSize<AcGePoint3d> {
  static constexpr std::size_t value = 3 * 8;
};
template <>
struct EncodedSize<AcGeVector3d> {
  static constexpr std::size_t value = 3 * 8;
};

// The fewest bytes a record takes in the file: every list empty, every text
// empty (a 1-byte length prefix). A face is five counts, the text prefix,
// number, three flags and factor; a mesh is number, name prefix and two counts.
template <typename T>
struct MinimumEncodedSize : EncodedSize<T> {};
template <>
struct MinimumEncodedSize<BinFaceData> {
  static constexpr std::size_t value = 5 * 4 + 1 + 4 + 3 * 1 + 8;
};
template <>
struct MinimumEncodedSize<BinMeshData> {
  static constexpr std::size_t value = 4 + 1 + 4 + 4;
};

}  // namespace mesh
}  // namespace corvane
