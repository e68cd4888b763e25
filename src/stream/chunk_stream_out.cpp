// parent << value: a new chunk holding the value, labelled and named from the
// pending strings, which are emptied whether or not there is a parent.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/stream/chunk_stream.h>
#include <corvane/stream/xmlop.h>

namespace {

// The pending strings are read by the factory call before they are emptied,
// so a failed allocation leaves them (and the parent) as they were.
boost::shared_ptr<IChunk> Attach(boost::shared_ptr<IChunk> parent,
                                 boost::shared_ptr<IChunk> child) {
  CIoPubHelp::reset();
  if (parent) parent->addChild(child);
  return child;
}

}  // namespace

// The label and name arguments of every factory call below.
#define CORVANE_PENDING CIoPubHelp::h_StrLabel, CIoPubHelp::h_strName

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const int& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const unsigned int& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const float& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, double value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const __int64& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                     const unsigned __int64& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const bool& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const CString& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const char* value) {
  return std::move(parent) << CString(value);
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const wchar_t* value) {
  return std::move(parent) << CString(value);
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const std::string& value) {
  return std::move(parent) << XmlOp::string2CString(value);
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const std::wstring& value) {
  return std::move(parent) << XmlOp::wstring2CString(value);
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const TmpFloat2& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value.x, value.y));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const TmpFloat3& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value.x, value.y, value.z));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const TmpFloat4& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value.x, value.y, value.z, value.w));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const TmpDouble2& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value.x, value.y));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const TmpDouble3& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value.x, value.y, value.z));
}

boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, const TmpDouble4& value) {
  return Attach(std::move(parent), newChunk(CORVANE_PENDING, value.x, value.y, value.z, value.w));
}

#undef CORVANE_PENDING
