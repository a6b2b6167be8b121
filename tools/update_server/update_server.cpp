#include "update_server/update_server.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>

#include "update_server/release_folder.h"

namespace quenbo::updateserver {

namespace fs = std::filesystem;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

namespace {

constexpr std::string_view kFilesPrefix = "/files";
constexpr std::size_t kChunk = 4096;

std::optional<std::string> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// "%xx" escapes of a request path, decoded; other bytes as they are.
std::string percentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string percentEncoded(std::string_view path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

}  // namespace

UpdateServer::UpdateServer(ServerOptions options) : options_(std::move(options)) {
  server_ = std::make_unique<HttpTestServer>(
      [this](const RecordedRequest& request, ServerConnection& connection) {
        handle(request, connection);
      },
      options_.tls ? HttpTestServer::Mode::tls : HttpTestServer::Mode::plain, options_.port);
}

std::string UpdateServer::checkAnswer() const {
  std::vector<ReleaseFile> files = scanRelease(options_.release);
  nlohmann::json answer;
  if (files.empty()) {
    answer = {{"state", 0}, {"msg", "无须更新"}};
    return answer.dump();
  }
  std::string base = options_.publicUrl.empty() ? url() : options_.publicUrl;
  nlohmann::json list = nlohmann::json::array();
  for (const ReleaseFile& file : files) {
    list.push_back({{"pathName", file.pathName},
                    {"url", base + std::string(kFilesPrefix) + percentEncoded(file.pathName)},
                    {"md5", file.md5}});
  }
  answer = {{"state", 1},       {"msg", ""},   {"param", options_.param},
            {"flush", options_.flush ? "1" : "0"}, {"tip", "0"}, {"mark", ""},
            {"list", list}};
  return answer.dump();
}

std::string UpdateServer::logAnswer() const {
  std::optional<std::string> log = readAll(options_.changeLog);
  nlohmann::json answer;
  if (!log) {
    answer = {{"state", 0}, {"msg", "暂无更新日志"}};
  } else {
    answer = {{"state", 1}, {"msg", *log}};
  }
  return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void UpdateServer::sendFile(const fs::path& file, ServerConnection& connection) {
  std::optional<std::string> bytes = readAll(file);
  if (!bytes) {
    connection.reply(404, "Not Found", {}, "");
    return;
  }
  if (options_.throttleMs <= 0) {
    connection.reply(200, "OK", {{"Content-Type", "application/octet-stream"}}, *bytes);
    return;
  }
  connection.send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                  std::to_string(bytes->size()) + "\r\n\r\n");
  for (std::size_t at = 0; at < bytes->size(); at += kChunk) {
    if (!connection.send(std::string_view(*bytes).substr(at, kChunk))) return;
    if (connection.pause(std::chrono::milliseconds(options_.throttleMs))) return;
  }
}

void UpdateServer::handle(const RecordedRequest& request, ServerConnection& connection) {
  std::string target = request.target;
  std::string path = target.substr(0, target.find('?'));
  const testing::HeaderList json = {{"Content-Type", "application/json; charset=utf-8"}};
  if (path == "/check" && request.method == "POST") {
    connection.reply(200, "OK", json, checkAnswer());
  } else if (path == "/log" && request.method == "GET") {
    connection.reply(200, "OK", json, logAnswer());
  } else if (path.starts_with(std::string(kFilesPrefix) + "/") && request.method == "GET") {
    std::optional<fs::path> file =
        releaseFile(options_.release, percentDecoded(path.substr(kFilesPrefix.size())));
    if (file) {
      sendFile(*file, connection);
    } else {
      connection.reply(404, "Not Found", {}, "");
    }
  } else {
    connection.reply(404, "Not Found", {}, "");
  }
}

}  // namespace quenbo::updateserver
