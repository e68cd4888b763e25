// Construction, copying and destruction of chunks.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>

#include <memory>

#include <boost/weak_ptr.hpp>

#include <gtest/gtest.h>

static_assert(sizeof(IChunk) <= 88, "IChunk must stay within 88 bytes");

namespace {

TEST(ChunkNode, FirstStringIsTheLabel) {
  IChunk layers(CString("Layers"));
  EXPECT_EQ(layers.label(), "Layers");
  EXPECT_TRUE(layers.name().IsEmpty());
  EXPECT_TRUE(layers.type().IsEmpty());
  EXPECT_EQ(layers.valueKind(), IChunk::kNoValue);
  EXPECT_EQ(layers.getI64Value(), 0);  // no value reads as zero

  IChunk pair(CString("A"), CString("B"));
  EXPECT_EQ(pair.label(), "A");
  EXPECT_EQ(pair.name(), "B");
}

TEST(ChunkNode, TextValuesAreOwnedCopies) {
  IChunk empty(CString("L"), CString("N"), CString(""));
  EXPECT_EQ(empty.type(), "string");
  EXPECT_EQ(empty.getStringValue(), nullptr);

  CString source("abc");
  IChunk text(CString("L"), CString("N"), source);
  ASSERT_NE(text.getStringValue(), nullptr);
  EXPECT_NE(text.getStringValue(), source.GetString());
  text.getStringValue()[0] = 'x';  // writing through the pointer changes the text
  EXPECT_EQ(text.getValueAsString(), "xbc");
  EXPECT_EQ(source, "abc");

  IChunk custom(CString("L"), CString("N"), CString("MyKind"), CString("v"));
  EXPECT_EQ(custom.type(), "MyKind");
  EXPECT_EQ(custom.valueKind(), IChunk::kCustomText);
  EXPECT_STREQ(custom.getStringValue(), "v");
}

TEST(ChunkNode, StringLiteralMakesAStringChunk) {
  IChunk literal(CString("L"), CString("N"), "text");
  EXPECT_EQ(literal.type(), "string");
  EXPECT_STREQ(literal.getStringValue(), "text");
}

TEST(ChunkNode, GettersReinterpretTheSameBits) {
  IChunk uintChunk(CString("L"), CString(""), 4294967295u);
  EXPECT_EQ(uintChunk.getI32Value(), -1);
  EXPECT_EQ(uintChunk.getU32Value(), 4294967295u);

  IChunk intChunk(CString("L"), CString(""), -2);
  EXPECT_EQ(intChunk.getU32Value(), 4294967294u);

  IChunk floats(CString("L"), CString(""), 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(floats.getF32Value3(0), 1.0f);
  EXPECT_EQ(floats.getF32Value2(2), 3.0f);
  EXPECT_EQ(floats.getF32Value4(1), 2.0f);

  IChunk one(CString("L"), CString(""), 1.0f);
  EXPECT_EQ(one.getI32Value(), 0x3F800000);

  IChunk big(CString("L"), CString(""), static_cast<unsigned __int64>(-1));
  EXPECT_EQ(big.getI64Value(), -1);

  IChunk flag(CString("L"), CString(""), true);
  EXPECT_TRUE(flag.getBoolValue());
  EXPECT_EQ(flag.getI32Value(), 1);
  IChunk five(CString("L"), CString(""), 0x100);  // low byte 0: reads false
  EXPECT_FALSE(five.getBoolValue());
  IChunk odd(CString("L"), CString(""), 5);  // any non-zero first byte is true
  EXPECT_TRUE(odd.getBoolValue());
}

TEST(ChunkCopy, SharesChildrenButNotText) {
  auto source = std::make_unique<IChunk>(CString("L"), CString("N"), CString("keep"));
  source->addChild(newChunk("a"));
  source->addChild(newChunk("b"));
  IChunk copy(*source);
  ASSERT_EQ(copy.numChild(), 2u);
  EXPECT_EQ(copy.Child(0).get(), source->Child(0).get());
  EXPECT_EQ(copy.Child(1).get(), source->Child(1).get());
  EXPECT_NE(copy.getStringValue(), source->getStringValue());
  copy.addChild(newChunk("c"));
  EXPECT_EQ(source->numChild(), 2u);
  source.reset();
  EXPECT_STREQ(copy.getStringValue(), "keep");
}

TEST(ChunkCopy, AssignmentReplacesTextAndChildren) {
  IChunk target(CString("T"), CString("tn"), CString("old text"));
  target.addChild(newChunk("old"));
  IChunk source(CString("S"), CString("sn"), CString("int"), CString("7"));
  source.addChild(newChunk("new"));
  IChunk& result = (target = source);
  EXPECT_EQ(&result, &target);
  EXPECT_EQ(target.label(), "S");
  EXPECT_EQ(target.name(), "sn");
  EXPECT_EQ(target.type(), "int");
  EXPECT_EQ(target.valueKind(), IChunk::kCustomText);
  EXPECT_STREQ(target.getStringValue(), "7");
  EXPECT_NE(target.getStringValue(), source.getStringValue());
  ASSERT_EQ(target.numChild(), 1u);
  EXPECT_EQ(target.Child(0)->label(), "new");

  IChunk number(CString("N"), CString(""), 3.5);
  target = number;  // text kind to number: the old buffer is released
  EXPECT_EQ(target.getF64Value(), 3.5);
  EXPECT_EQ(target.numChild(), 0u);
}

TEST(ChunkCopy, SelfAssignmentChangesNothing) {
  IChunk chunk(CString("L"), CString("N"), CString("text"));
  chunk.addChild(newChunk("child"));
  const char* text = chunk.getStringValue();
  IChunk& alias = chunk;
  chunk = alias;
  EXPECT_EQ(chunk.getStringValue(), text);
  EXPECT_STREQ(chunk.getStringValue(), "text");
  EXPECT_EQ(chunk.numChild(), 1u);
  EXPECT_EQ(chunk.label(), "L");
}

TEST(ChunkCopy, AssigningADescendantKeepsItAlive) {
  boost::shared_ptr<IChunk> root = newChunk("root");
  boost::shared_ptr<IChunk> child = newChunk("child", "c", CString("text"));
  child->addChild(newChunk("grandchild"));
  root->addChild(child);
  child.reset();
  *root = *root->Child(0);  // the source lives only inside the target's list
  EXPECT_EQ(root->label(), "child");
  EXPECT_STREQ(root->getStringValue(), "text");
  ASSERT_EQ(root->numChild(), 1u);
  EXPECT_EQ(root->Child(0)->label(), "grandchild");
}

TEST(ChunkDestruction, MillionDeepChainIsCountedAndReleased) {
  constexpr unsigned int kDepth = 1000000;
  boost::shared_ptr<IChunk> root = newChunk("root");
  IChunk* tip = root.get();
  for (unsigned int i = 0; i < kDepth; ++i) {
    boost::shared_ptr<IChunk> next = newChunk(CString("n"), CString(""), static_cast<int>(i));
    IChunk* raw = next.get();
    tip->addChild(std::move(next));
    tip = raw;
  }
  unsigned int counter = 0;
  root->allNumChild(counter);
  EXPECT_EQ(counter, kDepth);
  EXPECT_EQ(tip->getI32Value(), static_cast<int>(kDepth - 1));
  root.reset();  // must not recurse a million frames deep
}

// Destroyed at exit, after statics whose construction completed later (the
// type tag texts among them, were they ordinary statics).
boost::shared_ptr<IChunk> g_destroyedAtExit;

TEST(ChunkDestruction, ChunkHeldByAStaticOutlivesMain) {
  g_destroyedAtExit = newChunk(CString("late"), CString(""), 1.5f, 2.5f);
  g_destroyedAtExit->addChild(newChunk(CString("child"), CString(""), CString("text")));
  EXPECT_EQ(g_destroyedAtExit->type(), "float2");
}

TEST(ChunkDestruction, SharedSubtreesSurviveTheirParent) {
  boost::shared_ptr<IChunk> kept = newChunk("kept");
  kept->addChild(newChunk("inner"));
  {
    boost::shared_ptr<IChunk> parent = newChunk("parent");
    parent->addChild(kept);
    parent->addChild(kept);  // listed twice under one parent
    parent->addChild(newChunk("own"));
  }
  EXPECT_EQ(kept.use_count(), 1);
  ASSERT_EQ(kept->numChild(), 1u);
  EXPECT_EQ(kept->Child(0)->label(), "inner");

  boost::weak_ptr<IChunk> watch;
  {
    boost::shared_ptr<IChunk> parent = newChunk("parent");
    boost::shared_ptr<IChunk> twice = newChunk("twice");
    twice->addChild(newChunk("deep"));
    watch = twice->Child(0);
    parent->addChild(twice);
    parent->addChild(twice);
  }
  EXPECT_TRUE(watch.expired());  // the twice-listed chunk and its child are gone
}

}  // namespace
