#pragma once
// One PDF document while it is built: catalog, information dictionary, page
// tree, fonts and the page canvas, written to a stream in one pass.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfAnnotations.h"
#include "pdf/PdfSpillFile.h"
#include "pdf/PdfTypes.h"

namespace varnolt {

class TPdfCanvas;
class TPdfFont;
class TPdfEmbeddedFont;
struct TPdfFontFace;

enum TPdfPageLayout : std::uint8_t { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };
enum TPdfPageMode : std::uint8_t { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };
enum TPdfViewerPreference : std::uint8_t { vpHideToolbar, vpHideMenubar, vpHideWindowUI, vpFitWindow, vpCenterWindow };
enum TPdfCompressionMethod : std::uint8_t { cmNone, cmFlateDecode };

class TPdfViewerPreferences {
 public:
  constexpr TPdfViewerPreferences() = default;
  constexpr TPdfViewerPreferences(std::initializer_list<TPdfViewerPreference> members) {
    for (TPdfViewerPreference member : members) bits_ = static_cast<std::uint8_t>(bits_ | Bit(member));
  }
  constexpr bool Contains(TPdfViewerPreference member) const { return (bits_ & Bit(member)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TPdfViewerPreferences, TPdfViewerPreferences) = default;

 private:
  static constexpr std::uint8_t Bit(TPdfViewerPreference member) { return static_cast<std::uint8_t>(1u << member); }
  std::uint8_t bits_ = 0;
};

std::u16string_view PageLayoutName(TPdfPageLayout layout);
std::u16string_view PageModeName(TPdfPageMode mode);

// Gives a registered dictionary a typed face; the xref owns the dictionary.
class TPdfDictionaryWrapper {
 public:
  virtual ~TPdfDictionaryWrapper() = default;
  virtual void Wrap(TPdfDictionary& dictionary) { dictionary_ = &dictionary; }
  TPdfDictionary& Dictionary() const { return *dictionary_; }

 private:
  TPdfDictionary* dictionary_ = nullptr;
};

class TPdfInfo : public TPdfDictionaryWrapper {
 public:
  void SetAuthor(std::u16string value) { PutText(u"Author", std::move(value)); }
  void SetCreator(std::u16string value) { PutText(u"Creator", std::move(value)); }
  void SetTitle(std::u16string value) { PutText(u"Title", std::move(value)); }
  void SetSubject(std::u16string value) { PutText(u"Subject", std::move(value)); }
  void SetKeywords(std::u16string value) { PutText(u"Keywords", std::move(value)); }
  void SetCreationDate(const LocalDateTime& moment) { PutText(u"CreationDate", PdfDateString(moment)); }
  void SetModDate(const LocalDateTime& moment) { PutText(u"ModDate", PdfDateString(moment)); }

 private:
  void PutText(std::u16string_view key, std::u16string value);
};

class TPdfCatalog : public TPdfDictionaryWrapper {
 public:
  // Stored only when the dictionary is a page-tree node.
  void SetPages(TPdfDictionary& pages);
  void SetPageMode(TPdfPageMode mode) { SetNameInPlace(u"PageMode", PageModeName(mode)); }
  void SetPageLayout(TPdfPageLayout layout) { SetNameInPlace(u"PageLayout", PageLayoutName(layout)); }
  void SetNonFullScreenPageMode(TPdfPageMode mode);
  void SetViewerPreference(TPdfViewerPreferences preferences);
  // No destination is ever set; saving drops any entry.
  void RemoveOpenAction() { Dictionary().Remove(u"OpenAction"); }

 private:
  void SetNameInPlace(std::u16string_view key, std::u16string_view name);
  TPdfDictionary& ViewerPreferences();
};

class TPdfOutlineEntry : public TPdfDictionaryWrapper {
 public:
  // Entries are never added, so nothing below is open.
  std::int32_t OpenDescendantCount() const { return 0; }
};

class TPdfOutlineRoot : public TPdfOutlineEntry {
 public:
  void Save() { Dictionary().PutNumber(u"Count", OpenDescendantCount()); }
};

class TPdfDoc {
 public:
  static constexpr std::uint16_t kDefaultPageWidth = 596;
  static constexpr std::uint16_t kDefaultPageHeight = 842;

  TPdfDoc();
  ~TPdfDoc();
  TPdfDoc(const TPdfDoc&) = delete;
  TPdfDoc& operator=(const TPdfDoc&) = delete;

  bool HasDocument() const { return hasDocument_; }
  void StartDocument();
  // A document only for measuring: one page, and a canvas that writes nothing.
  void StartDocumentWithPage();
  // Starts a new page. The page left is finished: its content moves out of
  // memory into the document's temporary file (made on the first page
  // left; a document that cannot make one keeps its pages in memory), and
  // the save copies it back. EPdfInvalidOperation when the file cannot take
  // the content.
  void AddPage();
  // Where finished pages' content goes from now on, in place of the
  // temporary file; for an open document.
  void SetSpillFile(std::unique_ptr<TPdfSpillFile> file) { spillFile_ = std::move(file); }
  // Writes the complete file; the stream is restarted at position 0 first.
  void SaveToStream(OutputStream& stream);
  void ReleaseDocument();

  TPdfCanvas& GetCanvas();
  TPdfInfo& GetInfo();
  TPdfCatalog& GetRoot();
  TPdfOutlineRoot& GetOutlineRoot();
  // The document's font for a registry name (exact comparison among the
  // document's fonts), created on first use.
  TPdfFont& GetFont(std::u16string_view name);
  TPdfFont& CreateFont(std::u16string_view name);
  // One font per face per document, created on first use; EPdfInvalidValue
  // for a file that is not a font with TrueType outlines.
  TPdfEmbeddedFont& GetEmbeddedFont(const TPdfFontFace& face);
  // Registers the image (the xref owns it from now on) under the next
  // resource name, "Im0", "Im1", ...; the canvas draws it by that name.
  TPdfImage& AddImage(std::unique_ptr<TPdfImage> image);
  // Whether the image is one this document registered.
  bool OwnsImage(const TPdfImage& image) const;

  // The header announces the highest minor version asked for since the
  // document started, never less than 1.2. EPdfInvalidValue
  // "RequireVersion --invalid version" outside 0 to 7.
  void RequireVersion(int minor);
  int MinorVersion() const { return minorVersion_; }
  // Written at save as the catalog's /Names << /Dests ... >>.
  TPdfNamedDestinations& NamedDestinations() { return namedDestinations_; }

  // Only with an open document.
  TPdfXref& Xref() { return *xref_; }
  TPdfDictionary* CurrentPages() const { return currentPages_; }
  const std::vector<std::unique_ptr<TPdfFont>>& Fonts() const { return fonts_; }

  std::uint16_t DefaultPageWidth() const { return defaultPageWidth_; }
  std::uint16_t DefaultPageHeight() const { return defaultPageHeight_; }
  void SetDefaultPageWidth(std::uint16_t width) { defaultPageWidth_ = width; }
  void SetDefaultPageHeight(std::uint16_t height) { defaultPageHeight_ = height; }
  TPdfCompressionMethod CompressionMethod() const { return compressionMethod_; }
  void SetCompressionMethod(TPdfCompressionMethod method) { compressionMethod_ = method; }
  // Pages added from now on share one resources dictionary, written once
  // instead of once per page: for documents of many pages and few fonts.
  void SetShareResources(bool share) { shareResources_ = share; }
  bool UseOutlines() const { return useOutlines_; }
  void SetUseOutlines(bool use) { useOutlines_ = use; }

 private:
  static constexpr int kHighestMinorVersion = 7;

  TPdfDictionary& NewDictionary();
  std::unique_ptr<TPdfDictionary> NewResources();
  TPdfFont& AddFont(std::unique_ptr<TPdfFont> font);
  void FinishForSave();
  void WriteNamedDestinations();
  void CreateInfo();
  void CreatePageTree();
  void MoveOutFinishedPage();

  bool hasDocument_ = false;
  std::unique_ptr<TPdfCanvas> canvas_;
  // Declared before the xref: the streams that moved their data out are
  // gone before the file they point into.
  std::unique_ptr<TPdfSpillFile> spillFile_;
  bool spillFileTried_ = false;
  std::unique_ptr<TPdfXref> xref_;
  std::unique_ptr<TPdfHeader> header_;
  std::unique_ptr<TPdfTrailer> trailer_;
  TPdfCatalog* root_ = nullptr;
  TPdfInfo* info_ = nullptr;
  TPdfOutlineRoot* outlineRoot_ = nullptr;
  TPdfDictionary* currentPages_ = nullptr;
  std::vector<std::unique_ptr<TPdfFont>> fonts_;
  std::vector<TPdfEmbeddedFont*> embeddedFonts_;
  std::vector<std::unique_ptr<TPdfDictionaryWrapper>> ownedWrappers_;
  std::uint16_t defaultPageWidth_ = kDefaultPageWidth;
  std::uint16_t defaultPageHeight_ = kDefaultPageHeight;
  TPdfCompressionMethod compressionMethod_ = cmNone;
  bool useOutlines_ = false;
  bool shareResources_ = false;
  TPdfDictionary* sharedResources_ = nullptr;  // registered; the xref owns it
  int minorVersion_ = TPdfHeader::kDefaultMinorVersion;
  TPdfNamedDestinations namedDestinations_;
  int imageCount_ = 0;
};

}  // namespace varnolt
