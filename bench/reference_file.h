// The reference exchange file of the benchmarks, written the way the
// library's writer lays it out: seven sections, entities spread over them,
// each a "string" chunk with six to eight valued children of the common
// kinds, GBK text included. The same entity count always gives the same
// bytes. An edited copy differs from it in three places a person would
// touch: one entity inserted near the top, one value changed halfway, one
// entity removed further on.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

// Writes the file; answers its chunk count, or 0 when it cannot be written.
inline unsigned long WriteReferenceFile(const std::string& path, unsigned long entities,
                                        bool edited = false) {
  // GBK text in the file is UTF-8: "墙体" (wall) and "图层" (layer).
  static const char kWallUtf8[] = "\xE5\xA2\x99\xE4\xBD\x93";
  static const char kLayerUtf8[] = "\xE5\x9B\xBE\xE5\xB1\x82";
  static const char* const kSections[] = {"SysVar", "Layers", "Environment", "Materials",
                                          "Meshs",  "Groups", "Entitys"};
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return 0;
  std::fputs("<?xml version=\"1.0\"?><FILE_CONVERT>", out);
  unsigned long chunks = 8;
  unsigned long next = 0;
  std::srand(12345);
  for (int section = 0; section < 7; ++section) {
    std::fprintf(out, "<%s>", kSections[section]);
    // Most entities in Entitys, a few in every other section.
    const unsigned long count = section == 6 ? entities - next : entities / 40;
    for (unsigned long i = 0; i < count && next < entities; ++i, ++next) {
      const double x = std::rand() / 7.0, y = std::rand() / 13.0, z = (std::rand() % 1000) / 8.0;
      if (edited && next == 5) {
        std::fputs("<Entity Name=\"Inserted\" Type=\"string\" Value=\"new\"/>", out);
        ++chunks;
      }
      if (edited && next == entities * 3 / 4) continue;  // removed
      const unsigned long color = next % 256 + (edited && next == entities / 2 ? 1 : 0);
      std::fprintf(out, "<Entity Name=\"E%lu\" Type=\"string\" Value=\"%s %lu\">", next, kWallUtf8,
                   next);
      std::fprintf(out, "<Handle Type=\"ulong64\" Value=\"%lu\"/>", 1000000000ul + next * 7);
      std::fprintf(out, "<Layer Type=\"string\" Value=\"%s%lu\"/>", kLayerUtf8, next % 23);
      std::fprintf(out, "<Start Type=\"double3\" Value=\"%f,%f,%f\"/>", x, y, z);
      std::fprintf(out, "<End Type=\"double3\" Value=\"%f,%f,%f\"/>", y, x, z);
      std::fprintf(out, "<Color Name=\"Index\" Type=\"int\" Value=\"%lu\"/>", color);
      std::fprintf(out, "<Visible Type=\"bool\" Value=\"%s\"/>", next % 5 ? "true" : "false");
      chunks += 7;
      if (next % 2 == 0) {
        std::fprintf(out, "<Tint Type=\"float4\" Value=\"%f,%f,%f,1.000000\"/>", x / 1e9, y / 1e9,
                     z / 1e3);
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
  return chunks;
}

}  // namespace bench
