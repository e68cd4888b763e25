// The sample that `corvane demo` writes: a conversion document with content
// in all seven sections (Chinese layer names and texts in code page 936) and
// a few meshes.
#pragma once

#include <corvane/mesh/mesh_bin.h>
#include <corvane/xmlio/file_convert.h>

namespace corvane {
namespace tool {

// Fills the sections of a document that is in write mode.
void FillDemoDocument(FileConvert& document);
// A cube, a pyramid and a strip of triangles.
CMeshBin DemoMeshes();

}  // namespace tool
}  // namespace corvane
