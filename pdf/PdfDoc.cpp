#include "pdf/PdfDoc.h"

#include <algorithm>
#include <array>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfClassRegistry.h"
#include "pdf/PdfEmbeddedFont.h"
#include "pdf/PdfFonts.h"
#include "platform/Version.h"

namespace varnolt {

namespace {

constexpr std::u16string_view kProducer = u"Varnolt " VARNOLT_VERSION;

constexpr std::array<std::u16string_view, 4> kPageLayoutNames = {u"SinglePage", u"OneColumn", u"TwoColumnLeft",
                                                                 u"TwoColumnRight"};
constexpr std::array<std::u16string_view, 4> kPageModeNames = {u"UseNone", u"UseOutlines", u"UseThumbs",
                                                               u"FullScreen"};
struct ViewerPreferenceKey {
  TPdfViewerPreference member;
  std::u16string_view key;
};
constexpr ViewerPreferenceKey kViewerPreferenceKeys[] = {
    {vpHideToolbar, u"HideToolbar"}, {vpHideMenubar, u"HideMenubar"},   {vpHideWindowUI, u"HideWindowUI"},
    {vpFitWindow, u"FitWindow"},     {vpCenterWindow, u"CenterWindow"},
};

template <class Wrapper>
Wrapper& Adopt(std::vector<std::unique_ptr<TPdfDictionaryWrapper>>& owned, TPdfDictionary& dictionary) {
  auto wrapper = std::make_unique<Wrapper>();
  wrapper->Wrap(dictionary);
  Wrapper& result = *wrapper;
  owned.push_back(std::move(wrapper));
  return result;
}

std::u16string Ascii16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::u16string_view PageLayoutName(TPdfPageLayout layout) { return kPageLayoutNames.at(layout); }
std::u16string_view PageModeName(TPdfPageMode mode) { return kPageModeNames.at(mode); }

// ---------------------------------------------------------------- wrappers

void TPdfInfo::PutText(std::u16string_view key, std::u16string value) {
  Dictionary().Put(key, std::make_unique<TPdfText>(std::move(value)));
}

void TPdfCatalog::SetPages(TPdfDictionary& pages) {
  if (pages.TypeName() == u"Pages") Dictionary().Put(u"Pages", pages);
}

void TPdfCatalog::SetNameInPlace(std::u16string_view key, std::u16string_view name) {
  if (TPdfName* existing = Dictionary().LookupName(key)) {
    existing->SetValue(std::u16string(name));
  } else {
    Dictionary().PutName(key, std::u16string(name));
  }
}

TPdfDictionary& TPdfCatalog::ViewerPreferences() {
  if (TPdfDictionary* existing = Dictionary().LookupDictionary(u"ViewerPreferences")) return *existing;
  return Dictionary().Put(u"ViewerPreferences", std::make_unique<TPdfDictionary>(Dictionary().Xref()));
}

void TPdfCatalog::SetNonFullScreenPageMode(TPdfPageMode mode) {
  TPdfDictionary& preferences = ViewerPreferences();
  if (mode == pmUseOutlines || mode == pmUseThumbs) {
    preferences.PutName(u"NonFullScreenPageMode", std::u16string(PageModeName(mode)));
  } else {
    preferences.Remove(u"NonFullScreenPageMode");
  }
}

void TPdfCatalog::SetViewerPreference(TPdfViewerPreferences preferences) {
  TPdfDictionary* dictionary = Dictionary().LookupDictionary(u"ViewerPreferences");
  if (dictionary == nullptr && !preferences.Empty()) dictionary = &ViewerPreferences();
  if (dictionary == nullptr) return;
  for (const ViewerPreferenceKey& entry : kViewerPreferenceKeys) {
    if (preferences.Contains(entry.member)) {
      dictionary->Put(entry.key, std::make_unique<TPdfBoolean>(true));
    } else {
      dictionary->Remove(entry.key);
    }
  }
}

// ---------------------------------------------------------------- document

TPdfDoc::TPdfDoc() : canvas_(std::make_unique<TPdfCanvas>(*this)) {}

TPdfDoc::~TPdfDoc() { ReleaseDocument(); }

TPdfDictionary& TPdfDoc::NewDictionary() { return xref_->AddObject(std::make_unique<TPdfDictionary>(xref_.get())); }

void TPdfDoc::StartDocument() {
  ReleaseDocument();
  xref_ = std::make_unique<TPdfXref>();
  header_ = std::make_unique<TPdfHeader>();
  trailer_ = std::make_unique<TPdfTrailer>(xref_.get());

  TPdfDictionary& catalog = NewDictionary();
  catalog.PutName(u"Type", u"Catalog");
  trailer_->Dictionary().Put(u"Root", catalog);
  root_ = &Adopt<TPdfCatalog>(ownedWrappers_, catalog);

  if (useOutlines_) {
    TPdfDictionary& outlines = NewDictionary();
    outlines.PutName(u"Type", u"Outlines");
    outlineRoot_ = &Adopt<TPdfOutlineRoot>(ownedWrappers_, outlines);
    catalog.Put(u"Outlines", outlines);
  }
  CreateInfo();
  CreatePageTree();
  hasDocument_ = true;
}

void TPdfDoc::CreateInfo() {
  TPdfDictionary& info = NewDictionary();
  info.Put(u"Producer", std::make_unique<TPdfText>(std::u16string(kProducer)));
  trailer_->Dictionary().Put(u"Info", info);
  info_ = &Adopt<TPdfInfo>(ownedWrappers_, info);
  info_->SetCreationDate(Now());
}

void TPdfDoc::CreatePageTree() {
  TPdfDictionary& pages = NewDictionary();
  pages.PutName(u"Type", u"Pages");
  pages.Put(u"Kids", std::make_unique<TPdfArray>(xref_.get()));
  pages.PutNumber(u"Count", 0);
  root_->SetPages(pages);
  currentPages_ = &pages;
}

void TPdfDoc::StartDocumentWithPage() {
  StartDocument();
  AddPage();
  canvas_->SetSilent(true);
}

std::unique_ptr<TPdfDictionary> TPdfDoc::NewResources() {
  auto resources = std::make_unique<TPdfDictionary>(xref_.get());
  resources->Put(u"Font", std::make_unique<TPdfDictionary>(xref_.get()));
  resources->Put(u"XObject", std::make_unique<TPdfDictionary>(xref_.get()));
  auto procSet = std::make_unique<TPdfArray>(xref_.get());
  for (std::u16string_view name : {u"PDF", u"Text", u"ImageC"}) {
    procSet->Append(std::make_unique<TPdfName>(std::u16string(name)));
  }
  resources->Put(u"ProcSet", std::move(procSet));
  return resources;
}

void TPdfDoc::AddPage() {
  if (currentPages_ == nullptr) throw EPdfInvalidOperation("AddPage --current pages null.");
  MoveOutFinishedPage();
  TPdfDictionary& page = NewDictionary();
  TPdfArray* kids = currentPages_->LookupArray(u"Kids");
  kids->Append(page);
  currentPages_->PutNumber(u"Count", static_cast<std::int32_t>(kids->Count()));

  page.PutName(u"Type", u"Page");
  page.Put(u"Parent", *currentPages_);
  page.Put(u"MediaBox", TPdfArray::CreateNumberArray(xref_.get(), {0, 0, defaultPageWidth_, defaultPageHeight_}));
  if (!shareResources_) {
    page.Put(u"Resources", NewResources());
  } else {
    if (sharedResources_ == nullptr) sharedResources_ = &xref_->AddObject(NewResources());
    page.Put(u"Resources", *sharedResources_);
  }
  page.Put(u"Contents", xref_->AddObject(std::make_unique<TPdfStream>(xref_.get())));
  canvas_->AttachPage(page);
}

void TPdfDoc::MoveOutFinishedPage() {
  TPdfStream* finished = canvas_->Contents();
  if (finished == nullptr || canvas_->Silent()) return;
  if (!spillFile_ && !spillFileTried_) {
    spillFileTried_ = true;
    spillFile_ = TPdfSpillFile::OpenTemporary();
  }
  if (spillFile_) finished->MoveDataTo(*spillFile_);
}

void TPdfDoc::SaveToStream(OutputStream& stream) {
  if (!hasDocument_) throw EPdfInvalidOperation("SaveToStream --there is no document to save.");
  canvas_->GetPage();
  FinishForSave();
  GetInfo().SetModDate(Now());
  root_->RemoveOpenAction();
  if (outlineRoot_ != nullptr) outlineRoot_->Save();
  WriteNamedDestinations();
  header_->SetMinorVersion(minorVersion_);

  stream.Restart();
  header_->WriteTo(stream);
  for (std::int32_t number = 1; number < xref_->Count(); ++number) {
    TPdfXrefEntry& entry = xref_->Entry(number);
    std::int64_t offset = stream.Position();
    entry.Value->WriteIndirect(stream);
    entry.Offset = offset;
  }
  trailer_->SetXrefOffset(stream.Position());
  xref_->WriteTo(stream);
  trailer_->Dictionary().LookupNumber(u"Size")->SetValue(xref_->Count());
  trailer_->WriteTo(stream);
}

void TPdfDoc::FinishForSave() {
  for (const auto& font : fonts_) font->Finish(compressionMethod_);
  const bool deflated = compressionMethod_ == cmFlateDecode;
  TPdfArray* kids = currentPages_->LookupArray(u"Kids");
  for (std::size_t i = 0; kids != nullptr && i < kids->Count(); ++i) {
    auto* page = dynamic_cast<TPdfDictionary*>(kids->GetItem(i));
    auto* contents = page != nullptr ? dynamic_cast<TPdfStream*>(page->Lookup(u"Contents")) : nullptr;
    if (contents != nullptr) contents->SetDeflated(deflated);
  }
}

void TPdfDoc::ReleaseDocument() {
  if (!hasDocument_) return;
  canvas_->Detach();
  embeddedFonts_.clear();
  while (!fonts_.empty()) fonts_.pop_back();
  while (!ownedWrappers_.empty()) ownedWrappers_.pop_back();
  xref_.reset();
  spillFile_.reset();
  spillFileTried_ = false;
  header_.reset();
  trailer_.reset();
  info_ = nullptr;
  root_ = nullptr;
  outlineRoot_ = nullptr;
  currentPages_ = nullptr;
  namedDestinations_.Clear();
  sharedResources_ = nullptr;
  imageCount_ = 0;
  minorVersion_ = TPdfHeader::kDefaultMinorVersion;
  hasDocument_ = false;
}

TPdfCanvas& TPdfDoc::GetCanvas() {
  if (!hasDocument_) throw EPdfInvalidOperation("GetCanvas --Document is null");
  return *canvas_;
}

TPdfInfo& TPdfDoc::GetInfo() {
  if (!hasDocument_) throw EPdfInvalidOperation("GetInfo --this method can not use this state..");
  if (info_ == nullptr) CreateInfo();
  return *info_;
}

TPdfCatalog& TPdfDoc::GetRoot() {
  if (!hasDocument_) throw EPdfInvalidOperation("GetRoot --this method can not use this state..");
  return *root_;
}

TPdfOutlineRoot& TPdfDoc::GetOutlineRoot() {
  if (!hasDocument_) throw EPdfInvalidOperation("GetOutlineRoot --document is null..");
  if (!useOutlines_ || outlineRoot_ == nullptr) throw EPdfInvalidOperation("GetOutlineRoot --not use outline mode..");
  return *outlineRoot_;
}

TPdfFont& TPdfDoc::GetFont(std::u16string_view name) {
  if (!hasDocument_) throw EPdfInvalidOperation("GetFont --document is null.");
  for (const auto& font : fonts_) {
    if (font->RegistryName() == name) return *font;
  }
  return CreateFont(name);
}

TPdfFont& TPdfDoc::CreateFont(std::u16string_view name) {
  if (!hasDocument_) throw EPdfInvalidOperation("CreateFont --document is null.");
  const TPdfFontClass& fontClass = PdfClassRegistry().FindFontClass(name);
  return AddFont(fontClass.Create(*xref_, std::u16string(name)));
}

TPdfFont& TPdfDoc::AddFont(std::unique_ptr<TPdfFont> font) {
  font->Dictionary().PutName(u"Name", u"F" + Ascii16(std::to_string(fonts_.size())));
  fonts_.push_back(std::move(font));
  return *fonts_.back();
}

TPdfEmbeddedFont& TPdfDoc::GetEmbeddedFont(const TPdfFontFace& face) {
  if (!hasDocument_) throw EPdfInvalidOperation("GetEmbeddedFont --document is null.");
  for (TPdfEmbeddedFont* font : embeddedFonts_) {
    if (font->Face() == face) return *font;
  }
  // The registry name only has to be unique among the document's fonts, so
  // that the canvas finds the font again by it when it comes back to a page.
  std::u16string name = Ascii16(face.File + "#" + std::to_string(face.Index));
  auto& font = static_cast<TPdfEmbeddedFont&>(AddFont(std::make_unique<TPdfEmbeddedFont>(*xref_, name, face)));
  embeddedFonts_.push_back(&font);
  return font;
}

TPdfImage& TPdfDoc::AddImage(std::unique_ptr<TPdfImage> image) {
  if (!hasDocument_) throw EPdfInvalidOperation("AddImage --document is null.");
  if (image == nullptr) throw EPdfInvalidValue("AddImage --image is null.");
  image->Dictionary().PutName(u"Name", u"Im" + Ascii16(std::to_string(imageCount_++)));
  return xref_->AddObject(std::move(image));
}

bool TPdfDoc::OwnsImage(const TPdfImage& image) const {
  return hasDocument_ && image.Kind() == okIndirect && xref_->ObjectByNumber(image.ObjectNumber()) == &image;
}

void TPdfDoc::RequireVersion(int minor) {
  if (minor < 0 || minor > kHighestMinorVersion) throw EPdfInvalidValue("RequireVersion --invalid version");
  minorVersion_ = std::max(minorVersion_, minor);
}

void TPdfDoc::WriteNamedDestinations() {
  if (namedDestinations_.Empty()) return;
  auto names = std::make_unique<TPdfDictionary>(xref_.get());
  names->Put(u"Dests", namedDestinations_.NameTree(*xref_));
  root_->Dictionary().Put(u"Names", std::move(names));
}

}  // namespace varnolt
