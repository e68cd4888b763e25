#include <corvane/platform/afx_exception.h>
#include <corvane/xmlio/file_convert.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "corvane/commands.h"
#include "corvane/demo_document.h"
#include "corvane/mesh_summary.h"
#include "corvane/terminal.h"
#include "corvane/tree_listing.h"

namespace corvane {
namespace tool {

const char kDemoUsage[] =
    "usage: corvane demo [DIR]\n"
    "\n"
    "Builds a sample conversion document with content in all seven sections,\n"
    "saves it as DIR/demo.xml, loads it back and lists it; then writes a few\n"
    "meshes to DIR/demo.bin and reads them back. Without DIR it works in a new\n"
    "temporary folder.\n";

namespace {

typedef boost::shared_ptr<IChunk> (FileConvert::*SectionGetter)();

struct Section {
  const char* label;
  SectionGetter get;
};

const Section kSections[] = {{"SysVar", &FileConvert::GetSysVar},
                             {"Layers", &FileConvert::GetLayers},
                             {"Environment", &FileConvert::GetEnvironment},
                             {"Materials", &FileConvert::GetMaterials},
                             {"Meshs", &FileConvert::GetMeshs},
                             {"Groups", &FileConvert::GetGroups},
                             {"Entitys", &FileConvert::GetEntitys}};

// Chunks in a section, the section itself included; 0 when it is missing.
unsigned int CountSection(const boost::shared_ptr<IChunk>& section) {
  if (!section) return 0;
  unsigned int count = 1;
  section->allNumChild(count);
  return count;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long long FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<long long>(size);
}

// A new folder of our own under the system's temporary folder.
std::string MakeWorkFolder() {
  std::random_device random;
  std::error_code error;
  const auto temporary = std::filesystem::temp_directory_path(error);
  for (int attempt = 0; !error && attempt < 100; ++attempt) {
    const auto folder = temporary / ("corvane-demo-" + std::to_string(random()));
    if (std::filesystem::create_directory(folder, error)) return folder.string();
  }
  return std::string();
}

void InstallBar(FileConvert& document) {
  const ProgressBar bar = MakeProgressBar();
  document.setStartProgressFun(bar.start);
  document.setSetPosFun(bar.position);
  document.SetEndProgressFun(bar.end);
}

bool RunXmlPart(const std::string& dir) {
  const std::string path = dir + "/demo.xml";
  unsigned int written[7] = {};
  auto start = std::chrono::steady_clock::now();
  {
    FileConvert document;
    InstallBar(document);
    document.SetPath(NarrowPath(path), false);
    FillDemoDocument(document);
    for (int i = 0; i < 7; ++i) written[i] = CountSection((document.*kSections[i].get)());
    start = std::chrono::steady_clock::now();
  }  // the document writes its file here
  const double saveSeconds = SecondsSince(start);

  start = std::chrono::steady_clock::now();
  FileConvert loaded;
  InstallBar(loaded);
  loaded.SetPath(NarrowPath(path), true);
  const double loadSeconds = SecondsSince(start);
  if (!loaded.GetRoot()) {
    std::fprintf(stderr, "corvane: %s did not load back\n", path.c_str());
    return false;
  }

  std::printf("\n%s:\n", path.c_str());
  ListTree(stdout, loaded.GetRoot(), -1);
  std::printf("\nsection       chunks written  chunks read\n");
  bool same = true;
  for (int i = 0; i < 7; ++i) {
    const unsigned int read = CountSection((loaded.*kSections[i].get)());
    std::printf("%-12s  %14u  %11u\n", kSections[i].label, written[i], read);
    same = same && read == written[i];
  }
  std::printf("file size %lld bytes; saved in %.3f ms, loaded in %.3f ms\n", FileSize(path),
              saveSeconds * 1e3, loadSeconds * 1e3);
  if (!same) std::fprintf(stderr, "corvane: the loaded tree differs from the one written\n");
  return same;
}

bool RunMeshPart(const std::string& dir) {
  const std::string path = dir + "/demo.bin";
  CMeshBin meshes = DemoMeshes();
  meshes.save(NarrowPath(path));
  CMeshBin loaded;
  loaded.load(NarrowPath(path));
  std::printf("\n%s (%lld bytes):\n", path.c_str(), FileSize(path));
  PrintMeshSummary(stdout, loaded.meshes);
  bool same = loaded.meshes.size() == meshes.meshes.size();
  for (std::size_t i = 0; same && i < meshes.meshes.size(); ++i) {
    same = loaded.meshes[i].faces.size() == meshes.meshes[i].faces.size();
    for (std::size_t f = 0; same && f < meshes.meshes[i].faces.size(); ++f) {
      same = loaded.meshes[i].faces[f] == meshes.meshes[i].faces[f];
    }
  }
  if (!same) std::fprintf(stderr, "corvane: the loaded meshes differ from the ones written\n");
  return same;
}

}  // namespace

int DemoCommand(const Arguments& args) {
  if (args.size() > 1) return UsageError("demo takes at most one folder", kDemoUsage);
  std::string dir;
  if (args.empty()) {
    dir = MakeWorkFolder();
    if (dir.empty()) {
      std::fprintf(stderr, "corvane: cannot make a temporary folder\n");
      return kExitFailure;
    }
  } else {
    dir = args[0];
    std::error_code ignored;  // a folder that cannot be made fails at the first save
    std::filesystem::create_directory(dir, ignored);
  }
  std::printf("corvane demo: working in %s\n", dir.c_str());
  try {
    const bool ok = RunXmlPart(dir) && RunMeshPart(dir);
    std::printf("\n%s\n", ok ? "demo finished: both files round-trip" : "demo failed");
    return ok ? kExitOk : kExitFailure;
  } catch (CException* error) {
    error->Delete();
    std::fprintf(stderr, "corvane: the mesh file could not be written or read\n");
    return kExitFailure;
  }
}

}  // namespace tool
}  // namespace corvane
