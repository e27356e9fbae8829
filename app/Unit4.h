#pragma once
// The about box: the product, its home page and contact address, each link
// opening through the host.
#include <string>

namespace varnolt {

class THost;

inline constexpr char16_t kHomePage[] = u"https://varnolt.example/index.htm";
inline constexpr char16_t kContactAddress[] = u"contact@varnolt.example";

class TForm4 {
 public:
  explicit TForm4(THost& host) : host_(host) {}

  const std::u16string Caption = u"About Varnolt";
  const std::u16string ProductName = u"Varnolt";
  const std::u16string HomePageLabel = u"Homepage: ";
  const std::u16string HomePageLink = kHomePage;
  const std::u16string MailLabel = u"E-mail: ";
  const std::u16string MailLink = kContactAddress;
  const std::u16string LastUpdate = u"last update:2009-08-14";

  void HomePageClick();  // opens the home page
  void MailClick();      // a new mail to the contact address

 private:
  THost& host_;
};

}  // namespace varnolt
