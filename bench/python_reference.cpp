// The C++ side of bench/python_bench.py: writes the benchmarks' reference
// files and times one C++ load of a file in this process, printing the
// seconds (the tree is left to the exit, as the other benchmarks leave it).
//
//   python_reference write-xml PATH [scale=1.0]    the reference exchange file
//   python_reference write-mesh PATH [megabytes=100]
//   python_reference load-xml PATH                 XmlFileIO::read, no progress
//   python_reference load-mesh PATH                CMeshBin::load
#include <corvane/corvane.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reference_file.h"
#include "reference_meshes.h"

namespace {

template <typename Load>
int Timed(Load load) {
  const auto start = std::chrono::steady_clock::now();
  const bool loaded = load();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.6f\n", seconds);
  return loaded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: python_reference write-xml|write-mesh|load-xml|load-mesh PATH [SIZE]\n");
    return 2;
  }
  const std::string command = argv[1];
  const std::string path = argv[2];
  const double size = argc > 3 ? std::atof(argv[3]) : 0;
  if (command == "write-xml") {
    const unsigned long entities = static_cast<unsigned long>(300000 * (size > 0 ? size : 1.0));
    return bench::WriteReferenceFile(path, entities) != 0 ? 0 : 1;
  }
  if (command == "write-mesh") {
    CMeshBin file;
    file.meshes = bench::MakeMeshes(size > 0 ? size : 100.0);
    file.save(path.c_str());
    return 0;
  }
  if (command == "load-xml") {
    return Timed([&] {
      boost::shared_ptr<IChunk>* root = new boost::shared_ptr<IChunk>;  // left to the exit
      XmlFileIO(path.c_str()).read(*root);
      return static_cast<bool>(*root);
    });
  }
  if (command == "load-mesh") {
    return Timed([&] {
      CMeshBin* file = new CMeshBin;  // left to the exit
      file->load(path.c_str());
      return !file->meshes.empty();
    });
  }
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
