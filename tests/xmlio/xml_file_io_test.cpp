// XmlFileIO: the chunk file byte for byte and back, elements to chunks, the
// caller's pointer, progress, saves that consume, fail or stop, the protected
// steps, the memory hostile files take. (What XML cannot carry: strict_xml_test.cpp.)
#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "support/allocation_meter.h"
#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

class XmlFile : public ::testing::Test {
 protected:
  XmlFile() { m_log.InstallOn(m_io); }
  // Reads `xml` through the same object into a pointer holding a sentinel.
  boost::shared_ptr<IChunk> Read(const std::string& xml) {
    WriteText(m_path, xml);
    boost::shared_ptr<IChunk> root = newChunk("Sentinel");
    m_io.read(root);
    return root;
  }
  // Saves through the same object; answers the file's text, checked.
  std::string Save(const boost::shared_ptr<IChunk>& root) {
    m_io.save(root);
    EXPECT_CONFORMING_XML(m_path);
    return ReadText(m_path);
  }
  ScratchDir m_folder;
  const std::string m_path = m_folder.Path("file.xml");
  XmlFileIO m_io{m_path.c_str()};
  ProgressLog m_log;
};

// The value texts of every kind: chunk_factory_test.cpp; here the file around them.
TEST_F(XmlFile, ExactBytesAndBack) {
  const char kLabel[] = "\xCD\xBC\xB2\xE3";
  const char kNote[] = "\xB3\xD0\xD6\xD8\xC7\xBD, 3\xA1\xE3";  // with a degree sign
  boost::shared_ptr<IChunk> root = newChunk("R", "top");
  root->addChild(newChunk("V", "n", -5));
  root->addChild(newChunk("", "Count", 4294967295u));  // an empty label is written as "att"
  root->addChild(newChunk("V", "", static_cast<unsigned __int64>(~0ULL)));
  root->addChild(newChunk("V", "", 1.0, -2.5, 1e6, 4.0));
  root->addChild(newChunk("S", "", "a<b&\"c\">"));
  root->addChild(newChunk("E", "", ""));  // "string" without value text
  root->addChild(newChunk("L", "", "one\r\ntwo\tthree"));
  boost::shared_ptr<IChunk> gbk = newChunk(kLabel, "\xC7\xBD\xCC\xE5", kNote);
  gbk->addChild(newChunk("Inner"));
  root->addChild(gbk);
  const std::string expected =
      "<?xml version=\"1.0\"?><R Name=\"top\"><V Name=\"n\" Type=\"int\" Value=\"-5\"/>"
      "<att Name=\"Count\" Type=\"uint\" Value=\"-1\"/><V Type=\"ulong64\" Value=\"-1\"/>"
      "<V Type=\"double4\" Value=\"1.000000,-2.500000,1000000.000000,4.000000\"/>"
      "<S Type=\"string\" Value=\"a&lt;b&amp;&quot;c&quot;>\"/><E Type=\"string\"/>"
      "<L Type=\"string\" Value=\"one&#13;&#10;two&#09;three\"/>"
      "<\xE5\x9B\xBE\xE5\xB1\x82 Name=\"\xE5\xA2\x99\xE4\xBD\x93\" Type=\"string\" "
      "Value=\"\xE6\x89\xBF\xE9\x87\x8D\xE5\xA2\x99, 3\xC2\xB0\"><Inner/>"
      "</\xE5\x9B\xBE\xE5\xB1\x82></R>";
  EXPECT_EQ(Save(root), expected);

  // Read back (texts narrow again), a second save gives the same bytes.
  boost::shared_ptr<IChunk> back;
  m_io.read(back);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Child(2)->getU64Value(), ~0ULL);
  EXPECT_EQ(back->Child(7)->getValueAsString(), kNote);
  EXPECT_EQ(Save(back), expected);
}

// A tree as "label:name:type=text(children)", the parts left out when empty.
std::string Outline(const boost::shared_ptr<IChunk>& chunk) {
  std::string text = chunk->label().GetString();
  if (!chunk->name().IsEmpty()) text += std::string(":") + chunk->name().GetString();
  if (!chunk->type().IsEmpty()) text += std::string(":") + chunk->type().GetString() + "=";
  text += chunk->getValueAsString().GetString();
  for (unsigned int i = 0; i < chunk->numChild(); ++i)
    text +=
        (i == 0 ? "(" : " ") + Outline(chunk->Child(i)) + (i + 1 == chunk->numChild() ? ")" : "");
  return text;
}

TEST_F(XmlFile, ElementsToChunks) {
  // Left out with its subtree: an unknown type. Dropped: a value without a type.
  // Ignored: unknown attributes, text, comments, instructions.
  boost::shared_ptr<IChunk> root = Read(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- header -->\n<R>\n  text <?pi data?><A/>"
      "<C Value=\"v\" Name=\"m\"/><D Type=\"INT\" Value=\"5\"/>"
      "<M Type=\"color\"><A/><B Type=\"int\" Value=\"1\"/></M><U/><X Extra=\"1\" Name=\"a\" "
      "Type=\"int\" Value=\"7\" Other=\"q\">words<!-- c --><Y/><?pi d?> more</X>\n</R>\n");
  ASSERT_TRUE(root);
  EXPECT_EQ(Outline(root), "R(A C:m D:int=5 U X:a:int=7(Y))");
}

// The full-width comma is two separators in code page 936, whichever
// encoding the file has: "1.5，2" has three components, the middle one empty.
TEST_F(XmlFile, FullWidthCommaSeparatesTwice) {
  const std::pair<const char*, const char*> files[] = {
      {"", "\xEF\xBC\x8C"}, {"<?xml version=\"1.0\" encoding=\"GBK\"?>", "\xA3\xAC"}};
  for (const auto& [declaration, comma] : files) {
    const std::string value = std::string("1.5") + comma + "2";
    boost::shared_ptr<IChunk> root =
        Read(std::string(declaration) + "<R><V Type=\"double3\" Value=\"" + value +
             "\"/><W Type=\"double2\" Value=\"" + value + "\"/></R>");
    ASSERT_TRUE(root && root->numChild() == 1) << declaration;
    EXPECT_EQ(root->Child(0)->getValueAsString(), "1.500000,0.000000,2.000000") << declaration;
  }
}

TEST_F(XmlFile, CallersPointerAfterARead) {
  boost::shared_ptr<IChunk> root = Read("<R/>");  // a new root replaces the old tree
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "R");
  // The document element left out: the pointer comes back empty.
  EXPECT_FALSE(Read("<R Type=\"int\" Value=\"1.5\"><A/></R>"));
  EXPECT_FALSE(Read("<R Type=\"matrix\"/>"));
  // A missing file or an empty path: untouched, and no progress call.
  m_log.calls.clear();
  m_io.setPath(m_folder.Path("absent.xml").c_str());
  m_io.read(root);
  m_io.setPath(CString());
  m_io.read(root);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "R");
  EXPECT_TRUE(m_log.calls.empty());
}

TEST_F(XmlFile, ReadProgressAcrossRunsOnOneObject) {
  // Left-out elements count in the total (7) but their subtrees are not visited.
  boost::shared_ptr<IChunk> root = Read("<R><A/><D Type=\"nope\"><x/><y/></D><B/><C/><E/></R>");
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {14, 28, 42, 57, 71, 85}, true));
  // Without a start callback the counters carry on: the old total divides.
  m_log.calls.clear();
  m_io.setStartProgressFun(StartProgressFun());
  m_io.read(root);
  EXPECT_EQ(m_log.calls, Calls("", {100, 114, 128, 142, 157, 171}, true));
  // Cleared position and end slots stop their calls from the next run on.
  m_log.calls.clear();
  m_io.setSetPosFun(SetPosFun());
  m_io.SetEndProgressFun(EndProgressFun());
  m_io.read(root);
  EXPECT_TRUE(m_log.calls.empty());
  // A new object without a start callback has the total 0: no position calls.
  XmlFileIO fresh(m_path.c_str());
  fresh.setSetPosFun(m_log.Position());
  fresh.read(root);
  EXPECT_TRUE(m_log.calls.empty());
  ASSERT_TRUE(root);
  EXPECT_EQ(root->numChild(), 4u);
  // A throwing start callback stops the run before anything is read.
  fresh.setStartProgressFun([](CString const&, int, int) -> bool { throw 42; });
  boost::shared_ptr<IChunk> before = root;
  EXPECT_THROW(fresh.read(root), int);
  EXPECT_EQ(root, before);
}

TEST_F(XmlFile, SavesConsumeTheTreeOrWriteNothing) {
  boost::shared_ptr<IChunk> root = newChunk("R");
  boost::shared_ptr<IChunk> held = newChunk("Held");
  for (int i = 0; i < 3; ++i) held->addChild(newChunk("Leaf"));
  root->addChild(held);
  root->addChild(newChunk("Last"));
  m_io.setPath(CString());
  m_io.save(root);  // empty path: untouched
  EXPECT_TRUE(root->Child(0));
  m_io.setPath(m_path.c_str());
  m_io.save(boost::shared_ptr<IChunk>());
  m_io.save(newChunk("R", "childless"));  // with a start callback: nothing at all
  EXPECT_FALSE(Exists(m_path));
  EXPECT_TRUE(m_log.calls.empty());

  m_log.startResult = false;  // changes nothing
  EXPECT_EQ(Save(root), "<?xml version=\"1.0\"?><R><Held><Leaf/><Leaf/><Leaf/></Held><Last/></R>");
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {20, 40, 60, 80, 100, 120}, true));
  EXPECT_FALSE(root->Child(1));
  ASSERT_EQ(held->numChild(), 3u);  // the chunk the caller holds survives, emptied
  EXPECT_FALSE(held->Child(2));
  // The second total is the root's entry count; empty entries make no element and no call.
  m_log.calls.clear();
  EXPECT_EQ(Save(root), "<?xml version=\"1.0\"?><R/>");
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {50}, true));
  // Without a start callback: no position calls, but the end call and the file.
  m_log.calls.clear();
  m_io.setStartProgressFun(StartProgressFun());
  root->addChild(newChunk("A"));
  EXPECT_EQ(Save(root), "<?xml version=\"1.0\"?><R><A/></R>");
  EXPECT_EQ(m_log.calls, Calls("", {}, true));
}

TEST_F(XmlFile, FailedOrInterruptedSaveKeepsTheOldFile) {
  WriteText(m_path, "<Old/>");
  boost::shared_ptr<IChunk> root = newChunk("R");
  for (int i = 0; i < 4; ++i) root->addChild(newChunk("C", "", i));
  m_io.setSetPosFun([](int position) {
    if (position == 75) throw std::runtime_error("cancelled");
  });
  EXPECT_THROW(m_io.save(root), std::runtime_error);
  EXPECT_EQ(ReadText(m_path), "<Old/>");
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {}, false));  // no end call
  EXPECT_FALSE(root->Child(0));                           // written before the throw: consumed
  EXPECT_TRUE(root->Child(2));                            // not reached

  m_log.calls.clear();
  m_io.setPath(m_folder.Path("no/such/folder/out.xml").c_str());
  m_io.setStartProgressFun(StartProgressFun());
  m_io.save(root);
  EXPECT_FALSE(Exists(m_folder.Path("no")));
  EXPECT_FALSE(root->Child(2));                 // consumed all the same
  EXPECT_EQ(m_log.calls, Calls("", {}, true));  // the failure is not reported
}

TEST_F(XmlFile, MillionDeepChainIsWrittenToTheDepthReadersAccept) {
  const int kDepth = 1000000;
  boost::shared_ptr<IChunk> root = newChunk("C"), at = root;
  for (int i = 1; i < kDepth; ++i, at = at->Child(0)) at->addChild(newChunk("C"));
  at.reset();
  int lastPosition = 0;
  m_io.setSetPosFun([&lastPosition](int position) { lastPosition = position; });
  // Only the 256 levels a reader accepts are written: the declaration, "<C>"
  // and "</C>" for the first 255, "<C/>".
  EXPECT_EQ(Save(root).size(), 21u + 255u * 7u + 4u);
  EXPECT_EQ(lastPosition, 100);  // 1000000 * 100 / 999999: every chunk is visited
  EXPECT_FALSE(root->Child(0));
}

// Reaches the protected per-element steps, as a derived class of a host may.
struct ElementSteps : XmlFileIO {
  using XmlFileIO::read;
  using XmlFileIO::save;
};

TEST_F(XmlFile, ProtectedStepsWorkOnWrappersAndReplaceAttributes) {
  DomXml::CXml document;
  ASSERT_TRUE(document.Create("Top"));
  boost::shared_ptr<IChunk> chunk = newChunk("Top", "t", 7);
  chunk->addChild(newChunk("", "kid"));
  ElementSteps steps;
  steps.save(newChunk("Top", "first", CString("text")), document.GetRoot());
  steps.save(chunk, document.GetRoot());  // each attribute once, with the second value
  EXPECT_FALSE(chunk->Child(0));
  ASSERT_TRUE(document.Save(m_path.c_str()));
  EXPECT_CONFORMING_XML(m_path);
  EXPECT_EQ(ReadText(m_path),
            "<?xml version=\"1.0\"?><Top Name=\"t\" Type=\"int\" Value=\"7\"><att Name=\"kid\"/>"
            "</Top>");
  boost::shared_ptr<IChunk> back;
  steps.read(back, document.GetRoot());
  ASSERT_TRUE(back);
  EXPECT_EQ(Outline(back), "Top:t:int=7(att:kid)");
}

// Hostile files of up to 1 MB: whatever their shape, reading one with
// progress callbacks (both passes) takes at most 64 MB at its peak, and no
// more than three times what the same shape at half the size takes: memory
// grows with the file, not faster. Measured: the peak of live bytes taken
// through operator new, through which the reader allocates everything,
// libexpat's memory included (the parser is given operator new as its
// allocator). Not measured: what the C library allocates on its own (the
// system converter's state).
constexpr std::size_t kFileLimit = 1024 * 1024;

// The peak of reading `bytes`; whether a tree came back in `readable`.
std::size_t ReadPeak(const std::string& bytes, bool* readable) {
  ScratchDir folder;
  const std::string path = folder.Path("hostile.xml");
  WriteText(path, bytes);
  XmlFileIO io{CString(path.c_str())};
  io.setStartProgressFun([](CString const&, int, int) { return true; });
  io.setSetPosFun([](int) {});
  boost::shared_ptr<IChunk> root;
  AllocationMeter meter;
  io.read(root);
  *readable = static_cast<bool>(root);
  return meter.PeakAboveStart();
}

using Shape = std::function<std::string(std::size_t size)>;

// `head`, then `unit` as often as it fits below `size` with `tail`, then `tail`.
Shape Repeated(const std::string& head, const std::string& unit, const std::string& tail) {
  return [=](std::size_t size) {
    std::string text = head;
    while (text.size() + unit.size() + tail.size() <= size) text += unit;
    return text + tail;
  };
}

Shape Huge(const std::string& head, char fill, const std::string& tail) {
  return [=](std::size_t size) { return head + std::string(size - 100, fill) + tail; };
}

TEST(XmlFileHostile, MemoryGrowsWithTheFileNotFaster) {
  std::string deep;  // below a document element, 255 more levels reach the depth limit
  for (int i = 0; i < 255; ++i) deep = "<a>" + deep + "</a>";
  const struct {
    const char* what;
    Shape shape;
    bool readable;
  } shapes[] = {
      {"deep", Repeated("<r>", deep, "</r>"), true},
      // One level more anywhere refuses the whole file.
      {"too deep", Repeated("<r>", deep, "<a>" + deep + "</a></r>"), false},
      {"elements", Repeated("<r>", "<a/>", "</r>"), true},
      {"attributes",
       [](std::size_t size) {
         std::string text = "<r";
         for (int next = 0; text.size() < size - 64;)
           text += " a" + std::to_string(next++) + "=\"\"";
         return text + "/>";
       },
       true},
      {"huge string", Huge("<r Type=\"string\" Value=\"", 'x', "\"/>"), true},
      // A million digits are out of the double's range: the element is left out.
      {"huge number", Huge("<r Type=\"double\" Value=\"", '1', "\"/>"), false},
      {"character references", Repeated("<r Type=\"string\" Value=\"", "&#10;&#x4E2D;", "\"/>"),
       true},
      {"narrow code page",
       Repeated("<?xml version=\"1.0\" encoding=\"GB2312\"?><r>",
                "<v Type=\"string\" Value=\"\xD5\xFD\xD4\xDA\xA3\xAC\"/>", "</r>"),
       true},
      // A value made only of separators (what one costs: value_text_test.cpp).
      {"separators", Repeated("<r Type=\"float3\" Value=\"", ",|\xEF\xBC\x8C", "\"/>"), false},
  };
  for (const auto& s : shapes) {
    bool readable = false;
    const std::size_t halfPeak = ReadPeak(s.shape(kFileLimit / 2), &readable);
    const std::string bytes = s.shape(kFileLimit);
    ASSERT_LE(bytes.size(), kFileLimit) << s.what;
    const std::size_t peak = ReadPeak(bytes, &readable);
    EXPECT_EQ(readable, s.readable) << s.what;
    EXPECT_LT(peak, 64u * 1024u * 1024u) << s.what;
    // Room for lists that grow by doubling and the parser's 1 MB block of the
    // file; memory growing with the square of the size would take four times.
    EXPECT_LE(peak, 3 * halfPeak + kFileLimit) << s.what << ": " << halfPeak << " then " << peak;
  }
}

}  // namespace
