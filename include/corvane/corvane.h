// The whole exported interface of the Corvane library in one header: the
// chunk tree and its streaming, the XML document layer, XML chunk files and
// the conversion document, binary mesh files, the module shell, the
// framework stand-ins (CString, CFile, CArchive, geometry) they use, and the
// library's additions for tools (corvane/extras/).
#pragma once

#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>
#include <corvane/chunk/value_records.h>
#include <corvane/export.h>
#include <corvane/extras/checked_save.h>
#include <corvane/extras/chunk_file_format.h>
#include <corvane/extras/console.h>
#include <corvane/extras/element_check.h>
#include <corvane/extras/load_report.h>
#include <corvane/extras/output_file.h>
#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <corvane/module/corvane_app.h>
#include <corvane/platform/acge.h>
#include <corvane/platform/afx_archive.h>
#include <corvane/platform/afx_exception.h>
#include <corvane/platform/afx_file.h>
#include <corvane/platform/afx_winapp.h>
#include <corvane/platform/com_error.h>
#include <corvane/platform/cstring.h>
#include <corvane/platform/wintypes.h>
#include <corvane/stream/chunk_stream.h>
#include <corvane/stream/xmlop.h>
#include <corvane/version.h>
#include <corvane/xmldom/xml.h>
#include <corvane/xmldom/xml_node.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/progress.h>
#include <corvane/xmlio/xml_file_io.h>
