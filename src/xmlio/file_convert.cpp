#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>

#include <boost/make_shared.hpp>

#include "xmlio/chunk_file_reader.h"
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

// Each run starts from fresh counters, as a run through a new XmlFileIO does.
corvane::xmlio::ProgressState& Fresh(corvane::xmlio::ProgressState& progress) {
  progress.positionCount = 0;
  progress.total = 0;
  return progress;
}

boost::shared_ptr<IChunk> Section(const boost::shared_ptr<IChunk>& root, const char* label) {
  return root ? root->ChildByLabel(CString(label)) : boost::shared_ptr<IChunk>();
}

}  // namespace

FileConvert::FileConvert() : m_read(false) {}

FileConvert::FileConvert(FileConvert const& other)
    : m_path(other.m_path),
      m_read(other.m_read),
      m_root(other.m_root),
      m_progress(other.m_progress),
      m_pendingWrite(other.m_pendingWrite) {
  if (m_pendingWrite) m_pendingWrite->Join();
}

FileConvert& FileConvert::operator=(FileConvert const& other) {
  if (this == &other) return *this;
  m_path = other.m_path;
  m_read = other.m_read;
  m_root = other.m_root;
  m_progress = other.m_progress;
  // This document now shares the source's write and drops its own.
  if (other.m_pendingWrite) other.m_pendingWrite->Join();
  if (m_pendingWrite) m_pendingWrite->Leave();
  m_pendingWrite = other.m_pendingWrite;
  return *this;
}

FileConvert::~FileConvert() {
  if (m_pendingWrite) m_pendingWrite->LeaveWriting(Fresh(m_progress));
}

void FileConvert::SetPath(CString const& path, bool read) {
  m_path = path;
  m_read = read;
  if (m_pendingWrite) m_pendingWrite->Leave();
  m_pendingWrite.reset();
  if (read) {
    if (!m_path.IsEmpty()) corvane::xmlio::ReadChunkFile(m_path, m_root, Fresh(m_progress));
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

void FileConvert::setStartProgressFun(StartProgressFun fun) { m_progress.start = std::move(fun); }
void FileConvert::setSetPosFun(SetPosFun fun) { m_progress.position = std::move(fun); }
void FileConvert::SetEndProgressFun(EndProgressFun fun) { m_progress.end = std::move(fun); }
