#pragma once
// The tables an RTF document declares before its text: fonts, colours,
// styles, lists and list overrides. The reader fills them; its client reads
// them. Every lookup by a number from the input answers "absent" (nullptr or
// -1) for a number the input never declared.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "richtext/rtf/reader/RVRTFTypes.h"

namespace varnolt {

struct TRVRTFFont {
  std::int32_t number = 0;
  TRVUnicodeString name;
  std::uint8_t family = 0;  // 0 nil, 1 roman, 2 swiss, 3 modern, 4 script, 5 decor, 6 tech, 7 bidi
  std::uint8_t charset = 1;
};

class TRVRTFFontList {
 public:
  void Clear();
  TRVRTFFont& Add(std::int32_t number);
  int Count() const { return static_cast<int>(fonts_.size()); }
  bool Empty() const { return fonts_.empty(); }
  // nullptr for an index outside the list.
  const TRVRTFFont* At(int index) const;
  TRVRTFFont* At(int index);
  TRVRTFFont* Last() { return fonts_.empty() ? nullptr : &fonts_.back(); }
  // List index of the first font with that RTF number, -1 when none.
  int IndexOfNumber(std::int32_t number) const;
  auto begin() const { return fonts_.begin(); }
  auto end() const { return fonts_.end(); }
  auto begin() { return fonts_.begin(); }
  auto end() { return fonts_.end(); }

 private:
  std::vector<TRVRTFFont> fonts_;
  std::unordered_map<std::int32_t, int> byNumber_;
};

using TRVRTFColorList = std::vector<TRVRTFColor>;

struct TRVRTFStyleSheetEntry {
  TRVRTFParaProperties paraProps;
  TRVRTFCharProperties charProps;
  bool additive = false;
  bool hidden = false;
  std::int32_t number = 0;
  std::uint8_t kind = 1;  // 0 character, 1 paragraph, 2 section
  int basedOn = -1;       // index in the style sheet, -1 when none
  int next = -1;          // index in the style sheet; the entry itself when not given
  TRVAnsiString name;
};

class TRVRTFStyleSheet {
 public:
  void Clear() { entries_.clear(); }
  TRVRTFStyleSheetEntry& Add();
  int Count() const { return static_cast<int>(entries_.size()); }
  const TRVRTFStyleSheetEntry* At(int index) const;
  TRVRTFStyleSheetEntry* Last() { return entries_.empty() ? nullptr : &entries_.back(); }
  // Index of the first entry with that style number, -1 when none.
  int IndexOfNumber(std::int32_t number) const;
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  std::vector<TRVRTFStyleSheetEntry> entries_;
};

struct TRVRTFListLevel97 : TRVRTFCustomMarkerProperties {
  bool oldStyle = false;
  bool legal = false;
  bool noRestart = false;
  bool noNumber = false;  // "levelnfc255": the level shows its text without numbers
  // The first character counts the characters after it; it stays in front.
  TRVUnicodeString text;
  bool textHasUnicode = false;  // a "u" code unit arrived in the text
  TRVAnsiString numbers;
  std::uint8_t follow = 0;  // 0 tab, 1 space, 2 nothing
  std::int32_t leftIndent = 0;
  std::int32_t firstIndent = 0;
  std::int32_t tabPosition = kRtfNoListTab;
  bool fontSizeGiven = false;
  bool indentsUpdated = false;
};

struct TRVRTFList97 {
  std::vector<TRVRTFListLevel97> levels;
  std::int32_t listId = 0;
  bool simple = false;
  TRVAnsiString name;
};

struct TRVRTFListOverrideLevel97 {
  bool startAt = false;
  std::int32_t start = 1;
};

struct TRVRTFListOverride97 {
  int listIndex = -1;  // index in the list table, -1 when the id named no list
  std::int32_t number = 0;
  std::int32_t overrideCount = 0;
  std::vector<TRVRTFListOverrideLevel97> levels;
};

class TRVRTFListTable97 {
 public:
  void Clear() { lists_.clear(); }
  TRVRTFList97& Add() { return lists_.emplace_back(); }
  int Count() const { return static_cast<int>(lists_.size()); }
  const TRVRTFList97* At(int index) const;
  TRVRTFList97* Last() { return lists_.empty() ? nullptr : &lists_.back(); }
  int IndexOfListId(std::int32_t listId) const;

 private:
  std::vector<TRVRTFList97> lists_;
};

class TRVRTFListOverrideTable97 {
 public:
  void Clear() {
    overrides_.clear();
    byNumber_.clear();
  }
  TRVRTFListOverride97& Add() { return overrides_.emplace_back(); }
  int Count() const { return static_cast<int>(overrides_.size()); }
  const TRVRTFListOverride97* At(int index) const;
  TRVRTFListOverride97* Last() { return overrides_.empty() ? nullptr : &overrides_.back(); }
  // The "ls" number of an override; the first override with a number keeps it.
  void SetNumber(int index, std::int32_t number);
  int IndexOfNumber(std::int32_t number) const;

 private:
  std::vector<TRVRTFListOverride97> overrides_;
  std::unordered_map<std::int32_t, int> byNumber_;
};

}  // namespace varnolt
