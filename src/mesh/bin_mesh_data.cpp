#include <corvane/mesh/bin_mesh_data.h>

BinMeshData::BinMeshData() : number(0) {}
BinMeshData::BinMeshData(const BinMeshData& other) = default;
BinMeshData::BinMeshData(BinMeshData&& other) noexcept = default;
BinMeshData& BinMeshData::operator=(const BinMeshData& other) = default;
BinMeshData& BinMeshData::operator=(BinMeshData&& other) noexcept = default;
BinMeshData::~BinMeshData() = default;
