#include <corvane/extras/output_file.h>

#include "platform/file_replacement.h"

namespace corvane {

OutputFile::OutputFile(const CString& path) : m_save(new platform::FileReplacement(path)) {}

OutputFile::~OutputFile() { delete m_save; }

bool OutputFile::Open() { return m_save->Open(); }

void OutputFile::Write(const void* data, std::size_t size) { m_save->Write(data, size); }

bool OutputFile::Commit() { return m_save->Commit(); }

int OutputFile::Error() const { return m_save->Error(); }

}  // namespace corvane
