# The shared library exports its interface, and only it: no symbol of the
# DOM engine or of internal helpers may be visible to hosts.
# A DLL's exports are its export table (OBJDUMP -p), put in nm's form.
if(LIBRARY MATCHES "\\.dll$")
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} COMMAND c++filt
    OUTPUT_VARIABLE table RESULT_VARIABLE result)
  string(REGEX REPLACE "\n\t\\[ *[0-9]+\\] " "\n0 T " symbols "${table}")
else()
  execute_process(COMMAND nm -D -C --defined-only ${LIBRARY}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0 OR symbols STREQUAL "")
  message(FATAL_ERROR "no exports read from ${LIBRARY}")
endif()

set(expected
  "newChunk(CString const&)" "IChunk::addChild" "IChunk::getValueAsString" "NameChun"
  "CIoPubHelp::h_StrLabel" "CIoPubHelp::h_strName" "CIoPubHelp::reset"
  "XmlOp::_a2w" "XmlOp::wstring2CString" "operator<<(boost::shared_ptr<IChunk>"
  "operator>>(boost::shared_ptr<IChunk>" "DomXml::CXml::Open" "DomXml::CXmlNode::SetAttribute"
  "DomXml::CXmlNodes::GetItem" "XmlFileIO::save" "XmlFileIO::read" "FileConvert::SetPath"
  "FileConvert::~FileConvert" "corvane::OutputFile::Commit" "corvane::WriteChunkStream"
  "corvane::PrepareConsole" "corvane::IsConsole" "CMeshBin::save" "CMeshBin::load" "BinFaceData::operator=="
  "operator<<(CArchive&, BinMeshData const&)" "AcGeContext::gTol" "CString::Format"
  "typeinfo for CException" "typeinfo for CArchiveException" "typeinfo for CFileException"
  "typeinfo for _com_error" "vtable for CFile" "typeinfo for CFile" "vtable for CCorvaneApp")
if(LIBRARY MATCHES "\\.dll$")
  # Every member of _com_error is inline: each module has its type
  # information, and MinGW's runtime matches a catch by the type's name.
  list(REMOVE_ITEM expected "typeinfo for _com_error")
endif()
foreach(name IN LISTS expected)
  string(FIND "${symbols}" "${name}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "not exported: ${name}")
  endif()
endforeach()

foreach(hidden "pugi::" "corvane::codepage" "corvane::platform" "ChunkFromElement" "NodeAccess"
               "DocumentAccess" "theApp")
  string(FIND "${symbols}" "${hidden}" at)
  if(NOT at EQUAL -1)
    string(SUBSTRING "${symbols}" ${at} 120 context)
    message(FATAL_ERROR "internal symbol exported: ${context}")
  endif()
endforeach()
# Template instances of the standard library and Boost stay inside too.
string(REGEX MATCH "\n[0-9a-f]+ [A-Za-z] ([a-z]+ )?(std|boost|__gnu_cxx)::[^\n]*" leaked
  "\n${symbols}")
if(leaked)
  message(FATAL_ERROR "library template exported:${leaked}")
endif()
message(STATUS "exports checked")
