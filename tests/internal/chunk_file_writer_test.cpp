// The streamed save against the document path: for random trees (value
// kinds, labels that are and are not XML names, texts with markup, control
// characters, double-byte and invalid bytes, NULs, empty child entries),
// writing the text directly gives the same bytes as building the document and
// saving it, writes only XML another parser accepts, visits every chunk and
// consumes the tree.
#include "xmlio/chunk_file_writer.h"

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "support/scratch_dir.h"
#include "support/xml_check.h"
#include "xmldom/dom_access.h"
#include "xmlio/chunk_tree_writer.h"

namespace {

using corvane::xmlio::QuietProgress;
using corvane_test::Exists;
using corvane_test::ReadText;

class TreeMaker {
 public:
  explicit TreeMaker(unsigned seed) : m_random(seed) {}

  boost::shared_ptr<IChunk> Tree(const CString& label, int depth) {
    boost::shared_ptr<IChunk> parent = Chunk(label);
    for (int children = depth > 0 ? Pick(5) : 0; children > 0; --children) {
      if (Pick(8) == 0) parent->children().push_back(boost::shared_ptr<IChunk>());
      parent->addChild(Tree(Label(), depth - 1));
    }
    return parent;
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
  template <class Item, int N>
  Item Any(const Item (&items)[N]) {
    return items[Pick(N)];
  }

  CString Text() {
    static const char* const kPieces[] = {"a",        "Zz9",      "&",    "<",    ">",     "\"",
                                          "'",        "\t",       "\n",   "\r",   "\x01",  "\x1F",
                                          " ",        "\x7F",     "\x81", "\xFF", "&amp;", "]]>",
                                          "\xD5\xFD", "\xB1\xA3", "-1.5"};
    std::string text;
    for (int pieces = Pick(6); pieces > 0; --pieces) text += Any(kPieces);
    if (Pick(12) == 0) text += std::string("\0after", 6);
    return CString(text.data(), static_cast<int>(text.size()));
  }

  CString Label() {
    static const char* const kLabels[] = {
        "A",    "b_c", "x.y-z",  "",  "1bad", "a b", ":n", "_u", "\xD5\xFD\xD4\xDA",
        "\x81", "ok&", "Entity", "Q9"};
    return Pick(10) == 0 ? CString("ok\0tail", 7) : CString(Any(kLabels));
  }

  double Number() {
    const double kInfinity = std::numeric_limits<double>::infinity();
    const double kSpecial[] = {1e300, -1e-300, kInfinity, -kInfinity, std::nan(""), 0.0, 31.25};
    return Pick(2) ? Any(kSpecial) : std::uniform_real_distribution<double>(-1e6, 1e6)(m_random);
  }

  // Both outputs share the walk and the value texts; what differs is how
  // text reaches the file, so the kinds here are those with the most varied
  // texts: names, strings, custom types, the longest numbers.
  boost::shared_ptr<IChunk> Chunk(const CString& label) {
    const CString name = Pick(3) ? Text() : CString();
    const int kind = Pick(6);
    if (kind == 0) return newChunk(label, name);
    if (kind == 1) return newChunk(label, name, static_cast<int>(m_random()));
    if (kind == 2) return newChunk(label, name, Number(), Number(), Number(), Number());
    if (kind == 3) return newChunk(label, name, Text());
    if (kind == 4) return newChunk(label, name, Text(), Text());
    return newChunk(label);
  }

  std::mt19937 m_random;
};

// The chunks in the tree; empty child entries are not chunks.
unsigned int Count(const boost::shared_ptr<IChunk>& root) {
  unsigned int count = 1;
  for (const boost::shared_ptr<IChunk>& child : root->children()) count += child ? Count(child) : 0;
  return count;
}

class ChunkFileWriter : public ::testing::Test {
 protected:
  // Saves two equal trees from `make`, one through a document (the DOM
  // layer's root element, the walk into it, the DOM layer's save), one
  // streamed. Returns whether the streamed save wrote its file.
  bool ExpectSameBytes(const std::function<boost::shared_ptr<IChunk>()>& make,
                       const std::string& context) {
    // Fresh names each time: a file left by an earlier save must not answer.
    const std::string viaDocument = m_folder.Path("document" + std::to_string(++m_saves));
    const std::string streamed = m_folder.Path("streamed" + std::to_string(m_saves));
    const boost::shared_ptr<IChunk> first = make(), second = make();
    QuietProgress documentCount, streamCount;
    DomXml::CXml document;
    document.Create(first->label());
    corvane::xmlio::ChunkTreeWriter(documentCount.run())
        .Write(first, corvane::xmldom::DomAccess::Handle(*document.GetRoot()));
    const bool documentSaved = document.Save(viaDocument.c_str());
    const unsigned int chunks = Count(second);
    const bool streamSaved =
        corvane::xmlio::WriteChunkFile(CString(streamed.c_str()), second, streamCount.run());
    if (streamSaved) {
      EXPECT_CONFORMING_XML(streamed);
    }
    EXPECT_EQ(streamSaved, documentSaved) << context;
    EXPECT_EQ(Exists(streamed), streamSaved) << context;
    EXPECT_EQ(ReadText(streamed), ReadText(viaDocument)) << context;
    EXPECT_EQ(streamCount.run().Position(), chunks) << context;
    EXPECT_EQ(documentCount.run().Position(), chunks) << context;
    for (const boost::shared_ptr<IChunk>& child : second->children())
      EXPECT_FALSE(child) << context;
    return streamSaved;
  }
  bool ExpectSameBytes(unsigned seed, const CString& label, int depth) {
    return ExpectSameBytes([&] { return TreeMaker(seed).Tree(label, depth); },
                           "seed " + std::to_string(seed));
  }

  corvane_test::ScratchDir m_folder;
  int m_saves = 0;
};

TEST_F(ChunkFileWriter, RandomTreesGiveTheDocumentBytes) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    EXPECT_TRUE(ExpectSameBytes(seed, CString("FILE_CONVERT"), 1 + seed % 4));
  }
  for (const char* label : {"", "1bad", "a b", "<"}) {  // no file without a root element
    EXPECT_FALSE(ExpectSameBytes(7, CString(label), 3));
  }
  EXPECT_TRUE(ExpectSameBytes(8, CString("\xD5\xFD\xD4\xDA"), 3));  // a double-byte name is a name
  EXPECT_TRUE(ExpectSameBytes(9, CString("R\0tail", 6), 3));        // the name ends at the NUL
}

TEST_F(ChunkFileWriter, ValuesLongerThanTheOutputBuffer) {
  for (const char* piece : {"abcdefgh", "a\t<\"&\x01", "\xD5\xFD"}) {
    std::string text;
    while (text.size() < 200000) text += piece;
    const CString value(text.c_str());
    EXPECT_TRUE(ExpectSameBytes(
        [&] {
          boost::shared_ptr<IChunk> tree = newChunk("R", value, value);
          tree->addChild(newChunk("C", "c", value));
          return tree;
        },
        piece));
  }
}

}  // namespace
