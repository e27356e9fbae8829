#pragma once
// The options dialog: width, height and margins of the current page.
#include <string>

#include "app/Controls.h"
#include "platform/Exception.h"

namespace varnolt {

class TForm2;

// The conversion error of a field that holds no valid 32-bit integer.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

class TForm3 {
 public:
  // The fields open with the current page's values.
  explicit TForm3(TForm2& owner);

  const std::u16string Caption = u"Options";
  TEdit Edit1;  // "Width"
  TEdit Edit2;  // "Height"
  TEdit Edit3;  // "Left margin"
  TEdit Edit4;  // "Top margin"

  // Typing filter of the four fields: a typed character other than a digit
  // is discarded (the key becomes 0); control keys (Backspace, Tab, Delete)
  // pass, so the fields can be corrected and left.
  static void Edit1KeyPress(char16_t& key) { FilterDigit(key); }
  static void Edit2KeyPress(char16_t& key) { FilterDigit(key); }
  static void Edit3KeyPress(char16_t& key) { FilterDigit(key); }
  static void Edit4KeyPress(char16_t& key) { FilterDigit(key); }

  void Button1Click();  // save
  void Button2Click() { closed_ = true; }  // cancel
  bool Closed() const { return closed_; }

 private:
  static void FilterDigit(char16_t& key) {
    const bool control = key < u' ' || key == u'\x7F';
    if (!control && (key < u'0' || key > u'9')) key = 0;
  }

  TForm2& owner_;
  bool closed_ = false;
};

// StrToInt: a signed 32-bit decimal, or EConvertError.
std::int32_t StrToInt(const std::u16string& text);

}  // namespace varnolt
