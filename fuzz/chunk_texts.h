// The texts of an XML chunk file for the mutator: element labels, the Name,
// Type and Value attributes, and free text. Most are ones the reader keeps;
// some on purpose are ones it leaves out (unknown tags, bad numbers, wrong
// component counts) or refuses (names that are not XML names), so that
// mutated files exercise both sides without making most inputs useless.
// All are UTF-8.
#pragma once

#include <string>

#include "mutation_support.h"

namespace corvane_fuzz {

std::string RandomLabel(Random& random);
std::string RandomChunkName(Random& random);
// One of the fourteen tags in some letter case, or now and then not a tag.
std::string RandomTypeTag(Random& random);
// A value for `type`: mostly one that parses for it, sometimes a bad one.
std::string RandomValue(Random& random, const std::string& type);
// Text for string values, comments, character data and CDATA.
std::string RandomText(Random& random);

// Whether `name` is an XML name by the ASCII rules; other bytes are taken
// as name characters, as the CJK letters the files use are.
bool IsXmlName(const std::string& name);
// `text` as valid UTF-8 with only the characters XML 1.0 allows.
std::string XmlCharacters(const std::string& text);

}  // namespace corvane_fuzz
