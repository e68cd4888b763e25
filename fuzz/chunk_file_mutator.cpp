// The custom mutator of the XML targets. An input is read back as a chunk
// file where it can be: its encoding found as the library finds it, its
// markup parsed by pugixml, which also takes much that is not well-formed,
// so damaged inputs come back repaired. The tree is mutated (labels, the
// Name, Type and Value attributes, nesting up to and past the depth limit,
// comments, CDATA, processing instructions, namespaces, the declaration, a
// DOCTYPE now and then, the encoding) and written back, well-formed most of
// the time. One call in five, and half the calls on an input that cannot be
// read, use libFuzzer's byte mutations instead, so that malformed files keep
// being fuzzed. The cross-over grafts an element of one file into another.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "chunk_texts.h"
#include "mutation_support.h"
#include "xml_encodings.h"

namespace corvane_fuzz {
namespace {

constexpr std::size_t kDepthLimit = 256;  // the reader refuses deeper documents
// Outputs are kept this small but one time in sixteen: each execution reads
// the whole file more than once.
constexpr std::size_t kUsualSize = 32 * 1024;
const char* const kSections[] = {"SysVar", "Layers", "Environment", "Materials",
                                 "Meshs",  "Groups", "Entitys"};

struct TextWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, std::size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

class ChunkFile {
 public:
  explicit ChunkFile(Random& random) : m_random(random) {}

  // False when the bytes hold no element to work on.
  bool Read(const std::uint8_t* data, std::size_t size) {
    std::string utf8;
    if (!DecodeXml(std::string(reinterpret_cast<const char*>(data), size), m_encoding, utf8)) {
      return false;
    }
    m_document.load_buffer(utf8.data(), utf8.size(), pugi::parse_full, pugi::encoding_utf8);
    return !m_document.document_element().empty();  // what parsed before an error is kept
  }

  void MakeNew() {
    m_document.reset();
    m_encoding = 0;
    pugi::xml_node root = m_document.append_child("FILE_CONVERT");
    for (const char* section : kSections) root.append_child(section);
    for (std::size_t i = m_random.Below(6); i > 0; --i) AddChunk(RandomElement());
  }

  void Mutate() {
    if (!m_random.OneIn(4)) Tidy();
    pugi::xml_node element = RandomElement();
    const bool isRoot = element == m_document.document_element();
    switch (m_random.Below(18)) {
      case 0:
        element.set_name(RandomLabel(m_random).c_str());
        break;
      case 1:
        Set(element, "Name", RandomChunkName(m_random));
        break;
      case 2:
      case 3: {
        const std::string type = RandomTypeTag(m_random);
        Set(element, "Type", type);
        if (!m_random.OneIn(4)) Set(element, "Value", RandomValue(m_random, type));
        break;
      }
      case 4:
      case 5:
        Set(element, "Value", RandomValue(m_random, element.attribute("Type").value()));
        break;
      case 6:
      case 7:
        AddChunk(element);
        break;
      case 8:
        if (!isRoot) element.parent().remove_child(element);
        break;
      case 9:
        if (!isRoot) element.parent().insert_copy_after(element, element);
        break;
      case 10:
        Move(element);
        break;
      case 11:
        Deepen(element);
        break;
      case 12:
        AddOther(element);
        break;
      case 13:
        ChangeAttributes(element);
        break;
      case 14:
        m_encoding = m_random.Below(kXmlEncodingCount);
        break;
      case 15:
        ChangeProlog();
        break;
      default:
        FuzzText(element);
        break;
    }
  }

  // Puts a copy of an element of `other` somewhere in this file.
  void Graft(const ChunkFile& other) {
    std::vector<std::pair<pugi::xml_node, std::size_t> > elements = other.Elements();
    pugi::xml_node graft = elements[m_random.Below(elements.size())].first;
    RandomElement().append_copy(graft);
    if (m_random.OneIn(4)) m_encoding = other.m_encoding;
  }

  // Drops a random element other than the root, or all the root holds.
  void Shrink() {
    pugi::xml_node element = RandomElement();
    if (element != m_document.document_element()) {
      element.parent().remove_child(element);
    } else {
      while (element.first_child()) element.remove_child(element.first_child());
    }
  }

  std::string Write() {
    if (!m_random.OneIn(16)) DeclarePrefixes();
    Declare();
    TextWriter writer;
    m_document.save(writer, "", pugi::format_raw | pugi::format_no_declaration,
                    pugi::encoding_utf8);
    std::string bytes;
    if (EncodeXml(writer.text, m_encoding, bytes)) return bytes;
    m_encoding = 0;  // text the encoding cannot hold: UTF-8 instead
    return Write();
  }

 private:
  // Every element with its depth (the document element is 1), in document
  // order, without recursion.
  std::vector<std::pair<pugi::xml_node, std::size_t> > Elements() const {
    std::vector<std::pair<pugi::xml_node, std::size_t> > found;
    std::vector<std::pair<pugi::xml_node, std::size_t> > pending;
    if (m_document.document_element()) pending.emplace_back(m_document.document_element(), 1);
    while (!pending.empty()) {
      const std::pair<pugi::xml_node, std::size_t> next = pending.back();
      pending.pop_back();
      found.push_back(next);
      for (pugi::xml_node child = next.first.last_child(); child; child = child.previous_sibling())
        if (child.type() == pugi::node_element) pending.emplace_back(child, next.second + 1);
    }
    return found;
  }

  pugi::xml_node RandomElement() {
    const std::vector<std::pair<pugi::xml_node, std::size_t> > elements = Elements();
    return elements[m_random.Below(elements.size())].first;
  }

  // Undoes, most of the time, what makes a file refused (a DOCTYPE, nesting
  // past the limit, repeated attributes, names that are not names, text XML
  // cannot carry), so that a refused input does not leave only refused
  // offspring.
  void Tidy() {
    for (pugi::xml_node node = m_document.first_child(); node;) {
      const pugi::xml_node next = node.next_sibling();
      if (node.type() == pugi::node_doctype) m_document.remove_child(node);
      node = next;
    }
    const std::vector<std::pair<pugi::xml_node, std::size_t> > elements = Elements();
    for (const std::pair<pugi::xml_node, std::size_t>& entry : elements) {
      pugi::xml_node element = entry.first;
      if (!IsXmlName(element.name())) element.set_name("a");
      for (pugi::xml_attribute attribute = element.first_attribute(); attribute;) {
        const pugi::xml_attribute next = attribute.next_attribute();
        if (element.attribute(attribute.name()) != attribute || !IsXmlName(attribute.name())) {
          element.remove_attribute(attribute);
        } else {
          attribute.set_value(XmlCharacters(attribute.value()).c_str());
        }
        attribute = next;
      }
      for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
          child.set_value(XmlCharacters(child.value()).c_str());
      }
    }
    // Last: this frees elements further down, which the walk above visits.
    for (const std::pair<pugi::xml_node, std::size_t>& entry : elements) {
      pugi::xml_node element = entry.first;
      if (entry.second != kDepthLimit) continue;
      while (element.first_child()) element.remove_child(element.first_child());
    }
  }

  // Declares on the root every prefix the names use, as the namespace rules
  // ask, so that prefixes from grafts and byte mutations do not refuse the
  // file.
  void DeclarePrefixes() {
    pugi::xml_node root = m_document.document_element();
    const auto declare = [&root](const char* name) {
      const char* colon = std::strchr(name, ':');
      if (colon == nullptr || colon == name) return;
      const std::string prefix(name, colon);
      if (prefix == "xml" || prefix == "xmlns" || !IsXmlName(prefix)) return;
      if (!root.attribute(("xmlns:" + prefix).c_str())) {
        root.append_attribute(("xmlns:" + prefix).c_str()) = ("urn:corvane:" + prefix).c_str();
      }
    };
    for (const std::pair<pugi::xml_node, std::size_t>& entry : Elements()) {
      declare(entry.first.name());
      for (pugi::xml_attribute attribute : entry.first.attributes()) declare(attribute.name());
    }
  }

  static void Set(pugi::xml_node element, const char* name, const std::string& value) {
    pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) attribute = element.append_attribute(name);
    attribute.set_value(value.c_str());
  }

  void AddChunk(pugi::xml_node parent) {
    const pugi::xml_node after = ChildAt(parent);
    pugi::xml_node chunk = after ? parent.insert_child_after(pugi::node_element, after)
                                 : parent.prepend_child(pugi::node_element);
    chunk.set_name(RandomLabel(m_random).c_str());
    if (m_random.OneIn(2)) Set(chunk, "Name", RandomChunkName(m_random));
    if (m_random.OneIn(4)) return;
    const std::string type = RandomTypeTag(m_random);
    Set(chunk, "Type", type);
    Set(chunk, "Value", RandomValue(m_random, type));
  }

  // A random child of `parent`, or none (the place before the first).
  pugi::xml_node ChildAt(pugi::xml_node parent) {
    std::size_t count = 0;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) ++count;
    std::size_t pick = m_random.Below(count + 1);
    if (pick == 0) return pugi::xml_node();
    pugi::xml_node child = parent.first_child();
    while (--pick > 0) child = child.next_sibling();
    return child;
  }

  // Moves `element` under another element that is not inside it.
  void Move(pugi::xml_node element) {
    pugi::xml_node target = RandomElement();
    for (pugi::xml_node up = target; up; up = up.parent()) {
      if (up == element) return;
    }
    target.append_move(element);
  }

  // A chain of elements below `element` that ends near the depth limit,
  // mostly at or just inside it, sometimes one past it.
  void Deepen(pugi::xml_node element) {
    std::size_t depth = 0;
    for (pugi::xml_node up = element; up.type() == pugi::node_element; up = up.parent()) ++depth;
    const std::size_t target =
        m_random.OneIn(8) ? kDepthLimit + 1 : kDepthLimit - m_random.Below(4);
    for (const char* label = m_random.OneIn(2) ? "a" : "Var"; depth < target; ++depth) {
      element = element.append_child(label);
      if (m_random.OneIn(16)) {
        Set(element, "Type", "int");
        Set(element, "Value", std::to_string(depth));
      }
    }
  }

  // A comment, processing instruction, CDATA section or text inside
  // `element`, or a comment or processing instruction around the root.
  void AddOther(pugi::xml_node element) {
    std::string text = RandomText(m_random);
    for (std::size_t at; (at = text.find("--")) != std::string::npos;) text[at + 1] = ' ';
    for (std::size_t at; (at = text.find("?>")) != std::string::npos;) text[at] = ' ';
    if (!text.empty() && text.back() == '-') text += ' ';
    const pugi::xml_node_type types[] = {pugi::node_comment, pugi::node_pi, pugi::node_cdata,
                                         pugi::node_pcdata};
    if (m_random.OneIn(3)) {
      const pugi::xml_node root = m_document.document_element();
      pugi::xml_node node = m_random.OneIn(2)
                                ? m_document.insert_child_before(types[m_random.Below(2)], root)
                                : m_document.insert_child_after(types[m_random.Below(2)], root);
      node.set_name("pi");
      node.set_value(text.c_str());
      return;
    }
    pugi::xml_node node = element.append_child(m_random.Pick(types));
    const char* const targets[] = {"pi", "app", "xml-stylesheet", "XmL"};
    node.set_name(m_random.OneIn(16) ? targets[3] : targets[m_random.Below(3)]);
    node.set_value(text.c_str());
  }

  void ChangeAttributes(pugi::xml_node element) {
    switch (m_random.Below(6)) {
      case 0:
        Set(element, m_random.OneIn(2) ? "xmlns" : "xmlns:p", "urn:corvane:p");
        break;
      case 1:
        Set(element, m_random.OneIn(2) ? "x" : "p:Name", RandomText(m_random));
        break;
      case 2:
        Set(element, m_random.OneIn(2) ? "xml:space" : "xml:lang", "preserve");
        break;
      case 3:
        if (m_random.OneIn(4)) {  // a repeated attribute: refused
          const pugi::xml_attribute first = element.first_attribute();
          if (first) element.append_attribute(first.name()) = first.value();
        }
        break;
      default: {
        pugi::xml_attribute attribute = element.first_attribute();
        for (std::size_t skip = m_random.Below(4); skip > 0 && attribute; --skip)
          attribute = attribute.next_attribute();
        if (attribute) element.remove_attribute(attribute);
        break;
      }
    }
  }

  void ChangeProlog() {
    pugi::xml_node first = m_document.first_child();
    const bool declared = first.type() == pugi::node_declaration;
    switch (m_random.Below(4)) {
      case 0:
        if (declared) {
          m_document.remove_child(first);
        } else {
          m_document.prepend_child(pugi::node_declaration).append_attribute("version") = "1.0";
        }
        break;
      case 1:
        if (declared && !first.remove_attribute("standalone")) {
          first.append_attribute("standalone") = m_random.OneIn(2) ? "yes" : "no";
        }
        break;
      case 2:
        if (m_random.OneIn(4)) {  // refused
          m_document.insert_child_before(pugi::node_doctype, m_document.document_element())
              .set_value(m_random.OneIn(2) ? "FILE_CONVERT" : "x [<!ENTITY e \"v\">]");
        }
        break;
      default: {  // the layout FileConvert looks for
        pugi::xml_node root = m_document.document_element();
        root.set_name("FILE_CONVERT");
        const char* section = m_random.Pick(kSections);
        if (!root.child(section)) root.append_child(section);
        break;
      }
    }
  }

  // libFuzzer's byte mutations on one text: an attribute value or the label.
  // Texts XML cannot carry and labels that are not names are mostly undone.
  void FuzzText(pugi::xml_node element) {
    pugi::xml_attribute attribute = element.first_attribute();
    for (std::size_t skip = m_random.Below(4); skip > 0 && attribute; --skip)
      attribute = attribute.next_attribute();
    const bool raw = m_random.OneIn(16);
    if (!attribute || m_random.OneIn(4)) {
      const std::string label = FuzzBytes(element.name(), std::strlen(element.name()) + 16);
      if (raw || IsXmlName(label)) element.set_name(label.c_str());
      return;
    }
    const std::string value = FuzzBytes(attribute.value(), std::strlen(attribute.value()) + 32);
    attribute.set_value((raw ? value : XmlCharacters(value)).c_str());
  }

  // The declaration the encoding needs: first, naming the encoding. One that
  // is not needed keeps whether it names one.
  void Declare() {
    const XmlEncoding& encoding = kXmlEncodings[m_encoding];
    pugi::xml_node declaration = m_document.first_child();
    if (declaration.type() != pugi::node_declaration) declaration = pugi::xml_node();
    const bool needed = encoding.markSize == 0 && *encoding.converter != '\0';
    if (!declaration && !needed) return;
    if (!declaration) declaration = m_document.prepend_child(pugi::node_declaration);
    if (!declaration.attribute("version")) declaration.prepend_attribute("version") = "1.0";
    pugi::xml_attribute named = declaration.attribute("encoding");
    if (!named && !needed) return;
    if (!named)
      named = declaration.insert_attribute_after("encoding", declaration.first_attribute());
    named = encoding.declared;
  }

  Random& m_random;
  pugi::xml_document m_document;
  std::size_t m_encoding = 0;
};

// The file's text, shrunk to the usual size most of the time and always to
// `maxSize` when it can be; empty when it cannot.
std::string WriteWithin(ChunkFile& file, Random& random, std::size_t maxSize) {
  std::string text = file.Write();
  const std::size_t limit = random.OneIn(16) || maxSize < kUsualSize ? maxSize : kUsualSize;
  for (int tries = 0; tries < 8 && text.size() > limit; ++tries) {
    file.Shrink();
    text = file.Write();
  }
  return text.size() <= maxSize ? text : std::string();
}

}  // namespace
}  // namespace corvane_fuzz

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
  using namespace corvane_fuzz;
  Random random(seed);
  if (random.OneIn(5)) return LLVMFuzzerMutate(data, size, maxSize);
  ChunkFile file(random);
  if (!file.Read(data, size)) {
    if (random.OneIn(2)) return LLVMFuzzerMutate(data, size, maxSize);
    file.MakeNew();
  }
  for (std::size_t i = 1 + random.Below(3); i > 0; --i) file.Mutate();
  const std::string text = WriteWithin(file, random, maxSize);
  if (text.empty()) return LLVMFuzzerMutate(data, size, maxSize);
  std::memcpy(data, text.data(), text.size());
  return text.size();
}

extern "C" std::size_t LLVMFuzzerCustomCrossOver(const std::uint8_t* data1, std::size_t size1,
                                                 const std::uint8_t* data2, std::size_t size2,
                                                 std::uint8_t* out, std::size_t maxOutSize,
                                                 unsigned int seed) {
  using namespace corvane_fuzz;
  Random random(seed);
  ChunkFile file(random);
  ChunkFile other(random);
  if (!file.Read(data1, size1) || !other.Read(data2, size2)) return 0;
  file.Graft(other);
  file.Mutate();
  const std::string text = WriteWithin(file, random, maxOutSize);
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  return text.size();
}
