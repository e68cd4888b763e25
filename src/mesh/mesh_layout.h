// The binary mesh file's record layout, in one place for the writer and the
// reader: the order of each record's fields and the encoded size of the plain
// list elements. The file has no header, magic or version. A visitor is
// called once per field, in file order; lists are 4-byte counts followed by
// their elements.
#pragma once

#include <cstddef>

#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/platform/acge.h>

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

}  // namespace mesh
}  // namespace corvane
