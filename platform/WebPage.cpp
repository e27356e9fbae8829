#include "platform/WebPage.h"

#include <curl/curl.h>

#include <filesystem>
#include <memory>

namespace varnolt {

namespace {

struct CurlCleaner {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

struct TTransfer {
  std::string bytes;
  std::size_t maxBytes = 0;
  bool tooLarge = false;
  bool cancelled = false;
  const TLoadProgress* progress = nullptr;
};

std::size_t TakeBytes(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<TTransfer*>(user);
  const std::size_t length = size * count;
  if (length > transfer.maxBytes - transfer.bytes.size()) {
    transfer.tooLarge = true;
    return 0;
  }
  transfer.bytes.append(data, length);
  return length;
}

int ReportProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& transfer = *static_cast<TTransfer*>(user);
  if (transfer.progress == nullptr || !*transfer.progress || (*transfer.progress)()) return 0;
  transfer.cancelled = true;
  return 1;
}

void InitialiseCurlOnce() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!initialised) throw EWebPageError("the network library cannot start");
}

void SetOptions(CURL* handle, const std::string& address, const TWebPageLimits& limits, TTransfer& transfer) {
  curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, limits.maxRedirects);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
  curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(handle, CURLOPT_USERAGENT, "Varnolt/1.2");
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, TakeBytes);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, ReportProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
}

std::string MegabytesText(std::size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

}  // namespace

TFetchedPage FetchWebPage(const std::string& address, const TWebPageLimits& limits, const TLoadProgress& progress) {
  InitialiseCurlOnce();
  std::unique_ptr<CURL, CurlCleaner> handle(curl_easy_init());
  if (!handle) throw EWebPageError("the network library cannot start");
  TTransfer transfer;
  transfer.maxBytes = limits.maxBytes;
  transfer.progress = &progress;
  SetOptions(handle.get(), address, limits, transfer);
  const CURLcode result = curl_easy_perform(handle.get());
  if (transfer.cancelled) throw EWebPageCancelled("the load was cancelled");
  if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
    throw EWebPageError("the page is larger than " + MegabytesText(limits.maxBytes));
  }
  if (result != CURLE_OK) throw EWebPageError(curl_easy_strerror(result));
  long status = 0;
  curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400) throw EWebPageError("HTTP status " + std::to_string(status));
  char* contentType = nullptr;
  curl_easy_getinfo(handle.get(), CURLINFO_CONTENT_TYPE, &contentType);
  return TFetchedPage{std::move(transfer.bytes), contentType == nullptr ? std::string() : std::string(contentType)};
}

std::string FileAddress(const std::string& path) {
  const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
  std::string address = "file://";
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : absolute) {
    if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
      address += static_cast<char>(c);
    } else {
      address += '%';
      address += kHex[c >> 4];
      address += kHex[c & 0xF];
    }
  }
  return address;
}

}  // namespace varnolt
