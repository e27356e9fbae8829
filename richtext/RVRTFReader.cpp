#include "richtext/RVRTFReader.h"

#include <algorithm>
#include <cmath>

#include "platform/Screen.h"
#include "richtext/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

// Smaller inputs finish too fast for progress reports to mean anything.
constexpr std::int64_t kProgressThreshold = 20480;

TRVRTFPosition PositionAfter(int kind) {
  switch (kind) {
    case 1: return rtf_ts_NewLine;
    case 2: return rtf_ts_NewPara;
    default: return rtf_ts_ContinuePara;
  }
}

}  // namespace

const TRVUnicodeString& TRVRTFReaderState::FieldInstruction() const {
  static const TRVUnicodeString kNone;
  return fieldInstructionText ? *fieldInstructionText : kNone;
}

TRVUnicodeString& TRVRTFReaderState::MutableFieldInstruction() {
  if (!fieldInstructionText) {
    fieldInstructionText = std::make_shared<TRVUnicodeString>();
  } else if (fieldInstructionText.use_count() > 1) {
    fieldInstructionText = std::make_shared<TRVUnicodeString>(*fieldInstructionText);
  }
  return *fieldInstructionText;
}

TRVRTFReader::TRVRTFReader() { Reset(); }

TRVRTFReader::~TRVRTFReader() = default;

void TRVRTFReader::Reset() {
  stack_.clear();
  stack_.emplace_back();
  pendingText_.clear();
  pendingUnicode_.clear();
  position_ = rtf_ts_NewPara;
  codePage_ = DefCodePage;
  skipCount_ = 0;
  openTableLevel_ = 0;
  openTableLevelBeforeFootnote_ = 0;
  positionBeforeFootnote_ = rtf_ts_ContinuePara;
  binaryRemaining_ = 0;
  hexValue_ = 0;
  hexPhase_ = 0;
  pictureNibble_ = -1;
  ignorableDestination_ = false;
  picture_.reset();
  object_.reset();
  pnMarker_.reset();
  pnSectionLevel_ = 0;
  markerTextInSection_ = false;
  shpPictInserted_ = false;
  objectInserted_ = false;
  bookmarkName_.clear();
  pictureInsertedByField_ = false;
  pendingFieldPicture_.reset();
  defaultFontNumber_ = 0;
  resolvedDefaultFontIndex_ = -1;
  collector_ = Collector{};
  fonts_.Clear();
  colors_.clear();
  styleSheet_.Clear();
  listTable_.Clear();
  listOverrides_.Clear();
  if (PixelsPerInch <= 0) PixelsPerInch = kScreenPixelsPerInch;
}

std::uint8_t TRVRTFReader::ParseStream(std::istream& stream) {
  std::uint8_t result = kRtfInternalError;
  progressStarted_ = false;
  try {
    Reset();
    input_.Open(stream, [this] { ReportProgress(); });
    if (OnProgress && input_.Size() > kProgressThreshold) {
      progressStarted_ = true;
      OnProgress(*this, rvprtfprStarting, 0);
    }
    result = Parse();
  } catch (const ParseStop& stop) {
    result = stop.result;
  } catch (const HandlerFailure&) {
    result = kRtfHandlerError;
  } catch (...) {
    result = kRtfInternalError;
  }
  if (progressStarted_) {
    try {
      OnProgress(*this, rvprtfprEnding, 0);
    } catch (...) {
      // The parse is over; its result already says how it went.
    }
  }
  input_.Close();
  collector_ = Collector{};
  picture_.reset();
  object_.reset();
  pnMarker_.reset();
  pendingFieldPicture_.reset();
  return result;
}

void TRVRTFReader::ReportProgress() {
  if (!progressStarted_ || input_.Size() <= 0) return;
  const double percent = std::nearbyint(static_cast<double>(input_.Position()) * 100.0 / input_.Size());
  OnProgress(*this, rvprtfprRunning, static_cast<std::uint8_t>(std::clamp(percent, 0.0, 100.0)));
}

std::uint8_t TRVRTFReader::Parse() {
  for (;;) {
    const int byte = input_.Next();
    if (byte < 0) return Finish();
    TRVRTFReaderState& state = State();
    if (state.inputMode == TRVRTFInputMode::Binary) {
      DeliverByte(static_cast<std::uint8_t>(byte));
      continue;
    }
    switch (byte) {
      case '\r':
      case '\n':
        break;
      case '\\':
        HandleControlWord();
        break;
      case '{':
        skipCount_ = 0;
        OpenGroup();
        break;
      case '}':
        skipCount_ = 0;
        CloseGroup();
        if (Depth() == 0) return Finish();
        break;
      default:
        if (state.inputMode == TRVRTFInputMode::Hex) {
          HandleHexModeByte(byte);
        } else if (skipCount_ > 0) {
          --skipCount_;
        } else if (state.destination == TRVRTFDestination::Text && IsPlainTextByte(byte, TabAsSeparateText)) {
          TakePlainTextRun(static_cast<std::uint8_t>(byte));
        } else {
          DeliverByte(static_cast<std::uint8_t>(byte));
        }
    }
  }
}

std::uint8_t TRVRTFReader::Finish() {
  if (Depth() == 0 && (!pendingText_.empty() || !pendingUnicode_.empty())) Emit(Break::None);
  RaiseUpdateMarker();
  for (; openTableLevel_ > 0; --openTableLevel_) RaiseTable(rvf_tbl_TableForcedEnd);
  if (!colors_.empty()) colors_.pop_back();
  return Depth() > 0 ? kRtfUnexpectedEnd : kRtfOk;
}

void TRVRTFReader::HandleHexModeByte(int byte) {
  const int digit = HexDigitValue(byte);
  if (digit < 0) throw ParseStop{kRtfBadHex};
  hexValue_ = hexValue_ * 16 + digit;
  if (++hexPhase_ < 2) return;
  State().inputMode = TRVRTFInputMode::Normal;
  const auto value = static_cast<std::uint8_t>(hexValue_);
  hexValue_ = 0;
  hexPhase_ = 0;
  DropOrDeliver(value);
}

// Plain bytes of the text destination are taken straight from the input
// block; nothing between them can change the state.
void TRVRTFReader::TakePlainTextRun(std::uint8_t first) {
  SyncTables(true);
  if (!pendingUnicode_.empty()) Emit(Break::None);
  pendingText_.push_back(static_cast<char>(first));
  std::size_t available = 0;
  const char* bytes = input_.Available(available);
  std::size_t count = 0;
  while (count < available && IsPlainTextByte(static_cast<unsigned char>(bytes[count]), TabAsSeparateText)) ++count;
  pendingText_.append(bytes, count);
  input_.Skip(count);
}

void TRVRTFReader::OpenGroup() {
  if (Depth() >= kMaxRTFGroupDepth) throw ParseStop{kRtfTooDeep};
  FlushCollected();
  stack_.push_back(stack_.back());
  TRVRTFReaderState& state = State();
  state.inputMode = TRVRTFInputMode::Normal;
  if (state.destination == TRVRTFDestination::StyleSheet) {
    if (styleSheet_.Count() < kMaxRTFTableEntries) {
      styleSheet_.Add();
      state.destination = TRVRTFDestination::StyleSheetEntry;
    } else {
      state.destination = TRVRTFDestination::Skip;
    }
  }
}

void TRVRTFReader::CloseGroup() {
  if (Depth() == 0) throw ParseStop{kRtfUnmatchedClose};
  FlushCollected();
  const TRVRTFDestination destination = State().destination;
  const bool outermost = Depth() == 1;
  // The last run belongs before the end of the document is announced.
  if (outermost && destination == TRVRTFDestination::Text) Emit(Break::None);
  if (outermost) {
    RaiseUpdateMarker();
    if (OnEndParsing) OnEndParsing(*this);
  }
  if (destination == TRVRTFDestination::StyleSheetEntry &&
      EnclosingState().destination == TRVRTFDestination::StyleSheet) {
    if (TRVRTFStyleSheetEntry* entry = styleSheet_.Last()) {
      entry->paraProps = State().paraProps;
      entry->charProps = State().charProps;
    }
  }
  if (destination == TRVRTFDestination::FieldInstruction) {
    EnclosingState().fieldInstructionText = State().fieldInstructionText;
    EnclosingState().skipFieldResult = State().skipFieldResult;
  }
  if (destination == TRVRTFDestination::PnSectionLevel || destination == TRVRTFDestination::PnTextAfter ||
      destination == TRVRTFDestination::PnTextBefore) {
    // A section's level settings outlive the group that gives them.
    EnclosingState().sectProps.defaultMarkers = State().sectProps.defaultMarkers;
  }
  if (destination == TRVRTFDestination::Text) Emit(Break::None);
  if (destination != EnclosingState().destination) EndDestination(destination);
  const std::uint8_t headerFooter = State().headerFooterKind;
  if (headerFooter != 0 && headerFooter != EnclosingState().headerFooterKind && OnHeaderFooter) {
    SyncTables(true);
    bool supported = true;
    OnHeaderFooter(*this, static_cast<TRVRTFHeaderFooterType>(headerFooter), false, supported);
  }
  const bool leavesFootnote = State().inFootnote && !EnclosingState().inFootnote;
  stack_.pop_back();
  if (leavesFootnote) CloseFootnote();
  if (destination == TRVRTFDestination::Pn && State().destination != TRVRTFDestination::Pn && pnMarker_) {
    State().paraProps.marker = *pnMarker_;
  }
}

void TRVRTFReader::CloseFootnote() {
  for (; openTableLevel_ > 0; --openTableLevel_) RaiseTable(rvf_tbl_TableForcedEnd);
  openTableLevel_ = openTableLevelBeforeFootnote_;
  if (OnNote) OnNote(*this, rtf_ne_End, position_);
  position_ = positionBeforeFootnote_;
}

void TRVRTFReader::HandleControlWord() {
  if (!ReadRTFControlWord(input_, word_)) throw ParseStop{kRtfEndAfterBackslash};
  Dispatch(word_);
}

void TRVRTFReader::Dispatch(const TRVRTFControlWord& word) {
  if (OnTranslateKeyword) {
    TRVAnsiString text;
    bool doDefault = true;
    OnTranslateKeyword(*this, TRVAnsiString(word.Keyword()), word.hasParam ? word.param : 0, word.hasParam, text,
                       doDefault);
    for (char byte : text) DeliverByte(static_cast<std::uint8_t>(byte));
    if (!doDefault) return;
  }
  const TRVRTFsymbol* symbol = FindRTFKeyword(word.Keyword());
  TRVRTFReaderState& state = State();
  if (symbol == nullptr) {
    if (ignorableDestination_) state.destination = TRVRTFDestination::Skip;
    ignorableDestination_ = false;
    return;
  }
  ignorableDestination_ = false;
  if (state.destination == TRVRTFDestination::Skip || state.destination == TRVRTFDestination::Upr) {
    // Inside a skipped group nothing acts but "bin", whose bytes must still be stepped over.
    if (symbol->kind == TRVRTFKeywordKind::Special &&
        static_cast<TRVRTFSpecialKeyword>(symbol->arg) == TRVRTFSpecialKeyword::Binary) {
      HandleSpecial(TRVRTFSpecialKeyword::Binary, word);
    } else if (state.destination == TRVRTFDestination::Upr && symbol->kind == TRVRTFKeywordKind::Destination &&
               static_cast<TRVRTFDestinationKeyword>(symbol->arg) == TRVRTFDestinationKeyword::Ud) {
      state.destination = TRVRTFDestination::Text;
    }
    return;
  }
  switch (symbol->kind) {
    case TRVRTFKeywordKind::Character:
      DropOrDeliver(static_cast<std::uint8_t>(symbol->defaultValue));
      break;
    case TRVRTFKeywordKind::UnicodeCharacter:
      HandleUnicodeKeyword(symbol->unicode, static_cast<std::uint8_t>(symbol->defaultValue));
      break;
    case TRVRTFKeywordKind::Destination:
      StartDestination(static_cast<TRVRTFDestinationKeyword>(symbol->arg), word.hasParam ? word.param : 0);
      break;
    case TRVRTFKeywordKind::Property: {
      const std::int32_t value = symbol->useDefault || !word.hasParam ? symbol->defaultValue : word.param;
      if (symbol->group == TRVRTFPropertyGroup::Character && state.destination == TRVRTFDestination::Text) {
        EmitWithSync(false);
      }
      ApplyProperty(*symbol, value);
      break;
    }
    case TRVRTFKeywordKind::Special:
      HandleSpecial(static_cast<TRVRTFSpecialKeyword>(symbol->arg), word);
      break;
  }
}

void TRVRTFReader::HandleSpecial(TRVRTFSpecialKeyword special, const TRVRTFControlWord& word) {
  switch (special) {
    case TRVRTFSpecialKeyword::Binary:
      if (word.hasParam && word.param > 0) {
        binaryRemaining_ = word.param;
        State().inputMode = TRVRTFInputMode::Binary;
      }
      break;
    case TRVRTFSpecialKeyword::HexByte:
      State().inputMode = TRVRTFInputMode::Hex;
      hexValue_ = 0;
      hexPhase_ = 0;
      break;
    case TRVRTFSpecialKeyword::Ignorable:
      ignorableDestination_ = true;
      break;
  }
}

void TRVRTFReader::DropOrDeliver(std::uint8_t byte) {
  if (skipCount_ > 0) {
    --skipCount_;
  } else {
    DeliverByte(byte);
  }
}

void TRVRTFReader::DeliverByte(std::uint8_t byte) {
  TRVRTFReaderState& state = State();
  const bool binary = state.inputMode == TRVRTFInputMode::Binary;
  if (binary && --binaryRemaining_ <= 0) state.inputMode = TRVRTFInputMode::Normal;
  switch (state.destination) {
    case TRVRTFDestination::Text:
      if (byte == 10 || byte == 13) RaiseUpdateMarker();
      PutTextByte(byte);
      if (byte == 10 || byte == 13) RaiseUpdateMarker();
      break;
    case TRVRTFDestination::FontTable:
      if (byte != ';') {
        if (TRVRTFFont* font = fonts_.Last()) Collect(font->name, FontNameCodePage(*font), byte);
      }
      break;
    case TRVRTFDestination::ColorTable:
      if (byte == ';' && colors_.size() < kMaxRTFTableEntries) colors_.push_back(kRVRTFAutoColor);
      break;
    case TRVRTFDestination::StyleSheetEntry:
      if (byte != ';') {
        if (TRVRTFStyleSheetEntry* entry = styleSheet_.Last()) entry->name.push_back(static_cast<char>(byte));
      }
      break;
    case TRVRTFDestination::Picture:
      if (picture_ == nullptr) break;
      if (binary) {
        const char raw = static_cast<char>(byte);
        picture_->WriteData(&raw, 1);
      } else if (HexDigitValue(byte) >= 0) {
        ReadPictureHex(byte);
      }
      break;
    case TRVRTFDestination::ObjectData:
      if (object_ == nullptr) break;
      if (binary) {
        object_->data.push_back(static_cast<char>(byte));
      } else {
        PutObjectHex(byte);
      }
      break;
    case TRVRTFDestination::Bookmark:
      Collect(bookmarkName_, FontCodePage(), byte);
      break;
    case TRVRTFDestination::FieldInstruction:
      // Bytes still waiting belong to the instruction as it is before a copy is made.
      if (state.fieldInstructionText.use_count() > 1) FlushCollected();
      Collect(state.MutableFieldInstruction(), FontCodePage(), byte);
      break;
    case TRVRTFDestination::LevelText:
      if (TRVRTFListLevel97* level = CurrentLevel()) Collect(level->text, FontCodePage(), byte);
      break;
    case TRVRTFDestination::PnTextAfter:
    case TRVRTFDestination::PnTextBefore:
      if (TRVRTFMarkerProperties* marker = EditedMarker()) {
        TRVAnsiString& text =
            state.destination == TRVRTFDestination::PnTextAfter ? marker->textAfter : marker->textBefore;
        if (text.size() < kMaxRTFMarkerTextLength) text.push_back(static_cast<char>(byte));
      }
      break;
    case TRVRTFDestination::ListName:
      if (TRVRTFList97* list = listTable_.Last(); list != nullptr && byte != ';') {
        list->name.push_back(static_cast<char>(byte));
      }
      break;
    case TRVRTFDestination::LevelNumbers:
      if (TRVRTFListLevel97* level = CurrentLevel()) level->numbers.push_back(static_cast<char>(byte));
      break;
    default:
      break;
  }
}

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
    case K::Header:
      StartHeaderFooter(1);
      break;
    case K::Footer:
      StartHeaderFooter(2);
      break;
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

void TRVRTFReader::StartHeaderFooter(std::uint8_t kind) {
  bool supported = false;
  if (OnHeaderFooter) OnHeaderFooter(*this, static_cast<TRVRTFHeaderFooterType>(kind), true, supported);
  // Only a header the client took is announced as ending.
  if (supported) {
    State().headerFooterKind = kind;
  } else {
    State().destination = TRVRTFDestination::Skip;
  }
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

void TRVRTFReader::PutTextByte(std::uint8_t byte) {
  SyncTables(true);
  if (TabAsSeparateText && byte == '\t') {
    Emit(Break::None);
    pendingText_.push_back('\t');
    Emit(Break::None);
    return;
  }
  switch (byte) {
    case 0: Emit(Break::None); return;
    case 13: Emit(Break::Line); return;
    case 10: Emit(Break::Paragraph); return;
    default: break;
  }
  if (!pendingUnicode_.empty()) Emit(Break::None);
  pendingText_.push_back(static_cast<char>(byte));
}

void TRVRTFReader::PutTextUnicode(char16_t unit) {
  SyncTables(true);
  if (!pendingText_.empty()) Emit(Break::None);
  pendingUnicode_.push_back(unit);
}

void TRVRTFReader::EmitWithSync(bool allowClose) {
  SyncTables(allowClose);
  Emit(Break::None);
}

void TRVRTFReader::Emit(Break kind, bool forceEmptyRun) {
  const bool hasText = !pendingText_.empty() || !pendingUnicode_.empty();
  if (!hasText && !forceEmptyRun) {
    if (position_ == rtf_ts_ContinuePara) {
      position_ = PositionAfter(static_cast<int>(kind));
      return;
    }
    if (kind == Break::None) return;
  }
  SendRun();
  position_ = PositionAfter(static_cast<int>(kind));
}

void TRVRTFReader::SendRun() {
  FinalizeParagraph();
  if (OnNewUnicodeText && !pendingUnicode_.empty()) {
    CallContentHandler([&] { OnNewUnicodeText(*this, pendingUnicode_, position_); });
  } else if (OnNewText) {
    TranslateCharsetBytes(pendingText_);
    CallContentHandler([&] { OnNewText(*this, pendingText_, position_); });
  }
  pendingText_.clear();
  pendingUnicode_.clear();
}

void TRVRTFReader::HandleUnicodeKeyword(char16_t unit, std::uint8_t fallback) {
  if (skipCount_ > 0) {
    --skipCount_;
  } else if (State().destination == TRVRTFDestination::Text && OnNewUnicodeText) {
    PutTextUnicode(unit);
  } else {
    DeliverByte(fallback);
  }
}

void TRVRTFReader::HandleUnicodeChar(std::int32_t param) {
  const auto unit = static_cast<char16_t>(static_cast<std::uint16_t>(param));
  TRVRTFReaderState& state = State();
  switch (state.destination) {
    case TRVRTFDestination::Text:
      if (!OnNewUnicodeText) return;
      PutTextUnicode(unit);
      break;
    case TRVRTFDestination::FontTable:
      if (TRVRTFFont* font = fonts_.Last()) CollectUnit(font->name, unit);
      break;
    case TRVRTFDestination::Bookmark:
      CollectUnit(bookmarkName_, unit);
      break;
    case TRVRTFDestination::FieldInstruction:
      FlushCollected();
      CollectUnit(state.MutableFieldInstruction(), unit);
      break;
    case TRVRTFDestination::LevelText:
      if (TRVRTFListLevel97* level = CurrentLevel()) {
        CollectUnit(level->text, unit);
        level->textHasUnicode = true;
      }
      break;
    case TRVRTFDestination::PnTextAfter:
    case TRVRTFDestination::PnTextBefore:
      PutMarkerTextUnicode(unit);
      break;
    default:
      if (state.unicodeSkip > 0) {
        for (char byte : UnicodeToAnsi(codePage_, std::u16string_view(&unit, 1))) {
          DeliverByte(static_cast<std::uint8_t>(byte));
        }
      }
      break;
  }
  skipCount_ = State().unicodeSkip;
}

void TRVRTFReader::RaiseUpdateMarker() {
  PrepareMarkerForUpdate();
  if (OnUpdateMarker) OnUpdateMarker(*this);
}

}  // namespace varnolt
