#include "corvane/demo_document.h"

#include <corvane/chunk/chunk_factory.h>
#include <corvane/stream/chunk_stream.h>

#include <string>

#include "corvane/terminal.h"

namespace corvane {
namespace tool {
namespace {

// The sample's Chinese texts are written here in UTF-8 and handed to the
// library in its own code page, as a host on a Chinese system would.
CString Gbk(const char* utf8) { return NarrowText(utf8); }

// Sets the pending label and name for the next `<<`.
void Next(const CString& label, const CString& name) {
  CIoPubHelp::h_StrLabel = label;
  CIoPubHelp::h_strName = name;
}

void FillSystemVariables(const boost::shared_ptr<IChunk>& sysVar) {
  Next("Var", "LUNITS");
  sysVar << 2;
  Next("Var", "DIMSCALE");
  sysVar << 1.0;
  Next("Var", "FILLMODE");
  sysVar << true;
  Next("Var", "HANDSEED");
  sysVar << static_cast<unsigned __int64>(0x2A0000000ull);
  Next("Var", "INSBASE");
  sysVar << TmpDouble3{0.0, 0.0, 0.0};
  Next("Var", "PROJECTNAME");
  sysVar << Gbk(u8"滨江办公楼");
}

void AddLayer(const boost::shared_ptr<IChunk>& layers, const char* utf8Name, int color,
              bool frozen) {
  boost::shared_ptr<IChunk> layer = newChunk("Layer", Gbk(utf8Name));
  layers->addChild(layer);
  Next("Color", "");
  layer << color;
  Next("LineType", "");
  layer << "Continuous";
  Next("Frozen", "");
  layer << frozen;
}

void FillLayers(const boost::shared_ptr<IChunk>& layers) {
  AddLayer(layers, "0", 7, false);
  AddLayer(layers, u8"墙体", 1, false);
  AddLayer(layers, u8"门窗", 4, false);
  AddLayer(layers, u8"标注", 2, true);
}

void FillEnvironment(const boost::shared_ptr<IChunk>& environment) {
  Next("Var", "Units");
  environment << "mm";
  Next("Light", "Sun");
  boost::shared_ptr<IChunk> sun = environment << TmpDouble3{-0.5, -0.5, -0.707107};
  Next("Intensity", "");
  sun << 0.8f;
  Next("Background", "");
  environment << TmpFloat4{0.1f, 0.1f, 0.15f, 1.0f};
}

void FillMaterials(const boost::shared_ptr<IChunk>& materials) {
  boost::shared_ptr<IChunk> concrete = newChunk("Material", Gbk(u8"混凝土"));
  materials->addChild(concrete);
  Next("Diffuse", "");
  concrete << TmpFloat3{0.6f, 0.6f, 0.58f};
  Next("Roughness", "");
  concrete << 0.9f;
}

void FillMeshes(const boost::shared_ptr<IChunk>& meshes) {
  boost::shared_ptr<IChunk> slab = newChunk("Mesh", "Slab");
  meshes->addChild(slab);
  Next("VertexCount", "");
  slab << 8u;
  Next("FaceCount", "");
  slab << 6u;
  Next("Bounds", "");
  slab << TmpDouble4{0.0, 0.0, 12000.0, 8000.0};
}

void FillGroups(const boost::shared_ptr<IChunk>& groups) {
  boost::shared_ptr<IChunk> stair = newChunk("Group", Gbk(u8"楼梯"));
  groups->addChild(stair);
  Next("Member", "");
  stair << static_cast<unsigned __int64>(0x1F3);
  boost::shared_ptr<IChunk> railing = newChunk("Group", Gbk(u8"栏杆"));
  stair->addChild(railing);
  Next("Member", "");
  railing << static_cast<unsigned __int64>(0x1F4);
  Next("Member", "");
  railing << static_cast<unsigned __int64>(0x1F5);
}

void AddEntity(const boost::shared_ptr<IChunk>& entities, const char* kind, unsigned __int64 handle,
               const char* utf8Layer, int color) {
  Next("Entity", kind);
  boost::shared_ptr<IChunk> entity = entities << static_cast<__int64>(handle);
  Next("Layer", "");
  entity << Gbk(utf8Layer);
  Next("Color", "");
  entity << color;
  Next("Visible", "");
  entity << true;
}

void FillEntities(const boost::shared_ptr<IChunk>& entities) {
  AddEntity(entities, "Line", 0x1F0, u8"墙体", 1);
  Next("Start", "");
  entities->Child(0) << TmpDouble3{0.0, 0.0, 0.0};
  Next("End", "");
  entities->Child(0) << TmpDouble3{12000.0, 0.0, 0.0};
  AddEntity(entities, "Circle", 0x1F1, u8"门窗", 4);
  Next("Center", "");
  entities->Child(1) << TmpDouble2{6000.0, 4000.0};
  Next("Radius", "");
  entities->Child(1) << 450.0;
  AddEntity(entities, "Text", 0x1F2, u8"标注", 2);
  Next("Content", "");
  entities->Child(2) << Gbk(u8"正在施工");
  Next("Height", "");
  entities->Child(2) << 250.0f;
}

BinFaceData Face(std::initializer_list<AcGePoint3d> points, const char* text, int number) {
  BinFaceData face;
  face.points3d.assign(points);
  for (int i = 0; i < static_cast<int>(points.size()); ++i) face.indices.push_back(i);
  for (const AcGePoint3d& point : points) face.points2dA.push_back(AcGePoint2d(point.x, point.y));
  face.vectors3d.push_back(AcGeVector3d(0, 0, 1));
  face.text = text;
  face.number = number;
  return face;
}

}  // namespace

void FillDemoDocument(FileConvert& document) {
  FillSystemVariables(document.GetSysVar());
  FillLayers(document.GetLayers());
  FillEnvironment(document.GetEnvironment());
  FillMaterials(document.GetMaterials());
  FillMeshes(document.GetMeshs());
  FillGroups(document.GetGroups());
  FillEntities(document.GetEntitys());
}

CMeshBin DemoMeshes() {
  CMeshBin file;
  BinMeshData cube;
  cube.number = 1;
  cube.name = "cube";
  const AcGePoint3d p[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                            {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
  cube.faces.push_back(Face({p[0], p[3], p[2], p[1]}, "bottom", 0));
  cube.faces.push_back(Face({p[4], p[5], p[6], p[7]}, "top", 1));
  cube.faces.push_back(Face({p[0], p[1], p[5], p[4]}, "front", 2));
  cube.faces.push_back(Face({p[1], p[2], p[6], p[5]}, "right", 3));
  cube.faces.push_back(Face({p[2], p[3], p[7], p[6]}, "back", 4));
  cube.faces.push_back(Face({p[3], p[0], p[4], p[7]}, "left", 5));
  file.meshes.push_back(cube);

  BinMeshData pyramid;
  pyramid.number = 2;
  pyramid.name = Gbk(u8"金字塔");
  const AcGePoint3d apex(0.5, 0.5, 1.5);
  pyramid.faces.push_back(Face({{0, 0, 2}, {1, 0, 2}, apex}, "south", 0));
  pyramid.faces.push_back(Face({{1, 0, 2}, {1, 1, 2}, apex}, "east", 1));
  pyramid.faces.push_back(Face({{1, 1, 2}, {0, 1, 2}, apex}, "north", 2));
  pyramid.faces.push_back(Face({{0, 1, 2}, {0, 0, 2}, apex}, "west", 3));
  file.meshes.push_back(pyramid);

  BinMeshData strip;
  strip.number = 3;
  strip.name = "strip";
  for (int i = 0; i < 8; ++i) {
    strip.faces.push_back(Face({{2.0 + i, 0, 0}, {3.0 + i, 0, 0}, {2.5 + i, 1, 0}}, "tri", i));
    strip.indices.push_back(i);
  }
  file.meshes.push_back(strip);
  return file;
}

}  // namespace tool
}  // namespace corvane
