// The one live line a terminal's standard error shows while "quenbo search" runs: the sites
// done of those ticked, the pages fetched, the hits listed and the time taken.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quenbo::app {

class SearchProgress final {
 public:
  explicit SearchProgress(int sitesTicked) : sitesTicked_(sitesTicked) {}

  // Counts the page lines and closing lines of the log box's new GBK text, which may end
  // inside a line.
  void addLog(std::string_view added);

  // The line, starting with a carriage return and ending by clearing the rest of the
  // terminal line, so each one overwrites the last.
  std::string line(int hitsListed, std::chrono::milliseconds elapsed) const;
  // Clears the line, so what follows starts on a clean one.
  static std::string clear();

  int sitesDone() const { return sitesDone_; }
  int pagesFetched() const { return pagesFetched_; }

 private:
  void countLine(std::string_view line);

  int sitesTicked_;
  int sitesDone_ = 0;
  int pagesFetched_ = 0;
  std::string partial_;  // a line not ended yet
};

}  // namespace quenbo::app
