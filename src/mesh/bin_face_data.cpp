#include <corvane/mesh/bin_face_data.h>

#include <algorithm>

namespace {

// Same length, and each left element isEqualTo its right partner within
// the global tolerance.
template <typename Geometry>
bool SameGeometry(const std::vector<Geometry>& left, const std::vector<Geometry>& right) {
  return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(),
                                                   [](const Geometry& a, const Geometry& b) {
                                                     return a.isEqualTo(b, AcGeContext::gTol);
                                                   });
}

}  // namespace

BinFaceData::BinFaceData()
    : number(0),
      transientValue(kUnsetTransientValue),
      flagA(false),
      flagB(false),
      factor(1.0),
      flagC(false) {}

BinFaceData::BinFaceData(const BinFaceData& other) = default;
BinFaceData::BinFaceData(BinFaceData&& other) noexcept = default;
BinFaceData& BinFaceData::operator=(const BinFaceData& other) = default;
BinFaceData& BinFaceData::operator=(BinFaceData&& other) noexcept = default;
BinFaceData::~BinFaceData() = default;

bool BinFaceData::operator==(const BinFaceData& other) const {
  return SameGeometry(points3d, other.points3d) && indices == other.indices &&
         SameGeometry(points2dA, other.points2dA) && SameGeometry(points2dB, other.points2dB) &&
         SameGeometry(vectors3d, other.vectors3d) && text == other.text && number == other.number &&
         transientValue == other.transientValue && flagA == other.flagA && flagB == other.flagB &&
         factor == other.factor && flagC == other.flagC;
}
