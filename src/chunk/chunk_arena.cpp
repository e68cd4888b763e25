#include "chunk/chunk_arena.h"

#include <atomic>
#include <cstdint>
#include <new>

namespace corvane {
namespace chunk {
namespace {

// A page is aligned on its own size, so a slot finds its page from its
// address alone and a slot needs no pointer back to it. Large enough that
// the heap's own header before an aligned block (a memory page of its own
// when the block is mapped) costs little.
constexpr std::size_t kPageBytes = 256 * 1024;
constexpr std::size_t kHeaderBytes = 64;
// The shared count boost builds beside the chunk: its pointer, its two
// counts, an empty deleter and an empty allocator (checked in Allocate).
constexpr std::size_t kControlBytes = 32;
constexpr std::size_t kSlotBytes = kControlBytes + sizeof(IChunk);
constexpr std::size_t kSlotsPerPage = (kPageBytes - kHeaderBytes) / kSlotBytes;
static_assert(alignof(IChunk) <= 8 && kSlotBytes % 8 == 0, "slots keep chunks aligned");

// The slots of a page still in use; the arena holds the slots it has not
// handed out yet, so a page lives while it serves or any chunk in it does.
struct PageHeader {
  std::atomic<std::size_t> live;
};
static_assert(sizeof(PageHeader) <= kHeaderBytes, "the header fits before the first slot");

thread_local ChunkArena* t_current = nullptr;
// The slot whose shared count boost is about to allocate (see Adopt).
thread_local void* t_pendingControl = nullptr;

unsigned char* PageOf(const void* slot) {
  return reinterpret_cast<unsigned char*>(reinterpret_cast<std::uintptr_t>(slot) &
                                          ~static_cast<std::uintptr_t>(kPageBytes - 1));
}

void ReleaseSlots(unsigned char* page, std::size_t count) noexcept {
  if (count == 0) return;
  PageHeader* header = reinterpret_cast<PageHeader*>(page);
  if (header->live.fetch_sub(count, std::memory_order_acq_rel) != count) return;
  header->~PageHeader();
  ::operator delete(page, std::align_val_t(kPageBytes));
}

unsigned char* NewPage() {
  unsigned char* page =
      static_cast<unsigned char*>(::operator new(kPageBytes, std::align_val_t(kPageBytes)));
  ::new (page) PageHeader{{kSlotsPerPage}};
  return page;
}

// Destroys the chunk only: its slot goes back with the shared count.
struct DestroyInSlot {
  void operator()(IChunk* chunk) const noexcept { chunk->~IChunk(); }
};

// Places boost's shared count at the start of the pending slot; freeing the
// count frees the slot, after the chunk and every weak pointer are gone.
template <class T>
struct SlotAllocator {
  typedef T value_type;
  SlotAllocator() noexcept {}
  template <class U>
  SlotAllocator(const SlotAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) noexcept {
    static_assert(sizeof(T) <= kControlBytes && alignof(T) <= 8,
                  "boost's shared count fits the slot's head");
    (void)count;  // always one: boost allocates one shared count
    void* slot = t_pendingControl;
    t_pendingControl = nullptr;
    return static_cast<T*>(slot);
  }
  void deallocate(T* control, std::size_t) noexcept { ReleaseSlots(PageOf(control), 1); }
};

template <class T, class U>
bool operator==(const SlotAllocator<T>&, const SlotAllocator<U>&) noexcept {
  return true;
}
template <class T, class U>
bool operator!=(const SlotAllocator<T>&, const SlotAllocator<U>&) noexcept {
  return false;
}

}  // namespace

ChunkArena::ChunkArena() : m_outer(t_current) { t_current = this; }

ChunkArena::~ChunkArena() {
  LeavePage();
  t_current = m_outer;
}

ChunkArena* ChunkArena::Current() { return t_current; }

void* ChunkArena::Take() {
  if (m_page == nullptr || m_used == kSlotsPerPage) {
    LeavePage();
    m_page = NewPage();
  }
  return m_page + kHeaderBytes + kSlotBytes * m_used++;
}

void* ChunkArena::SlotChunk(void* slot) {
  return static_cast<unsigned char*>(slot) + kControlBytes;
}

void ChunkArena::GiveBack(void* slot) noexcept { ReleaseSlots(PageOf(slot), 1); }

boost::shared_ptr<IChunk> ChunkArena::Adopt(void* slot, IChunk* chunk) noexcept {
  t_pendingControl = slot;
  return boost::shared_ptr<IChunk>(chunk, DestroyInSlot(), SlotAllocator<IChunk>());
}

void ChunkArena::LeavePage() noexcept {
  if (m_page != nullptr) ReleaseSlots(m_page, kSlotsPerPage - m_used);
  m_page = nullptr;
  m_used = 0;
}

}  // namespace chunk
}  // namespace corvane
