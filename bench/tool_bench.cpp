// The tool's file commands against the loads they are built on, on the
// reference exchange file (reference_file.h) in the same run: `corvane diff`
// of the file and an edited copy against loading both files, and `corvane
// convert` to JSON and back against loading the XML file. The commands run
// in process, as the tool runs them (their work includes releasing the
// trees; the loads leave theirs to the measuring child's exit). Rounds
// alternate the measurements; results are medians with their spread
// (bench_support.h), and the peak memory of each step. Then the peak of
// show, check and convert on a file holding one value as large as the file
// (100 MB at scale 1), and of mesh on a mesh file holding one name as large,
// against the file's size: goal <= 3x.
//
//   tool_bench [scale=1.0] [rounds=5] [folder=/tmp]
//
// Scale 1.0 makes about 300,000 entities (about 120 MB); 0.05 is a quick run.
#include <corvane/corvane.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "corvane/commands.h"
#include "reference_file.h"

namespace {

using corvane::tool::Arguments;

bool Load(const std::string& path) {
  boost::shared_ptr<IChunk>* root = new boost::shared_ptr<IChunk>;  // left to the child's exit
  XmlFileIO(path.c_str()).read(*root);
  return static_cast<bool>(*root);
}

// The command's printed lines are not part of what is measured.
void QuietStdout() {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
}

bench::Sample RunCommand(int (*command)(const Arguments&), const Arguments& args, int expected) {
  return bench::InChild(QuietStdout, [&] { return command(args) == expected; });
}

void PrintPeak(const char* what, const bench::Series& series, const bench::Series& reference) {
  std::printf("%-44s +%.0f MB, %.2fx the load's +%.0f MB\n", what, series.PeakMb(),
              series.PeakMb() / reference.PeakMb(), reference.PeakMb());
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int rounds = bench::Rounds(argc, argv, 2);
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  const std::string source = folder + "/corvane_tool_bench_a.xml";
  const std::string edited = folder + "/corvane_tool_bench_b.xml";
  const std::string json = folder + "/corvane_tool_bench.json";
  const std::string back = folder + "/corvane_tool_bench_back.xml";

  const unsigned long entities = static_cast<unsigned long>(300000 * scale);
  const unsigned long chunks = bench::WriteReferenceFile(source, entities);
  bench::WriteReferenceFile(edited, entities, true);
  const double megabytes = std::filesystem::file_size(source) / (1024.0 * 1024.0);
  // The JSON exists before the first round, for the conversion back.
  if (!RunCommand(corvane::tool::ConvertCommand, {source, json}, 0).ok) return 1;
  const double jsonMegabytes = std::filesystem::file_size(json) / (1024.0 * 1024.0);
  std::printf("reference file: %.1f MB, %lu chunks; its JSON %.1f MB; %d rounds\n\n", megabytes,
              chunks, jsonMegabytes, rounds);
  std::fflush(stdout);  // or each child would print it again

  bench::Series loadBoth, diff, load, toJson, fromJson;
  for (int round = 0; round < rounds; ++round) {
    loadBoth.Add(bench::InChild([] {}, [&] { return Load(source) && Load(edited); }));
    diff.Add(RunCommand(corvane::tool::DiffCommand, {source, edited}, 1));
    load.Add(bench::InChild([] {}, [&] { return Load(source); }));
    toJson.Add(RunCommand(corvane::tool::ConvertCommand, {source, json}, 0));
    fromJson.Add(RunCommand(corvane::tool::ConvertCommand, {json, back}, 0));
  }

  bench::PrintSeries("XmlFileIO read, both files", loadBoth, 2 * megabytes);
  bench::PrintSeries("corvane diff", diff, 2 * megabytes);
  bench::PrintSeries("XmlFileIO read", load, megabytes);
  bench::PrintSeries("corvane convert to JSON", toJson, megabytes);
  bench::PrintSeries("corvane convert back (synced)", fromJson, megabytes);
  std::printf("\n");
  bench::PrintRatio("diff / reading both files", bench::Compare(diff, loadBoth), 2.0);
  bench::PrintRatio("convert to JSON / reading the file", bench::Compare(toJson, load), 2.0);
  bench::PrintRatio("convert back / reading the file", bench::Compare(fromJson, load), 2.0);
  PrintPeak("diff peak memory", diff, loadBoth);
  PrintPeak("convert to JSON peak memory", toJson, load);
  PrintPeak("convert back peak memory", fromJson, load);
  std::fflush(stdout);  // or each child would print it again

  const std::string value = folder + "/corvane_tool_bench_value.xml";
  const std::size_t valueBytes = static_cast<std::size_t>(100e6 * scale);
  std::ofstream(value, std::ios::binary) << "<FILE_CONVERT><V Name=\"n\" Type=\"string\" Value=\""
                                         << std::string(valueBytes, 'x') << "\"/></FILE_CONVERT>";
  const double valueMegabytes = std::filesystem::file_size(value) / (1024.0 * 1024.0);
  const std::string meshes = folder + "/corvane_tool_bench_name.bin";
  {
    CMeshBin bin;
    bin.meshes.resize(1);
    bin.meshes[0].name = CString(std::string(valueBytes, 'x').c_str());
    bin.save(meshes.c_str());
  }
  const double meshMegabytes = std::filesystem::file_size(meshes) / (1024.0 * 1024.0);
  bench::Series show, check, convert, mesh;
  for (int round = 0; round < rounds; ++round) {
    show.Add(RunCommand(corvane::tool::ShowCommand, {value}, 0));
    check.Add(RunCommand(corvane::tool::CheckCommand, {value}, 0));
    convert.Add(RunCommand(corvane::tool::ConvertCommand, {value, json}, 0));
    mesh.Add(RunCommand(corvane::tool::MeshCommand, {meshes}, 0));
  }
  std::printf("\none value of %.1f MB, peak memory against the file, goal <= 3x:\n",
              valueMegabytes);
  bench::PrintSeries("corvane show", show, valueMegabytes);
  bench::PrintSeries("corvane check", check, valueMegabytes);
  bench::PrintSeries("corvane convert to JSON", convert, valueMegabytes);
  bench::PrintSeries("corvane mesh, one name", mesh, meshMegabytes);
  for (const std::string& path : {source, edited, json, back, value, meshes})
    std::filesystem::remove(path);
  return loadBoth.ok() && diff.ok() && load.ok() && toJson.ok() && fromJson.ok() && show.ok() &&
                 check.ok() && convert.ok() && mesh.ok()
             ? 0
             : 1;
}
