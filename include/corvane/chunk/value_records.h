// Plain two-to-four-component values that stream into and out of the vector
// chunk kinds ("float2" … "double4"); component x is component 0.
#pragma once

#include <corvane/export.h>

struct CORVANE_API TmpFloat2 {
  float x, y;
  TmpFloat2& operator=(const TmpFloat2& other);
};
struct CORVANE_API TmpFloat3 {
  float x, y, z;
  TmpFloat3& operator=(const TmpFloat3& other);
};
struct CORVANE_API TmpFloat4 {
  float x, y, z, w;
  TmpFloat4& operator=(const TmpFloat4& other);
};
struct CORVANE_API TmpDouble2 {
  double x, y;
  TmpDouble2& operator=(const TmpDouble2& other);
};
struct CORVANE_API TmpDouble3 {
  double x, y, z;
  TmpDouble3& operator=(const TmpDouble3& other);
};
struct CORVANE_API TmpDouble4 {
  double x, y, z, w;
  TmpDouble4& operator=(const TmpDouble4& other);
};
