// The connection a site's worker keeps for its run: the run's page requests go over one
// kept-alive connection (and one TLS session) per host, from page to page, for as long as
// the server keeps it open; when the server has closed it the next request connects anew.
// Only the connection is kept: every request still starts from a handle of its own, so no
// cookie, header, credential, redirect target, proxy choice, time-out or body limit of one
// request reaches the next.
#pragma once

namespace quenbo::net {

// Used by one thread at a time (the site's worker); its requests run one after another.
class PageConnection final {
 public:
  // With `reuse` false it keeps nothing: every request opens a connection of its own.
  // Either way requests share name resolutions and TLS sessions with every other page
  // request of the process.
  explicit PageConnection(bool reuse = true);
  ~PageConnection();  // closes the kept connections
  PageConnection(const PageConnection&) = delete;
  PageConnection& operator=(const PageConnection&) = delete;

  bool reuses() const { return multi_ != nullptr; }
  // The libcurl multi handle (a CURLM) the run's requests are made in; its connection cache
  // is what carries over. Null when nothing is kept (also when libcurl cannot make one;
  // requests then behave as with reuse off).
  void* multi() const { return multi_; }

 private:
  void* multi_ = nullptr;
};

}  // namespace quenbo::net
