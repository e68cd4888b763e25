// Appending, reaching, counting and removing children.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>
#include <gtest/gtest.h>

namespace {

boost::shared_ptr<IChunk> Tree() {
  boost::shared_ptr<IChunk> root = newChunk("root");
  root->addChild(newChunk("SysVar", "first"));
  root->addChild(newChunk("Layers", "Twin"));
  root->addChild(newChunk("layers", "twin"));
  root->addChild(boost::shared_ptr<IChunk>());  // ignored
  return root;
}

TEST(Navigation, LookupsIgnoreCaseAndTakeTheFirstMatch) {
  boost::shared_ptr<IChunk> root = Tree();
  EXPECT_EQ(root->numChild(), 3u);
  EXPECT_EQ(root->ChildByLabel("sysvar"), root->Child(0));
  EXPECT_EQ(root->ChildByName("TWIN"), root->Child(1));
  EXPECT_FALSE(root->ChildByName("twi"));       // no partial match
  EXPECT_FALSE(root->ChildByLabel(" SysVar"));  // no trimming
  EXPECT_EQ((*root)[2]->label(), "layers");
  EXPECT_FALSE((*root)[3]);
  EXPECT_FALSE((*root)[0xFFFFFFFFu]);
}

TEST(Navigation, RemovalsTakeTheFirstMatchAndCloseTheGap) {
  boost::shared_ptr<IChunk> root = Tree();
  boost::shared_ptr<IChunk> held = root->Child(0);
  held->addChild(newChunk("kept", "", 3));
  EXPECT_FALSE(root->erase(3));
  EXPECT_TRUE(root->erase(0));
  ASSERT_EQ(root->numChild(), 2u);
  EXPECT_EQ(root->Child(0)->name(), "Twin");
  EXPECT_EQ(held->Child(0)->getI32Value(), 3);  // a removed chunk still held keeps its subtree
  EXPECT_TRUE(root->eraseName("twin"));
  ASSERT_EQ(root->numChild(), 1u);
  EXPECT_EQ(root->Child(0)->name(), "twin");
  EXPECT_TRUE(root->eraseLabel("LAYERS"));
  EXPECT_FALSE(root->eraseName("twin"));
}

TEST(Navigation, EmptyEntriesAreSkippedButCounted) {
  boost::shared_ptr<IChunk> root = Tree();
  root->Child(0)->addChild(newChunk("deep"));
  unsigned int counter = 0;
  root->allNumChild(counter);
  root->allNumChild(counter);  // the counter is never reset
  EXPECT_EQ(counter, 8u);
  counter = 0xFFFFFFFFu;
  root->allNumChild(counter);
  EXPECT_EQ(counter, 3u);  // wraps

  // As the XML writer leaves a chunk: every entry emptied, the count kept.
  for (auto& entry : root->children()) entry.reset();
  EXPECT_EQ(root->numChild(), 3u);
  EXPECT_FALSE((*root)[0]);
  EXPECT_FALSE(root->ChildByLabel("SysVar"));
  EXPECT_FALSE(root->eraseName("first"));
  counter = 0;
  root->allNumChild(counter);
  EXPECT_EQ(counter, 3u);
  EXPECT_TRUE(root->erase(1));  // an emptied entry is still removed
  EXPECT_EQ(root->numChild(), 2u);
}

}  // namespace
