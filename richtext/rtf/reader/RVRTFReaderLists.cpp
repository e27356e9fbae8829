// List markers: old-style "pn" groups and section levels, and the list and
// list-override tables, plus the marker update before OnUpdateMarker.
#include <algorithm>

#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

using A = TRVRTFAction;
using D = TRVRTFDestination;

constexpr std::uint8_t kMarkerStyleBits = kRtfBold | kRtfItalic | kRtfStrikeOut;

constexpr std::int32_t kNoNumberFormat = 255;

// "levelnfc" values to list types; anything else counts as decimal.
std::uint8_t ListTypeOfNumberFormat(std::int32_t format) {
  switch (format) {
    case 1: return 5;
    case 2: return 4;
    case 3: return 3;
    case 4: return 2;
    case 23: return 6;
    default: return 1;
  }
}

std::uint8_t AlignmentOfJustify(std::int32_t justify) {
  switch (justify) {
    case 1: return 2;
    case 2: return 1;
    default: return 0;
  }
}

void SetStyleBit(std::uint8_t& bits, std::int8_t bit, bool on) {
  const auto mask = static_cast<std::uint8_t>(bit);
  bits = static_cast<std::uint8_t>(on ? (bits | mask) : (bits & ~mask));
}

bool IsPnAction(TRVRTFAction action) { return action >= A::PnLevel && action <= A::PnAlign; }
bool IsListAction(TRVRTFAction action) { return action >= A::ListId && action <= A::ListOverrideStartAt; }

}  // namespace

bool TRVRTFReader::ApplyListProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  const D destination = State().destination;
  if (destination == D::ListLevel) {
    if (TRVRTFListLevel97* level = CurrentLevel(); level != nullptr && ApplyLevelProperty(*level, action, value, arg)) {
      return true;
    }
  }
  if (destination == D::Pn || destination == D::PnSectionLevel) {
    if (TRVRTFMarkerProperties* marker = EditedMarker();
        marker != nullptr && ApplyMarkerProperty(*marker, action, value, arg)) {
      return true;
    }
  }
  switch (action) {
    case A::ListId:
      if (destination == D::List && listTable_.Last() != nullptr) listTable_.Last()->listId = value;
      if (destination == D::ListOverride && listOverrides_.Last() != nullptr) {
        listOverrides_.Last()->listIndex = listTable_.IndexOfListId(value);
      }
      return true;
    case A::ListSimple:
      if (destination == D::List && listTable_.Last() != nullptr) listTable_.Last()->simple = value != 0;
      return true;
    case A::ListOverrideCount:
      if (destination == D::ListOverride && listOverrides_.Last() != nullptr) {
        listOverrides_.Last()->overrideCount = value;
      }
      return true;
    case A::LevelStartAt:
    case A::ListOverrideStartAt:
      if (destination == D::LfoLevel && listOverrides_.Last() != nullptr && !listOverrides_.Last()->levels.empty()) {
        TRVRTFListOverrideLevel97& level = listOverrides_.Last()->levels.back();
        if (action == A::LevelStartAt) level.start = value;
        if (action == A::ListOverrideStartAt) level.startAt = true;
      }
      return true;
    default:
      // Marker and level keywords outside their groups change nothing.
      return IsPnAction(action) || IsListAction(action);
  }
}

bool TRVRTFReader::ApplyMarkerProperty(TRVRTFMarkerProperties& marker, TRVRTFAction action, std::int32_t value,
                                       std::int8_t arg) {
  TRVRTFColor color = 0;
  switch (action) {
    case A::PnLevel:
      if (State().destination == D::Pn && value >= 1 && value <= kRtfMarkerLevelCount &&
          State().sectProps.defaultMarkers) {
        marker = (*State().sectProps.defaultMarkers)[static_cast<std::size_t>(value - 1)];
      }
      marker.level = value;
      break;
    case A::PnHanging: marker.hanging = true; break;
    case A::PnListType: marker.listType = static_cast<std::uint8_t>(value); break;
    case A::PnFontStyle: SetStyleBit(marker.fontStyle, arg, value != 0); break;
    case A::PnColor:
      if (ColorAt(value, color)) {
        marker.color = color;
        marker.givenProperties |= kRtfMarkerGivenColor;
      }
      break;
    case A::PnFont:
      marker.fontIndex = FontIndexOfNumber(value);
      marker.givenProperties |= kRtfMarkerGivenFont;
      break;
    case A::PnFontSize:
      marker.fontSize = RoundHalfEven(value / 2.0);
      marker.givenProperties |= kRtfMarkerGivenSize;
      break;
    case A::PnIndent: marker.indent = value; break;
    case A::PnSpace: marker.space = value; break;
    case A::PnStart: marker.start = value; break;
    case A::PnAlign: marker.alignment = static_cast<std::uint8_t>(value); break;
    default:
      return false;
  }
  return true;
}

bool TRVRTFReader::ApplyLevelProperty(TRVRTFListLevel97& level, TRVRTFAction action, std::int32_t value,
                                      std::int8_t arg) {
  TRVRTFColor color = 0;
  switch (action) {
    case A::LevelStartAt: level.start = value; break;
    case A::LevelNumberFormat:
      level.listType = ListTypeOfNumberFormat(value);
      level.noNumber = value == kNoNumberFormat;
      break;
    case A::LevelJustify: level.alignment = AlignmentOfJustify(value); break;
    case A::LevelOld: level.oldStyle = value != 0; break;
    case A::LevelIndent: level.indent = value; break;
    case A::LevelSpace: level.space = value; break;
    case A::LevelFollow: level.follow = static_cast<std::uint8_t>(std::clamp(value, 0, 2)); break;
    case A::LevelLegal: level.legal = value != 0; break;
    case A::LevelNoRestart: level.noRestart = value != 0; break;
    case A::FontSize:
      level.fontSize = RoundHalfEven(value / 2.0);
      level.fontSizeGiven = true;
      level.givenProperties |= kRtfMarkerGivenSize;
      break;
    case A::Color:
      if (ColorAt(value, color)) {
        level.color = color;
        level.givenProperties |= kRtfMarkerGivenColor;
      }
      break;
    case A::AssociatedFont:
      if ((level.givenProperties & kRtfMarkerGivenFont) != 0) break;
      [[fallthrough]];
    case A::Font:
      if (const int index = fonts_.IndexOfNumber(value); index >= 0) {
        level.fontIndex = index;
        level.givenProperties |= kRtfMarkerGivenFont;
      }
      break;
    case A::FontStyle: SetStyleBit(level.fontStyle, arg, value != 0); break;
    case A::Underline: SetStyleBit(level.fontStyle, kRtfUnderline, value != 0); break;
    case A::ParaValue:
      if (arg == 0) {
        level.leftIndent = value;
      } else if (arg == 2) {
        level.firstIndent = value;
      } else {
        return false;
      }
      break;
    case A::TabPosition: level.tabPosition = value; break;
    default:
      return false;
  }
  return true;
}

TRVRTFMarkerProperties* TRVRTFReader::SectionMarker(int level) {
  if (level < 1 || level > kRtfMarkerLevelCount) return nullptr;
  std::shared_ptr<TRVRTFSectionMarkers>& markers = State().sectProps.defaultMarkers;
  if (!markers) {
    markers = std::make_shared<TRVRTFSectionMarkers>();
    for (int i = 0; i < kRtfMarkerLevelCount; ++i) (*markers)[static_cast<std::size_t>(i)].level = i + 1;
  } else if (markers.use_count() > 1) {
    markers = std::make_shared<TRVRTFSectionMarkers>(*markers);
  }
  return &(*markers)[static_cast<std::size_t>(level - 1)];
}

TRVRTFMarkerProperties* TRVRTFReader::EditedMarker() {
  switch (State().destination) {
    case D::Pn:
      return pnMarker_.get();
    case D::PnSectionLevel:
      return SectionMarker(pnSectionLevel_);
    case D::PnTextAfter:
    case D::PnTextBefore:
      return markerTextInSection_ ? SectionMarker(pnSectionLevel_) : pnMarker_.get();
    default:
      return nullptr;
  }
}

TRVRTFListLevel97* TRVRTFReader::CurrentLevel() {
  TRVRTFList97* list = listTable_.Last();
  if (list == nullptr || list->levels.empty()) return nullptr;
  return &list->levels.back();
}

void TRVRTFReader::PutMarkerTextUnicode(char16_t unit) {
  TRVRTFMarkerProperties* marker = EditedMarker();
  if (marker == nullptr) return;
  const TRVRTFFont* font = fonts_.At(marker->fontIndex);
  if (font != nullptr && SameFontName(font->name, u"Symbol") && unit >= 0xF000 && unit <= 0xF0FF) {
    DeliverByte(static_cast<std::uint8_t>(unit & 0xFF));
  } else if (State().unicodeSkip > 0) {
    for (char byte : UnicodeToAnsi(codePage_, std::u16string_view(&unit, 1))) {
      DeliverByte(static_cast<std::uint8_t>(byte));
    }
  }
}

void TRVRTFReader::EndLevelText() {
  FlushCollected();
  TRVRTFListLevel97* level = CurrentLevel();
  if (level == nullptr || level->text.empty()) return;
  const std::size_t keep = static_cast<std::size_t>(level->text[0]) + 1;
  if (level->text.size() > keep) level->text.resize(keep);
}

void TRVRTFReader::EndLevelNumbers() {
  TRVRTFListLevel97* level = CurrentLevel();
  if (level == nullptr || level->numbers.empty()) return;
  const std::size_t keep = static_cast<std::size_t>(static_cast<unsigned char>(level->numbers[0])) + 1;
  if (level->numbers.size() > keep) level->numbers.resize(keep);
}

void TRVRTFReader::PrepareMarkerForUpdate() {
  TRVRTFReaderState& state = State();
  if (!state.paraProps.marker) return;
  TRVRTFMarkerProperties& marker = *state.paraProps.marker;
  const TRVRTFCharProperties& chars = state.charProps;
  if ((marker.givenProperties & kRtfMarkerGivenColor) == 0) marker.color = chars.color;
  if ((marker.givenProperties & kRtfMarkerGivenFont) == 0) marker.fontIndex = chars.fontIndex;
  if ((marker.givenProperties & kRtfMarkerGivenSize) == 0) marker.fontSize = chars.size;
  marker.fontStyle = static_cast<std::uint8_t>((marker.fontStyle & ~kMarkerStyleBits) | (chars.fontStyle & kMarkerStyleBits));
}

}  // namespace varnolt
