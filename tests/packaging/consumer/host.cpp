// A host program that knows only the installed umbrella header: it writes a
// conversion document and a mesh file, reads both back and checks them.
#include <corvane/corvane.h>

#include <cstdio>
#include <string>

static int Fail(const char* what) {
  std::fprintf(stderr, "consumer check failed: %s\n", what);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage: host WORK_DIR");
  const std::string dir = argv[1];
  const CString xmlPath = (dir + "/host.xml").c_str();
  {
    FileConvert document;
    document.SetPath(xmlPath, false);
    CIoPubHelp::h_StrLabel = "Var";
    CIoPubHelp::h_strName = "Scale";
    document.GetSysVar() << 2.5;
    CIoPubHelp::h_StrLabel = "Layer";
    CIoPubHelp::h_strName = "Walls";
    document.GetLayers() << "load bearing";
  }
  FileConvert loaded;
  loaded.SetPath(xmlPath, true);
  double scale = 0;
  loaded.GetSysVar()->ChildByName("scale") >> scale;
  if (scale != 2.5) return Fail("scale");
  std::string note;
  loaded.GetLayers()->ChildByLabel("LAYER") >> note;
  if (note != "load bearing") return Fail("note");

  CMeshBin meshes;
  BinMeshData mesh;
  mesh.number = 7;
  mesh.name = "A";
  BinFaceData face;
  face.points3d.push_back(AcGePoint3d(1, 2, 3));
  mesh.faces.push_back(face);
  meshes.meshes.push_back(mesh);
  const CString meshPath = (dir + "/host.bin").c_str();
  meshes.save(meshPath);
  CMeshBin back;
  back.load(meshPath);
  if (back.meshes.size() != 1 || !(back.meshes[0].faces[0] == face)) return Fail("mesh");
  std::printf("host ok (library %s)\n", CorvaneVersion());
  return 0;
}
