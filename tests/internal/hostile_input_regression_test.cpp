// Hostile exchange files of up to 1 MB: whatever their shape (nesting at
// the depth limit, hundreds of thousands of elements or attributes, huge
// values, vector values made of separators), reading one takes well under a
// second and at most 64 MB of memory at its peak, the parser's included (it
// allocates through the C++ allocator the meter watches).
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/allocation_meter.h"
#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using corvane_test::AllocationMeter;

constexpr std::size_t kFileLimit = 1024 * 1024;
constexpr std::size_t kReadLimit = 64u * 1024u * 1024u;
#if defined(__SANITIZE_ADDRESS__) || defined(__OPTIMIZE__) == 0
constexpr auto kTimeLimit = std::chrono::seconds(10);  // instrumented or unoptimised code
#else
constexpr auto kTimeLimit = std::chrono::seconds(1);
#endif

// `head`, then `unit` as often as it fits below 1 MB with `tail`, then `tail`.
std::string Repeated(const std::string& head, const std::string& unit, const std::string& tail) {
  std::string text = head;
  while (text.size() + unit.size() + tail.size() <= kFileLimit) text += unit;
  return text + tail;
}

// Below a document element, 255 more levels reach the depth limit exactly.
std::string DeepUnit() {
  std::string unit;
  for (int i = 0; i < 255; ++i) unit += "<a>";
  for (int i = 0; i < 255; ++i) unit += "</a>";
  return unit;
}

void ExpectBounded(const char* what, const std::string& bytes, bool readable) {
  EXPECT_LE(bytes.size(), kFileLimit) << what;
  corvane_test::ScratchDir folder;
  const std::string path = folder.Path("hostile.xml");
  corvane_test::WriteText(path, bytes);
  XmlFileIO io{CString(path.c_str())};
  io.setStartProgressFun([](CString const&, int, int) { return true; });
  io.setSetPosFun([](int) {});
  boost::shared_ptr<IChunk> root;
  AllocationMeter meter;
  const auto start = std::chrono::steady_clock::now();
  io.read(root);
  const auto readTime = std::chrono::steady_clock::now() - start;
  const std::size_t readPeak = meter.PeakAboveStart();
  EXPECT_LT(readTime, kTimeLimit) << what;
  EXPECT_LT(readPeak, kReadLimit) << what;
  EXPECT_EQ(static_cast<bool>(root), readable) << what;
}

TEST(HostileInputRegression, NestingAtTheDepthLimitRepeated) {
  ExpectBounded("deep", Repeated("<r>", DeepUnit(), "</r>"), true);
  // One level more anywhere refuses the whole file, quickly.
  ExpectBounded("too deep", Repeated("<r>", DeepUnit(), "<a>" + DeepUnit() + "</a></r>"), false);
}

TEST(HostileInputRegression, ManyElementsAndAttributes) {
  ExpectBounded("elements", Repeated("<r>", "<a/>", "</r>"), true);
  ExpectBounded("valued elements",
                Repeated("<r>", "<V Name=\"n\" Type=\"double4\" Value=\"1,2,3,4\"/>", "</r>"),
                true);
  int next = 0;
  std::string attributes = "<r";
  while (attributes.size() < kFileLimit - 64) attributes += " a" + std::to_string(next++) + "=\"\"";
  ExpectBounded("attributes", attributes + "/>", true);
  ExpectBounded("distinct names", Repeated("<r>", "<n" + std::string(200, 'x') + "/>", "</r>"),
                true);
}

TEST(HostileInputRegression, HugeValues) {
  const std::string pad(kFileLimit - 100, 'x');
  ExpectBounded("huge string", "<r Type=\"string\" Value=\"" + pad + "\"/>", true);
  ExpectBounded("huge name", "<r Name=\"" + pad + "\"/>", true);
  // A million digits are out of the double's range: the element is left out.
  ExpectBounded("huge number",
                "<r Type=\"double\" Value=\"" + std::string(kFileLimit - 100, '1') + "\"/>", false);
  ExpectBounded("character references",
                Repeated("<r Type=\"string\" Value=\"", "&#10;&#x4E2D;", "\"/>"), true);
  ExpectBounded(
      "separator elements",
      Repeated("<r>", "<v Type=\"float3\" Value=\"" + std::string(1000, '|') + "\"/>", "</r>"),
      true);
  ExpectBounded("narrow code page",
                Repeated("<?xml version=\"1.0\" encoding=\"GB2312\"?><r>",
                         "<v Type=\"string\" Value=\"\xD5\xFD\xD4\xDA\xA3\xAC\"/>", "</r>"),
                true);
}

}  // namespace
