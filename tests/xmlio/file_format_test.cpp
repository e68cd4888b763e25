// The XML chunk file as written: the worked exchange-file example element by
// element, exact bytes of a small file, escaping, empty labels and values, and
// narrow (GBK) text surviving the trip through UTF-8.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/xml_file_io.h>

#include "xmlio/xmlio_test_support.h"

namespace {

using xmlio_test::ReadBytes;
using xmlio_test::ScratchFolder;

struct ElementRow {
  int depth;
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in file order
};

void Flatten(pugi::xml_node element, int depth, std::vector<ElementRow>& rows) {
  ElementRow row{depth, element.name(), {}};
  for (pugi::xml_attribute a : element.attributes()) row.attributes.emplace_back(a.name(), a.value());
  rows.push_back(row);
  for (pugi::xml_node child : element.children()) {
    EXPECT_EQ(child.type(), pugi::node_element) << "only elements below the root";
    Flatten(child, depth + 1, rows);
  }
}

std::vector<ElementRow> ElementsOf(const std::string& path) {
  pugi::xml_document document;
  pugi::xml_parse_result parsed = document.load_file(path.c_str(), pugi::parse_full);
  EXPECT_TRUE(parsed) << parsed.description();
  std::vector<ElementRow> rows;
  Flatten(document.document_element(), 0, rows);
  return rows;
}

void FillWorkedExample(FileConvert& document) {
  boost::shared_ptr<IChunk> sysVar = document.GetSysVar();
  sysVar->addChild(newChunk("Var", "Scale", 2.5));
  sysVar->addChild(newChunk("Var", "Visible", true));
  sysVar->addChild(newChunk("", "Count", 4294967295u));
  boost::shared_ptr<IChunk> layer = newChunk("Layer", "Walls");
  layer->addChild(newChunk("Color", "", 1.0f, 0.5f, 0.0f));
  layer->addChild(newChunk("Note", "Text", "load bearing"));
  document.GetLayers()->addChild(layer);
}

TEST(XmlChunkFile, WorkedExampleIsWrittenElementByElement) {
  ScratchFolder folder;
  const std::string path = folder.File("example.xml");
  {
    FileConvert document;
    document.SetPath(path.c_str(), false);
    FillWorkedExample(document);
  }
  typedef std::vector<std::pair<std::string, std::string>> Attrs;
  const std::vector<ElementRow> expected = {
      {0, "FILE_CONVERT", {}},
      {1, "SysVar", {}},
      {2, "Var", Attrs{{"Name", "Scale"}, {"Type", "double"}, {"Value", "2.500000"}}},
      {2, "Var", Attrs{{"Name", "Visible"}, {"Type", "bool"}, {"Value", "true"}}},
      {2, "att", Attrs{{"Name", "Count"}, {"Type", "uint"}, {"Value", "-1"}}},
      {1, "Layers", {}},
      {2, "Layer", Attrs{{"Name", "Walls"}}},
      {3, "Color", Attrs{{"Type", "float3"}, {"Value", "1.000000,0.500000,0.000000"}}},
      {3, "Note", Attrs{{"Name", "Text"}, {"Type", "string"}, {"Value", "load bearing"}}},
      {1, "Environment", {}},
      {1, "Materials", {}},
      {1, "Meshs", {}},
      {1, "Groups", {}},
      {1, "Entitys", {}},
  };
  const std::vector<ElementRow> actual = ElementsOf(path);
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i].depth, expected[i].depth) << "element " << i;
    EXPECT_EQ(actual[i].name, expected[i].name) << "element " << i;
    EXPECT_EQ(actual[i].attributes, expected[i].attributes) << "element " << i;
  }

  // No comments, no other processing instructions, no text anywhere.
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\"", 0), 0u);
  EXPECT_EQ(bytes.find("encoding"), std::string::npos);
  EXPECT_EQ(bytes.find("<!--"), std::string::npos);
}

TEST(XmlChunkFile, WorkedExampleReadsBackAsTheSameTree) {
  ScratchFolder folder;
  const std::string path = folder.File("example.xml");
  {
    FileConvert document;
    document.SetPath(path.c_str(), false);
    FillWorkedExample(document);
  }
  FileConvert loaded;
  loaded.SetPath(path.c_str(), true);
  boost::shared_ptr<IChunk> root = loaded.GetRoot();
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "FILE_CONVERT");
  EXPECT_EQ(root->numChild(), 7u);

  boost::shared_ptr<IChunk> sysVar = loaded.GetSysVar();
  ASSERT_TRUE(sysVar);
  ASSERT_EQ(sysVar->numChild(), 3u);
  EXPECT_EQ(sysVar->Child(0)->name(), "Scale");
  EXPECT_EQ(sysVar->Child(0)->type(), "double");
  EXPECT_DOUBLE_EQ(sysVar->Child(0)->getF64Value(), 2.5);
  EXPECT_EQ(sysVar->Child(1)->type(), "bool");
  EXPECT_TRUE(sysVar->Child(1)->getBoolValue());
  EXPECT_EQ(sysVar->Child(2)->label(), "att");  // the empty label does not come back
  EXPECT_EQ(sysVar->Child(2)->name(), "Count");
  EXPECT_EQ(sysVar->Child(2)->getU32Value(), 4294967295u);

  boost::shared_ptr<IChunk> layers = loaded.GetLayers();
  ASSERT_TRUE(layers);
  ASSERT_EQ(layers->numChild(), 1u);
  boost::shared_ptr<IChunk> walls = layers->Child(0);
  EXPECT_EQ(walls->label(), "Layer");
  EXPECT_EQ(walls->name(), "Walls");
  EXPECT_TRUE(walls->type().IsEmpty());
  ASSERT_EQ(walls->numChild(), 2u);
  EXPECT_EQ(walls->Child(0)->type(), "float3");
  EXPECT_FLOAT_EQ(walls->Child(0)->getF32Value3(0), 1.0f);
  EXPECT_FLOAT_EQ(walls->Child(0)->getF32Value3(1), 0.5f);
  EXPECT_FLOAT_EQ(walls->Child(0)->getF32Value3(2), 0.0f);
  EXPECT_EQ(walls->Child(1)->getValueAsString(), "load bearing");
  for (auto section : {loaded.GetEnvironment(), loaded.GetMaterials(), loaded.GetMeshs(),
                       loaded.GetGroups(), loaded.GetEntitys()}) {
    ASSERT_TRUE(section);
    EXPECT_EQ(section->numChild(), 0u);
  }
}

TEST(XmlChunkFile, SmallFileExactBytes) {
  ScratchFolder folder;
  const std::string path = folder.File("small.xml");
  boost::shared_ptr<IChunk> root = newChunk("R");
  root->addChild(newChunk("V", "n", -5));
  root->addChild(newChunk(""));
  root->addChild(newChunk("S", "", "a<b&\"c\""));
  XmlFileIO io(path.c_str());
  io.save(root);
  EXPECT_EQ(ReadBytes(path),
            "<?xml version=\"1.0\"?>"
            "<R><V Name=\"n\" Type=\"int\" Value=\"-5\"/><att/><S Type=\"string\" "
            "Value=\"a&lt;b&amp;&quot;c&quot;\"/></R>");
}

TEST(XmlChunkFile, EmptyStringAndControlCharactersRoundTrip) {
  ScratchFolder folder;
  const std::string path = folder.File("edges.xml");
  boost::shared_ptr<IChunk> root = newChunk("Root", "top");
  root->addChild(newChunk("Empty", "", ""));  // "string" without value text
  root->addChild(newChunk("Lines", "", "one\ntwo\tthree"));
  XmlFileIO io(path.c_str());
  io.save(root);
  EXPECT_EQ(ElementsOf(path)[1].attributes,
            (std::vector<std::pair<std::string, std::string>>{{"Type", "string"}}));

  boost::shared_ptr<IChunk> back;
  io.read(back);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->numChild(), 2u);
  EXPECT_EQ(back->Child(0)->type(), "string");
  EXPECT_EQ(back->Child(0)->getValueAsString(), "");
  EXPECT_EQ(back->Child(1)->getValueAsString(), "one\ntwo\tthree");
}

TEST(XmlChunkFile, NarrowTextRoundTripsThroughUtf8) {
  ScratchFolder folder;
  const std::string path = folder.File("gbk.xml");
  const char kLayerLabel[] = "\xCD\xBC\xB2\xE3";         // a two-character GBK label
  const char kWallName[] = "\xC7\xBD\xCC\xE5";           // a GBK name
  const char kNote[] = "\xB3\xD0\xD6\xD8\xC7\xBD, 3\xA1\xE3";  // GBK text with a degree sign
  boost::shared_ptr<IChunk> root = newChunk("FILE_CONVERT");
  boost::shared_ptr<IChunk> layer = newChunk(kLayerLabel, kWallName);
  layer->addChild(newChunk("Note", kWallName, kNote));
  root->addChild(layer);
  XmlFileIO io(path.c_str());
  io.save(root);

  // In the file the text is UTF-8.
  const std::string bytes = ReadBytes(path);
  EXPECT_NE(bytes.find("\xE5\x9B\xBE\xE5\xB1\x82"), std::string::npos);  // the label in UTF-8
  EXPECT_EQ(bytes.find(kLayerLabel), std::string::npos);

  boost::shared_ptr<IChunk> back;
  io.read(back);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->numChild(), 1u);
  boost::shared_ptr<IChunk> layerBack = back->Child(0);
  EXPECT_EQ(layerBack->label(), kLayerLabel);
  EXPECT_EQ(layerBack->name(), kWallName);
  ASSERT_EQ(layerBack->numChild(), 1u);
  EXPECT_EQ(layerBack->Child(0)->name(), kWallName);
  EXPECT_EQ(layerBack->Child(0)->getValueAsString(), kNote);
}

}  // namespace
