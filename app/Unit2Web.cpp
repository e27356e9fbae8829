// The web page import: the page's text through the clipboard into the
// current page. The load is limited in time and size, and a page that cannot
// be loaded is said so.
#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "platform/HtmlText.h"

namespace varnolt {

namespace {

constexpr std::int32_t kWebProgressMaximum = 10000;

// Cancel is offered for as long as the load runs, however it ends.
class TCancellableWork {
 public:
  explicit TCancellableWork(THost& host) : host_(host) { host_.BeginCancellableWork(); }
  ~TCancellableWork() { host_.EndCancellableWork(); }
  TCancellableWork(const TCancellableWork&) = delete;
  TCancellableWork& operator=(const TCancellableWork&) = delete;

 private:
  THost& host_;
};

}  // namespace

void TForm2::Label13Click() {
  auto address = host_.InputBox(u"Webpage to import", u"Please enter a web address\r", u"");
  if (!address || address->empty()) return;
  Progress.Start(kWebProgressMaximum);
  auto showLoading = [this] {
    Progress.Step();
    host_.ProcessMessages();
    return !host_.CancelRequested();
  };
  std::u16string text;
  try {
    TCancellableWork work(host_);
    const auto page = FetchWebPage(Utf16ToUtf8(*address), WebPageLimits, showLoading);
    text = WebPageText(page.bytes, page.contentType);
  } catch (const EWebPageCancelled&) {
    // The person stopped it: the page stays as it was, nothing to say.
    return;
  } catch (const EWebPageError& error) {
    host_.ShowMessage(TMessage{u"Cannot load " + *address + u": " + Utf8ToUtf16(error.what()), u"",
                               TMessageKind::kError});
    return;
  }
  clipboard_.SetUnicodeText(text);
  Progress.bar.SetPosition(Progress.bar.Max());
  Progress.SetPercentText(u"");
  Progress.SetPercentText(u"100%");
  CurrentEditor().PasteFromClipboard();
  clipboard_.Empty();
}

}  // namespace varnolt
