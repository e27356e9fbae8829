#include "app/Unit4.h"

#include "app/Host.h"

namespace varnolt {

void TForm4::HomePageClick() { host_.OpenUrl(HomePageLink); }

void TForm4::MailClick() { host_.OpenUrl(u"mailto:" + MailLink); }

}  // namespace varnolt
