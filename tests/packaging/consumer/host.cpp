// A host program that knows only the installed umbrella header and library.
// It does what host code written for the original framework does: writes and
// reads a conversion document and a mesh file, catches the library's
// exceptions by pointer (also as CException* then dynamic_cast), puts records
// into an archive on a file class of its own, and formats the framework's
// string. (What the library exports is checked by exported_symbols.cmake.)
#include <corvane/corvane.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "consumer check failed: %s\n", what);
  ++failures;
}

// `body` must throw an `Exception*` with `cause`, caught as CException* and cast back.
template <typename Exception, typename Body>
void CheckThrows(Body body, int cause, const char* what) {
  try {
    body();
    Check(false, what);
  } catch (CException* error) {
    const Exception* typed = dynamic_cast<Exception*>(error);
    Check(typed != nullptr && typed->m_cause == cause, what);
    error->Delete();
  }
}

// The host's own file class: a count of what it writes.
class CountingFile : public CFile {
 public:
  void Write(const void* buffer, UINT count) override {
    CFile::Write(buffer, count);
    bytesWritten += count;
  }
  UINT bytesWritten = 0;
};

void ActAsAHost(const std::string& dir) {
  const CString xmlPath = (dir + "/host.xml").c_str(), meshPath = (dir + "/host.bin").c_str();
  {
    FileConvert document;
    document.SetPath(xmlPath, false);
    CIoPubHelp::h_StrLabel = "Var", CIoPubHelp::h_strName = "Scale";
    document.GetSysVar() << 2.5;
    CIoPubHelp::h_StrLabel = "Layer", CIoPubHelp::h_strName = "Walls";
    document.GetLayers() << L"\x6B63";
  }
  FileConvert loaded;
  loaded.SetPath(xmlPath, true);
  double scale = 0;
  loaded.GetSysVar()->ChildByName("scale") >> scale;
  Check(scale == 2.5 && loaded.GetLayers()->ChildByLabel("LAYER")->getValueAsString() == "\xD5\xFD",
        "the document's values");

  CMeshBin meshes, back;
  BinFaceData face;
  face.points3d.push_back(AcGePoint3d(1, 2, 3)), face.text = "t", face.indices.assign(40, 3);
  meshes.meshes.resize(1), meshes.meshes[0].name = "A", meshes.meshes[0].faces.push_back(face);
  meshes.save(meshPath);
  back.load(meshPath);
  Check(back.meshes.size() == 1 && back.meshes[0].faces[0] == face, "mesh");
  CFile file;
  Check(file.Open(meshPath, CFile::modeCreate | CFile::modeWrite) == TRUE, "truncate");
  file.Close();
  CheckThrows<CArchiveException>([&] { back.load(meshPath); }, CArchiveException::endOfFile,
                                 "an empty mesh file");
  CheckThrows<CFileException>([&] { file.Write("x", 1); }, CFileException::invalidFile,
                              "writing a closed file");

  BinFaceData faceBack;
  CountingFile out;
  Check(out.Open(meshPath, CFile::modeCreate | CFile::modeWrite) == TRUE, "open for records");
  {
    CArchive ar(&out, CArchive::store);
    ar << face;
  }
  Check(out.bytesWritten > 160, "records went through the host's file");
  out.Close();
  Check(file.Open(meshPath, CFile::modeRead) == TRUE, "open records");
  CArchive ar(&file, CArchive::load);
  ar >> faceBack;
  Check(faceBack == face, "records");

  CString text;
  text.Format("%s=%d", CString("\xD5\xFD"), 5);
  Check(text == "\xD5\xFD=5" && text.Mid(1) == "=5" && text.Left(1).IsEmpty(), "string");
  try {
    DomXml::CXmlNode nothing;
    nothing.GetChildElements()->GetItem(0);
    Check(false, "GetItem on no list throws");
  } catch (_com_error& error) {
    Check(error.Error() == E_POINTER, "com error");
  }
  Check(dynamic_cast<CCorvaneApp*>(AfxGetApp()) != nullptr, "the library's application");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: host WORK_DIR\n");
    return 2;
  }
  ActAsAHost(argv[1]);
  if (failures != 0) return 1;
  std::printf("host ok (library %s)\n", CorvaneVersion());
  return 0;
}
