#include "corvane/json_mesh_writer.h"

#include <cmath>
#include <string>

namespace corvane {
namespace tool {
namespace {

class MeshJsonWriter {
 public:
  explicit MeshJsonWriter(JsonWriter& writer) : m_writer(writer) {}

  void Write(const std::vector<BinMeshData>& meshes) {
    m_writer.StartArray();
    for (const BinMeshData& mesh : meshes) Mesh(mesh);
    m_writer.EndArray();
  }

 private:
  void Mesh(const BinMeshData& mesh) {
    m_writer.StartObject();
    m_writer.Key("number");
    m_writer.Int(mesh.number);
    m_writer.Key("name");
    WriteNarrowString(m_writer, mesh.name, m_utf8);
    m_writer.Key("faces");
    m_writer.StartArray();
    for (const BinFaceData& face : mesh.faces) Face(face);
    m_writer.EndArray();
    Indices("indices", mesh.indices);
    m_writer.EndObject();
  }

  void Face(const BinFaceData& face) {
    m_writer.StartObject();
    Points("points3d", face.points3d);
    Indices("indices", face.indices);
    Points("points2dA", face.points2dA);
    Points("points2dB", face.points2dB);
    Points("vectors3d", face.vectors3d);
    m_writer.Key("text");
    WriteNarrowString(m_writer, face.text, m_utf8);
    m_writer.Key("number");
    m_writer.Int(face.number);
    Flag("flagA", face.flagA);
    Flag("flagB", face.flagB);
    m_writer.Key("factor");
    Number(face.factor);
    Flag("flagC", face.flagC);
    m_writer.EndObject();
  }

  // Points and vectors alike: [[x, y(, z)], ...].
  template <class Point>
  void Points(const char* key, const std::vector<Point>& points) {
    m_writer.Key(key);
    m_writer.StartArray();
    for (const Point& point : points) {
      m_writer.StartArray();
      Coordinates(point);
      m_writer.EndArray();
    }
    m_writer.EndArray();
  }

  void Coordinates(const AcGePoint2d& point) {
    Number(point.x);
    Number(point.y);
  }
  template <class Point>
  void Coordinates(const Point& point) {
    Number(point.x);
    Number(point.y);
    Number(point.z);
  }

  void Indices(const char* key, const std::vector<int>& indices) {
    m_writer.Key(key);
    m_writer.StartArray();
    for (const int index : indices) m_writer.Int(index);
    m_writer.EndArray();
  }

  void Flag(const char* key, bool value) {
    m_writer.Key(key);
    m_writer.Bool(value);
  }

  void Number(double value) {
    if (std::isfinite(value)) {
      m_writer.Double(value);
    } else {
      m_writer.Null();
    }
  }

  JsonWriter& m_writer;
  std::string m_utf8;
};

}  // namespace

void WriteMeshJson(JsonWriter& writer, const std::vector<BinMeshData>& meshes) {
  MeshJsonWriter(writer).Write(meshes);
}

}  // namespace tool
}  // namespace corvane
