// The host example of the README, built and run by the tests so that it
// cannot go stale: write a conversion document with `<<`, read it back with
// the section getters and `>>`.
#include <corvane/corvane.h>

#include <cstdio>
#include <string>

void Export(const CString& path) {
  FileConvert document;
  document.SetPath(path, false);   // write mode: an empty tree
  CIoPubHelp::h_StrLabel = "Var";  // label and name of the next value
  CIoPubHelp::h_strName = "DIMSCALE";
  document.GetSysVar() << 2.5;  // a "double" chunk under SysVar
}  // the file is written here

double Import(const CString& path) {
  FileConvert document;
  document.SetPath(path, true);  // read mode: loads now
  double scale = 0;
  if (boost::shared_ptr<IChunk> sysVar = document.GetSysVar())
    sysVar->ChildByName("dimscale") >> scale;  // lookups ignore case
  return scale;
}

int main(int argc, char** argv) {
  const std::string path = std::string(argc > 1 ? argv[1] : ".") + "/host_example.xml";
  Export(path.c_str());
  const double scale = Import(path.c_str());
  std::printf("DIMSCALE read back as %f\n", scale);
  return scale == 2.5 ? 0 : 1;
}
