// Destinations: what a destination keyword makes of its group, and what
// happens when such a group ends.
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

void TRVRTFReader::StartDestination(TRVRTFDestinationKeyword keyword, std::int32_t param) {
  using K = TRVRTFDestinationKeyword;
  using D = TRVRTFDestination;
  TRVRTFReaderState& state = State();
  const D current = state.destination;
  switch (keyword) {
    case K::FontTable:
      FlushCollected();
      fonts_.Clear();
      state.destination = D::FontTable;
      break;
    case K::ColorTable:
      colors_.assign(1, kRVRTFAutoColor);
      state.destination = D::ColorTable;
      break;
    case K::StyleSheet:
      styleSheet_.Clear();
      state.destination = D::StyleSheet;
      break;
    case K::Picture:
      StartPicture();
      break;
    case K::ShpPict:
      state.destination = D::ShpPict;
      break;
    case K::NonShpPict:
      state.destination = shpPictInserted_ ? D::Skip : D::Text;
      break;
    case K::Object:
      if (OnNewObject) {
        object_ = std::make_unique<TRVRTFObject>();
        state.destination = D::Object;
      } else {
        state.destination = D::Text;
      }
      break;
    case K::ObjectData:
      if (current == D::Object && object_ != nullptr) {
        state.destination = D::ObjectData;
        objectInserted_ = false;
        pictureNibble_ = -1;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::Result:
      state.destination = objectInserted_ ? D::Skip : D::Text;
      break;
    case K::BookmarkStart:
      EmitWithSync(true);
      bookmarkName_.clear();
      state.destination = D::Bookmark;
      break;
    case K::Field:
      EmitWithSync(true);
      state.destination = D::Field;
      break;
    case K::FieldInstruction:
      if (current == D::Field) {
        state.fieldInstructionText.reset();
        state.skipFieldResult = false;
        pictureInsertedByField_ = false;
        pendingFieldPicture_.reset();
        state.destination = D::FieldInstruction;
      }
      break;
    case K::FieldResult:
      if (state.skipFieldResult) {
        state.skipFieldResult = false;
        state.destination = D::Skip;
      } else {
        state.destination = D::Text;
      }
      break;
    case K::NestTableProps:
      state.destination = D::Text;
      break;
    case K::Header: StartHeaderFooter(rtf_hf_Header, rtf_hfp_All); break;
    case K::HeaderRight: StartHeaderFooter(rtf_hf_Header, rtf_hfp_Right); break;
    case K::HeaderLeft: StartHeaderFooter(rtf_hf_Header, rtf_hfp_Left); break;
    case K::HeaderFirst: StartHeaderFooter(rtf_hf_Header, rtf_hfp_First); break;
    case K::Footer: StartHeaderFooter(rtf_hf_Footer, rtf_hfp_All); break;
    case K::FooterRight: StartHeaderFooter(rtf_hf_Footer, rtf_hfp_Right); break;
    case K::FooterLeft: StartHeaderFooter(rtf_hf_Footer, rtf_hfp_Left); break;
    case K::FooterFirst: StartHeaderFooter(rtf_hf_Footer, rtf_hfp_First); break;
    case K::Footnote:
      StartFootnote();
      break;
    case K::Pn:
      state.destination = D::Pn;
      pnMarker_ = std::make_unique<TRVRTFMarkerProperties>();
      break;
    case K::PnTextAfter:
    case K::PnTextBefore:
      if (current == D::Pn || current == D::PnSectionLevel) {
        markerTextInSection_ = current == D::PnSectionLevel;
        state.destination = keyword == K::PnTextAfter ? D::PnTextAfter : D::PnTextBefore;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::PnSecLvl:
      if (param >= 1 && param <= kRtfMarkerLevelCount) {
        pnSectionLevel_ = param;
        state.destination = D::PnSectionLevel;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::ListTable:
      FlushCollected();
      listTable_.Clear();
      state.destination = D::ListTable;
      break;
    case K::List:
      FlushCollected();
      if (current == D::ListTable && listTable_.Count() < kMaxRTFTableEntries) {
        listTable_.Add();
        state.destination = D::List;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::ListName:
      if (current == D::List) state.destination = D::ListName;
      break;
    case K::ListLevel:
      FlushCollected();
      if (current == D::List && listTable_.Last() != nullptr &&
          listTable_.Last()->levels.size() < static_cast<std::size_t>(kMaxRTFTableEntries)) {
        listTable_.Last()->levels.emplace_back();
        state.destination = D::ListLevel;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::LevelText:
    case K::LevelNumbers:
      if (current == D::ListLevel) {
        state.destination = keyword == K::LevelText ? D::LevelText : D::LevelNumbers;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::ListOverrideTable:
      listOverrides_.Clear();
      state.destination = D::ListOverrideTable;
      break;
    case K::ListOverride:
      if (current == D::ListOverrideTable && listOverrides_.Count() < kMaxRTFTableEntries) {
        listOverrides_.Add();
        state.destination = D::ListOverride;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::LfoLevel:
      if (current == D::ListOverride && listOverrides_.Last() != nullptr &&
          listOverrides_.Last()->levels.size() < static_cast<std::size_t>(kMaxRTFTableEntries)) {
        listOverrides_.Last()->levels.emplace_back();
        state.destination = D::LfoLevel;
      } else {
        state.destination = D::Skip;
      }
      break;
    case K::Upr:
      state.destination = D::Upr;
      break;
    case K::Ud:
      break;
    case K::Skipped:
      state.destination = D::Skip;
      break;
  }
}

void TRVRTFReader::StartHeaderFooter(TRVRTFHeaderFooterType kind, TRVRTFHeaderFooterPages pages) {
  bool supported = false;
  headerFooterPages_ = pages;
  TRVRTFReaderState& state = State();
  // A header holds neither headers nor notes, and notes hold no headers.
  if (OnHeaderFooter && state.headerFooterKind == 0 && !state.inFootnote) {
    // Text before the header belongs to the text that holds it.
    EmitWithSync(false);
    OnHeaderFooter(*this, kind, true, supported);
  }
  if (!supported) {
    state.destination = TRVRTFDestination::Skip;
    return;
  }
  // Only a header the client took is announced as ending.
  state.headerFooterKind = kind;
  state.paraProps.inTable = false;
  state.paraProps.nestingLevel = 0;
  positionBeforeHeaderFooter_ = position_;
  position_ = rtf_ts_NewPara;
  openTableLevelBeforeHeaderFooter_ = openTableLevel_;
  openTableLevel_ = 0;
}

void TRVRTFReader::CloseHeaderFooter(TRVRTFHeaderFooterType kind) {
  SyncTables(true);
  for (; openTableLevel_ > 0; --openTableLevel_) RaiseTable(rvf_tbl_TableForcedEnd);
  bool supported = true;
  OnHeaderFooter(*this, kind, false, supported);
  openTableLevel_ = openTableLevelBeforeHeaderFooter_;
  position_ = positionBeforeHeaderFooter_;
}

void TRVRTFReader::StartFootnote() {
  TRVRTFReaderState& state = State();
  if (!OnNote || state.inFootnote || state.headerFooterKind != 0) {
    state.destination = TRVRTFDestination::Skip;
    return;
  }
  // Text before the footnote belongs to the paragraph that holds it.
  Emit(Break::None);
  OnNote(*this, rtf_ne_Start, position_);
  positionBeforeFootnote_ = position_;
  position_ = rtf_ts_NewPara;
  state.destination = TRVRTFDestination::Text;
  state.paraProps.inTable = false;
  state.paraProps.nestingLevel = 0;
  state.inFootnote = true;
  openTableLevelBeforeFootnote_ = openTableLevel_;
  openTableLevel_ = 0;
}

void TRVRTFReader::EndDestination(TRVRTFDestination destination) {
  switch (destination) {
    case TRVRTFDestination::FontTable:
      RemoveCharsetSuffixes(fonts_);
      // Text before any \f is in the default font, now that it can be found.
      if (stack_.size() > 1) EnclosingState().charProps.fontIndex = DefaultFontIndex();
      break;
    case TRVRTFDestination::Picture:
      DeliverPicture();
      break;
    case TRVRTFDestination::Object:
      object_.reset();
      break;
    case TRVRTFDestination::ObjectData:
      DeliverObject();
      break;
    case TRVRTFDestination::Bookmark:
      if (OnBookmarkStart) OnBookmarkStart(*this, bookmarkName_);
      bookmarkName_.clear();
      break;
    case TRVRTFDestination::Field:
      DeliverPendingFieldPicture();
      pictureInsertedByField_ = false;
      pendingFieldPicture_.reset();
      break;
    case TRVRTFDestination::FieldInstruction:
      InterpretFieldInstruction();
      break;
    case TRVRTFDestination::LevelText:
      EndLevelText();
      break;
    case TRVRTFDestination::LevelNumbers:
      EndLevelNumbers();
      break;
    default:
      break;
  }
}

void TRVRTFReader::CloseFootnote() {
  for (; openTableLevel_ > 0; --openTableLevel_) RaiseTable(rvf_tbl_TableForcedEnd);
  openTableLevel_ = openTableLevelBeforeFootnote_;
  if (OnNote) OnNote(*this, rtf_ne_End, position_);
  position_ = positionBeforeFootnote_;
}

}  // namespace varnolt
