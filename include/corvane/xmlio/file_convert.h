// FileConvert: an exchange file with a fixed layout, the root "FILE_CONVERT"
// holding the sections SysVar, Layers, Environment, Materials, Meshs, Groups
// and Entitys. SetPath(path, true) loads the file now (the root is left as it
// was when the file does not open); SetPath(path, false) starts a new empty
// tree, which is written to the path when the document is destroyed.
// Copies share the tree. Write-mode copies also share one pending write: the
// file is written once, by the last of them to be destroyed, with the whole
// tree. Assigning over a document drops its pending write. Section lookups
// ignore letter case. Nothing is reported; one thread at a time. A progress
// callback that throws during the destructor's save abandons that save (the
// file keeps its old contents): a destructor cannot pass the exception on.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/export.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

#include <boost/shared_ptr.hpp>

namespace corvane {
namespace xmlio {
class PendingWrite;
}  // namespace xmlio
}  // namespace corvane

class CORVANE_API FileConvert {
 public:
  FileConvert();
  FileConvert(FileConvert const& other);
  FileConvert& operator=(FileConvert const& other);
  ~FileConvert();

  void SetPath(CString const& path, bool read);

  boost::shared_ptr<IChunk> GetRoot();
  boost::shared_ptr<IChunk> GetSysVar();
  boost::shared_ptr<IChunk> GetLayers();
  boost::shared_ptr<IChunk> GetEnvironment();
  boost::shared_ptr<IChunk> GetMaterials();
  boost::shared_ptr<IChunk> GetMeshs();
  boost::shared_ptr<IChunk> GetGroups();
  boost::shared_ptr<IChunk> GetEntitys();

  void setStartProgressFun(StartProgressFun fun);
  void setSetPosFun(SetPosFun fun);
  void SetEndProgressFun(EndProgressFun fun);

 private:
  CString m_path;
  bool m_read;
  boost::shared_ptr<IChunk> m_root;
  corvane::xmlio::ProgressState m_progress;
  // The file this document owes its path in write mode, shared with its copies.
  boost::shared_ptr<corvane::xmlio::PendingWrite> m_pendingWrite;
};
