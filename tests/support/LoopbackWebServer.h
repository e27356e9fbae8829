#pragma once
// The web page tests' server: tests/support/loopback_web_server.py started
// on 127.0.0.1 for the life of the object.
#include <string>
#include <sys/types.h>

namespace varnolt::test {

class LoopbackWebServer {
 public:
  LoopbackWebServer();
  ~LoopbackWebServer();
  LoopbackWebServer(const LoopbackWebServer&) = delete;
  LoopbackWebServer& operator=(const LoopbackWebServer&) = delete;

  // "http://127.0.0.1:PORT" + path.
  std::string Address(const std::string& path) const;

 private:
  pid_t process_ = -1;
  int input_ = -1;  // closing it stops the server
  int port_ = 0;
};

}  // namespace varnolt::test
