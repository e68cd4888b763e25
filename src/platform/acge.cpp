#include <corvane/platform/acge.h>

#include <cmath>

// Constant-initialised, so it holds its defaults before any other static
// object of the library is built.
AcGeTol AcGeContext::gTol;

namespace {

// Squares of huge differences overflow to infinity and tiny ones underflow
// to zero; both still compare correctly against any sensible tolerance.
bool WithinTolerance(double dx, double dy, double dz, double tolerance) {
  return std::sqrt(dx * dx + dy * dy + dz * dz) <= tolerance;
}

}  // namespace

bool AcGePoint2d::isEqualTo(const AcGePoint2d& other, const AcGeTol& tol) const {
  return WithinTolerance(x - other.x, y - other.y, 0.0, tol.equalPoint());
}

bool AcGePoint3d::isEqualTo(const AcGePoint3d& other, const AcGeTol& tol) const {
  return WithinTolerance(x - other.x, y - other.y, z - other.z, tol.equalPoint());
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& other, const AcGeTol& tol) const {
  return WithinTolerance(x - other.x, y - other.y, z - other.z, tol.equalVector());
}
