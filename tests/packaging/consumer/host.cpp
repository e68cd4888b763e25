// A host program that knows only the installed umbrella header and library.
// It does what host code written for the original framework does: writes and
// reads a conversion document and a mesh file, catches every exception type
// the library raises (by pointer, also as CException* then dynamic_cast),
// puts records into an archive on a file class of its own, and uses the
// framework's string.
#include <corvane/corvane.h>

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

// The host's own file class: counts what goes through it.
class CountingFile : public CFile {
 public:
  UINT Read(void* buffer, UINT count) override {
    const UINT got = CFile::Read(buffer, count < 5 ? count : 5);  // short reads, as a pipe gives
    bytesRead += got;
    return got;
  }
  void Write(const void* buffer, UINT count) override {
    CFile::Write(buffer, count);
    bytesWritten += count;
  }
  UINT bytesRead = 0, bytesWritten = 0;
};

void ConversionDocument(const std::string& dir) {
  const CString path = (dir + "/host.xml").c_str();
  {
    FileConvert document;
    document.SetPath(path, false);
    CIoPubHelp::h_StrLabel = "Var";
    CIoPubHelp::h_strName = "Scale";
    document.GetSysVar() << 2.5;
    CIoPubHelp::h_StrLabel = "Layer";
    CIoPubHelp::h_strName = "Walls";
    document.GetLayers() << "load bearing";
    document.GetLayers() << L"\x6B63";
  }
  FileConvert loaded;
  loaded.SetPath(path, true);
  double scale = 0;
  loaded.GetSysVar()->ChildByName("scale") >> scale;
  Check(scale == 2.5, "scale");
  std::string note;
  loaded.GetLayers()->ChildByLabel("LAYER") >> note;
  Check(note == "load bearing", "note");
  Check(loaded.GetLayers()->Child(1)->getValueAsString() == "\xD5\xFD", "wide literal");
}

void MeshFileAndExceptions(const std::string& dir) {
  CMeshBin meshes;
  BinMeshData mesh;
  mesh.number = 7;
  mesh.name = "A";
  BinFaceData face;
  face.points3d.push_back(AcGePoint3d(1, 2, 3));
  mesh.faces.push_back(face);
  meshes.meshes.push_back(mesh);
  const CString meshPath = (dir + "/host.bin").c_str();
  meshes.save(meshPath);
  CMeshBin back;
  back.load(meshPath);
  Check(back.meshes.size() == 1 && back.meshes[0].faces[0] == face, "mesh");

  const CString emptyPath = (dir + "/empty.bin").c_str();
  {
    CFile empty;
    Check(empty.Open(emptyPath, CFile::modeCreate | CFile::modeWrite) == TRUE, "create empty");
  }
  try {
    back.load(emptyPath);
    Check(false, "an empty mesh file throws");
  } catch (CArchiveException* error) {
    Check(error->m_cause == CArchiveException::endOfFile, "end of file cause");
    error->Delete();
  }
  try {
    back.load(emptyPath);
  } catch (CException* error) {
    Check(dynamic_cast<CArchiveException*>(error) != nullptr, "caught as CException");
    error->Delete();
  }
  try {
    CFile readOnly;
    readOnly.Open(meshPath, CFile::modeRead);
    readOnly.Write("x", 1);
    Check(false, "writing a read-only file throws");
  } catch (CFileException* error) {
    Check(error->m_cause == CFileException::accessDenied, "file cause");
    error->Delete();
  }
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
  BinFaceData face;
  face.text = "t";
  face.indices.assign(40, 3);
  {
    CountingFile file;
    Check(file.Open(path, CFile::modeCreate | CFile::modeWrite) == TRUE, "open for records");
    CArchive ar(&file, CArchive::store);
    ar << face << AcGePoint2d(1, 2) << AcGeVector3d(0, 0, 1);
    ar.Close();
    BYTE trailer = 0x5A;
    file.Write(&trailer, 1);
    Check(file.bytesWritten > 160, "records went through the host's file");
  }
  CountingFile file;
  Check(file.Open(path, CFile::modeRead) == TRUE, "open records");
  BinFaceData faceBack;
  AcGePoint2d point;
  AcGeVector3d vector;
  {
    CArchive ar(&file, CArchive::load);
    ar >> faceBack >> point >> vector;
    ar.Close();  // gives back what it buffered beyond the records
  }
  BYTE trailer = 0;
  Check(file.Read(&trailer, 1) == 1 && trailer == 0x5A, "trailer after the records");
  Check(faceBack == face && point.isEqualTo(AcGePoint2d(1, 2)) &&
            vector.isEqualTo(AcGeVector3d(0, 0, 1)),
        "records");
}

// Every member of the framework's string a host uses, on mixed ASCII and GBK
// text ("\xD5\xFD" is one double-byte character).
void FrameworkString() {
  CString s("ab");
  CString t = 'x';
  CString u('-', 3);
  CString w(L"\x6B63");
  CString n("abc", 2);
  CString wn(L"\x6B63z", 1);
  s = t;
  s = "a\xD5\xFD"
      "b";
  t = 'q';
  w = L"\x6B63";
  Check(s.GetLength() == 4 && !s.IsEmpty() && s.GetAt(0) == 'a' && s[3] == 'b' &&
            std::string(s.GetString()) ==
                "a\xD5\xFD"
                "b" &&
            n == "ab" && wn == "\xD5\xFD" && u == "---" && w == wn,
        "construction and access");
  Check(s.Compare("a") > 0 && CString("\xE9\x54").CompareNoCase("\xE9\x74") != 0 &&
            CString("Layers").CompareNoCase("LAYERS") == 0 && s == s && s != "x" && "a" < s &&
            s > "a" && s <= s && s >= "a" && CString("a") < CString("b"),
        "comparison");
  CString c = 'c' + CString("d") + "e" + 'f';
  c += CString("g");
  c += "h";
  c += 'i';
  c.Append("j");
  c.Append("kl", 1);
  c.AppendChar('m');
  c.AppendFormat("%d", 7);
  Check(c == "cdefghijkm7" && "z" + CString("y") == "zy" && CString("p") + CString("q") == "pq",
        "concatenation");
  Check(s.Mid(1) ==
                "\xD5\xFD"
                "b" &&
            s.Mid(1, 2) == "\xD5\xFD" && s.Mid(2) == "b" && s.Left(2) == "a" && s.Right(1) == "b" &&
            s.Left(-1).IsEmpty() && s.Right(99) == s &&
            CString("aabc").SpanIncluding("a") == "aa" &&
            CString("ab,c").SpanExcluding(",") == "ab",
        "extraction");
  int start = 0;
  const CString csv("x,,y");
  const CString first = csv.Tokenize(",", start);
  const CString second = csv.Tokenize(",", start);
  csv.Tokenize(",", start);
  Check(first == "x" && second == "y" && start == -1, "tokenize");
  Check(CString("\xE9\x54T").Find('T') == 2 && s.Find("b") == 3 && s.Find('z') == -1 &&
            CString("abab").ReverseFind('a') == 2 && s.FindOneOf("b") == 3 && s.Find('a', 9) == -1,
        "search");
  CString e("aB\xD5\xFD");
  e.MakeUpper();
  Check(e == "AB\xD5\xFD", "upper");
  e.MakeLower().MakeReverse();
  Check(e == "\xD5\xFD"
             "ba",
        "lower and reverse");
  CString r("a-b-c");
  Check(r.Replace('-', '+') == 2 && r.Replace("+", "--") == 2 && r == "a--b--c" &&
            r.Remove('-') == 4 && r.Insert(0, 'x') == 4 && r.Insert(1, "yz") == 6 &&
            r.Delete(0, 3) == 3 && r == "abc",
        "editing");
  CString blank("  \tpad \n");
  blank.Trim();
  CString dashes("--pad--");
  dashes.Trim('-');
  CString marks("*+pad+*");
  marks.Trim("*+");
  CString left("  l");
  left.TrimLeft();
  CString right("r  ");
  right.TrimRight();
  CString l2("xxl"), r2("rxx"), l3("xyl"), r3("ryx");
  l2.TrimLeft('x');
  r2.TrimRight('x');
  l3.TrimLeft("xy");
  r3.TrimRight("xy");
  CString cut("abcdef");
  cut.Truncate(3);
  Check(blank == "pad" && dashes == "pad" && marks == "pad" && left == "l" && right == "r" &&
            l2 == "l" && r2 == "r" && l3 == "l" && r3 == "r" && cut == "abc",
        "trimming");
  CString buffer;
  std::strcpy(buffer.GetBuffer(8), "buffer");
  buffer.ReleaseBuffer();
  char* whole = buffer.GetBuffer();
  whole[0] = 'B';
  buffer.ReleaseBuffer(3);
  std::strcpy(buffer.GetBufferSetLength(4), "four");
  buffer.ReleaseBufferSetLength(2);
  Check(buffer == "fo", "buffers");
  CString formatted;
  formatted.Format("%s=%d/%s", CString("k"), 5, "v");
  CString plain;
  plain.Format("%d", 6);
  Check(formatted == "k=5/v" && plain == "6", "formatting with CString arguments");
}

void EveryExportedClass() {
  IChunk chunk("L", "N", 1);
  CIoPubHelp help;
  help = CIoPubHelp();
  TmpFloat2 f2 = {1, 2};
  TmpDouble4 d4 = {1, 2, 3, 4};
  d4 = TmpDouble4{4, 3, 2, 1};
  XmlFileIO io("x.xml");
  FileConvert document;
  DomXml::CXml xml;
  DomXml::CXmlNode node;
  DomXml::CXmlNodes nodes;
  CMeshBin meshBin;
  BinFaceData face;
  BinMeshData mesh;
  CFile file;
  CArchiveException archiveError(CArchiveException::badIndex);
  CFileException fileError(CFileException::diskFull);
  CException* base = &archiveError;
  Check(dynamic_cast<CArchiveException*>(base) != nullptr, "dynamic_cast");
  Check(dynamic_cast<CCorvaneApp*>(AfxGetApp()) != nullptr, "the library's application object");
  CWinApp app("host");
  _com_error comError(E_FAIL);
  AcGeTol tolerance;
  Check(chunk.getI32Value() == 1 && f2.y == 2 && d4.x == 4 && nodes.GetCount() == -1 &&
            node.GetName().IsEmpty() && meshBin.meshes.empty() && mesh.number == 0 &&
            face.factor == 1.0 && !file.IsOpen() && fileError.m_cause == CFileException::diskFull &&
            comError.Error() == E_FAIL && tolerance.equalPoint() > 0 && !xml.Save(nullptr) &&
            !document.GetRoot(),
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
