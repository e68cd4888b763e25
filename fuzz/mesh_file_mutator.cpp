// The custom mutator of fuzz_mesh_load. An input is decoded as a mesh file
// (a count of meshes; each a number, a name, faces and indices; each face
// five plain lists, a text and five plain fields), as far as it holds whole
// fields: a damaged input comes back as the whole part before the damage.
// Records, list elements, numbers, flags and texts (with every form of the
// length prefix, narrow and wide) are mutated and the list re-encoded with
// counts that match, so most outputs load completely. One call in five uses
// libFuzzer's byte mutations instead, and one in sixteen cuts the encoded
// file short, so damaged files keep being fuzzed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "mutation_support.h"

namespace corvane_fuzz {
namespace {

// A text field: the form of its length prefix and its bytes (two a
// character when wide).
struct Text {
  bool wide = false;
  int width = 1;  // bytes of the length field after any wide tag: 1, 3, 7 or 15
  std::string bytes;
};

// points3d, indices, points2dA, points2dB, vectors3d: whole elements each.
constexpr std::size_t kListUnits[5] = {24, 4, 16, 16, 24};
// number (4), flagB, flagA, factor (8), flagC.
constexpr std::size_t kTailSize = 15;
const std::size_t kTailFields[][2] = {{0, 4}, {4, 1}, {5, 1}, {6, 8}, {14, 1}};

struct Face {
  std::string lists[5];
  Text text;
  std::string tail = std::string(kTailSize, '\0');
};

struct Mesh {
  std::string number = std::string(4, '\0');
  Text name;
  std::vector<Face> faces;
  std::string indices;
};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  // Meshes up to the first field the bytes do not hold; a mesh cut short
  // keeps what it holds whole.
  std::vector<Mesh> Meshes() {
    std::vector<Mesh> meshes;
    for (std::uint64_t count = Number(4); m_ok && meshes.size() < count;) {
      meshes.emplace_back();
      ReadMesh(meshes.back());
    }
    return meshes;
  }

 private:
  std::string Take(std::uint64_t count) {
    if (!m_ok || count > m_size - m_at) {
      m_ok = false;
      return std::string();
    }
    m_at += count;
    return std::string(reinterpret_cast<const char*>(m_data) + m_at - count, count);
  }
  std::uint64_t Number(std::size_t bytes) {
    const std::string raw = Take(bytes);
    std::uint64_t value = 0;
    for (std::size_t i = raw.size(); i > 0; --i) value = value << 8 | std::uint8_t(raw[i - 1]);
    return value;
  }
  // The length after a word of 0xFFFF or more: wider fields follow.
  std::uint64_t Wider(std::uint64_t word, int& width) {
    width = 3;
    if (word < 0xFFFF) return word;
    width = 7;
    const std::uint64_t dword = Number(4);
    if (dword < 0xFFFFFFFF) return dword;
    width = 15;
    return Number(8);
  }
  void ReadText(Text& text) {
    std::uint64_t length = Number(1);
    if (length == 0xFF) {
      length = Number(2);
      if (length == 0xFFFE) {
        text.wide = true;
        length = Number(1);
        if (length == 0xFF) length = Wider(Number(2), text.width);
      } else {
        length = Wider(length, text.width);
      }
    }
    if (text.wide && length > std::numeric_limits<std::uint64_t>::max() / 2) m_ok = false;
    text.bytes = Take(text.wide ? 2 * length : length);
  }
  void ReadList(std::string& list, std::size_t unit) {
    const std::uint64_t count = Number(4);
    const std::uint64_t whole = (m_size - m_at) / unit;
    list = Take((count < whole ? count : whole) * unit);
    if (count > whole) m_ok = false;
  }
  void ReadFace(Face& face) {
    for (int i = 0; i < 5; ++i) ReadList(face.lists[i], kListUnits[i]);
    ReadText(face.text);
    if (m_ok) face.tail = Take(kTailSize);
    if (!m_ok) face.tail.assign(kTailSize, '\0');
  }
  void ReadMesh(Mesh& mesh) {
    mesh.number = Take(4);
    if (!m_ok) mesh.number.assign(4, '\0');
    ReadText(mesh.name);
    for (std::uint64_t count = Number(4); m_ok && mesh.faces.size() < count;) {
      mesh.faces.emplace_back();
      ReadFace(mesh.faces.back());
    }
    ReadList(mesh.indices, 4);
  }

  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
  bool m_ok = true;
};

void Put(std::string& out, std::uint64_t value, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// The length in a field at least `width` bytes wide that holds it.
void PutLength(std::string& out, std::uint64_t length, int width) {
  if (width <= 1 && length < 0xFF) return Put(out, length, 1);
  Put(out, 0xFF, 1);
  if (width <= 3 && length < 0xFFFE) return Put(out, length, 2);  // 0xFFFE is the wide tag
  Put(out, 0xFFFF, 2);
  if (width <= 7 && length < 0xFFFFFFFF) return Put(out, length, 4);
  Put(out, 0xFFFFFFFF, 4);
  Put(out, length, 8);
}

void PutText(std::string& out, const Text& text) {
  if (text.wide) Put(out, 0xFFFEFF, 3);
  PutLength(out, text.wide ? text.bytes.size() / 2 : text.bytes.size(), text.width);
  out.append(text.bytes, 0, text.wide ? text.bytes.size() / 2 * 2 : text.bytes.size());
}

std::string Encode(const std::vector<Mesh>& meshes) {
  std::string out;
  Put(out, meshes.size(), 4);
  for (const Mesh& mesh : meshes) {
    out += mesh.number;
    PutText(out, mesh.name);
    Put(out, mesh.faces.size(), 4);
    for (const Face& face : mesh.faces) {
      for (int i = 0; i < 5; ++i) {
        Put(out, face.lists[i].size() / kListUnits[i], 4);
        out += face.lists[i];
      }
      PutText(out, face.text);
      out += face.tail;
    }
    Put(out, mesh.indices.size() / 4, 4);
    out += mesh.indices;
  }
  return out;
}

const std::uint64_t kIntegers[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFF, 255, 65536};
const double kReals[] = {0.0,
                         -0.0,
                         1.0,
                         -1.5,
                         1.0 / 3,
                         1e308,
                         std::numeric_limits<double>::min(),
                         std::numeric_limits<double>::denorm_min(),
                         std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()};
const char* const kNarrowTexts[] = {"", "A", "Mesh 1", "\xC7\xBD\xCC\xE5", "\x81", "\xFF\xFE", "a"};
// UTF-16LE units: 宽, "A", a lone surrogate, a surrogate pair.
const char kWideUnits[] =
    "\xBD\x5B"
    "A\0"
    "\x00\xD8"
    "\x3D\xD8\x00\xDE";
constexpr std::size_t kWideUnitCount = (sizeof kWideUnits - 1) / 2;

class Mutator {
 public:
  Mutator(Random& random, std::vector<Mesh>& meshes) : m_random(random), m_meshes(meshes) {}

  void Mutate() {
    if (m_meshes.empty() || m_random.OneIn(16)) Insert(m_meshes, Mesh());
    Mesh& mesh = m_meshes[m_random.Below(m_meshes.size())];
    Face* face = mesh.faces.empty() ? nullptr : &mesh.faces[m_random.Below(mesh.faces.size())];
    switch (m_random.Below(12)) {
      case 0:
        Insert(m_meshes, m_random.OneIn(2) ? Mesh() : mesh);
        break;
      case 1:
        m_meshes.erase(m_meshes.begin() +
                       static_cast<std::ptrdiff_t>(m_random.Below(m_meshes.size())));
        break;
      case 2:
        Field(mesh.number, 0, 4);
        break;
      case 3:
        ChangeText(mesh.name);
        break;
      case 4:
        Insert(mesh.faces, face != nullptr && m_random.OneIn(2) ? *face : Face());
        break;
      case 5:
        if (face != nullptr) mesh.faces.erase(mesh.faces.begin() + (face - mesh.faces.data()));
        break;
      case 6:
      case 7:
        if (face != nullptr) {
          const std::size_t list = m_random.Below(5);
          ChangeList(face->lists[list], kListUnits[list]);
        } else {
          ChangeList(mesh.indices, 4);
        }
        break;
      case 8:
        if (face != nullptr) ChangeText(face->text);
        break;
      case 9:
      case 10:
        if (face != nullptr) {
          const std::size_t* field = kTailFields[m_random.Below(5)];
          Field(face->tail, field[0], field[1]);
        }
        break;
      default:
        ChangeList(mesh.indices, 4);
        break;
    }
  }

 private:
  template <typename T>
  void Insert(std::vector<T>& list, T item) {
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(m_random.Below(list.size() + 1)),
                std::move(item));
  }

  // A number, flag or coordinate at bytes [at, at + size) of `bytes`.
  void Field(std::string& bytes, std::size_t at, std::size_t size) {
    std::string value;
    if (size == 8) {
      const double real = m_random.OneIn(4) ? static_cast<double>(m_random.Below(2001)) / 8 - 125
                                            : m_random.Pick(kReals);
      std::uint64_t bits;
      std::memcpy(&bits, &real, sizeof bits);
      Put(value, m_random.OneIn(8) ? m_random.Bits() : bits, 8);
    } else {
      Put(value, m_random.OneIn(4) ? m_random.Bits() : m_random.Pick(kIntegers), size);
      if (size == 1 && m_random.OneIn(2)) value[0] = static_cast<char>(m_random.Below(2));
    }
    bytes.replace(at, size, value);
  }

  // Adds, drops or changes elements of a list of `unit`-byte elements.
  void ChangeList(std::string& list, std::size_t unit) {
    const std::size_t count = list.size() / unit;
    const std::size_t at = m_random.Below(count + 1) * unit;
    switch (m_random.Below(4)) {
      case 0:
        list.insert(at, unit * (1 + m_random.Below(m_random.OneIn(8) ? 64 : 3)), '\0');
        Field(list, at, unit == 4 ? 4 : 8);
        break;
      case 1:
        list.erase(at, unit * (1 + m_random.Below(3)));
        break;
      case 2:
        list = FuzzBytes(list, list.size() + 64);
        list.resize(list.size() / unit * unit);
        break;
      default: {
        const std::size_t size = unit == 4 ? 4 : 8;  // an index or one coordinate
        if (count > 0)
          Field(list, m_random.Below(count) * unit + m_random.Below(unit / size) * size, size);
        break;
      }
    }
  }

  void ChangeText(Text& text) {
    switch (m_random.Below(4)) {
      case 0:
        text.wide = !text.wide;
        break;
      case 1:
        text.width = m_random.Pick({1, 3, 7, 15});
        break;
      case 2:
        text.bytes = FuzzBytes(text.bytes, text.bytes.size() + 16);
        break;
      default:
        if (text.wide) {
          const std::size_t first = m_random.Below(kWideUnitCount);
          const std::size_t count = 1 + m_random.Below(kWideUnitCount - first);
          text.bytes.assign(kWideUnits + 2 * first, 2 * count);
        } else {
          text.bytes = m_random.Pick(kNarrowTexts);
        }
        if (m_random.OneIn(8)) text.bytes.append(250 + m_random.Below(20), 'N');
        break;
    }
  }

  Random& m_random;
  std::vector<Mesh>& m_meshes;
};

}  // namespace
}  // namespace corvane_fuzz

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
  using namespace corvane_fuzz;
  Random random(seed);
  if (random.OneIn(5)) return LLVMFuzzerMutate(data, size, maxSize);
  std::vector<Mesh> meshes = Reader(data, size).Meshes();
  Mutator mutator(random, meshes);
  for (std::size_t i = 1 + random.Below(3); i > 0; --i) mutator.Mutate();
  std::string bytes = Encode(meshes);
  while (bytes.size() > maxSize && !meshes.empty()) {
    meshes.pop_back();
    bytes = Encode(meshes);
  }
  if (random.OneIn(16)) bytes.resize(random.Below(bytes.size()));  // cut short
  if (bytes.empty() || bytes.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
  std::memcpy(data, bytes.data(), bytes.size());
  return bytes.size();
}
