// The commands that go through the office applications: Word and Excel
// imports and exports, over LibreOffice (platform/Office).
#include <algorithm>

#include "app/SheetTable.h"
#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "platform/FileContents.h"
#include "platform/OutputStream.h"
#include "platform/Paths.h"
#include "platform/TemporaryCleanup.h"
#include "platform/Workbook.h"
#include "richtext/docx/DocxReader.h"
#include "richtext/sheet/WorkbookReader.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

constexpr char16_t kWordNotInstalled[] =
    u"Microsoft Office Word is not installed.\rPlease confirm your Microsoft Office Word had already installed!";
constexpr char16_t kExcelNotInstalled[] =
    u"Microsoft Office Excel is not installed.\rPlease confirm your Microsoft Office Excel had already installed!";
constexpr char16_t kExcelExportNotInstalled[] =
    u"Microsoft Office Excel is not installed\u3002\rPlease confirm your Microsoft Office Excel had already installed!!";
constexpr char16_t kExcelImportFailed[] = u"Excel format Error or excel shutdown error\rPlease check your Excel";
constexpr std::int32_t kTableStyle = -60;

std::string LowerExtension(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// LibreOffice's export filter for the extension a user chose; the dialog's
// own format for any other.
std::string WordFilterFor(const std::filesystem::path& target) {
  const std::string extension = LowerExtension(target);
  if (extension == ".docx") return "docx:MS Word 2007 XML";
  if (extension == ".odt") return "odt:writer8";
  return "doc:MS Word 97";
}

// Replaces target in one step with what LibreOffice or the workbook wrote.
void WriteAtomically(const std::string& bytes, const std::filesystem::path& target) {
  AtomicFileOutputStream out(target);
  out.Write(bytes);
  out.Commit();
}

std::string ReadScratchFile(const std::filesystem::path& path) {
  FileContents contents = ReadFileContents(path);
  if (contents.failedStep == FileReadStep::kOpen || contents.failedStep == FileReadStep::kRead) {
    throw Exception("Cannot read the file " + QuotedFileName(path) + ": " + contents.systemError);
  }
  return std::move(contents.bytes);
}

// The package formats are zip files: anything else given that name would be
// read by LibreOffice as plain text, page after page of junk.
void RefuseWhatIsNoPackage(const std::filesystem::path& file) {
  if (!IsPackageNameWithoutPackage(file)) return;
  throw EOfficeError(QuotedFileName(file) + " is no " + LowerExtension(file) +
                     " document: it is not a zip package (it does not start with a zip signature)");
}

// A cell's text: the runs of a paragraph joined, paragraphs by line breaks.
std::string CellText(const TRVTableCellData& cell) {
  std::u16string text;
  for (int i = 0; i < cell.CountItems(); ++i) {
    if (i > 0 && cell.StartsNewLine(i)) text += u'\n';
    text += cell.ItemTextAt(i);
  }
  return Utf16ToUtf8(text);
}

void WriteTable(const TRVTableItemInfo& table, TWorkbookWriter& workbook, int sheet) {
  for (int row = table.TableRowCount() - 1; row >= 0; --row) {
    for (int column = table.Row(row).Count() - 1; column >= 0; --column) {
      if (const auto* cell = table.CellAt(row, column)) workbook.WriteCell(sheet, row, column, CellText(*cell));
    }
  }
}

// An error's message without the file name it starts with, for a line that
// names the file already.
std::u16string ReasonAbout(const std::filesystem::path& file, std::string message) {
  const std::string name = file.string();
  if (message.starts_with(name)) {
    message.erase(0, name.size());
    if (message.starts_with(", ") || message.starts_with(": ")) message.erase(0, 2);
  }
  return Utf8ToUtf16(message);
}

}  // namespace

// The clipboard ends holding every collected page, as one copy: the window's
// Word export leaves it so; the batch mode has nobody to paste it.
void TForm2::LeaveCollectedPagesOnClipboard(TRichDocEdit& collecting) {
  if (BatchMode) return;
  collecting.SelectWholeDocument();
  if (collecting.HasSelection()) {
    collecting.CopyAllFormats();
  } else {
    clipboard_.SetUnicodeText(u" ");
  }
}

bool TForm2::ConnectOffice(const std::u16string& notInstalled) {
  if (office_.Connect()) return true;
  host_.ShowMessage(TMessage{notInstalled, u"", TMessageKind::kError});
  return false;
}

void TForm2::PasteRichText(const std::string& rtf) {
  clipboard_.Open();
  clipboard_.Empty();
  clipboard_.SetData(clipboard_.RegisterFormat(kRichTextFormatName), rtf);
  clipboard_.Close();
  CurrentEditor().PasteFromClipboard();
  clipboard_.Empty();
}

void TForm2::Label6Click() {
  statusbarinit();
  // A .docx needs no LibreOffice: without it the command asks for the file first.
  if (OfficeReaderIsLibreOffice() && !ConnectOffice(kWordNotInstalled)) return;
  Progress.Start(1);
  auto fileName = ChooseFileToOpen(TFileDialogRequest{
      u"", u"all files|*.doc;*.docx;*.odt;*.rtf|word document(*.doc)|*.doc|word document(*.docx)|*.docx|"
           u"OpenDocument text(*.odt)|*.odt|rich text format(*.rtf)|*.rtf", u"", {}, {}});
  if (!fileName) return;
  RefuseWhatIsNoPackage(*fileName);
  if (!OfficeInputNeedsLibreOffice(*fileName)) {
    PasteRichText(DocxToRtf(*fileName));
  } else {
    if (!ConnectOffice(kWordNotInstalled)) return;
    PasteRichText(office_.Convert(*fileName, kOfficeRtfFilter).front());
  }
  Progress.bar.StepIt();
  Progress.SetPercentText(u"100%");
}

void TForm2::PasteSheets(const std::vector<TSheetGrid>& sheets) {
  Progress.Start(static_cast<std::int32_t>(sheets.size()));
  for (const auto& sheet : sheets) {
    const std::string rtf = SheetTableAsRtf(ImportedRange(sheet.cells), sheet.merges);
    if (!rtf.empty()) PasteRichText(rtf);
    Progress.Step();
    host_.ProcessMessages();
  }
}

std::vector<TSheetGrid> TForm2::SheetsThroughOffice(const std::filesystem::path& workbook) {
  std::vector<TSheetGrid> sheets;
  for (const auto& csv : office_.Convert(workbook, kOfficeSheetsCsvFilter)) {
    sheets.push_back({{}, ParseCsv(csv), {}});
  }
  return sheets;
}

void TForm2::Label16Click() {
  statusbarinit();
  // .xlsx and .ods are read here; only other workbooks need the office suite.
  if (OfficeReaderIsLibreOffice() && !ConnectOffice(kExcelNotInstalled)) return;
  auto fileName = ChooseFileToOpen(TFileDialogRequest{
      u"", u"all workbooks|*.xls;*.xlsx;*.ods|excel file(*.xls)|*.xls|excel file(*.xlsx)|*.xlsx|"
           u"OpenDocument spreadsheet(*.ods)|*.ods", u"xls", {}, {}});
  if (!fileName) return;
  RefuseWhatIsNoPackage(*fileName);
  const bool ownReader = ReadsWorkbookItself(*fileName);
  if (!ownReader && !ConnectOffice(kExcelNotInstalled)) return;
  try {
    PasteSheets(ownReader ? ReadWorkbook(*fileName, kSheetImportRange) : SheetsThroughOffice(*fileName));
  } catch (const Exception& error) {
    // The reason behind the command's own message, for whoever reads the log.
    LastImport.unshown = ReasonAbout(*fileName, error.what());
    host_.ShowMessage(TMessage{kExcelImportFailed, u"", TMessageKind::kError});
  } catch (const std::exception&) {
    host_.ShowMessage(TMessage{kExcelImportFailed, u"", TMessageKind::kError});
  }
  // Whatever was held before the import is gone, even when no sheet had
  // anything to paste.
  clipboard_.Empty();
}

void TForm2::Image4Click() {
  statusbarinit();
  if (!ConnectOffice(kWordNotInstalled)) return;
  auto fileName = ChooseFileToSave(
      TFileDialogRequest{u"export", u"microsoft office word format(*.doc)|*.doc", u"doc", {}, {}});
  if (!fileName) return;
  int pageCount = 0;
  auto collecting = CollectPages(pageCount);
  LeaveCollectedPagesOnClipboard(*collecting);
  // The pages as RTF in a folder of our own, which LibreOffice converts.
  TemporaryFolder scratch("varnolt-export-");
  const auto rtf = scratch / "temp.rtf";
  if (!collecting->WriteRtfFile(rtf, false)) throw Exception("Cannot write the file " + QuotedFileName(rtf));
  collecting->ClearDocument();
  WriteAtomically(office_.Convert(rtf, WordFilterFor(*fileName)).front(), *fileName);
  MarkExported();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate Success!",
                             u"INFOMATION", TMessageKind::kInformation});
}

int TForm2::WriteTablesToWorkbook(TWorkbookWriter& workbook) {
  const auto& current = PageEditors.at(static_cast<size_t>(CurrentPage));
  const int slots = PageSlotCount();
  Progress.Start((current ? current->CountItems() : 0) * slots);
  int tableCount = 0;
  int pageCount = 0;
  for (int i = 0; i < slots; ++i) {
    auto& editor = PageEditors.at(static_cast<size_t>(i));
    // An empty slot from index 3 on names no sheet and is passed over.
    if (!editor) continue;
    if (i >= 3) workbook.AddSheet();
    for (int j = 0; j < editor->CountItems(); ++j) {
      if (editor->EffectiveStyleOf(j) != kTableStyle) continue;
      const auto* table = dynamic_cast<const TRVTableItemInfo*>(&editor->ItemAt(j));
      if (table == nullptr) continue;
      const int sheet = tableCount < 3 ? tableCount : workbook.AddSheet();
      WriteTable(*table, workbook, sheet);
      Progress.Step();
      ++tableCount;
    }
    if (editor->CountItems() > 0) ++pageCount;
  }
  Progress.bar.SetPosition(Progress.bar.Max());
  Progress.SetPercentText(u"100%");
  return pageCount;
}

void TForm2::image5Click() {
  statusbarinit();
  auto fileName = ChooseFileToSave(TFileDialogRequest{
      u"export", u"microsoft office excel format(*.xls)|*.xls", u"xls", {}, {}});
  if (!fileName) return;
  // The workbook is built here; only other formats than .xlsx need LibreOffice.
  const std::string extension = LowerExtension(*fileName);
  const bool converted = extension != ".xlsx";
  if (converted && !ConnectOffice(kExcelExportNotInstalled)) return;
  TemporaryFolder scratch("varnolt-export-");
  const auto xlsx = scratch / "temp.xlsx";
  TWorkbookWriter workbook(xlsx, scratch.Path());
  const int pageCount = WriteTablesToWorkbook(workbook);
  try {
    workbook.Close();
  } catch (const Exception& error) {
    throw Exception("Cannot write file " + QuotedFileName(*fileName) + ". " + error.what());
  }
  const std::string filter = extension == ".ods" ? "ods:calc8" : "xls:MS Excel 97";
  WriteAtomically(converted ? office_.Convert(xlsx, filter).front() : ReadScratchFile(xlsx), *fileName);
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate Success" +
                                 fileName->u16string() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

}  // namespace varnolt
