#pragma once
// Reading .docx (WordprocessingML) documents. Start here: DocxToRtf gives a
// document as the RTF our RTF import reads (rtf/import), so it fills a
// document, its style sheet (add-if-needed), lists, tables, notes and page
// setup the way an RTF file does. Untrusted input: every failure throws an
// Exception naming the file, the part and the reason (EPackageError for the
// package, EXmlError for a part's XML).
#include <filesystem>
#include <string>

#include "platform/ZipPackage.h"

namespace varnolt {

// Reads the .docx file. Throws EPackageError or EXmlError.
std::string DocxToRtf(const std::filesystem::path& file);
// The same for a package already open (name in messages is its FileName).
std::string DocxToRtf(ZipPackage& package);

}  // namespace varnolt
