#include "app/Unit3.h"

#include <charconv>

#include "app/Unit2.h"
#include "platform/CodePage.h"

namespace varnolt {

std::int32_t StrToInt(const std::u16string& text) {
  const std::string digits = Utf16ToUtf8(text);
  std::int32_t value = 0;
  const char* first = digits.data();
  if (!digits.empty() && digits[0] == '+') ++first;
  auto [end, error] = std::from_chars(first, digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    throw EConvertError("'" + digits + "' is not a valid integer value");
  }
  return value;
}

TForm3::TForm3(TForm2& owner) : owner_(owner) {
  const auto page = static_cast<size_t>(owner_.CurrentPage);
  Edit1.SetText(ToU16(std::to_string(owner_.PageWidths.at(page))));
  Edit2.SetText(ToU16(std::to_string(owner_.PageHeights.at(page))));
  Edit3.SetText(ToU16(std::to_string(owner_.PageLeftMargins.at(page))));
  Edit4.SetText(ToU16(std::to_string(owner_.PageTopMargins.at(page))));
}

void TForm3::Button1Click() {
  for (const TEdit* field : {&Edit1, &Edit2, &Edit3, &Edit4}) {
    if (field->Text().empty()) {
      owner_.Host().ShowMessage(TMessage{u"Please enter a number"});
      return;
    }
  }
  const auto page = static_cast<size_t>(owner_.CurrentPage);
  std::int32_t& width = owner_.PageWidths.at(page);
  std::int32_t& height = owner_.PageHeights.at(page);
  std::int32_t& left = owner_.PageLeftMargins.at(page);
  std::int32_t& top = owner_.PageTopMargins.at(page);
  const TPageGeometry before{{width, height}, {left, top}};
  width = StrToInt(Edit1.Text());
  height = StrToInt(Edit2.Text());
  left = StrToInt(Edit3.Text());
  top = StrToInt(Edit4.Text());
  // A page that leaves its text no room would lose it or spread it over
  // countless blank pages: it is refused and the page keeps its geometry.
  if (auto refusal = RefusalOf(TPageGeometry{{width, height}, {left, top}}, owner_.ExportFrameNeeds(owner_.CurrentPage))) {
    width = before.size.width;
    height = before.size.height;
    left = before.margins.left;
    top = before.margins.top;
    owner_.Host().ShowMessage(TMessage{*refusal, u"", TMessageKind::kWarning});
    return;
  }
  owner_.PageGeometrySet.at(page) = true;
  owner_.Label14.SetCaption(u"Width\uFF1A" + Edit1.Text());
  owner_.Label15.SetCaption(u"Height\uFF1A" + Edit2.Text());
  owner_.Label19.SetCaption(u"The current page\uFF1APage" + ToU16(std::to_string(owner_.CurrentPage + 1)));
  owner_.Label20.SetCaption(u"Left margin\uFF1A" + Edit3.Text());
  owner_.Label21.SetCaption(u"Top margin\uFF1A" + Edit4.Text());
  closed_ = true;
}

}  // namespace varnolt
