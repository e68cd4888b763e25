// RecentTextCache: a fixed-size, direct-mapped memo from a text (bytes) to a
// converted value, for the few dozen labels, names and type tags that repeat
// through a whole chunk file. A colliding text simply replaces the older one,
// so memory stays bounded on any input. Values are owned by the cache; the
// reference returned lives until the next Lookup. One thread at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {
namespace xmlio {

template <class Value, std::size_t kSlots = 256>
class RecentTextCache {
  static_assert((kSlots & (kSlots - 1)) == 0, "slot count must be a power of two");

 public:
  // The slot for `key`; `*fresh` is true when it held another text (or none)
  // and the caller must fill the value anew.
  Value& Lookup(std::string_view key, bool* fresh) {
    Slot& slot = m_slots[Hash(key) & (kSlots - 1)];
    *fresh = !slot.used || std::string_view(slot.key) != key;
    if (*fresh) {
      slot.key.assign(key.data(), key.size());  // reuses the slot's capacity
      slot.used = true;
    }
    return slot.value;
  }

 private:
  struct Slot {
    std::string key;
    Value value{};
    bool used = false;
  };

  static std::uint32_t Hash(std::string_view key) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char byte : key) hash = (hash ^ byte) * 16777619u;
    return hash;
  }

  std::array<Slot, kSlots> m_slots;
};

}  // namespace xmlio
}  // namespace corvane
