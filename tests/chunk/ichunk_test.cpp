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
  EXPECT_EQ(IChunk(L, N, 1.0f, 2.0f, 3.0f).getF32Value4(1), 2.0f);
  EXPECT_FALSE(IChunk(L, N, 0x100).getBoolValue());  // only the first byte counts
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
  for (unsigned int i = 0; i < kDepth; ++i, tip = tip->Child(0).get()) tip->addChild(newChunk("n"));
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
  boost::shared_ptr<IChunk> kept = newChunk("kept");
  boost::weak_ptr<IChunk> watch;
  {
    boost::shared_ptr<IChunk> parent = newChunk("parent"), twice = newChunk("twice");
    twice->addChild(newChunk("deep"));
    watch = twice->Child(0);
    parent->addChild(twice);
    parent->addChild(twice);  // listed twice under one parent
    parent->addChild(kept);
  }
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(kept.use_count(), 1);
}

TEST(IChunkChildren, LookupsAndRemovalsIgnoreCaseTakeTheFirstMatchAndSkipEmptyEntries) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("SysVar", "first"));
  root->addChild(newChunk("Layers", "Twin"));
  root->addChild(newChunk("layers", "twin"));
  root->addChild(boost::shared_ptr<IChunk>());  // ignored
  EXPECT_EQ(root->numChild(), 3u);
  EXPECT_EQ(root->ChildByLabel("sysvar"), root->Child(0));
  EXPECT_EQ(root->ChildByName("TWIN"), root->Child(1));
  EXPECT_FALSE(root->ChildByName("twi"));       // no partial match
  EXPECT_FALSE(root->ChildByLabel(" SysVar"));  // no trimming
  boost::shared_ptr<IChunk> held = root->Child(0);
  held->addChild(newChunk("kept", "", 3));
  EXPECT_FALSE(root->erase(3));
  EXPECT_TRUE(root->erase(0));
  EXPECT_EQ(held->Child(0)->getI32Value(), 3);  // a removed chunk still held keeps its subtree
  EXPECT_TRUE(root->eraseName("twin"));
  ASSERT_EQ(root->numChild(), 1u);
  EXPECT_EQ(root->Child(0)->name(), "twin");
  // As the XML writer leaves a chunk: every entry emptied, the count kept.
  root->addChild(newChunk("SysVar"));
  for (auto& entry : root->children()) entry.reset();
  EXPECT_EQ(root->numChild(), 2u);
  EXPECT_FALSE(root->ChildByLabel("SysVar"));
  unsigned int counter = 0;
  root->allNumChild(counter);
  EXPECT_EQ(counter, 2u);
  EXPECT_TRUE(root->erase(1));  // an emptied entry is still removed
}

// The entry `name` as a T; throws (a failure) when it is missing or of another type.
template <typename T>
T Held(const std::map<CString, boost::any>& values, const char* name) {
  return boost::any_cast<T>(values.at(CString(name)));
}

TEST(IChunkValueMaps, MapsReplaceContentsLaterNamesWinAndKindsKeepTheirType) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("v", "C", 1));
  root->addChild(newChunk("Section", "S"));
  root->addChild(newChunk("v", "C", 2));
  root->addChild(newChunk("v", "c", 3));                    // names keep their letter case here
  root->children().push_back(boost::shared_ptr<IChunk>());  // skipped
  root->addChild(newChunk("v", "double4", 1.0, 2.0, 3.0, 4.0));
  root->addChild(newChunk("v", "string", CString("text")));
  // Custom text chunks read as the file reader would read them.
  root->addChild(newChunk("v", "Int", CString("INT"), CString("5")));
  root->addChild(newChunk("v", "color", CString("color"), CString("red")));
  root->addChild(newChunk("v", "vector", CString("double3"), CString("1|2|3")));
  std::map<CString, CString> texts{{CString("stale"), CString("x")}};
  EXPECT_EQ(root->getValues(texts), 8u);
  EXPECT_EQ(texts.count(CString("stale")), 0u);
  EXPECT_EQ(texts[CString("C")], "2");
  EXPECT_EQ(texts[CString("c")], "3");
  EXPECT_EQ(texts[CString("S")], "");
  EXPECT_EQ(texts[CString("vector")], "1|2|3");
  std::map<CString, boost::any> anys{{CString("stale"), boost::any(1)}};
  EXPECT_EQ(root->getValues(anys), 7u);  // the untyped section has no entry
  EXPECT_EQ(Held<int>(anys, "C"), 2);
  EXPECT_EQ(Held<std::vector<double>>(anys, "double4"), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Held<CString>(anys, "string"), "text");
  EXPECT_EQ(Held<int>(anys, "Int"), 5);
  EXPECT_TRUE(anys[CString("color")].empty());
  EXPECT_EQ(Held<std::vector<double>>(anys, "vector"), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(newChunk("leaf")->getValues(texts), 0u);
  EXPECT_TRUE(texts.empty());
}

}  // namespace
