// IChunk: construction, the typed getters, copies, destruction at any depth,
// reaching and removing children, and the value maps of the children.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>
#include <gtest/gtest.h>

#include <boost/weak_ptr.hpp>
#include <map>
#include <memory>
#include <vector>

static_assert(sizeof(IChunk) <= 88, "IChunk must stay within 88 bytes");

namespace {

const CString L("L");
const CString N("N");

// The tag and text of each constructor: chunk_factory_test.cpp.
TEST(IChunkValue, GettersReadTheSameBits) {
  EXPECT_EQ(IChunk(CString("Layers")).getI64Value(), 0);  // no value reads as zero
  EXPECT_EQ(IChunk(L, N, 4294967295u).getI32Value(), -1);
  IChunk floats(L, N, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(floats.getF32Value2(2), 3.0f);  // the index is not checked against the kind
  EXPECT_EQ(floats.getF32Value4(1), 2.0f);
  EXPECT_EQ(IChunk(L, N, 1.0, 2.0, 3.0, 4.0).getF64Value2(3), 4.0);
  EXPECT_FALSE(IChunk(L, N, 0x100).getBoolValue());  // only the first byte counts
  EXPECT_TRUE(IChunk(L, N, 5).getBoolValue());
  CString source("abc");
  IChunk text(L, N, source);
  text.getStringValue()[0] = 'x';  // the chunk's own buffer
  EXPECT_EQ(text.getValueAsString(), "xbc");
  EXPECT_EQ(source, "abc");
}

TEST(IChunkCopy, SharesChildrenCopiesTextAndSurvivesSelfAssignment) {
  auto source = std::make_unique<IChunk>(L, N, CString("keep"));
  source->addChild(newChunk("a"));
  IChunk copy(*source);
  EXPECT_EQ(copy.Child(0).get(), source->Child(0).get());
  copy.addChild(newChunk("c"));
  EXPECT_EQ(source->numChild(), 1u);
  source.reset();
  EXPECT_STREQ(copy.getStringValue(), "keep");

  IChunk target(L, N, CString("old text"));
  EXPECT_EQ(&(target = copy), &target);
  EXPECT_STREQ(target.getStringValue(), "keep");
  EXPECT_NE(target.getStringValue(), copy.getStringValue());
  EXPECT_EQ(target.numChild(), 2u);
  const char* text = target.getStringValue();
  IChunk& alias = target;
  target = alias;
  EXPECT_EQ(target.getStringValue(), text);
  target = IChunk(L, N, 3.5);  // text kind to number: the old buffer is released
  EXPECT_EQ(target.getF64Value(), 3.5);

  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("child", "c", CString("text")));
  root->Child(0)->addChild(newChunk("grandchild"));
  *root = *root->Child(0);  // the source lives only inside the target's list
  EXPECT_STREQ(root->getStringValue(), "text");
  ASSERT_EQ(root->numChild(), 1u);
  EXPECT_EQ(root->Child(0)->label(), "grandchild");
}

TEST(IChunkDestruction, MillionDeepChainIsCountedAndReleased) {
  constexpr unsigned int kDepth = 1000000;
  boost::shared_ptr<IChunk> root = newChunk("root");
  IChunk* tip = root.get();
  for (unsigned int i = 0; i < kDepth; ++i) {
    tip->addChild(newChunk(CString("n"), CString(""), static_cast<int>(i)));
    tip = tip->Child(0).get();
  }
  unsigned int counter = 0;
  root->allNumChild(counter);
  EXPECT_EQ(counter, kDepth);
  root.reset();  // must not recurse a million frames deep
}

// Destroyed at exit, after statics whose construction completed later (the
// type tag texts among them, were they ordinary statics).
boost::shared_ptr<IChunk> g_destroyedAtExit;

TEST(IChunkDestruction, SharedSubtreesLiveAsLongAsAHolder) {
  g_destroyedAtExit = newChunk(CString("late"), CString(""), 1.5f, 2.5f);
  g_destroyedAtExit->addChild(newChunk(CString("child"), CString(""), CString("text")));
  boost::shared_ptr<IChunk> kept = newChunk("kept");
  boost::weak_ptr<IChunk> watch;
  {
    boost::shared_ptr<IChunk> parent = newChunk("parent");
    boost::shared_ptr<IChunk> twice = newChunk("twice");
    twice->addChild(newChunk("deep"));
    watch = twice->Child(0);
    parent->addChild(twice);
    parent->addChild(twice);  // listed twice under one parent
    parent->addChild(kept);
  }
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(kept.use_count(), 1);
}

boost::shared_ptr<IChunk> Tree() {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("SysVar", "first"));
  root->addChild(newChunk("Layers", "Twin"));
  root->addChild(newChunk("layers", "twin"));
  root->addChild(boost::shared_ptr<IChunk>());  // ignored
  return root;
}

TEST(IChunkChildren, LookupsAndRemovalsIgnoreCaseAndTakeTheFirstMatch) {
  boost::shared_ptr<IChunk> root = Tree();
  EXPECT_EQ(root->numChild(), 3u);
  EXPECT_EQ(root->ChildByLabel("sysvar"), root->Child(0));
  EXPECT_EQ(root->ChildByName("TWIN"), root->Child(1));
  EXPECT_FALSE(root->ChildByName("twi"));       // no partial match
  EXPECT_FALSE(root->ChildByLabel(" SysVar"));  // no trimming
  EXPECT_FALSE((*root)[3]);
  boost::shared_ptr<IChunk> held = root->Child(0);
  held->addChild(newChunk("kept", "", 3));
  EXPECT_FALSE(root->erase(3));
  EXPECT_TRUE(root->erase(0));
  EXPECT_EQ(held->Child(0)->getI32Value(), 3);  // a removed chunk still held keeps its subtree
  EXPECT_TRUE(root->eraseName("twin"));
  ASSERT_EQ(root->numChild(), 1u);
  EXPECT_EQ(root->Child(0)->name(), "twin");
  EXPECT_TRUE(root->eraseLabel("LAYERS"));
  EXPECT_FALSE(root->eraseName("twin"));
}

TEST(IChunkChildren, EmptyEntriesAreSkippedButCounted) {
  boost::shared_ptr<IChunk> root = Tree();
  root->Child(0)->addChild(newChunk("deep"));
  unsigned int counter = 0xFFFFFFFFu;
  root->allNumChild(counter);  // added to, never reset: wraps
  EXPECT_EQ(counter, 3u);
  // As the XML writer leaves a chunk: every entry emptied, the count kept.
  for (auto& entry : root->children()) entry.reset();
  EXPECT_EQ(root->numChild(), 3u);
  EXPECT_FALSE(root->ChildByLabel("SysVar"));
  EXPECT_FALSE(root->eraseName("first"));
  counter = 0;
  root->allNumChild(counter);
  EXPECT_EQ(counter, 3u);
  EXPECT_TRUE(root->erase(1));  // an emptied entry is still removed
  EXPECT_EQ(root->numChild(), 2u);
}

template <typename T>
T Held(const std::map<CString, boost::any>& values, const char* name) {
  const auto it = values.find(CString(name));
  const T* held = it == values.end() ? nullptr : boost::any_cast<T>(&it->second);
  if (held == nullptr) ADD_FAILURE() << "no entry " << name << " of the expected type";
  return held ? *held : T();
}

TEST(IChunkValueMaps, MapsReplaceContentsLaterNamesWinAndKindsKeepTheirType) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "C", 1));
  root->addChild(newChunk("Section", "S"));
  root->addChild(newChunk("v", "C", 2));
  root->addChild(newChunk("v", "c", 3));                    // names keep their letter case here
  root->children().push_back(boost::shared_ptr<IChunk>());  // skipped
  root->addChild(newChunk("v", "uint", 4294967295u));
  root->addChild(newChunk("v", "long64", static_cast<__int64>(-5)));
  root->addChild(newChunk("v", "ulong64", static_cast<unsigned __int64>(1ULL << 63)));
  root->addChild(newChunk("v", "float", 2.0f));
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
  std::map<CString, CString> texts{{CString("stale"), CString("x")}};
  EXPECT_EQ(root->getValues(texts), 16u);
  EXPECT_EQ(texts.count(CString("stale")), 0u);
  EXPECT_EQ(texts[CString("C")], "2");
  EXPECT_EQ(texts[CString("c")], "3");
  EXPECT_EQ(texts[CString("S")], "");
  EXPECT_EQ(texts[CString("vector")], "1|2|3");
  std::map<CString, boost::any> anys{{CString("stale"), boost::any(1)}};
  EXPECT_EQ(root->getValues(anys), 14u);  // the untyped chunks have no entry
  EXPECT_EQ(Held<int>(anys, "C"), 2);
  EXPECT_EQ(Held<unsigned int>(anys, "uint"), 4294967295u);
  EXPECT_EQ(Held<__int64>(anys, "long64"), -5);
  EXPECT_EQ(Held<unsigned __int64>(anys, "ulong64"), 1ULL << 63);
  EXPECT_EQ(Held<float>(anys, "float"), 2.0f);
  EXPECT_EQ(Held<double>(anys, "double"), 2.5);
  EXPECT_EQ(Held<bool>(anys, "bool"), true);
  EXPECT_EQ(Held<std::vector<float>>(anys, "float3"), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(Held<std::vector<double>>(anys, "double4"), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Held<CString>(anys, "string"), "text");
  EXPECT_EQ(Held<int>(anys, "Int"), 5);
  EXPECT_TRUE(anys[CString("color")].empty());
  EXPECT_EQ(Held<std::vector<double>>(anys, "vector"), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(newChunk("leaf")->getValues(texts), 0u);
  EXPECT_TRUE(texts.empty());
}

}  // namespace
