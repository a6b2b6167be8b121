// The request engine against a local server: a 100 KB page fetched one call after another
// and from eleven threads at once (as many as a search has site workers). The fetch core
// alone fetches the same page, and two baselines fetch it without either: a bare libcurl
// call (on purpose the one user of libcurl outside src/net) and a raw socket client. The
// differences are the engine's own work per call and the core's.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "http_server/http_test_server.h"
#include "net/fetch.h"
#include "net/http_engine.h"

namespace {

using quenbo::net::HttpEngine;
using quenbo::net::HttpRequest;
using quenbo::net::HttpResponse;
using quenbo::testing::HttpTestServer;

const std::string kHead = "<html><head><meta charset=\"gbk\"></head><body>";
const std::string kTail = "</body></html>";
constexpr std::size_t kPageSize = 100 * 1024;

HttpTestServer& server() {
  static HttpTestServer instance(HttpTestServer::fixedReply(
      kHead + std::string(kPageSize - kHead.size() - kTail.size(), 'x') + kTail));
  return instance;
}

void BM_EngineGet100KB(benchmark::State& state) {
  const std::string url = server().url("/search?q=1");
  for (auto _ : state) {
    quenbo::net::HttpRequest request;
    request.url = url;
    request.timeoutSeconds = 10;
    quenbo::net::HttpResponse response;
    std::string text = quenbo::net::HttpEngine::execute(request, response);
    if (text.size() != kPageSize) state.SkipWithError("short page");
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EngineGet100KB)->Iterations(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineGet100KB)
    ->Threads(11)
    ->Iterations(100)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_FetchCoreGet100KB(benchmark::State& state) {
  quenbo::net::FetchRequest request;
  request.url = server().url("/search?q=1");
  request.idleTimeout = std::chrono::seconds(10);
  for (auto _ : state) {
    quenbo::net::FetchResponse response = quenbo::net::fetch(request);
    if (response.body.size() != kPageSize) state.SkipWithError("short page");
    benchmark::DoNotOptimize(response);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FetchCoreGet100KB)->Iterations(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);

size_t keep(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

void BM_BareCurlGet100KB(benchmark::State& state) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  const std::string url = server().url("/search?q=1");
  for (auto _ : state) {
    std::string body;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &keep);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (body.size() != kPageSize) state.SkipWithError("short page");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareCurlGet100KB)->Iterations(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Connect, send a minimal request, read the answer up to its length, close.
void BM_RawSocketGet100KB(benchmark::State& state) {
  const int port = server().port();
  const std::string request = "GET /search?q=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  std::string buffer(1 << 16, '\0');
  for (auto _ : state) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    std::size_t headEnd = std::string::npos;
    while (headEnd == std::string::npos || answer.size() < headEnd + 4 + kPageSize) {
      ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
      if (n <= 0) break;
      answer.append(buffer.data(), static_cast<std::size_t>(n));
      if (headEnd == std::string::npos) headEnd = answer.find("\r\n\r\n");
    }
    ::close(fd);
    if (headEnd == std::string::npos || answer.size() != headEnd + 4 + kPageSize) {
      state.SkipWithError("short page");
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawSocketGet100KB)->Iterations(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
