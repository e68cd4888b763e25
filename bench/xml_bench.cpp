// Loading and saving a large exchange file: FileConvert against pugixml's own
// load_file/save_file of the same file, and against Boost.PropertyTree's
// read_xml. Every measurement runs in a forked child, so each gets a fresh
// heap and its peak resident memory can be read; runs are alternated and the
// best of several is kept.
//
//   xml_bench [scale=1.0] [repeats=3] [folder=/tmp]
//
// Scale 1.0 makes about 300,000 entities (about 100 MB); 0.05 is a quick run.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <pugixml.hpp>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/xml_file_io.h>

namespace {

struct Sample {
  double seconds = 0;
  double peakGrowthMb = 0;   // resident memory added by the measured step
  unsigned long items = 0;   // chunks or elements handled
  bool ok = false;
};

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0) return std::atol(line.c_str() + length + 1);
  }
  return 0;
}

// Runs `prepare` (untimed) then `measure` in a child process; the child
// reports the time and the growth of its peak resident memory over what it
// held after `prepare`.
Sample InChild(const std::function<void()>& prepare, const std::function<unsigned long()>& measure) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return Sample();
  pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    prepare();
    // Resets the high-water mark to the current size, so the peak below is
    // the step's own even when `prepare` went higher.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = StatusKb("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    Sample sample;
    sample.items = measure();
    sample.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sample.peakGrowthMb = static_cast<double>(StatusKb("VmHWM:") - before) / 1024.0;
    sample.ok = true;
    if (write(pipeEnds[1], &sample, sizeof sample) != static_cast<ssize_t>(sizeof sample)) _exit(2);
    _exit(0);
  }
  close(pipeEnds[1]);
  Sample sample;
  if (read(pipeEnds[0], &sample, sizeof sample) != static_cast<ssize_t>(sizeof sample)) sample.ok = false;
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return sample;
}

// GBK text in the file is UTF-8: "墙体" (wall) and "图层" (layer).
const char kWallUtf8[] = "\xE5\xA2\x99\xE4\xBD\x93";
const char kLayerUtf8[] = "\xE5\x9B\xBE\xE5\xB1\x82";

// Writes the reference file the way the writer lays it out: seven sections,
// entities spread over them, each a "string" chunk with six to eight valued
// children of the common kinds.
unsigned long WriteReferenceFile(const std::string& path, unsigned long entities) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return 0;
  static const char* const kSections[] = {"SysVar", "Layers", "Environment", "Materials",
                                          "Meshs",  "Groups", "Entitys"};
  std::fputs("<?xml version=\"1.0\"?><FILE_CONVERT>", out);
  unsigned long chunks = 7;
  unsigned long next = 0;
  std::srand(12345);
  for (int section = 0; section < 7; ++section) {
    std::fprintf(out, "<%s>", kSections[section]);
    // Most entities in Entitys, a few in every other section.
    const unsigned long count = section == 6 ? entities - next : entities / 40;
    for (unsigned long i = 0; i < count && next < entities; ++i, ++next) {
      const double x = std::rand() / 7.0, y = std::rand() / 13.0, z = (std::rand() % 1000) / 8.0;
      std::fprintf(out, "<Entity Name=\"E%lu\" Type=\"string\" Value=\"%s %lu\">", next, kWallUtf8, next);
      std::fprintf(out, "<Handle Type=\"ulong64\" Value=\"%lu\"/>", 1000000000ul + next * 7);
      std::fprintf(out, "<Layer Type=\"string\" Value=\"%s%lu\"/>", kLayerUtf8, next % 23);
      std::fprintf(out, "<Start Type=\"double3\" Value=\"%f,%f,%f\"/>", x, y, z);
      std::fprintf(out, "<End Type=\"double3\" Value=\"%f,%f,%f\"/>", y, x, z);
      std::fprintf(out, "<Color Name=\"Index\" Type=\"int\" Value=\"%lu\"/>", next % 256);
      std::fprintf(out, "<Visible Type=\"bool\" Value=\"%s\"/>", next % 5 ? "true" : "false");
      chunks += 7;
      if (next % 2 == 0) {
        std::fprintf(out, "<Tint Type=\"float4\" Value=\"%f,%f,%f,1.000000\"/>", x / 1e9, y / 1e9, z / 1e3);
        ++chunks;
      }
      if (next % 3 == 0) {
        std::fprintf(out, "<Thickness Name=\"T\" Type=\"double\" Value=\"%f\"/>", z / 3);
        ++chunks;
      }
      std::fputs("</Entity>", out);
    }
    std::fprintf(out, "</%s>", kSections[section]);
  }
  std::fputs("</FILE_CONVERT>", out);
  std::fclose(out);
  return chunks + 1;
}

unsigned long CountChunks(const boost::shared_ptr<IChunk>& root) {
  unsigned int count = 0;
  if (root) root->allNumChild(count);
  return root ? count + 1ul : 0ul;
}

unsigned long CountElements(pugi::xml_node node) {
  unsigned long count = 0;
  for (pugi::xml_node child : node.children()) count += 1 + CountElements(child);
  return count;
}

unsigned long CountNodes(const boost::property_tree::ptree& tree) {
  unsigned long count = 0;
  for (const auto& child : tree) count += 1 + CountNodes(child.second);
  return count;
}

struct Best {
  Sample best;
  void Keep(const Sample& sample) {
    if (!sample.ok) return;
    if (!best.ok || sample.seconds < best.seconds) {
      const double peak = std::max(best.peakGrowthMb, sample.peakGrowthMb);
      best = sample;
      best.peakGrowthMb = peak;
    }
  }
};

void Report(const char* what, const Best& result, double fileMb) {
  const Sample& s = result.best;
  if (!s.ok) {
    std::printf("%-26s failed\n", what);
    return;
  }
  std::printf("%-26s %8.3f s %8.1f MB/s %10.0f items/s  peak +%7.1f MB (%.2fx file)\n", what,
              s.seconds, fileMb / s.seconds, s.items / s.seconds, s.peakGrowthMb, s.peakGrowthMb / fileMb);
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  const std::string source = folder + "/corvane_bench_in.xml";
  const std::string target = folder + "/corvane_bench_out.xml";

  const unsigned long entities = static_cast<unsigned long>(300000 * scale);
  const unsigned long chunks = WriteReferenceFile(source, entities);
  std::ifstream sized(source, std::ios::binary | std::ios::ate);
  const double fileMb = static_cast<double>(sized.tellg()) / (1024.0 * 1024.0);
  std::printf("reference file: %.1f MB, %lu entities, %lu chunks\n\n", fileMb, entities, chunks);

  Best pugiLoad, ourLoad, ptreeLoad, pugiSave, ourSave;
  for (int run = 0; run < repeats; ++run) {
    // Loaded objects are left to the child's exit: tearing them down is not
    // part of a load.
    pugiLoad.Keep(InChild([] {}, [&] {
      pugi::xml_document* document = new pugi::xml_document;
      if (!document->load_file(source.c_str())) return 0ul;
      return CountElements(*document);
    }));
    ourLoad.Keep(InChild([] {}, [&] {
      FileConvert* document = new FileConvert;
      document->SetPath(source.c_str(), true);
      return CountChunks(document->GetRoot());
    }));
    ptreeLoad.Keep(InChild([] {}, [&] {
      boost::property_tree::ptree* tree = new boost::property_tree::ptree;
      boost::property_tree::read_xml(source, *tree);
      return CountNodes(*tree);
    }));
    {
      pugi::xml_document document;  // loaded in the child only; see prepare
      pugiSave.Keep(InChild([&] { document.load_file(source.c_str()); }, [&] {
        document.save_file(target.c_str(), "", pugi::format_raw);
        return CountElements(document);
      }));
    }
    {
      FileConvert loaded;
      unsigned long saved = 0;
      ourSave.Keep(InChild(
          [&] {
            loaded.SetPath(source.c_str(), true);
            saved = CountChunks(loaded.GetRoot());
          },
          [&] {
            {
              FileConvert document;
              document.SetPath(target.c_str(), false);
              document.GetRoot()->children() = loaded.GetRoot()->children();
              loaded = FileConvert();  // the document alone holds the tree
            }  // destruction writes the file
            return saved;
          }));
    }
  }

  Report("pugixml load_file", pugiLoad, fileMb);
  Report("FileConvert load", ourLoad, fileMb);
  Report("property_tree read_xml", ptreeLoad, fileMb);
  Report("pugixml save_file", pugiSave, fileMb);
  Report("FileConvert save", ourSave, fileMb);
  std::printf("\nload: FileConvert / pugixml = %.2fx (goal <= 2.5x); peak memory %.2fx file (goal <= 8x)\n",
              ourLoad.best.seconds / pugiLoad.best.seconds, ourLoad.best.peakGrowthMb / fileMb);
  std::printf("save: FileConvert / pugixml = %.2fx (goal <= 2.5x)\n",
              ourSave.best.seconds / pugiSave.best.seconds);
  std::printf("property_tree read_xml / FileConvert load = %.2fx (FileConvert is that many times faster)\n",
              ptreeLoad.best.seconds / ourLoad.best.seconds);
  std::remove(target.c_str());
  if (argc <= 4) std::remove(source.c_str());
  return 0;
}
