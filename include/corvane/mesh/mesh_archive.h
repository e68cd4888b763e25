// Archive operators for the mesh records and their geometry, in the binary
// mesh file's layout (little-endian, 4-byte counts, no padding). Each returns
// the archive it was given. Failures are the archive's own heap exceptions
// (CArchiveException* endOfFile on short data, CFileException* from the
// file); a record read that fails is left partly read.
#pragma once

#include <corvane/export.h>
#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/platform/acge.h>
#include <corvane/platform/afx_archive.h>

CORVANE_API CArchive& operator<<(CArchive& ar, const AcGePoint2d& point);
CORVANE_API CArchive& operator>>(CArchive& ar, AcGePoint2d& point);
CORVANE_API CArchive& operator<<(CArchive& ar, const AcGePoint3d& point);
CORVANE_API CArchive& operator>>(CArchive& ar, AcGePoint3d& point);
CORVANE_API CArchive& operator<<(CArchive& ar, const AcGeVector3d& vector);
CORVANE_API CArchive& operator>>(CArchive& ar, AcGeVector3d& vector);

// Lists inside a record are read by the resize rule: surplus elements are
// destroyed, elements already present are read in place, missing ones are
// appended default-constructed as they are read. transientValue is neither
// written nor read.
CORVANE_API CArchive& operator<<(CArchive& ar, const BinFaceData& face);
CORVANE_API CArchive& operator>>(CArchive& ar, BinFaceData& face);
CORVANE_API CArchive& operator<<(CArchive& ar, const BinMeshData& mesh);
CORVANE_API CArchive& operator>>(CArchive& ar, BinMeshData& mesh);
