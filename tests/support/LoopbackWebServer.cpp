#include "tests/support/LoopbackWebServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace varnolt::test {

LoopbackWebServer::LoopbackWebServer() {
  int toServer[2];
  int fromServer[2];
  if (::pipe(toServer) != 0 || ::pipe(fromServer) != 0) throw std::runtime_error("cannot make pipes");
  process_ = ::fork();
  if (process_ == 0) {
    ::dup2(toServer[0], STDIN_FILENO);
    ::dup2(fromServer[1], STDOUT_FILENO);
    ::close(toServer[1]);
    ::close(fromServer[0]);
    ::execlp("python3", "python3", VARNOLT_WEB_SERVER_SCRIPT, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(toServer[0]);
  ::close(fromServer[1]);
  input_ = toServer[1];
  std::string line;
  char c = 0;
  while (::read(fromServer[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(fromServer[0]);
  if (line.empty()) throw std::runtime_error("the loopback web server did not start");
  port_ = std::stoi(line);
}

LoopbackWebServer::~LoopbackWebServer() {
  if (input_ >= 0) ::close(input_);
  if (process_ > 0) {
    // It ends when its input closes; a trickling handler may hold it up.
    for (int waited = 0; waited < 40; ++waited) {
      if (::waitpid(process_, nullptr, WNOHANG) == process_) return;
      ::usleep(50'000);
    }
    ::kill(process_, SIGKILL);
    ::waitpid(process_, nullptr, 0);
  }
}

std::string LoopbackWebServer::Address(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace varnolt::test
