// A real forward proxy for network tests: tinyproxy started on 127.0.0.1 on a free port with
// its own configuration in a temporary directory, optionally demanding basic authorisation.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "support/fixtures.h"

namespace quenbo::testing {

class TinyProxy final {
 public:
  struct Credentials {
    std::string user, password;
  };

  explicit TinyProxy(std::optional<Credentials> credentials = std::nullopt);
  ~TinyProxy();
  TinyProxy(const TinyProxy&) = delete;
  TinyProxy& operator=(const TinyProxy&) = delete;

  // Whether the proxy accepts connections.
  bool running() const { return pid_ > 0; }
  int port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  // What the proxy wrote to its log so far.
  std::string log() const;

 private:
  bool start(const std::optional<Credentials>& credentials);
  void stop();

  TempDir directory_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace quenbo::testing
