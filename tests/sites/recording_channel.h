// A site adapter's channel that records what the adapter does, in order: its hand-overs,
// the clearing of its running flag and its log lines.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "core/magnet_result.h"
#include "sites/site_channel.h"

namespace quenbo::testing {

class RecordingChannel final : public sites::SiteChannel {
 public:
  explicit RecordingChannel(Text keyword = "Key", int pageLimit = 3, int timeoutSeconds = 5)
      : keyword_(std::move(keyword)), pageLimit_(pageLimit), timeoutSeconds_(timeoutSeconds) {}

  // Called after each hand-over with the number of hits so far, on the adapter's thread.
  std::function<void(int)> afterHandOver;
  std::atomic<bool> stop{false};
  std::atomic<bool> flag{true};  // the site's running flag

  const Text& keyword() const override { return keyword_; }
  int pageLimit() const override { return pageLimit_; }
  int timeoutSeconds() const override { return timeoutSeconds_; }
  bool stopRequested() const override { return stop; }
  bool running() const override { return flag; }
  void clearRunning() override {
    flag = false;
    record("clear");
  }
  // Refuses hits past `hitLimit` (when not 0), as a full store does.
  std::size_t hitLimit = 0;
  bool handOver(const core::MagnetResult& hit) override {
    int count;
    {
      std::lock_guard lock(mutex_);
      if (hitLimit != 0 && hits_.size() >= hitLimit) return false;
      hits_.push_back(hit);
      events_.push_back("hit");
      count = static_cast<int>(hits_.size());
    }
    if (afterHandOver) afterHandOver(count);
    return true;
  }
  void log(const Text& line) override {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
    events_.push_back("log");
  }
  void report(const std::function<void(core::SiteReport&)>& change) override {
    std::lock_guard lock(mutex_);
    change(report_);
    ++reportChanges_;
  }
  // The site's report as the adapter left it.
  core::SiteReport siteReport() const {
    std::lock_guard lock(mutex_);
    return report_;
  }

  std::vector<core::MagnetResult> hits() const {
    std::lock_guard lock(mutex_);
    return hits_;
  }
  // Whole log lines, GBK.
  std::vector<Text> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  // The messages of the log lines in UTF-8: what follows the time field, the three spaces
  // and the 23-byte label field, without the CR LF.
  std::vector<std::string> messages() const {
    // 20 bytes of time, 3 spaces, "Web" and the two-byte colon, 18 bytes of label.
    constexpr std::size_t kPrefix = 20 + 3 + 5 + 18;
    std::vector<std::string> out;
    for (const Text& line : lines()) {
      std::string_view message = line;
      if (message.size() >= kPrefix + 2)
        message = message.substr(kPrefix, message.size() - kPrefix - 2);
      out.push_back(gbkToUtf8(message));
    }
    return out;
  }
  // "hit", "clear" and "log", in the order they happened.
  std::vector<std::string> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  void record(const char* event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }

  Text keyword_;
  int pageLimit_;
  int timeoutSeconds_;
  mutable std::mutex mutex_;  // guards the records below; the adapter's thread writes them
  std::vector<core::MagnetResult> hits_;
  std::vector<Text> lines_;
  std::vector<std::string> events_;
  core::SiteReport report_;
  int reportChanges_ = 0;
};

}  // namespace quenbo::testing
