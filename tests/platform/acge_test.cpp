// Geometry equality within the tolerance, NaN handling, and the global
// default tolerance.
#include <corvane/platform/acge.h>
#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(AcGeTest, EqualWhenTheDistanceIsWithinTheirToleranceAndNaNNever) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(AcGeContext::gTol.equalPoint(), 1e-10);
  EXPECT_EQ(AcGeContext::gTol.equalVector(), 1e-10);
  EXPECT_TRUE(AcGePoint3d(1, 2, 3).isEqualTo(AcGePoint3d(1 + 5e-11, 2, 3 - 5e-11)));
  EXPECT_FALSE(AcGePoint3d(1, 2, 3).isEqualTo(AcGePoint3d(1 + 1e-10, 2 + 1e-10, 3)));  // √2e-10
  EXPECT_TRUE(AcGePoint2d(0, 0).isEqualTo(AcGePoint2d(6e-11, 8e-11)));  // exactly 1e-10 away
  EXPECT_FALSE(AcGePoint2d(0, 0).isEqualTo(AcGePoint2d(6e-11, 9e-11)));
  EXPECT_TRUE(AcGeVector3d(1, 0, 0).isEqualTo(AcGeVector3d(1, 9e-11, 0)));
  EXPECT_FALSE(AcGeVector3d(1e300, 0, 0).isEqualTo(AcGeVector3d(-1e300, 0, 0)));
  const AcGePoint3d bad(nan, 0, 0);
  EXPECT_FALSE(bad.isEqualTo(bad));
  EXPECT_FALSE(AcGePoint2d(0, nan).isEqualTo(AcGePoint2d(0, nan)));
  EXPECT_FALSE(AcGeVector3d(0, 0, nan).isEqualTo(AcGeVector3d()));
  AcGeTol tol;  // points and vectors each use their own
  tol.setEqualPoint(0.5);
  tol.setEqualVector(1e-3);
  EXPECT_TRUE(AcGePoint3d().isEqualTo(AcGePoint3d(0.4, 0, 0), tol));
  EXPECT_FALSE(AcGeVector3d().isEqualTo(AcGeVector3d(0.4, 0, 0), tol));
  EXPECT_TRUE(AcGeVector3d().isEqualTo(AcGeVector3d(0, 0, 9e-4), tol));
}

}  // namespace
