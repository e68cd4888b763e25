#include "corvane/file_stamp.h"

#include <sys/stat.h>

namespace corvane {
namespace tool {

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.regular = S_ISREG(info.st_mode);
  stamp.device = static_cast<unsigned long long>(info.st_dev);
  stamp.inode = static_cast<unsigned long long>(info.st_ino);
  stamp.size = static_cast<unsigned long long>(info.st_size);
  stamp.modifiedSeconds = static_cast<long long>(info.st_mtim.tv_sec);
  stamp.modifiedNanoseconds = static_cast<long long>(info.st_mtim.tv_nsec);
  return stamp;
}

bool Rewritten(const FileStamp& before, const FileStamp& after) {
  if (!after.exists) return false;
  if (!after.regular || !before.exists) return true;
  // A replaced file is a new inode; one written in place has a new time.
  return after.device != before.device || after.inode != before.inode ||
         after.size != before.size || after.modifiedSeconds != before.modifiedSeconds ||
         after.modifiedNanoseconds != before.modifiedNanoseconds;
}

}  // namespace tool
}  // namespace corvane
