#pragma once
// The properties dialog: the PDF file name and information entries.
#include <string>

#include "app/Controls.h"

namespace varnolt {

class TForm2;

class TForm1 {
 public:
  explicit TForm1(TForm2& owner) : owner_(owner) {}

  const std::u16string Caption = u"Properties";
  TEdit Edit1;  // "Filename"
  TEdit Edit2;  // "Title"
  TEdit Edit3;  // "Subject"
  TEdit Edit4;  // "Author"
  TEdit Memo1;  // "Keyword", lines separated by CR LF

  void Button3Click();  // save
  void Button4Click();  // reset
  bool Closed() const { return closed_; }

 private:
  TForm2& owner_;
  bool closed_ = false;
};

// The name with a ".pdf" ending (in any letter case) removed.
std::u16string WithoutPdfExtension(std::u16string name);

}  // namespace varnolt
