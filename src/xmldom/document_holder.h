// What a CXml's document handle points at: the pugixml document and the
// buffer it was parsed from in place (or the kept UTF-8 text). Shared by the
// CXml and every wrapper it hands out; the last owner frees it. Not
// synchronised: one thread at a time.
#pragma once

#include <string>

#include <pugixml.hpp>

namespace DomXml {

struct DocumentHolder {
  pugi::xml_document document;
  // The parsed text. With an in-place parse pugixml's strings point into it,
  // so it must live as long as the document and never be resized.
  std::string buffer;
  bool textKept = false;  // buffer holds the unmodified parsed text
};

}  // namespace DomXml
