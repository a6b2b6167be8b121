#include "support/tiny_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace quenbo::testing {
namespace {

// A port that was free a moment ago: bound to 0, read back, released.
int freePort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (fd >= 0) ::close(fd);
  return port;
}

bool accepts(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool connected =
      fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) ::close(fd);
  return connected;
}

}  // namespace

TinyProxy::TinyProxy(std::optional<Credentials> credentials) {
  // Another process may take the port between the probe and the start: try a few.
  for (int attempt = 0; attempt < 5 && !start(credentials); ++attempt) stop();
}

TinyProxy::~TinyProxy() {
  stop();
}

bool TinyProxy::start(const std::optional<Credentials>& credentials) {
  port_ = freePort();
  if (port_ == 0) return false;
  std::string config = "Port " + std::to_string(port_) +
                       "\nListen 127.0.0.1\nTimeout 30\nMaxClients 64\nLogLevel Info\n"
                       "LogFile \"" +
                       directory_.file("proxy.log") +
                       "\"\n"
                       "Allow 127.0.0.1\n";
  if (credentials) config += "BasicAuth " + credentials->user + " " + credentials->password + "\n";
  std::string configPath = directory_.file("proxy.conf");
  writeWholeFile(configPath, config);

  std::string program = "tinyproxy";
  char* argv[] = {program.data(), const_cast<char*>("-d"), const_cast<char*>("-c"),
                  configPath.data(), nullptr};
  if (::posix_spawnp(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
    pid_ = -1;
    return false;
  }
  bool exited = false;
  bool up = waitFor(
      [&] {
        int status = 0;
        exited = ::waitpid(pid_, &status, WNOHANG) == pid_;
        return exited || accepts(port_);
      },
      std::chrono::seconds(10));
  if (exited) pid_ = -1;
  return up && !exited;
}

void TinyProxy::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  if (!waitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; },
               std::chrono::seconds(5))) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
  }
  pid_ = -1;
}

std::string TinyProxy::log() const {
  return readWholeFile(directory_.file("proxy.log"));
}

}  // namespace quenbo::testing
