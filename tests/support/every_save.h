// The library's three saves (CXml::Save, XmlFileIO::save, CMeshBin::save),
// for tests that hold every save to the same rule.
#pragma once

#include <corvane/corvane.h>

#include <functional>
#include <string>

namespace corvane_test {

// One of the saves: writes its fixed content to `path`, answers whether the
// API reported success, and says what it raised in `thrownCause` (-1: nothing).
struct Save {
  const char* name;
  std::function<bool(const std::string& path, int& thrownCause)> run;
};

inline const Save kSaves[] = {
    {"CXml",
     [](const std::string& path, int&) {
       DomXml::CXml xml;
       return xml.Create("R") && xml.GetRoot()->SetAttribute("k", "v") && xml.Save(path.c_str());
     }},
    {"XmlFileIO",
     [](const std::string& path, int&) {
       boost::shared_ptr<IChunk> root = newChunk("R");
       root->addChild(newChunk("C", "n", 5));
       XmlFileIO(path.c_str()).save(root);
       return true;  // it reports nothing
     }},
    {"CMeshBin",
     [](const std::string& path, int& thrownCause) {
       CMeshBin bin;
       bin.meshes.resize(3);  // more than the 16 bytes of the full disk below
       try {
         bin.save(path.c_str());
       } catch (CFileException* error) {
         thrownCause = error->m_strFileName == path.c_str() ? error->m_cause : -2;
         error->Delete();
         return false;
       }
       return true;
     }},
};

}  // namespace corvane_test
