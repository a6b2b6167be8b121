// The client of the update service: which files of the installation have newer versions
// ("/check") and the change log ("/log"). Answers are UTF-8 JSON; every call returns 1
// (success), 0 (nothing to do, or refused) or -1 (failure, with a message).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/stop_bell.h"
#include "base/text.h"
#include "net/fetch.h"

namespace quenbo::update {

struct UpdateFile {
  // Relative to the installation directory, as the service sends it: "/" stays "/" on this
  // platform (it is not turned into "\\").
  Text pathName;
  Text url;
  Text md5;  // 32 lower-case hexadecimal characters
};

struct ServiceConfig {
  Text baseUrl = {};  // scheme and host, no trailing slash; empty: there is no service
  // Certificates are always verified. Tests name their server's certificate here; empty
  // means the system's store.
  std::string trustedCertificates = {};
  int timeoutMs = 10000;  // bounds each request as a whole
};

struct CheckAnswer {
  std::vector<UpdateFile> files;
  Text param;
  bool flush = false;
  bool tip = false;
  Text mark;
  Text message;
};

struct LogAnswer {
  Text log;
  Text message;
};

// Texts of the failures.
Text notConfiguredMessage();  // "未配置更新服务"
// Names the setting and what to put there instead.
Text plainServiceMessage(const Text& baseUrl);

// Whether the service may be asked at this base URL: https, or plain http to this machine
// only (127.0.0.0/8, ::1, localhost: local mirrors and tests). Whoever could answer a plain
// request elsewhere could list a file with its digest and have it run.
bool secureServiceUrl(const Text& baseUrl);

class UpdateService final {
 public:
  explicit UpdateService(ServiceConfig config) : config_(std::move(config)) {}

  void setKey(const Text& key) { key_ = key; }
  // Asked while a request runs; true abandons it (the program closing) and the call fails.
  // `stopBell` rings whenever it may have turned true. Copies share both.
  void setAbandon(std::function<bool()> abandon, StopBell* stopBell) {
    abandon_ = std::move(abandon);
    stopBell_ = stopBell;
  }
  bool configured() const { return !config_.baseUrl.empty(); }
  const ServiceConfig& config() const { return config_; }

  // Replaces `answer` with the check's outputs. Without a base URL nothing is requested:
  // -1 with "未配置更新服务" at once; likewise for a plain-http one off this machine. A
  // request that brought nothing fails with "无数据返回" and why: "无数据返回（传输过慢）".
  int checkUpdates(CheckAnswer& answer, const Text& list = "[{}]") const;
  int fetchLog(LogAnswer& answer) const;

 private:
  Bytes request(int method, const Text& url, const Text& body, net::FetchFault& fault) const;
  // Whether no request may go out; `message` then says why.
  bool refused(Text& message) const;

  ServiceConfig config_;
  Text key_;
  std::function<bool()> abandon_;
  StopBell* stopBell_ = nullptr;
};

}  // namespace quenbo::update
