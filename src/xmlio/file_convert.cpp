#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/xml_file_io.h>

#include <boost/make_shared.hpp>
#include <utility>

namespace {

const char kRootLabel[] = "FILE_CONVERT";
const char* const kSectionLabels[] = {"SysVar", "Layers", "Environment", "Materials",
                                      "Meshs",  "Groups", "Entitys"};

}  // namespace

FileConvert::FileConvert() : m_read(false) {}

FileConvert::FileConvert(FileConvert const& other) = default;

FileConvert& FileConvert::operator=(FileConvert const& other) {
  if (this == &other) return *this;
  m_path = other.m_path;
  m_read = other.m_read;
  m_root = other.m_root;
  m_start = other.m_start;
  m_setPos = other.m_setPos;
  m_end = other.m_end;
  // Taking the source's token drops the write this document had pending.
  m_pendingWrite = other.m_pendingWrite;
  return *this;
}

FileConvert::~FileConvert() {
  // Only the last write-mode copy of a tree writes it, so the file gets the
  // whole tree and not what an earlier copy's save left of it.
  if (m_read || m_path.IsEmpty() || !m_pendingWrite || m_pendingWrite.use_count() != 1) return;
  XmlFileIO writer(m_path);
  writer.setStartProgressFun(m_start);
  writer.setSetPosFun(m_setPos);
  writer.SetEndProgressFun(m_end);
  try {
    writer.save(m_root);
  } catch (...) {
    // A destructor cannot pass the host's exception on; the save is
    // abandoned and the file on disk keeps its previous contents.
  }
}

void FileConvert::SetPath(CString const& path, bool read) {
  m_path = path;
  m_read = read;
  if (read) {
    m_pendingWrite.reset();
    XmlFileIO reader(m_path);
    reader.setStartProgressFun(m_start);
    reader.setSetPosFun(m_setPos);
    reader.SetEndProgressFun(m_end);
    reader.read(m_root);
    return;
  }
  m_pendingWrite = boost::make_shared<char>(0);
  m_root = newChunk(CString(kRootLabel));
  for (const char* label : kSectionLabels) m_root->addChild(newChunk(CString(label)));
}

boost::shared_ptr<IChunk> FileConvert::GetRoot() { return m_root; }

namespace {

boost::shared_ptr<IChunk> Section(const boost::shared_ptr<IChunk>& root, int position) {
  if (!root) return boost::shared_ptr<IChunk>();
  return root->ChildByLabel(CString(kSectionLabels[position]));
}

}  // namespace

boost::shared_ptr<IChunk> FileConvert::GetSysVar() { return Section(m_root, 0); }
boost::shared_ptr<IChunk> FileConvert::GetLayers() { return Section(m_root, 1); }
boost::shared_ptr<IChunk> FileConvert::GetEnvironment() { return Section(m_root, 2); }
boost::shared_ptr<IChunk> FileConvert::GetMaterials() { return Section(m_root, 3); }
boost::shared_ptr<IChunk> FileConvert::GetMeshs() { return Section(m_root, 4); }
boost::shared_ptr<IChunk> FileConvert::GetGroups() { return Section(m_root, 5); }
boost::shared_ptr<IChunk> FileConvert::GetEntitys() { return Section(m_root, 6); }

void FileConvert::setStartProgressFun(StartProgressFun fun) { m_start = std::move(fun); }
void FileConvert::setSetPosFun(SetPosFun fun) { m_setPos = std::move(fun); }
void FileConvert::SetEndProgressFun(EndProgressFun fun) { m_end = std::move(fun); }
