// The exported copy assignments of the value records: component by component,
// defined here so that hosts call the library's own.
#include <corvane/chunk/value_records.h>

TmpFloat2& TmpFloat2::operator=(const TmpFloat2& other) = default;
TmpFloat3& TmpFloat3::operator=(const TmpFloat3& other) = default;
TmpFloat4& TmpFloat4::operator=(const TmpFloat4& other) = default;
TmpDouble2& TmpDouble2::operator=(const TmpDouble2& other) = default;
TmpDouble3& TmpDouble3::operator=(const TmpDouble3& other) = default;
TmpDouble4& TmpDouble4::operator=(const TmpDouble4& other) = default;
