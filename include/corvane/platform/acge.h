// The host platform's small geometry values: 2D and 3D points, 3D vectors
// and the tolerance they are compared with. Plain values of doubles; nothing
// fails. AcGeContext::gTol is the process-wide default tolerance (1e-10 for
// points and vectors): changing it is not synchronised with readers.
#pragma once

#include <corvane/export.h>

class CORVANE_API AcGeTol {
 public:
  // The defaults of a new tolerance (library additions: names for them).
  static constexpr double kDefaultEqualPoint = 1e-10;
  static constexpr double kDefaultEqualVector = 1e-10;

  constexpr AcGeTol() noexcept
      : m_equalPoint(kDefaultEqualPoint), m_equalVector(kDefaultEqualVector) {}

  double equalPoint() const noexcept { return m_equalPoint; }
  double equalVector() const noexcept { return m_equalVector; }
  void setEqualPoint(double value) noexcept { m_equalPoint = value; }
  void setEqualVector(double value) noexcept { m_equalVector = value; }

 private:
  double m_equalPoint;
  double m_equalVector;
};

struct CORVANE_API AcGeContext {
  static AcGeTol gTol;
};

// Equality below: the length of the difference is at most the tolerance
// (equalPoint for points, equalVector for vectors); a NaN coordinate makes
// two values unequal, even a value and itself.
class CORVANE_API AcGePoint2d {
 public:
  constexpr AcGePoint2d() noexcept : x(0.0), y(0.0) {}
  constexpr AcGePoint2d(double xValue, double yValue) noexcept : x(xValue), y(yValue) {}
  bool isEqualTo(const AcGePoint2d& other, const AcGeTol& tol = AcGeContext::gTol) const;

  double x, y;
};

class CORVANE_API AcGePoint3d {
 public:
  constexpr AcGePoint3d() noexcept : x(0.0), y(0.0), z(0.0) {}
  constexpr AcGePoint3d(double xValue, double yValue, double zValue) noexcept
      : x(xValue), y(yValue), z(zValue) {}
  bool isEqualTo(const AcGePoint3d& other, const AcGeTol& tol = AcGeContext::gTol) const;

  double x, y, z;
};

class CORVANE_API AcGeVector3d {
 public:
  constexpr AcGeVector3d() noexcept : x(0.0), y(0.0), z(0.0) {}
  constexpr AcGeVector3d(double xValue, double yValue, double zValue) noexcept
      : x(xValue), y(yValue), z(zValue) {}
  bool isEqualTo(const AcGeVector3d& other, const AcGeTol& tol = AcGeContext::gTol) const;

  double x, y, z;
};
