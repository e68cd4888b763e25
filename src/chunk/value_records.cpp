// The exported copy assignments of the value records: component by component.
#include <corvane/chunk/value_records.h>

TmpFloat2& TmpFloat2::operator=(const TmpFloat2& other) {
  x = other.x;
  y = other.y;
  return *this;
}

TmpFloat3& TmpFloat3::operator=(const TmpFloat3& other) {
  x = other.x;
  y = other.y;
  z = other.z;
  return *this;
}

TmpFloat4& TmpFloat4::operator=(const TmpFloat4& other) {
  x = other.x;
  y = other.y;
  z = other.z;
  w = other.w;
  return *this;
}

TmpDouble2& TmpDouble2::operator=(const TmpDouble2& other) {
  x = other.x;
  y = other.y;
  return *this;
}

TmpDouble3& TmpDouble3::operator=(const TmpDouble3& other) {
  x = other.x;
  y = other.y;
  z = other.z;
  return *this;
}

TmpDouble4& TmpDouble4::operator=(const TmpDouble4& other) {
  x = other.x;
  y = other.y;
  z = other.z;
  w = other.w;
  return *this;
}
