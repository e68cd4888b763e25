// The text map and the any map of a chunk's direct children.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>

#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace {

template <typename T>
T Held(const std::map<CString, boost::any>& values, const char* name) {
  const auto it = values.find(CString(name));
  if (it == values.end()) ADD_FAILURE() << "no entry " << name;
  if (it == values.end()) return T();
  const T* held = boost::any_cast<T>(&it->second);
  if (held == nullptr) ADD_FAILURE() << name << " holds " << it->second.type().name();
  return held ? *held : T();
}

TEST(ValueMaps, TextMapHoldsEveryChildsText) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "A", 1));
  root->addChild(newChunk("v", "B", 2.0f));
  root->addChild(newChunk("Section", "S"));
  root->children().push_back(boost::shared_ptr<IChunk>());  // skipped
  std::map<CString, CString> texts;
  texts[CString("stale")] = CString("x");
  EXPECT_EQ(root->getValues(texts), 3u);
  EXPECT_EQ(texts[CString("A")], "1");
  EXPECT_EQ(texts[CString("B")], "2.000000");
  EXPECT_EQ(texts.count(CString("S")), 1u);
  EXPECT_EQ(texts[CString("S")], "");
  EXPECT_EQ(texts.count(CString("stale")), 0u);
}

TEST(ValueMaps, LaterNamesReplaceAndCaseDiffers) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "A", 1));
  root->addChild(newChunk("v", "A", 2));
  root->addChild(newChunk("v", "a", 3));
  std::map<CString, CString> texts;
  EXPECT_EQ(root->getValues(texts), 2u);
  EXPECT_EQ(texts[CString("A")], "2");
  EXPECT_EQ(texts[CString("a")], "3");
  std::map<CString, boost::any> anys;
  EXPECT_EQ(root->getValues(anys), 2u);
  EXPECT_EQ(Held<int>(anys, "A"), 2);
  EXPECT_EQ(Held<int>(anys, "a"), 3);
}

TEST(ValueMaps, AnyMapHoldsTheKindsOwnTypes) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "int", -1));
  root->addChild(newChunk("v", "uint", 4294967295u));
  root->addChild(newChunk("v", "float", 2.0f));
  root->addChild(newChunk("v", "long64", static_cast<__int64>(-5)));
  root->addChild(newChunk("v", "ulong64", static_cast<unsigned __int64>(1ULL << 63)));
  root->addChild(newChunk("v", "double", 2.5));
  root->addChild(newChunk("v", "bool", true));
  root->addChild(newChunk("v", "float3", 1.0f, 2.0f, 3.0f));
  root->addChild(newChunk("v", "double2", 1.0, 2.0));
  root->addChild(newChunk("v", "double4", 1.0, 2.0, 3.0, 4.0));
  root->addChild(newChunk("v", "string", CString("text")));
  root->addChild(newChunk("Section", "section"));
  std::map<CString, boost::any> anys;
  anys[CString("stale")] = 1;
  EXPECT_EQ(root->getValues(anys), 11u);
  EXPECT_EQ(anys.count(CString("section")), 0u);
  EXPECT_EQ(anys.count(CString("stale")), 0u);
  EXPECT_EQ(Held<int>(anys, "int"), -1);
  EXPECT_EQ(Held<unsigned int>(anys, "uint"), 4294967295u);
  EXPECT_EQ(Held<float>(anys, "float"), 2.0f);
  EXPECT_EQ(Held<__int64>(anys, "long64"), -5);
  EXPECT_EQ(Held<unsigned __int64>(anys, "ulong64"), 1ULL << 63);
  EXPECT_EQ(Held<double>(anys, "double"), 2.5);
  EXPECT_EQ(Held<bool>(anys, "bool"), true);
  EXPECT_EQ(Held<std::vector<float>>(anys, "float3"), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(Held<std::vector<double>>(anys, "double2"), (std::vector<double>{1, 2}));
  EXPECT_EQ(Held<std::vector<double>>(anys, "double4"), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Held<CString>(anys, "string"), "text");
}

TEST(ValueMaps, CustomTextChunksReadAsTheFileWouldReadThem) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "int", CString("Int"), CString("5")));
  root->addChild(newChunk("v", "bad", CString("int"), CString("5.0")));
  root->addChild(newChunk("v", "color", CString("color"), CString("red")));
  root->addChild(newChunk("v", "string", CString("STRING"), CString("text")));
  root->addChild(newChunk("v", "vector", CString("double3"), CString("1|2|3")));
  root->addChild(newChunk("v", "untyped", CString(""), CString("text")));
  std::map<CString, boost::any> anys;
  EXPECT_EQ(root->getValues(anys), 5u);
  EXPECT_EQ(Held<int>(anys, "int"), 5);
  EXPECT_TRUE(anys[CString("bad")].empty());
  EXPECT_TRUE(anys[CString("color")].empty());
  EXPECT_EQ(Held<CString>(anys, "string"), "text");
  EXPECT_EQ(Held<std::vector<double>>(anys, "vector"), (std::vector<double>{1, 2, 3}));
}

TEST(ValueMaps, NoChildrenEmptiesBothMaps) {
  boost::shared_ptr<IChunk> leaf = newChunk("leaf");
  std::map<CString, CString> texts{{CString("x"), CString("y")}};
  std::map<CString, boost::any> anys{{CString("x"), boost::any(1)}};
  EXPECT_EQ(leaf->getValues(texts), 0u);
  EXPECT_EQ(leaf->getValues(anys), 0u);
  EXPECT_TRUE(texts.empty());
  EXPECT_TRUE(anys.empty());
}

}  // namespace
