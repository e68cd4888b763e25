// The XML chunk file byte for byte and back: the worked exchange-file example,
// and a small file with escaping, empty labels and values, and GBK text as UTF-8.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <string>

#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using corvane_test::IsConformingXml;
using corvane_test::ReadText;
using corvane_test::ScratchDir;

TEST(XmlChunkFile, WorkedExampleExactlyAndBack) {
  ScratchDir folder;
  const std::string path = folder.Path("example.xml");
  boost::shared_ptr<IChunk> sysVar;
  {
    FileConvert document;
    document.SetPath(path.c_str(), false);
    document.GetLayers()->addChild(newChunk("Layer", "dropped"));
    document.SetPath(path.c_str(), false);  // a new empty tree: the layer above is dropped
    sysVar = document.GetSysVar();
    sysVar->addChild(newChunk("Var", "Scale", 2.5));
    sysVar->addChild(newChunk("Var", "Visible", true));
    sysVar->addChild(newChunk("", "Count", 4294967295u));
    boost::shared_ptr<IChunk> layer = newChunk("Layer", "Walls");
    layer->addChild(newChunk("Color", "", 1.0f, 0.5f, 0.0f));
    layer->addChild(newChunk("Note", "Text", "load bearing"));
    document.GetLayers()->addChild(layer);
  }
  const std::string expected =
      "<?xml version=\"1.0\"?><FILE_CONVERT><SysVar>"
      "<Var Name=\"Scale\" Type=\"double\" Value=\"2.500000\"/>"
      "<Var Name=\"Visible\" Type=\"bool\" Value=\"true\"/>"
      "<att Name=\"Count\" Type=\"uint\" Value=\"-1\"/></SysVar>"
      "<Layers><Layer Name=\"Walls\"><Color Type=\"float3\" Value=\"1.000000,0.500000,0.000000\"/>"
      "<Note Name=\"Text\" Type=\"string\" Value=\"load bearing\"/></Layer></Layers>"
      "<Environment/><Materials/><Meshs/><Groups/><Entitys/></FILE_CONVERT>";
  EXPECT_EQ(ReadText(path), expected);
  EXPECT_CONFORMING_XML(path);
  ASSERT_EQ(sysVar->numChild(), 3u);  // a held section stays valid, holding empty entries
  EXPECT_FALSE(sysVar->Child(0));
  EXPECT_FALSE(sysVar->Child(2));
  // Read back and written again, the tree gives the same file, values included.
  const std::string again = folder.Path("again.xml");
  FileConvert loaded;
  loaded.SetPath(path.c_str(), true);
  ASSERT_TRUE(loaded.GetRoot());
  XmlFileIO(again.c_str()).save(loaded.GetRoot());
  EXPECT_EQ(ReadText(again), expected);
}

TEST(XmlChunkFile, SmallFileExactBytesAndBack) {
  ScratchDir folder;
  const std::string path = folder.Path("small.xml");
  const char kLabel[] = "\xCD\xBC\xB2\xE3";
  const char kName[] = "\xC7\xBD\xCC\xE5";
  const char kNote[] = "\xB3\xD0\xD6\xD8\xC7\xBD, 3\xA1\xE3";  // with a degree sign
  boost::shared_ptr<IChunk> root = newChunk("R");
  root->addChild(newChunk("V", "n", -5));
  root->addChild(newChunk(""));
  root->addChild(newChunk("S", "", "a<b&\"c\""));
  root->addChild(newChunk("E", "", ""));  // "string" without value text
  root->addChild(newChunk("L", "", "one\ntwo\tthree"));
  root->addChild(newChunk(kLabel, kName, kNote));
  XmlFileIO io(path.c_str());
  io.save(root);
  const std::string expected =
      "<?xml version=\"1.0\"?>"
      "<R><V Name=\"n\" Type=\"int\" Value=\"-5\"/><att/><S Type=\"string\" "
      "Value=\"a&lt;b&amp;&quot;c&quot;\"/><E Type=\"string\"/>"
      "<L Type=\"string\" Value=\"one&#10;two&#09;three\"/>"
      "<\xE5\x9B\xBE\xE5\xB1\x82 Name=\"\xE5\xA2\x99\xE4\xBD\x93\" Type=\"string\" "
      "Value=\"\xE6\x89\xBF\xE9\x87\x8D\xE5\xA2\x99, 3\xC2\xB0\"/></R>";
  EXPECT_EQ(ReadText(path), expected);
  EXPECT_CONFORMING_XML(path);

  // Read back, the texts are narrow again and a second save gives the same bytes.
  boost::shared_ptr<IChunk> back;
  io.read(back);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->numChild(), 6u);
  EXPECT_EQ(back->Child(2)->getValueAsString(), "a<b&\"c\"");
  EXPECT_EQ(back->Child(5)->label(), kLabel);
  EXPECT_EQ(back->Child(5)->getValueAsString(), kNote);
  io.save(back);
  EXPECT_EQ(ReadText(path), expected);
}

}  // namespace
