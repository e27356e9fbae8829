#include "app/Unit1.h"

#include "app/Unit2.h"

namespace varnolt {

std::u16string WithoutPdfExtension(std::u16string name) {
  constexpr size_t kLength = 4;
  if (name.size() < kLength) return name;
  std::u16string ending = name.substr(name.size() - kLength);
  for (auto& c : ending) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  if (ending == u".pdf") name.resize(name.size() - kLength);
  return name;
}

void TForm1::Button3Click() {
  if (Edit1.Text().empty()) {
    owner_.Host().ShowMessage(TMessage{u"Filename is none"});
    return;
  }
  const std::u16string fileName = WithoutPdfExtension(Edit1.Text()) + u".pdf";
  auto& report = owner_.PReport1;
  report.SetFileName(fileName);
  report.SetTitle(Edit2.Text());
  report.SetSubject(Edit3.Text());
  report.SetAuthor(Edit4.Text());
  report.SetKeywords(Memo1.Text());
  owner_.FileNameLabel.SetCaption(u"Filename\uFF1A" + fileName);
  owner_.TitleLabel.SetCaption(u"Title\uFF1A" + Edit2.Text());
  owner_.SubjectLabel.SetCaption(u"Subject\uFF1A" + Edit3.Text());
  owner_.AuthorLabel.SetCaption(u"Author\uFF1A" + Edit4.Text());
  owner_.KeywordLabel.SetCaption(u"Keyword\uFF1A" + Memo1.Text());
  closed_ = true;
}

void TForm1::Button4Click() {
  for (TEdit* field : {&Edit1, &Edit2, &Edit3, &Edit4, &Memo1}) field->SetText(u"");
}

}  // namespace varnolt
