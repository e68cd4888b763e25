// Loading and saving a large exchange file, against pugixml on the same file
// in the same run: FileConvert load and CXml::Open against load_file, the
// release of a loaded tree against the release of pugixml's document, and
// FileConvert's durable save against save_file followed by an fsync (the
// reference must be as durable as our save). Rounds alternate the
// measurements; results are medians with their spread (bench_support.h).
//
//   xml_bench [scale=1.0] [rounds=5] [folder=/tmp]
//   xml_bench --huge [folder=/tmp]     one load of a ~1 GB file and pugixml's of it: time, peak
//
// Scale 1.0 makes about 300,000 entities (about 120 MB); 0.05 is a quick run.
#include <corvane/corvane.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "bench_support.h"
#include "reference_file.h"

namespace {

// With a progress bar the load reads the file twice (it must know the file
// loads before it reports anything); without one, once.
bool LoadWithFileConvert(const std::string& source, bool withProgress) {
  FileConvert* document = new FileConvert;  // left to the child's exit
  if (withProgress) {
    document->setStartProgressFun([](CString const&, int, int) { return true; });
    document->setSetPosFun([](int) {});
  }
  document->SetPath(source.c_str(), true);
  return static_cast<bool>(document->GetRoot());
}

bool LoadWithPugixml(const std::string& source) {
  pugi::xml_document* document = new pugi::xml_document;  // left to the child's exit
  return static_cast<bool>(document->load_file(source.c_str()));
}

int Huge(const std::string& folder) {
  const std::string source = folder + "/corvane_bench_huge.xml";
  const unsigned long chunks = bench::WriteReferenceFile(source, 2500000);
  const double megabytes = std::filesystem::file_size(source) / (1024.0 * 1024.0);
  std::printf("huge file: %.0f MB, %lu chunks\n", megabytes, chunks);
  bench::Series pugiLoad, load;
  pugiLoad.Add(bench::InChild([] {}, [&] { return LoadWithPugixml(source); }));
  load.Add(bench::InChild([] {}, [&] { return LoadWithFileConvert(source, true); }));
  bench::PrintSeries("pugixml load_file", pugiLoad, megabytes);
  bench::PrintSeries("FileConvert load, with progress", load, megabytes);
  std::printf("\n");
  bench::PrintRatio("FileConvert load / pugixml load_file", bench::Compare(load, pugiLoad), 1.3);
  std::printf("%-44s %.2fx the file, goal <= 2.5x: %s\n", "FileConvert load peak memory",
              load.PeakMb() / megabytes, load.PeakMb() / megabytes <= 2.5 ? "met" : "missed");
  std::filesystem::remove(source);
  return pugiLoad.ok() && load.ok() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--huge") return Huge(argc > 2 ? argv[2] : "/tmp");
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int rounds = bench::Rounds(argc, argv, 2);
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  const std::string source = folder + "/corvane_bench_in.xml";
  const std::string target = folder + "/corvane_bench_out.xml";

  const unsigned long chunks =
      bench::WriteReferenceFile(source, static_cast<unsigned long>(300000 * scale));
  const double megabytes = std::filesystem::file_size(source) / (1024.0 * 1024.0);
  std::printf("reference file: %.1f MB, %lu chunks; %d rounds\n\n", megabytes, chunks, rounds);

  bench::Series pugiLoad, ourLoad, progressLoad, domOpen, pugiSave, pugiSaveUnsynced, ourSave;
  bench::Series pugiRelease, ourRelease;
  for (int round = 0; round < rounds; ++round) {
    pugiLoad.Add(bench::InChild([] {}, [&] { return LoadWithPugixml(source); }));
    ourLoad.Add(bench::InChild([] {}, [&] { return LoadWithFileConvert(source, false); }));
    progressLoad.Add(bench::InChild([] {}, [&] { return LoadWithFileConvert(source, true); }));
    domOpen.Add(bench::InChild([] {},
                               [&] {
                                 DomXml::CXml* document = new DomXml::CXml;
                                 return document->Open(source.c_str());
                               }));
    // Releasing a loaded tree: the document goes, and with it every chunk.
    pugi::xml_document* pugiLoaded = nullptr;
    pugiRelease.Add(bench::InChild(
        [&] {
          pugiLoaded = new pugi::xml_document;
          pugiLoaded->load_file(source.c_str());
        },
        [&] {
          delete pugiLoaded;
          return true;
        }));
    FileConvert* ourLoaded = nullptr;
    ourRelease.Add(bench::InChild(
        [&] {
          ourLoaded = new FileConvert;
          ourLoaded->SetPath(source.c_str(), true);
        },
        [&] {
          delete ourLoaded;
          return true;
        }));
    pugi::xml_document document;  // loaded in the child only; see prepare
    pugiSave.Add(bench::InChild([&] { document.load_file(source.c_str()); },
                                [&] {
                                  return document.save_file(target.c_str(), "", pugi::format_raw) &&
                                         bench::Fsync(target);
                                }));
    pugiSaveUnsynced.Add(
        bench::InChild([&] { document.load_file(source.c_str()); },
                       [&] { return document.save_file(target.c_str(), "", pugi::format_raw); }));
    FileConvert loaded;
    ourSave.Add(bench::InChild([&] { loaded.SetPath(source.c_str(), true); },
                               [&] {
                                 {
                                   FileConvert output;
                                   output.SetPath(target.c_str(), false);
                                   output.GetRoot()->children() = loaded.GetRoot()->children();
                                   loaded =
                                       FileConvert();  // the output document alone holds the tree
                                 }                     // destruction writes the file, synced
                                 return std::filesystem::file_size(target) > 0;
                               }));
  }

  bench::PrintSeries("pugixml load_file", pugiLoad, megabytes);
  bench::PrintSeries("FileConvert load", ourLoad, megabytes);
  bench::PrintSeries("FileConvert load, with progress", progressLoad, megabytes);
  bench::PrintSeries("CXml::Open", domOpen, megabytes);
  bench::PrintSeries("pugixml document release", pugiRelease, megabytes);
  bench::PrintSeries("FileConvert tree release", ourRelease, megabytes);
  bench::PrintSeries("pugixml save_file + fsync", pugiSave, megabytes);
  bench::PrintSeries("pugixml save_file, not synced", pugiSaveUnsynced, megabytes);
  bench::PrintSeries("FileConvert save (synced)", ourSave, megabytes);
  std::printf("\n");
  bench::PrintRatio("FileConvert load / pugixml load_file", bench::Compare(ourLoad, pugiLoad),
                    1.25);
  bench::PrintRatio("  the same with progress callbacks", bench::Compare(progressLoad, pugiLoad),
                    1.25);
  std::printf("%-44s %.2fx the file, goal <= 2.5x: %s\n", "FileConvert load peak memory",
              ourLoad.PeakMb() / megabytes, ourLoad.PeakMb() / megabytes <= 2.5 ? "met" : "missed");
  const bench::Ratio release = bench::Compare(ourRelease, pugiRelease);
  std::printf("%-44s %.2fx (range %.2f-%.2f), no goal\n", "FileConvert release / pugixml release",
              release.median, release.low, release.high);
  bench::PrintRatio("CXml::Open / pugixml load_file", bench::Compare(domOpen, pugiLoad), 2.0);
  bench::PrintRatio("FileConvert save / pugixml save_file + fsync",
                    bench::Compare(ourSave, pugiSave), 1.5);
  std::printf("syncing costs %.3f s of a %.0f MB save (pugixml's, median against median)\n",
              pugiSave.Median() - pugiSaveUnsynced.Median(), megabytes);
  std::filesystem::remove(target);
  std::filesystem::remove(source);
  return pugiLoad.ok() && ourLoad.ok() && progressLoad.ok() && domOpen.ok() && pugiRelease.ok() &&
                 ourRelease.ok() && pugiSave.ok() && ourSave.ok()
             ? 0
             : 1;
}
