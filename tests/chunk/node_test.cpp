// Construction, factories, value texts, copying and destruction of chunks.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>
#include <climits>
#include <memory>
#include <string>

static_assert(sizeof(IChunk) <= 88, "IChunk must stay within 88 bytes");

namespace {

const CString L("L");
const CString N("N");

TEST(ChunkNode, EachFactoryMakesItsTagAndValueText) {
  const struct {
    boost::shared_ptr<IChunk> chunk;
    const char* tag;
    const char* text;
  } cases[] = {
      // The stream operators' table pins the remaining factories.
      {newChunk(L, N, INT_MIN), "int", "-2147483648"},
      {newChunk(L, N, 0.1f), "float", "0.100000"},
      {newChunk(L, N, static_cast<__int64>(4294967296LL)), "long64", "4294967296"},
      {newChunk(L, N, static_cast<__int64>(LLONG_MIN)), "long64", "-9223372036854775808"},
      {newChunk(L, N, 1e20), "double", "100000000000000000000.000000"},
      {newChunk(L, N, -0.0000001), "double", "-0.000000"},
      {newChunk(L, N, false), "bool", "false"},
      {newChunk(L, N, 1.0f, 0.5f, 0.0f), "float3", "1.000000,0.500000,0.000000"},
      {newChunk(L, N, CString("\xD5\xFD")), "string", "\xD5\xFD"},
      {newChunk(L, N, CString("")), "string", ""},
      {newChunk(L, N, std::string("ab\0cd", 5)), "string", "ab"},
      {newChunk(L, N, std::wstring(L"\x6B63\x5728")), "string", "\xD5\xFD\xD4\xDA"},
      {newChunk(L, N, std::wstring(L"a\x0E01z")), "string", "a?z"},
      {newChunk(L, N, CString("Mine"), CString("red")), "Mine", "red"},
      {newChunk(L, N), "", ""},
      {newChunk(L, N, L"\x6B63"), "string", "\xD5\xFD"},  // wide literals are text, not bool
      {boost::make_shared<IChunk>(L, N, L"\x6B63"), "string", "\xD5\xFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.chunk->type(), c.tag) << c.text;
    EXPECT_EQ(c.chunk->getValueAsString(), c.text) << c.tag;
    EXPECT_TRUE(c.chunk->label() == "L" && c.chunk->name() == "N" && c.chunk->numChild() == 0);
  }
  EXPECT_EQ(newChunk(L, N, std::string())->getStringValue(), nullptr);
  EXPECT_EQ(cases[9].chunk->getStringValue(), nullptr);
  IChunk layers(CString("Layers"));  // a single string is the label
  EXPECT_TRUE(layers.label() == "Layers" && layers.name().IsEmpty() && layers.type().IsEmpty());
  EXPECT_EQ(layers.getI64Value(), 0);  // no value reads as zero
  EXPECT_EQ(IChunk(CString("A"), CString("B")).name(), "B");
  EXPECT_EQ(newChunk("FILE_CONVERT")->label(), "FILE_CONVERT");
  EXPECT_EQ(IChunk(L, N, "text").type(), "string");  // a literal is not a bool
}

TEST(ChunkNode, GettersReinterpretTheSameBitsOfAnOwnedValue) {
  IChunk big(L, N, 4294967295u);
  EXPECT_EQ(big.getI32Value(), -1);
  EXPECT_EQ(big.getU32Value(), 4294967295u);
  IChunk floats(L, N, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(floats.getF32Value3(0), 1.0f);
  EXPECT_EQ(floats.getF32Value2(2), 3.0f);
  EXPECT_EQ(floats.getF32Value4(1), 2.0f);
  EXPECT_EQ(IChunk(L, N, 1.0, 2.0, 3.0, 4.0).getF64Value2(3), 4.0);
  EXPECT_FALSE(IChunk(L, N, 0x100).getBoolValue());  // only the first byte counts
  EXPECT_TRUE(IChunk(L, N, 5).getBoolValue());

  CString source("abc");
  IChunk text(L, N, source);
  text.getStringValue()[0] = 'x';  // writing through the pointer changes the text
  EXPECT_EQ(text.getValueAsString(), "xbc");
  EXPECT_EQ(source, "abc");
}

TEST(ChunkCopy, SharesChildrenCopiesTextAndSurvivesSelfAssignment) {
  auto source = std::make_unique<IChunk>(L, N, CString("keep"));
  source->addChild(newChunk("a"));
  source->addChild(newChunk("b"));
  IChunk copy(*source);
  ASSERT_EQ(copy.numChild(), 2u);
  EXPECT_EQ(copy.Child(1).get(), source->Child(1).get());
  copy.addChild(newChunk("c"));
  EXPECT_EQ(source->numChild(), 2u);
  source.reset();
  EXPECT_STREQ(copy.getStringValue(), "keep");

  IChunk target(L, N, CString("old text"));
  EXPECT_EQ(&(target = copy), &target);
  EXPECT_STREQ(target.getStringValue(), "keep");
  EXPECT_NE(target.getStringValue(), copy.getStringValue());
  EXPECT_EQ(target.numChild(), 3u);
  const char* text = target.getStringValue();
  IChunk& alias = target;
  target = alias;
  EXPECT_EQ(target.getStringValue(), text);
  EXPECT_EQ(target.numChild(), 3u);
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

TEST(ChunkDestruction, SharedSubtreesLiveAsLongAsAHolder) {
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

TEST(ChunkFactories, NameLabelReadersAndReset) {
  EXPECT_EQ(NameChun(boost::shared_ptr<IChunk>()), "");
  EXPECT_EQ(NameChun(newChunk("lab", "nam")), "nam");
  EXPECT_EQ(LabelChun(newChunk("lab", "nam")), "lab");
  CIoPubHelp::h_StrLabel = "pending";
  CIoPubHelp::h_strName = "name";
  CIoPubHelp::reset();
  EXPECT_TRUE(CIoPubHelp::h_StrLabel.IsEmpty() && CIoPubHelp::h_strName.IsEmpty());
}

}  // namespace
