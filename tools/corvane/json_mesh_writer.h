// Meshes as JSON for scripts: an array with one object per mesh, every
// member always present so that a script may rely on it:
//   {"number": 1, "name": "...", "faces": [FACE, ...], "indices": [0, 1, ...]}
// and per face the lists and fields of BinFaceData (transientValue, which no
// file stores, is left out):
//   {"points3d": [[x, y, z], ...], "indices": [...], "points2dA": [[x, y], ...],
//    "points2dB": [...], "vectors3d": [[x, y, z], ...], "text": "...",
//    "number": 0, "flagA": true, "flagB": false, "factor": 0.5, "flagC": true}
// Numbers are written in their shortest exact form; a coordinate or factor
// that is not finite (JSON has no such number) is written as null.
#pragma once

#include <corvane/mesh/bin_mesh_data.h>

#include <vector>

#include "corvane/json_output.h"

namespace corvane {
namespace tool {

void WriteMeshJson(JsonWriter& writer, const std::vector<BinMeshData>& meshes);

}  // namespace tool
}  // namespace corvane
