// Mesh files from Python. Each mesh crosses as columns: every face's points,
// indices, 2D points and vectors joined into one NumPy array per list with
// the faces' start offsets (faces + 1 entries), and the faces' scalar fields
// as arrays. Loading copies each record list once, straight into its array;
// the package's Mesh and Face (corvane/_meshes.py) are views over them.
#include <corvane/mesh/mesh_bin.h>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "bindings.h"
#include "file_errors.h"
#include "narrow_text.h"

namespace corvane {
namespace python {
namespace {

static_assert(sizeof(AcGePoint3d) == 3 * sizeof(double) &&
                  sizeof(AcGeVector3d) == 3 * sizeof(double) &&
                  sizeof(AcGePoint2d) == 2 * sizeof(double),
              "the geometry records are plain coordinates, copied as such");

py::handle g_archiveError;

using Offsets = py::array_t<std::int64_t>;
template <typename T>
using Column = py::array_t<T, py::array::c_style | py::array::forcecast>;

// One list of every face, joined: the values and where each face's start.
template <typename Record, typename Value, std::size_t Width>
std::pair<py::array, Offsets> Join(const std::vector<BinFaceData>& faces,
                                   std::vector<Record> BinFaceData::*list) {
  Offsets offsets(static_cast<py::ssize_t>(faces.size() + 1));
  std::int64_t* at = offsets.mutable_data();
  std::size_t total = 0;
  at[0] = 0;
  for (std::size_t f = 0; f < faces.size(); ++f) {
    total += (faces[f].*list).size();
    at[f + 1] = static_cast<std::int64_t>(total);
  }
  std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(total)};
  if (Width > 1) shape.push_back(Width);
  py::array_t<Value> values(shape);
  char* out = reinterpret_cast<char*>(values.mutable_data());
  for (const BinFaceData& face : faces) {
    const std::size_t bytes = (face.*list).size() * sizeof(Record);
    if (bytes != 0) std::memcpy(out, (face.*list).data(), bytes);
    out += bytes;
  }
  return {std::move(values), std::move(offsets)};
}

template <typename T, typename Field>
py::array_t<T> Scalars(const std::vector<BinFaceData>& faces, Field BinFaceData::*field) {
  py::array_t<T> values(static_cast<py::ssize_t>(faces.size()));
  T* out = values.mutable_data();
  for (const BinFaceData& face : faces) *out++ = static_cast<T>(face.*field);
  return values;
}

py::tuple ColumnsOf(const BinMeshData& mesh) {
  const std::vector<BinFaceData>& faces = mesh.faces;
  py::list texts(faces.size());
  for (std::size_t f = 0; f < faces.size(); ++f) texts[f] = PythonFromNarrow(faces[f].text);
  py::array_t<std::int32_t> indices(static_cast<py::ssize_t>(mesh.indices.size()));
  if (!mesh.indices.empty())
    std::memcpy(indices.mutable_data(), mesh.indices.data(), mesh.indices.size() * 4);
  auto points3d = Join<AcGePoint3d, double, 3>(faces, &BinFaceData::points3d);
  auto faceIndices = Join<int, std::int32_t, 1>(faces, &BinFaceData::indices);
  auto points2dA = Join<AcGePoint2d, double, 2>(faces, &BinFaceData::points2dA);
  auto points2dB = Join<AcGePoint2d, double, 2>(faces, &BinFaceData::points2dB);
  auto vectors3d = Join<AcGeVector3d, double, 3>(faces, &BinFaceData::vectors3d);
  return py::make_tuple(
      mesh.number, PythonFromNarrow(mesh.name), indices, points3d.first, points3d.second,
      faceIndices.first, faceIndices.second, points2dA.first, points2dA.second, points2dB.first,
      points2dB.second, vectors3d.first, vectors3d.second, texts,
      Scalars<std::int32_t>(faces, &BinFaceData::number), Scalars<bool>(faces, &BinFaceData::flagA),
      Scalars<bool>(faces, &BinFaceData::flagB), Scalars<double>(faces, &BinFaceData::factor),
      Scalars<bool>(faces, &BinFaceData::flagC));
}

// Face f's slice of a joined column back into its record list.
template <typename Record>
void Split(const py::handle values, const py::handle offsets, std::size_t f,
           std::vector<Record> BinFaceData::*list, BinFaceData& face) {
  const auto joined = py::reinterpret_borrow<Column<double>>(values);
  const auto starts = py::reinterpret_borrow<Column<std::int64_t>>(offsets);
  const std::size_t begin = static_cast<std::size_t>(starts.at(f));
  const std::size_t end = static_cast<std::size_t>(starts.at(f + 1));
  const Record* first = reinterpret_cast<const Record*>(joined.data()) + begin;
  (face.*list).assign(first, first + (end - begin));
}

// The records of one mesh's columns, as checked by the package (shapes,
// dtypes, C order, offsets within the arrays).
BinMeshData MeshOf(const py::tuple& c) {
  BinMeshData mesh;
  mesh.number = c[0].cast<int>();
  mesh.name = NarrowFromPython(c[1], "a mesh name");
  const auto indices = c[2].cast<Column<std::int32_t>>();
  mesh.indices.assign(indices.data(), indices.data() + indices.size());
  const auto texts = c[13].cast<py::list>();
  const auto numbers = c[14].cast<Column<std::int32_t>>();
  const auto flagA = c[15].cast<Column<bool>>();
  const auto flagB = c[16].cast<Column<bool>>();
  const auto factor = c[17].cast<Column<double>>();
  const auto flagC = c[18].cast<Column<bool>>();
  const auto faceIndices = c[5].cast<Column<std::int32_t>>();
  const auto faceStarts = c[6].cast<Column<std::int64_t>>();
  mesh.faces.resize(texts.size());
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    BinFaceData& face = mesh.faces[f];
    Split<AcGePoint3d>(c[3], c[4], f, &BinFaceData::points3d, face);
    const std::int32_t* first = faceIndices.data() + faceStarts.at(f);
    face.indices.assign(first, faceIndices.data() + faceStarts.at(f + 1));
    Split<AcGePoint2d>(c[7], c[8], f, &BinFaceData::points2dA, face);
    Split<AcGePoint2d>(c[9], c[10], f, &BinFaceData::points2dB, face);
    Split<AcGeVector3d>(c[11], c[12], f, &BinFaceData::vectors3d, face);
    face.text = NarrowFromPython(texts[f], "a face text");
    const py::ssize_t i = static_cast<py::ssize_t>(f);
    face.number = numbers.at(i);
    face.flagA = flagA.at(i);
    face.flagB = flagB.at(i);
    face.factor = factor.at(i);
    face.flagC = flagC.at(i);
  }
  return mesh;
}

// A failure of the library's archive or file, taken from its heap exception.
struct Failure {
  enum { kNone, kArchive, kFile } kind = kNone;
  std::string message;
  long osError = 0;
  int cause = 0;
};

template <typename Work>
Failure RunArchive(Work work) {
  Failure failure;
  py::gil_scoped_release released;
  char message[256] = "";
  errno = 0;
  try {
    work();
  } catch (CArchiveException* error) {
    error->GetErrorMessage(message, sizeof message);
    failure = Failure{Failure::kArchive, message, 0, error->m_cause};
    error->Delete();
  } catch (CFileException* error) {
    error->GetErrorMessage(message, sizeof message);
    failure = Failure{Failure::kFile, message, error->m_lOsError, error->m_cause};
    error->Delete();
  }
  if (failure.kind == Failure::kNone) failure.osError = errno;
  return failure;
}

[[noreturn]] void Raise(const Failure& failure, py::handle path) {
  if (failure.kind == Failure::kArchive) {
    py::object error = g_archiveError(py::str(path).cast<std::string>() + ": " + failure.message);
    error.attr("cause") = failure.cause;
    error.attr("filename") = path;
    PyErr_SetObject(g_archiveError.ptr(), error.ptr());
    throw py::error_already_set();
  }
  if (failure.osError <= 0) {  // a file failure without an errno: the library's words
    PyErr_SetObject(PyExc_OSError, py::make_tuple(EIO, failure.message, path).ptr());
    throw py::error_already_set();
  }
  RaiseFileError(failure.osError, CString(), path);
}

py::list LoadMeshes(py::handle pathObject) {
  const CString path = NarrowPath(pathObject);
  // A file that does not open would make the load return quietly.
  if (const long error = OpenError(path)) RaiseFileError(error, path, pathObject);
  CMeshBin file;
  Failure failure = RunArchive([&] { file.load(path); });
  if (failure.kind != Failure::kNone) Raise(failure, pathObject);
  py::list meshes(file.meshes.size());
  for (std::size_t m = 0; m < file.meshes.size(); ++m) {
    meshes[m] = ColumnsOf(file.meshes[m]);
    BinMeshData().faces.swap(file.meshes[m].faces);  // released as it goes
  }
  return meshes;
}

void SaveMeshes(const py::list& columns, py::handle pathObject) {
  const CString path = NarrowPath(pathObject);
  CMeshBin file;
  file.meshes.reserve(columns.size());
  for (py::handle mesh : columns) file.meshes.push_back(MeshOf(mesh.cast<py::tuple>()));
  // A path the save cannot open makes it return quietly: a folder, or a file
  // that still does not open after the save.
  const long before = OpenError(path);
  if (before == EISDIR) RaiseFileError(before, path, pathObject);
  Failure failure = RunArchive([&] { file.save(path); });
  if (failure.kind != Failure::kNone) Raise(failure, pathObject);
  if (before != 0 && OpenError(path) != 0) RaiseFileError(failure.osError, path, pathObject);
}

}  // namespace

void RegisterMeshFiles(py::module_& module) {
  g_archiveError = PyErr_NewExceptionWithDoc(
      "corvane.ArchiveError",
      "A mesh file whose data ends early or is not a mesh file: the archive's cause\n"
      "(CArchiveException's m_cause, endOfFile = 3) and filename.",
      PyExc_Exception, nullptr);
  module.attr("ArchiveError") = g_archiveError;
  module.def("_load_meshes", &LoadMeshes, py::arg("path"));
  module.def("_save_meshes", &SaveMeshes, py::arg("columns"), py::arg("path"));
}

}  // namespace python
}  // namespace corvane
