// The update server: answers the program's "/check" with every file of the release folder
// and its digest (the program downloads those whose digest differs from its own copy),
// "/log" with the change-log file, and serves the files under "/files/". Plain HTTP or TLS.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "http_server/http_test_server.h"

namespace quenbo::updateserver {

struct ServerOptions {
  std::filesystem::path release = {};    // the folder to publish
  std::filesystem::path changeLog = {};  // UTF-8 text; missing: /log refuses
  std::string param = {};           // announcement/promotion text; empty: none
  bool flush = false;               // the update is forced
  bool tls = false;
  // Base of the download URLs; empty: this server's own address.
  std::string publicUrl = {};
  // Pause after each 4 KiB of a file, to watch a download's progress; 0: none.
  int throttleMs = 0;
  int port = 0;  // 0: a free one
};

class UpdateServer final {
 public:
  explicit UpdateServer(ServerOptions options);

  bool running() const { return server_->port() != 0; }
  std::string url() const { return server_->url(""); }  // scheme://127.0.0.1:port
  const std::string& certificatePem() const { return server_->certificatePem(); }
  // The requests seen so far ("GET /files/x" and so on), for tests.
  std::vector<testing::RecordedRequest> requests() const { return server_->requests(); }

  // The answer bodies, UTF-8 JSON.
  std::string checkAnswer() const;
  std::string logAnswer() const;

 private:
  void handle(const testing::RecordedRequest& request, testing::ServerConnection& connection);
  void sendFile(const std::filesystem::path& file, testing::ServerConnection& connection);

  ServerOptions options_;  // fixed after construction
  std::unique_ptr<testing::HttpTestServer> server_;
};

}  // namespace quenbo::updateserver
