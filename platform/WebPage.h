#pragma once
// The web browser control: fetches an http, https or file address with
// libcurl and gives the page's text (HtmlText.h). Every wait is limited.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/Exception.h"

namespace varnolt {

// A page that could not be loaded; the message is the reason alone.
class EWebPageError : public Exception {
 public:
  using Exception::Exception;
};

// A load stopped because its caller asked for it.
class EWebPageCancelled : public EWebPageError {
 public:
  using EWebPageError::EWebPageError;
};

struct TWebPageLimits {
  long maxRedirects = 10;
  std::chrono::milliseconds connectTimeout{15'000};
  std::chrono::milliseconds totalTimeout{60'000};
  std::size_t maxBytes = std::size_t{64} << 20;
};

struct TFetchedPage {
  std::string bytes;
  std::string contentType;  // the HTTP header's value; empty for a file
};

// Called now and then while the page loads (about once a second while the
// server says nothing); false stops the load.
using TLoadProgress = std::function<bool()>;

// Only http, https and file addresses, TLS verified, an HTTP status of 400 or
// more a failure. Throws EWebPageError with the reason, EWebPageCancelled when
// progress stopped it.
TFetchedPage FetchWebPage(const std::string& address, const TWebPageLimits& limits, const TLoadProgress& progress);

// A local file's path as a file:// address.
std::string FileAddress(const std::string& path);

}  // namespace varnolt
