#pragma once
// The report: document properties, and the PDF document that report pages
// are printed into between OpenDocument and CloseDocument.
#include <cstdint>
#include <memory>
#include <string>

#include "pdf/PRControls.h"
#include "pdf/PRText.h"
#include "pdf/PdfDoc.h"
#include "platform/OutputStream.h"

namespace varnolt {

class TPROutlineEntry {
 public:
  virtual ~TPROutlineEntry() = default;
  TPdfOutlineEntry* Data() const { return data_; }

 protected:
  void Bind(TPdfOutlineEntry& data) { data_ = &data; }

 private:
  TPdfOutlineEntry* data_ = nullptr;
};

// Stands for the document's outline root while outlines are used.
class TPROutlineRoot final : public TPROutlineEntry {
 public:
  explicit TPROutlineRoot(TPdfDoc& doc) { Bind(doc.GetOutlineRoot()); }
};

class TPReport {
 public:
  // The moment a report made without a stored setting takes as ModDate.
  static constexpr LocalDateTime kZeroDate{1899, 12, 30, 0, 0, 0};

  // CreationDate is the moment of construction.
  TPReport();
  // Abandons an open document.
  ~TPReport();
  TPReport(const TPReport&) = delete;
  TPReport& operator=(const TPReport&) = delete;

  const std::u16string& FileName() const { return fileName_; }
  void SetFileName(std::u16string fileName) { fileName_ = std::move(fileName); }
  TPdfCompressionMethod CompressionMethod() const { return compressionMethod_; }
  void SetCompressionMethod(TPdfCompressionMethod method) { compressionMethod_ = method; }

  // The guarded properties: their setters raise EPdfInvalidOperation while a
  // document is open.
  const std::u16string& Author() const { return author_; }
  void SetAuthor(std::u16string author);
  const LocalDateTime& CreationDate() const { return creationDate_; }
  void SetCreationDate(const LocalDateTime& moment);
  const std::u16string& Creator() const { return creator_; }
  void SetCreator(std::u16string creator);
  const std::u16string& Keywords() const { return keywords_; }
  void SetKeywords(std::u16string keywords);
  const LocalDateTime& ModDate() const { return modDate_; }
  void SetModDate(const LocalDateTime& moment);
  const std::u16string& Subject() const { return subject_; }
  void SetSubject(std::u16string subject);
  const std::u16string& Title() const { return title_; }
  void SetTitle(std::u16string title);
  TPdfPageLayout PageLayout() const { return pageLayout_; }
  void SetPageLayout(TPdfPageLayout layout);
  TPdfPageMode PageMode() const { return pageMode_; }
  void SetPageMode(TPdfPageMode mode);
  TPdfPageMode NonFullScreenPageMode() const { return nonFullScreenPageMode_; }
  // pmFullScreen is kept as pmUseNone.
  void SetNonFullScreenPageMode(TPdfPageMode mode);
  bool UseOutlines() const { return useOutlines_; }
  void SetUseOutlines(bool use);
  TPdfViewerPreferences ViewerPreference() const { return viewerPreference_; }
  void SetViewerPreference(TPdfViewerPreferences preferences);

  bool HasDocument() const { return doc_ != nullptr; }
  int PrintedPages() const { return printedPages_; }
  // The open document, or nullptr.
  TPdfDoc* Document() const { return doc_.get(); }

  // A new document from the properties; an open one is abandoned first.
  void OpenDocument();
  // One PDF page of the page's size (EPdfInvalidOperation without a document).
  void PrintPage(TPRPage& page);
  // Saves the document into the file FileName and closes it. The file is
  // replaced only once it is complete: a failure leaves any existing file as
  // it was and the document open.
  void CloseDocument();
  // The same into a stream.
  void CloseDocument(OutputStream& stream);
  void AbandonDocument();

 private:
  void CheckClosed(const char* setter) const;

  std::u16string fileName_ = u"default.pdf";
  std::u16string author_;
  LocalDateTime creationDate_;
  std::u16string creator_;
  std::u16string keywords_;
  LocalDateTime modDate_ = kZeroDate;
  std::u16string subject_;
  std::u16string title_;
  TPdfPageLayout pageLayout_ = plSinglePage;
  TPdfPageMode pageMode_ = pmUseNone;
  TPdfPageMode nonFullScreenPageMode_ = pmUseNone;
  TPdfCompressionMethod compressionMethod_ = cmNone;
  bool useOutlines_ = false;
  TPdfViewerPreferences viewerPreference_;

  std::unique_ptr<TPdfDoc> doc_;
  TPRCanvas printCanvas_;
  int printedPages_ = 0;
  std::unique_ptr<TPROutlineRoot> outlineRootItem_;
};

}  // namespace varnolt
