// A host program that knows only the installed umbrella header and library.
// It does what host code written for the original framework does: writes and
// reads a conversion document and a mesh file, catches every exception type
// the library raises (by pointer, also as CException* then dynamic_cast),
// puts records into an archive on a file class of its own, and uses the
// framework's string.
#include <corvane/corvane.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "consumer check failed: %s\n", what);
  ++failures;
}

// `body` must throw an `Exception*` with `cause`: caught by its type, then
// (run again) as CException* and cast back, as host code catches them.
template <typename Exception, typename Body>
void CheckThrows(Body body, int cause, const char* what) {
  try {
    body();
    Check(false, what);
  } catch (Exception* error) {
    Check(error->m_cause == cause, what);
    error->Delete();
  }
  try {
    body();
  } catch (CException* error) {
    const Exception* typed = dynamic_cast<Exception*>(error);
    Check(typed != nullptr && typed->m_cause == cause, what);
    error->Delete();
  }
}

// The host's own file class: short reads, as a pipe gives, and a count of
// what it writes.
class CountingFile : public CFile {
 public:
  UINT Read(void* buffer, UINT count) override {
    return CFile::Read(buffer, count < 5 ? count : 5);
  }
  void Write(const void* buffer, UINT count) override {
    CFile::Write(buffer, count);
    bytesWritten += count;
  }
  UINT bytesWritten = 0;
};

void ConversionDocument(const std::string& dir) {
  const CString path = (dir + "/host.xml").c_str();
  {
    FileConvert document;
    document.SetPath(path, false);
    CIoPubHelp::h_StrLabel = "Var", CIoPubHelp::h_strName = "Scale";
    document.GetSysVar() << 2.5;
    CIoPubHelp::h_StrLabel = "Layer", CIoPubHelp::h_strName = "Walls";
    document.GetLayers() << "load bearing";
    document.GetLayers() << L"\x6B63";
  }
  FileConvert loaded;
  loaded.SetPath(path, true);
  double scale = 0;
  std::string note;
  loaded.GetSysVar()->ChildByName("scale") >> scale;
  loaded.GetLayers()->ChildByLabel("LAYER") >> note;
  Check(scale == 2.5 && note == "load bearing", "the document's values");
  Check(loaded.GetLayers()->Child(1)->getValueAsString() == "\xD5\xFD", "wide literal");
}

void MeshFileAndExceptions(const std::string& dir) {
  CMeshBin meshes, back;
  BinMeshData mesh;
  BinFaceData face;
  face.points3d.push_back(AcGePoint3d(1, 2, 3));
  mesh.number = 7, mesh.name = "A", mesh.faces.push_back(face), meshes.meshes.push_back(mesh);
  const CString meshPath = (dir + "/host.bin").c_str(), emptyPath = (dir + "/empty.bin").c_str();
  meshes.save(meshPath);
  back.load(meshPath);
  Check(back.meshes.size() == 1 && back.meshes[0].faces[0] == face, "mesh");
  CFile empty;
  Check(empty.Open(emptyPath, CFile::modeCreate | CFile::modeWrite) == TRUE, "create empty");
  empty.Close();
  CheckThrows<CArchiveException>([&] { back.load(emptyPath); }, CArchiveException::endOfFile,
                                 "an empty mesh file");
  CheckThrows<CFileException>([&] { empty.Write("x", 1); }, CFileException::invalidFile,
                              "writing a closed file");
  try {
    DomXml::CXmlNode nothing;
    nothing.GetChildElements()->GetItem(0);
    Check(false, "GetItem on no list throws");
  } catch (_com_error& error) {
    Check(error.Error() == E_POINTER, "com error");
  }
}

void ArchiveOnTheHostsFile(const std::string& dir) {
  const CString path = (dir + "/records.bin").c_str();
  BinFaceData face, faceBack;
  face.text = "t", face.indices.assign(40, 3);
  AcGePoint2d point;
  AcGeVector3d vector;
  BYTE trailer = 0x5A;
  {
    CountingFile file;
    Check(file.Open(path, CFile::modeCreate | CFile::modeWrite) == TRUE, "open for records");
    CArchive ar(&file, CArchive::store);
    ar << face << AcGePoint2d(1, 2) << AcGeVector3d(0, 0, 1);
    ar.Close();
    file.Write(&trailer, 1);
    Check(file.bytesWritten > 160, "records went through the host's file");
  }
  CountingFile file;
  Check(file.Open(path, CFile::modeRead) == TRUE, "open records");
  {
    CArchive ar(&file, CArchive::load);
    ar >> faceBack >> point >> vector;
    ar.Close();  // gives back what it buffered beyond the records
  }
  Check(file.Read(&trailer, 1) == 1 && trailer == 0x5A, "trailer after the records");
  Check(faceBack == face && point.isEqualTo(AcGePoint2d(1, 2)) &&
            vector.isEqualTo(AcGeVector3d(0, 0, 1)),
        "records");
}

void FormatInto(CString& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out.FormatV(format, args);
  va_end(args);
}

// Every member of the framework's string a host uses, on mixed ASCII and GBK
// text ("\xD5\xFD" is one double-byte character).
void FrameworkString() {
  CString s("a\xD5\xFD\x62"), n("abc", 2), dashes('-', 3), wide(L"\x6B63z", 1), t, e("xyz");
  t = s, t = "x", t = 'q', t = L"\x6B63", e.SetAt(0, 'X');
  Check(s.GetLength() == 4 && !s.IsEmpty() && s.GetAt(0) == 'a' && s[3] == 'b' &&
            std::strcmp(s, s.GetString()) == 0 && n == "ab" && dashes == "---" &&
            wide == "\xD5\xFD" && t == wide && e == "Xyz",
        "construction, assignment and access");
  e.Empty();
  const CString lo("a"), hi("b");
  Check(e.IsEmpty() && lo.Compare("b") < 0 && CString("\xE9\x54").CompareNoCase("\xE9\x74") != 0 &&
            CString("Layers").CompareNoCase("LAYERS") == 0 && lo == lo && lo == "a" && "a" == lo &&
            lo != hi && lo != "b" && "b" != lo && lo < hi && lo < "b" && "a" < hi && hi > lo &&
            hi > "a" && "b" > lo && lo <= hi && lo <= "a" && "a" <= hi && hi >= lo && hi >= "b" &&
            "b" >= lo,
        "comparison");
  CString c = 'c' + CString("d") + "e" + 'f', f, v;
  c += CString("g"), c += "h", c += 'i', c.Append("j"), c.Append("kl", 1), c.AppendChar('m');
  c.AppendFormat("%d", 7), f.Format("%s=%d/%s", CString("k"), 5, "v"),
      FormatInto(v, "%d-%s", 6, "w");
  Check(c == "cdefghijkm7" && "z" + CString("y") == "zy" && CString("p") + CString("q") == "pq" &&
            f == "k=5/v" && v == "6-w",
        "concatenation and formatting");
  int start = 0;
  const CString csv("x,,y"), first = csv.Tokenize(",", start), second = csv.Tokenize(",", start);
  Check(s.Mid(1) == "\xD5\xFD\x62" && s.Mid(1, 2) == "\xD5\xFD" && s.Left(2) == "a" &&
            s.Right(1) == "b" && CString("aabc").SpanIncluding("a") == "aa" &&
            CString("ab,c").SpanExcluding(",") == "ab" && first == "x" && second == "y" &&
            csv.Tokenize(",", start).IsEmpty() && start == -1,
        "extraction");
  Check(CString("\xE9\x54T").Find('T') == 2 && s.Find("b") == 3 && s.Find('a', 1) == -1 &&
            CString("abab").ReverseFind('a') == 2 && s.FindOneOf("b") == 3,
        "search");
  CString r("aB\xD5\xFD-b-c");
  Check(r.MakeUpper() == "AB\xD5\xFD-B-C" &&
            r.MakeLower().MakeReverse() == "c-b-\xD5\xFD\x62\x61" && r.Replace('-', '+') == 2 &&
            r.Replace("+", "--") == 2 && r.Remove('-') == 4 && r.Insert(0, 'x') == 7 &&
            r.Insert(1, "yz") == 9 && r.Delete(0, 3) == 6 && r == "cb\xD5\xFD\x62\x61",
        "editing");
  CString cut("abcdef");
  cut.Truncate(3);
  Check(CString(" \tpad \n").Trim() == "pad" && CString("--pad--").Trim('-') == "pad" &&
            CString("*+pad+*").Trim("*+") == "pad" && CString("  l").TrimLeft() == "l" &&
            CString("xxl").TrimLeft('x') == "l" && CString("xyl").TrimLeft("xy") == "l" &&
            CString("r  ").TrimRight() == "r" && CString("rxx").TrimRight('x') == "r" &&
            CString("ryx").TrimRight("xy") == "r" && cut == "abc",
        "trimming");
  CString buffer, set;
  std::strcpy(buffer.GetBuffer(8), "buffer"), buffer.ReleaseBuffer();
  buffer.GetBuffer()[0] = 'B', buffer.ReleaseBuffer(3);
  std::strcpy(set.GetBufferSetLength(4), "four"), set.ReleaseBufferSetLength(2);
  Check(buffer == "Buf" && set == "fo", "buffers");
}

void EveryExportedClass() {
  IChunk chunk("L", "N", 1);
  CIoPubHelp help;
  help = CIoPubHelp();
  TmpFloat2 f2 = {1, 2};
  TmpFloat3 f3 = {1, 2, 3};
  TmpFloat4 f4 = {1, 2, 3, 4};
  TmpDouble2 d2 = {1, 2};
  TmpDouble3 d3 = {1, 2, 3};
  TmpDouble4 d4 = {1, 2, 3, 4};
  f2 = TmpFloat2{2, 1}, f3 = TmpFloat3{3, 2, 1}, f4 = TmpFloat4{4, 3, 2, 1};
  d2 = TmpDouble2{2, 1}, d3 = TmpDouble3{3, 2, 1}, d4 = TmpDouble4{4, 3, 2, 1};
  XmlFileIO io("x.xml");
  FileConvert document;
  DomXml::CXml xml;
  DomXml::CXmlNode node;
  DomXml::CXmlNodes nodes;
  CException base(FALSE);
  CArchiveException archiveError(CArchiveException::badIndex);
  CFileException fileError(CFileException::diskFull);
  CCorvaneApp second;  // the library's application object stays the process's
  CWinApp app("host");
  _com_error comError(E_FAIL);
  AcGeTol tolerance;
  Check(chunk.getI32Value() == 1 && f2.x == 2 && f3.x == 3 && f4.x == 4 && d2.x == 2 && d3.x == 3 &&
            d4.x == 4 && nodes.GetCount() == -1 && node.GetName().IsEmpty() &&
            !base.GetErrorMessage(nullptr, 0) &&
            archiveError.m_cause == CArchiveException::badIndex &&
            fileError.m_cause == CFileException::diskFull && comError.Error() == E_FAIL &&
            tolerance.equalPoint() == AcGeContext::gTol.equalPoint() && !xml.Save(nullptr) &&
            !document.GetRoot() && AfxGetApp() != &second && AfxGetApp() != &app &&
            dynamic_cast<CCorvaneApp*>(AfxGetApp()) != nullptr,
        "constructed classes");
  io.setPath("");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: host WORK_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  ConversionDocument(dir);
  MeshFileAndExceptions(dir);
  ArchiveOnTheHostsFile(dir);
  FrameworkString();
  EveryExportedClass();
  if (failures != 0) return 1;
  std::printf("host ok (library %s)\n", CorvaneVersion());
  return 0;
}
