// ChunkArena: while one is open on a thread, the chunks that thread creates
// (newChunk) come from large shared pages instead of one heap block each:
// a chunk and its shared count sit side by side in one slot of a page, and
// a page is freed when the last chunk in it is gone, on whatever thread
// that happens. A host may keep any chunk after the tree, the document and
// the arena are gone; a chunk it keeps holds its whole page. Loads open one
// around the reading; arenas nest (the innermost serves).
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <utility>

namespace corvane {
namespace chunk {

class ChunkArena {
 public:
  ChunkArena();
  ~ChunkArena();
  ChunkArena(const ChunkArena&) = delete;
  ChunkArena& operator=(const ChunkArena&) = delete;

  // The arena open on the calling thread, or null.
  static ChunkArena* Current();

  // A slot for one chunk: its memory for the chunk is SlotChunk(slot).
  void* Take();
  static void* SlotChunk(void* slot);
  // Gives back a slot whose chunk was never constructed.
  static void GiveBack(void* slot) noexcept;
  // The shared pointer owning `chunk`, built in `slot`; cannot throw.
  static boost::shared_ptr<IChunk> Adopt(void* slot, IChunk* chunk) noexcept;

 private:
  void LeavePage() noexcept;

  ChunkArena* m_outer;
  unsigned char* m_page = nullptr;
  std::size_t m_used = 0;  // slots handed out of m_page
};

// A new chunk: from the thread's open arena, or one heap block without one.
template <class... Args>
boost::shared_ptr<IChunk> MakeChunk(Args&&... args) {
  ChunkArena* arena = ChunkArena::Current();
  if (arena == nullptr) return boost::make_shared<IChunk>(std::forward<Args>(args)...);
  void* slot = arena->Take();
  IChunk* chunk = nullptr;
  try {
    chunk = ::new (ChunkArena::SlotChunk(slot)) IChunk(std::forward<Args>(args)...);
  } catch (...) {
    ChunkArena::GiveBack(slot);
    throw;
  }
  return ChunkArena::Adopt(slot, chunk);
}

}  // namespace chunk
}  // namespace corvane
