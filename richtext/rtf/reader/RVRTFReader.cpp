#include "richtext/rtf/reader/RVRTFReader.h"

#include <algorithm>
#include <cmath>

#include "platform/Screen.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

// Smaller inputs finish too fast for progress reports to mean anything.
constexpr std::int64_t kProgressThreshold = 20480;

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
  runJoinsKinds_.reset();
  position_ = rtf_ts_NewPara;
  codePage_ = DefCodePage;
  skipCount_ = 0;
  openTableLevel_ = 0;
  rowBeingDefined_ = false;
  skippedTooDeep_ = false;
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
  openGroupsAtEnd_ = 0;
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
  RecordStopOffset(result);
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

void TRVRTFReader::RecordStopOffset(std::uint8_t result) {
  if (result == kRtfOk) {
    // What follows the document is read only as far as it is white space.
    for (int byte = input_.Next(); byte >= 0; byte = input_.Next()) {
      if (byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n' && byte != 0) {
        input_.PushBack(byte);
        break;
      }
    }
  }
  stopOffset_ = static_cast<std::uint64_t>(std::max<std::int64_t>(input_.Consumed(), 0));
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
  // Data cut off inside a group still delivers the text read so far.
  if (!pendingText_.empty() || !pendingUnicode_.empty()) Emit(Break::None);
  RaiseUpdateMarker();
  for (; openTableLevel_ > 0; --openTableLevel_) RaiseTable(rvf_tbl_TableForcedEnd);
  // The outermost group never closed: the document still ends, so that what
  // it gathered (page setup, headers, sections) is taken.
  if (Depth() > 0 && !skippedTooDeep_ && OnEndParsing) OnEndParsing(*this);
  if (!colors_.empty()) colors_.pop_back();
  if (skippedTooDeep_) return kRtfTooDeep;
  openGroupsAtEnd_ = Depth();
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
  if (!pendingUnicode_.empty() && !JoinsKindsInThisRun()) Emit(Break::None);
  pendingText_.push_back(static_cast<char>(first));
  std::size_t available = 0;
  const char* bytes = input_.Available(available);
  std::size_t count = 0;
  while (count < available && IsPlainTextByte(static_cast<unsigned char>(bytes[count]), TabAsSeparateText)) ++count;
  pendingText_.append(bytes, count);
  input_.Skip(count);
}

void TRVRTFReader::OpenGroup() {
  if (Depth() >= kMaxRTFGroupDepth) {
    SkipGroup();
    return;
  }
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

// Steps over a group, and every group inside it, to its closing brace:
// escaped braces and "bin" data do not count.
void TRVRTFReader::SkipGroup() {
  skippedTooDeep_ = true;
  TRVRTFControlWord word;
  for (std::int64_t depth = 1; depth > 0;) {
    const int byte = input_.Next();
    if (byte < 0) return;
    if (byte == '{') {
      ++depth;
    } else if (byte == '}') {
      --depth;
    } else if (byte == '\\') {
      if (!ReadRTFControlWord(input_, word)) return;
      if (word.Keyword() != "bin" || !word.hasParam) continue;
      for (std::int32_t left = word.param; left > 0 && input_.Next() >= 0;) --left;
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
    CloseHeaderFooter(static_cast<TRVRTFHeaderFooterType>(headerFooter));
  }
  const bool leavesFootnote = State().inFootnote && !EnclosingState().inFootnote;
  stack_.pop_back();
  if (leavesFootnote) CloseFootnote();
  if (destination == TRVRTFDestination::Pn && State().destination != TRVRTFDestination::Pn && pnMarker_) {
    State().paraProps.marker = *pnMarker_;
  }
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
      if (skipCount_ > 0) {
        // A Unicode character's stand-in: the data and its keyword are one unit.
        --skipCount_;
        for (std::int32_t left = word.hasParam ? word.param : 0; left > 0 && input_.Next() >= 0;) --left;
      } else if (word.hasParam && word.param > 0) {
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

void TRVRTFReader::RaiseUpdateMarker() {
  PrepareMarkerForUpdate();
  if (OnUpdateMarker) OnUpdateMarker(*this);
}

}  // namespace varnolt
