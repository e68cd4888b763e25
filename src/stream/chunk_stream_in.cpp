// chunk >> variable: the chunk's own value bits (numbers and records) or its
// value text (strings); an empty chunk leaves numbers, records and CString
// alone and empties standard strings. The chunk is returned.
#include <corvane/stream/chunk_stream.h>
#include <corvane/stream/xmlop.h>

namespace {

// The readers of one width are one operation under several signatures.
template <typename T, typename Getter>
boost::shared_ptr<IChunk> ReadInto(boost::shared_ptr<IChunk> chunk, T& value, Getter get) {
  if (chunk) value = get(*chunk);
  return chunk;
}

CString TextOf(const boost::shared_ptr<IChunk>& chunk) {
  return chunk ? chunk->getValueAsString() : CString();
}

}  // namespace

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, int& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getI32Value(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, unsigned int& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getU32Value(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, float& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getF32Value(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, double& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getF64Value(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, __int64& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getI64Value(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, unsigned __int64& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getU64Value(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, bool& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getBoolValue(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, CString& value) {
  return ReadInto(std::move(chunk), value, [](IChunk& c) { return c.getValueAsString(); });
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, std::string& value) {
  value = XmlOp::CString2string(TextOf(chunk));
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, std::wstring& value) {
  value = XmlOp::CString2wstring(TextOf(chunk));
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpFloat2& value) {
  if (chunk) {
    value.x = chunk->getF32Value2(0);
    value.y = chunk->getF32Value2(1);
  }
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpFloat3& value) {
  if (chunk) {
    value.x = chunk->getF32Value3(0);
    value.y = chunk->getF32Value3(1);
    value.z = chunk->getF32Value3(2);
  }
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpFloat4& value) {
  if (chunk) {
    value.x = chunk->getF32Value4(0);
    value.y = chunk->getF32Value4(1);
    value.z = chunk->getF32Value4(2);
    value.w = chunk->getF32Value4(3);
  }
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpDouble2& value) {
  if (chunk) {
    value.x = chunk->getF64Value2(0);
    value.y = chunk->getF64Value2(1);
  }
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpDouble3& value) {
  if (chunk) {
    value.x = chunk->getF64Value3(0);
    value.y = chunk->getF64Value3(1);
    value.z = chunk->getF64Value3(2);
  }
  return chunk;
}

boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpDouble4& value) {
  if (chunk) {
    value.x = chunk->getF64Value4(0);
    value.y = chunk->getF64Value4(1);
    value.z = chunk->getF64Value4(2);
    value.w = chunk->getF64Value4(3);
  }
  return chunk;
}
