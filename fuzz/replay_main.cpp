// A main for the fuzz targets where libFuzzer is missing: runs every file
// named on the command line (or every file directly inside a named
// directory) through LLVMFuzzerTestOneInput once. Exits 1 when a file cannot
// be read; a finding shows as the target's own abort or sanitizer report.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());  // exact size for ASan
  LLVMFuzzerTestOneInput(copy.data(), copy.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bool ok = true;
  std::size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
        if (!entry.is_regular_file()) continue;
        ok = RunFile(entry.path()) && ok;
        ++runs;
      }
    } else {
      ok = RunFile(path) && ok;
      ++runs;
    }
  }
  std::fprintf(stderr, "replayed %zu input(s)\n", runs);
  return ok ? 0 : 1;
}
