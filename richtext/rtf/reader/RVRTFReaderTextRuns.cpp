// Text runs: bytes and UTF-16 code units gathered into runs, each handed to
// the client once with the position it began at.
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

TRVRTFPosition PositionAfter(int kind) {
  switch (kind) {
    case 1: return rtf_ts_NewLine;
    case 2: return rtf_ts_NewPara;
    default: return rtf_ts_ContinuePara;
  }
}

}  // namespace

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
  if (!pendingUnicode_.empty() && !JoinsKindsInThisRun()) Emit(Break::None);
  pendingText_.push_back(static_cast<char>(byte));
}

void TRVRTFReader::PutTextUnicode(char16_t unit) {
  SyncTables(true);
  if (!pendingText_.empty()) {
    if (JoinsKindsInThisRun()) {
      WidenPendingText();
    } else {
      Emit(Break::None);
    }
  }
  pendingUnicode_.push_back(unit);
}

bool TRVRTFReader::JoinsKindsInThisRun() {
  if (!OnNewUnicodeText || !JoinsTextKinds) return false;
  // Whatever could change the answer (formatting, links) ends the run first.
  if (!runJoinsKinds_) runJoinsKinds_ = JoinsTextKinds();
  return *runJoinsKinds_;
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
  // Joined 8-bit text follows the UTF-16 text it joined.
  if (!pendingUnicode_.empty() && !pendingText_.empty()) WidenPendingText();
  DecodeForeignText();
  if (OnNewUnicodeText && !pendingUnicode_.empty()) {
    CallContentHandler([&] { OnNewUnicodeText(*this, pendingUnicode_, position_); });
  } else if (OnNewText) {
    CallContentHandler([&] { OnNewText(*this, pendingText_, position_); });
  }
  pendingText_.clear();
  pendingUnicode_.clear();
  runJoinsKinds_.reset();
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

}  // namespace varnolt
