// The commands that go through the office applications: Word and Excel
// imports and exports, over LibreOffice (platform/Office).
#include <algorithm>

#include "app/SheetTable.h"
#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "platform/FileContents.h"
#include "platform/OutputStream.h"
#include "platform/Paths.h"
#include "platform/Workbook.h"
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

std::string ReadConvertedFile(const std::filesystem::path& path) {
  FileContents contents = ReadFileContents(path);
  if (contents.failedStep == FileReadStep::kOpen) throw EOfficeError("Cannot read " + path.string());
  return std::move(contents.bytes);
}

// Replaces target in one step with the file LibreOffice wrote.
void CopyAtomically(const std::filesystem::path& source, const std::filesystem::path& target) {
  AtomicFileOutputStream out(target);
  out.Write(ReadConvertedFile(source));
  out.Commit();
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

}  // namespace

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
  if (!ConnectOffice(kWordNotInstalled)) return;
  Progress.Start(1);
  auto fileName = ChooseFileToOpen(TFileDialogRequest{
      u"", u"all files|*.doc;*.docx;*.odt;*.rtf|word document(*.doc)|*.doc|word document(*.docx)|*.docx|"
           u"OpenDocument text(*.odt)|*.odt|rich text format(*.rtf)|*.rtf", u"", {}, {}});
  if (!fileName) return;
  const auto converted = office_.Convert(*fileName, kOfficeRtfFilter);
  PasteRichText(ReadConvertedFile(converted.front()));
  Progress.bar.StepIt();
  Progress.SetPercentText(u"100%");
}

void TForm2::ImportSheets(const std::filesystem::path& workbook) {
  const auto sheets = office_.Convert(workbook, kOfficeSheetsCsvFilter);
  Progress.Start(static_cast<std::int32_t>(sheets.size()));
  for (const auto& sheet : sheets) {
    const std::string rtf = SheetTableAsRtf(ImportedRange(ParseCsv(ReadConvertedFile(sheet))));
    if (!rtf.empty()) PasteRichText(rtf);
    Progress.Step();
    host_.ProcessMessages();
  }
}

void TForm2::Label16Click() {
  statusbarinit();
  if (!ConnectOffice(kExcelNotInstalled)) return;
  auto fileName = ChooseFileToOpen(TFileDialogRequest{
      u"", u"all workbooks|*.xls;*.xlsx;*.ods|excel file(*.xls)|*.xls|excel file(*.xlsx)|*.xlsx|"
           u"OpenDocument spreadsheet(*.ods)|*.ods", u"xls", {}, {}});
  if (!fileName) return;
  try {
    ImportSheets(*fileName);
  } catch (const std::exception&) {
    host_.ShowMessage(TMessage{kExcelImportFailed, u"", TMessageKind::kError});
  }
}

void TForm2::Image4Click() {
  statusbarinit();
  if (!ConnectOffice(kWordNotInstalled)) return;
  auto fileName = ChooseFileToSave(
      TFileDialogRequest{u"export", u"microsoft office word format(*.doc)|*.doc", u"doc", {}, {}});
  if (!fileName) return;
  int pageCount = 0;
  auto collecting = CollectPages(pageCount);
  // The pages as RTF in a folder of our own, which LibreOffice converts.
  const auto scratch = office_.NewScratchFolder() / "temp.rtf";
  if (!collecting->WriteRtfFile(scratch, false)) throw Exception("Cannot write the file " + scratch.string());
  collecting->ClearDocument();
  CopyAtomically(office_.Convert(scratch, WordFilterFor(*fileName)).front(), *fileName);
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
  const auto xlsx = office_.NewScratchFolder() / "temp.xlsx";
  TWorkbookWriter workbook(xlsx);
  const int pageCount = WriteTablesToWorkbook(workbook);
  workbook.Close();
  const std::string filter = extension == ".ods" ? "ods:calc8" : "xls:MS Excel 97";
  CopyAtomically(converted ? office_.Convert(xlsx, filter).front() : xlsx, *fileName);
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate Success" +
                                 fileName->u16string() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

}  // namespace varnolt
