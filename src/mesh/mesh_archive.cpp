#include <corvane/mesh/mesh_archive.h>

#include "mesh/record_io.h"

using corvane::mesh::RecordReader;
using corvane::mesh::RecordWriter;

CArchive& operator<<(CArchive& ar, const AcGePoint2d& point) {
  RecordWriter visit(ar);
  visit(point);
  return ar;
}

CArchive& operator>>(CArchive& ar, AcGePoint2d& point) {
  RecordReader visit(ar);
  visit(point);
  return ar;
}

CArchive& operator<<(CArchive& ar, const AcGePoint3d& point) {
  corvane::mesh::WriteXyz(ar, point);
  return ar;
}

CArchive& operator>>(CArchive& ar, AcGePoint3d& point) {
  corvane::mesh::ReadXyz(ar, point);
  return ar;
}

CArchive& operator<<(CArchive& ar, const AcGeVector3d& vector) {
  corvane::mesh::WriteXyz(ar, vector);
  return ar;
}

CArchive& operator>>(CArchive& ar, AcGeVector3d& vector) {
  corvane::mesh::ReadXyz(ar, vector);
  return ar;
}

CArchive& operator<<(CArchive& ar, const BinFaceData& face) {
  RecordWriter visit(ar);
  visit(face);
  return ar;
}

CArchive& operator>>(CArchive& ar, BinFaceData& face) {
  RecordReader visit(ar);
  visit(face);
  return ar;
}

CArchive& operator<<(CArchive& ar, const BinMeshData& mesh) {
  RecordWriter visit(ar);
  visit(mesh);
  return ar;
}

CArchive& operator>>(CArchive& ar, BinMeshData& mesh) {
  RecordReader visit(ar);
  visit(mesh);
  return ar;
}
