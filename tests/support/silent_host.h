// A host on 127.0.0.1 that takes connections and never answers: no byte, no close. For tests
// of work that must end when its owner goes, however long a host stays silent. It has no
// thread of its own; use it from one thread.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace quenbo::testing {

class SilentHost final {
 public:
  SilentHost();  // a free port; port() is 0 when it could not listen
  ~SilentHost();
  SilentHost(const SilentHost&) = delete;
  SilentHost& operator=(const SilentHost&) = delete;

  int port() const { return port_; }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }

  // Waits up to `timeout` for a client to connect and takes the connection (reading nothing,
  // answering nothing). Whether one came.
  bool waitForConnection(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Waits up to `timeout` until the clients have closed every connection taken; whether they
  // have.
  bool waitForHangUps(std::chrono::milliseconds timeout);

 private:
  int listenFd_ = -1;
  int port_ = 0;
  std::vector<int> taken_;  // connections the clients still hold open
};

}  // namespace quenbo::testing
