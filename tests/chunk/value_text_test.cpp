// The text and any maps of a chunk's direct children.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

template <typename T>
T Held(const std::map<CString, boost::any>& values, const char* name) {
  const auto it = values.find(CString(name));
  const T* held = it == values.end() ? nullptr : boost::any_cast<T>(&it->second);
  if (held == nullptr) ADD_FAILURE() << "no " << typeid(T).name() << " entry " << name;
  return held ? *held : T();
}

TEST(ValueMaps, TextMapReplacesContentsAndLaterNamesWin) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "A", 1));
  root->addChild(newChunk("v", "B", 2.0f));
  root->addChild(newChunk("Section", "S"));
  root->addChild(newChunk("v", "C", 1));
  root->addChild(newChunk("v", "C", 2));
  root->addChild(newChunk("v", "c", 3));                    // names keep their letter case here
  root->children().push_back(boost::shared_ptr<IChunk>());  // skipped
  std::map<CString, CString> texts{{CString("stale"), CString("x")}};
  EXPECT_EQ(root->getValues(texts), 5u);
  const std::map<CString, CString> expected{{CString("A"), CString("1")},
                                            {CString("B"), CString("2.000000")},
                                            {CString("S"), CString("")},
                                            {CString("C"), CString("2")},
                                            {CString("c"), CString("3")}};
  EXPECT_TRUE(texts == expected);
  std::map<CString, boost::any> anys{{CString("stale"), boost::any(1)}};
  EXPECT_EQ(root->getValues(anys), 4u);  // the untyped section has no entry
  EXPECT_EQ(Held<int>(anys, "A"), 1);
  EXPECT_EQ(Held<int>(anys, "C"), 2);
  EXPECT_EQ(Held<int>(anys, "c"), 3);
  EXPECT_EQ(Held<float>(anys, "B"), 2.0f);

  boost::shared_ptr<IChunk> leaf = newChunk("leaf");
  EXPECT_EQ(leaf->getValues(texts), 0u);
  EXPECT_EQ(leaf->getValues(anys), 0u);
  EXPECT_TRUE(texts.empty() && anys.empty());
}

TEST(ValueMaps, AnyMapHoldsEachKindsOwnType) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "uint", 4294967295u));
  root->addChild(newChunk("v", "long64", static_cast<__int64>(-5)));
  root->addChild(newChunk("v", "ulong64", static_cast<unsigned __int64>(1ULL << 63)));
  root->addChild(newChunk("v", "double", 2.5));
  root->addChild(newChunk("v", "bool", true));
  root->addChild(newChunk("v", "float3", 1.0f, 2.0f, 3.0f));
  root->addChild(newChunk("v", "double4", 1.0, 2.0, 3.0, 4.0));
  root->addChild(newChunk("v", "string", CString("text")));
  // Custom text chunks read as the file reader would read them.
  root->addChild(newChunk("v", "Int", CString("INT"), CString("5")));
  root->addChild(newChunk("v", "color", CString("color"), CString("red")));
  root->addChild(newChunk("v", "vector", CString("double3"), CString("1|2|3")));
  root->addChild(newChunk("v", "untyped", CString(""), CString("text")));
  std::map<CString, boost::any> anys;
  EXPECT_EQ(root->getValues(anys), 11u);
  EXPECT_EQ(Held<unsigned int>(anys, "uint"), 4294967295u);
  EXPECT_EQ(Held<__int64>(anys, "long64"), -5);
  EXPECT_EQ(Held<unsigned __int64>(anys, "ulong64"), 1ULL << 63);
  EXPECT_EQ(Held<double>(anys, "double"), 2.5);
  EXPECT_EQ(Held<bool>(anys, "bool"), true);
  EXPECT_EQ(Held<std::vector<float>>(anys, "float3"), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(Held<std::vector<double>>(anys, "double4"), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Held<CString>(anys, "string"), "text");
  EXPECT_EQ(Held<int>(anys, "Int"), 5);
  EXPECT_TRUE(anys[CString("color")].empty());
  EXPECT_EQ(Held<std::vector<double>>(anys, "vector"), (std::vector<double>{1, 2, 3}));
}

}  // namespace
