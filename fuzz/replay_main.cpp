// Without libFuzzer: runs every file named (`fuzz_mesh_load fuzz/corpus/fuzz_mesh_load/*`)
// through the target once; exits 1 when a file cannot be read.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    // Exactly the file's size, so that ASan sees reads past the end.
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      status = 1;
    }
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::fprintf(stderr, "replayed %d input(s)\n", argc - 1);
  return status;
}
