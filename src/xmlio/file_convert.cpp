#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/xml_file_io.h>

#include <boost/make_shared.hpp>

#include "xmlio/pending_write.h"

namespace {

const char kRootLabel[] = "FILE_CONVERT";
// The sections, in their order under the root.
const char kSysVar[] = "SysVar";
const char kLayers[] = "Layers";
const char kEnvironment[] = "Environment";
const char kMaterials[] = "Materials";
const char kMeshs[] = "Meshs";
const char kGroups[] = "Groups";
const char kEntitys[] = "Entitys";
const char* const kSections[] = {kSysVar, kLayers, kEnvironment, kMaterials,
                                 kMeshs,  kGroups, kEntitys};

boost::shared_ptr<IChunk> Section(const boost::shared_ptr<IChunk>& root, const char* label) {
  return root ? root->ChildByLabel(CString(label)) : boost::shared_ptr<IChunk>();
}

}  // namespace

FileConvert::FileConvert() : m_read(false) {}

FileConvert::FileConvert(FileConvert const& other)
    : m_path(other.m_path),
      m_read(other.m_read),
      m_root(other.m_root),
      m_start(other.m_start),
      m_setPos(other.m_setPos),
      m_end(other.m_end),
      m_pendingWrite(other.m_pendingWrite) {
  if (m_pendingWrite) m_pendingWrite->Join();
}

FileConvert& FileConvert::operator=(FileConvert const& other) {
  if (this == &other) return *this;
  m_path = other.m_path;
  m_read = other.m_read;
  m_root = other.m_root;
  m_start = other.m_start;
  m_setPos = other.m_setPos;
  m_end = other.m_end;
  // This document now shares the source's write and drops its own.
  if (other.m_pendingWrite) other.m_pendingWrite->Join();
  if (m_pendingWrite) m_pendingWrite->Leave();
  m_pendingWrite = other.m_pendingWrite;
  return *this;
}

FileConvert::~FileConvert() {
  if (m_pendingWrite) m_pendingWrite->LeaveWriting(m_start, m_setPos, m_end);
}

void FileConvert::SetPath(CString const& path, bool read) {
  m_path = path;
  m_read = read;
  if (m_pendingWrite) m_pendingWrite->Leave();
  m_pendingWrite.reset();
  if (read) {
    XmlFileIO reader(m_path);
    reader.setStartProgressFun(m_start);
    reader.setSetPosFun(m_setPos);
    reader.SetEndProgressFun(m_end);
    reader.read(m_root);
    return;
  }
  m_root = newChunk(CString(kRootLabel));
  for (const char* label : kSections) m_root->addChild(newChunk(CString(label)));
  if (!m_path.IsEmpty()) {
    m_pendingWrite = boost::make_shared<corvane::xmlio::PendingWrite>(m_path, m_root);
  }
}

boost::shared_ptr<IChunk> FileConvert::GetRoot() { return m_root; }

boost::shared_ptr<IChunk> FileConvert::GetSysVar() { return Section(m_root, kSysVar); }
boost::shared_ptr<IChunk> FileConvert::GetLayers() { return Section(m_root, kLayers); }
boost::shared_ptr<IChunk> FileConvert::GetEnvironment() { return Section(m_root, kEnvironment); }
boost::shared_ptr<IChunk> FileConvert::GetMaterials() { return Section(m_root, kMaterials); }
boost::shared_ptr<IChunk> FileConvert::GetMeshs() { return Section(m_root, kMeshs); }
boost::shared_ptr<IChunk> FileConvert::GetGroups() { return Section(m_root, kGroups); }
boost::shared_ptr<IChunk> FileConvert::GetEntitys() { return Section(m_root, kEntitys); }

void FileConvert::setStartProgressFun(StartProgressFun fun) { m_start = std::move(fun); }
void FileConvert::setSetPosFun(SetPosFun fun) { m_setPos = std::move(fun); }
void FileConvert::SetEndProgressFun(EndProgressFun fun) { m_end = std::move(fun); }
