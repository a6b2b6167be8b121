#include "support/silent_host.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace quenbo::testing {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// Reads what the client sent; true once it has closed its end.
bool hungUp(int fd) {
  char buffer[4096];
  for (;;) {
    ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got > 0) continue;
    return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
  }
}

}  // namespace

SilentHost::SilentHost() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
}

SilentHost::~SilentHost() {
  for (int fd : taken_) ::close(fd);
  if (listenFd_ >= 0) ::close(listenFd_);
}

bool SilentHost::waitForConnection(std::chrono::milliseconds timeout) {
  if (port_ == 0) return false;
  pollfd waiting{listenFd_, POLLIN, 0};
  if (::poll(&waiting, 1, static_cast<int>(timeout.count())) != 1) return false;
  int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return false;
  taken_.push_back(fd);
  return true;
}

bool SilentHost::waitForHangUps(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  auto dropClosed = [this] {
    std::erase_if(taken_, [](int fd) {
      if (!hungUp(fd)) return false;
      ::close(fd);
      return true;
    });
  };
  dropClosed();
  while (!taken_.empty()) {
    int left = millisecondsUntil(deadline);
    if (left == 0) return false;
    std::vector<pollfd> open;
    for (int fd : taken_) open.push_back({fd, POLLIN | POLLRDHUP, 0});
    ::poll(open.data(), open.size(), left);
    dropClosed();
  }
  return true;
}

}  // namespace quenbo::testing
