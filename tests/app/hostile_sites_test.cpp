// Hostile sites and files against the real program: the executable's search command run as
// a process (so Ctrl-C, exit status and a full output device are real), pointed at local
// servers that drip, stall, flood or lie, and at files that are not settings files. One row
// per case; each row says how long the run may take, its exit status, what is listed and
// what is said.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_harness.h"
#include "app/search_command.h"
#include "app/site_setup.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "http_server/http_test_server.h"
#include "support/fixtures.h"

namespace quenbo::app {
namespace {

using namespace std::literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;
using Clock = std::chrono::steady_clock;

const std::string kHash = "0123456789abcdef0123456789abcdef01234567";

// --- pages -----------------------------------------------------------------------------

// One Btdad result box with this title and link; the last box of a page gives no hit.
std::string btdadBox(const std::string& title, const std::string& link) {
  return "<div class=\"ssbox\"><div class=\"title\"><h3><span>[BT]</span><a href=\"/d/x\" "
         "target=\"_blank\">" +
         title + "</a></h3></div><div class=\"slist\"><a href=\"" + link +
         "\">link</a></div><div class=\"sbar\"><span>大小:<b class=\"y\">1.2 GB</b></span>"
         "<span>热度:<b>35</b></span><span>添加时间:<b>2019-12-01</b></span></div></div>";
}

// A distinct info hash for each n below 10^8.
std::string hash(int n) {
  std::string number = std::to_string(n);
  return kHash.substr(0, 32) + std::string(8 - number.size(), '0') + number;
}

// `links` as the hits of one page (plus the closing box, which gives none).
// Titles hold the keyword: the exact search of the default settings lists only those.
std::string btdadPage(const std::vector<std::string>& links, const std::string& title = "Key Film") {
  std::string body = "<html><head><meta charset=\"utf-8\"></head><body>";
  for (const auto& link : links) body += btdadBox(title, link);
  return body + btdadBox("end", "magnet:?xt=urn:btih:" + kHash) + "</body></html>";
}

// `count` blocks as small as a Btdad block can be, each with a link.
std::string floodPage(int count) {
  std::string body = "<html><body>";
  for (int i = 0; i < count; ++i)
    body += "<div class=\"ssbox\">/span><a href=\"magnet:?xt=urn:btih:" + hash(i) +
            "\" target=\"_blank\">Key</a></h3>";
  return body + "<div class=\"ssbox\"></body></html>";
}

std::vector<std::string> magnets(int count) {
  std::vector<std::string> links;
  for (int i = 0; i < count; ++i) links.push_back("magnet:?xt=urn:btih:" + hash(i));
  return links;
}

// An answer of the shared JSON API with these link members (JSON texts).
std::string apiAnswer(const std::vector<std::string>& linkMembers) {
  std::string items;
  for (std::size_t i = 0; i < linkMembers.size(); ++i) {
    items += (i ? "," : "") + std::string(R"({"name":"Key )") + std::to_string(i) +
             R"(","magnet":)" + linkMembers[i] + R"(,"formatSize":"1 GB","hot":1,"date":"d"})";
  }
  return R"({"code":200,"data":{"results":[)" + items + "]}}";
}

// An answer of the data-list site: `items` are whole JSON objects.
std::string dataListAnswer(const std::vector<std::string>& items) {
  std::string list;
  for (std::size_t i = 0; i < items.size(); ++i) list += (i ? "," : "") + items[i];
  return R"({"code":0,"data":{"data":[)" + list + "]}}";
}

std::string dataItem(int n, const std::string& name, const std::string& hot = "7") {
  return R"({"name":"Key )" + name + R"(","uri":"magnet:?xt=urn:btih:)" + hash(n) +
         R"(","file_size":"1GB","hot":)" + hot + R"(,"time":"2020"})";
}

// --- server behaviours -------------------------------------------------------------------

testing::RequestHandler page(std::string body) {
  return HttpTestServer::fixedReply(std::move(body), {{"Content-Type", "text/html"}});
}

// Headers, then one body byte a second, for ever.
void drip(const RecordedRequest&, ServerConnection& c) {
  c.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n");
  while (!c.pause(1s) && c.send("<")) {
  }
}

// One interim response a second, for ever.
void endlessContinue(const RecordedRequest&, ServerConnection& c) {
  while (!c.pause(500ms) && c.send("HTTP/1.1 100 Continue\r\n\r\n")) {
  }
}

void silent(const RecordedRequest&, ServerConnection& c) { c.pause(120s); }

// --- the program as a process ------------------------------------------------------------

struct Ran {
  int status = -1;
  double seconds = 0;           // from start to exit
  double afterInterrupt = -1;   // from the Ctrl-C to exit
  std::string out, err;
  std::vector<std::string> lines;
};

// Runs `quenbo search` with `arguments`; standard output goes to `outPath`. Sends SIGINT
// `interruptDelay` after `interruptWhen` first holds. Kills the process after 40 s.
Ran runProgram(const std::vector<std::string>& arguments, const std::string& outPath,
               const std::string& errPath, const std::function<bool()>& interruptWhen,
               std::chrono::milliseconds interruptDelay) {
  std::vector<std::string> all = {QUENBO_EXECUTABLE, "search"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  Clock::time_point start = Clock::now();
  pid_t child = fork();
  if (child == 0) {
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) _exit(120);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(121);
  }
  Ran run;
  std::optional<Clock::time_point> condition, interrupted;
  int raw = 0;
  for (;;) {
    pid_t done = waitpid(child, &raw, WNOHANG);
    if (done == child) break;
    Clock::time_point now = Clock::now();
    if (interruptWhen && !condition && interruptWhen()) condition = now;
    if (condition && !interrupted && now - *condition >= interruptDelay) {
      kill(child, SIGINT);
      interrupted = now;
    }
    if (now - start > 40s) {
      kill(child, SIGKILL);
      ADD_FAILURE() << "the program hung";
    }
    std::this_thread::sleep_for(2ms);
  }
  Clock::time_point end = Clock::now();
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  run.seconds = std::chrono::duration<double>(end - start).count();
  if (interrupted) run.afterInterrupt = std::chrono::duration<double>(end - *interrupted).count();
  if (outPath != "/dev/full") run.out = testing::readWholeFile(outPath);
  run.err = testing::readWholeFile(errPath);
  std::size_t from = 0;
  for (std::size_t at; (at = run.out.find('\n', from)) != std::string::npos; from = at + 1)
    run.lines.push_back(run.out.substr(from, at - from));
  return run;
}

// --- the table -----------------------------------------------------------------------------

enum class Server { none, plain, tls };

struct Case {
  std::string name{};
  testing::RequestHandler answer{};  // the hostile site; none for the file rows
  Server server = Server::plain;
  std::string site = "Btdad";
  // The hosts file; "{host}" becomes the server's host:port.
  std::string hosts = "[sites]\nBtdad = {host}\n";
  std::vector<std::string> extra{};  // more arguments; "{dir}" becomes the sandbox
  int pages = 1, timeout = 3;
  std::optional<std::chrono::milliseconds> interruptAfter{};  // after the first request
  bool log = true;  // --log: the command then wakes every 100 ms to print the lines
  bool fullOutput = false;
  std::function<void(const std::string& dir)> prepare{};  // files to make first

  int status = 0;
  double within = 5;      // seconds to exit (from the Ctrl-C when there is one)
  double notBefore = 0;   // seconds the run must at least take
  std::optional<std::size_t> listed{};
  std::optional<std::size_t> requests{};
  std::vector<std::string> errHas{};
  std::function<void(const Ran&)> check{};
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    text.replace(at, from.size(), to), at += to.size();
  return text;
}

bool holdsControl(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F)
      return true;
  }
  return false;
}

// The start of the problem line (a long value is cut by the file reader).
std::string badHostLine(const std::string& value) {
  return "[sites] Btdad: \"" + value.substr(0, 100);
}

Case badHost(const std::string& value) {
  return {.name = "host " + value.substr(0, 24),
          .answer = page(btdadPage(magnets(3))),
          .hosts = "[sites]\nBtdad = " + value + "\n",
          // Its only ticked site is switched off: the search does not start.
          .status = 1,
          .listed = 0,
          .requests = 0,
          .errHas = {badHostLine(value), "is not a host", "no ticked site has a host"}};
}

std::vector<Case> cases() {
  std::vector<Case> rows;
  rows.push_back({.name = "drip ends at four times the time-out",
                  .answer = drip,
                  .timeout = 3,
                  // Its only site failed: nothing could be searched.
                  .status = kExitNothingSearched,
                  .within = 14,
                  .notBefore = 11,
                  .listed = 0,
                  .errHas = {"页面不存在 或 无资源数据 ，已自动停止搜索",
                             "quenbo search: no site could be searched (Btdad: 713 "}});
  rows.push_back({.name = "drip, Ctrl-C",
                  .answer = drip,
                  .timeout = 10,
                  .interruptAfter = 300ms,
                  .status = kExitInterrupted,
                  .within = 1,
                  .listed = 0,
                  .errHas = {"已手动停止搜索", "全部页数搜索完毕"}});
  rows.push_back({.name = "endless 100 Continue, Ctrl-C",
                  .answer = endlessContinue,
                  .timeout = 10,
                  .interruptAfter = 1200ms,
                  .status = kExitInterrupted,
                  .within = 1,
                  .listed = 0,
                  .errHas = {"已手动停止搜索"}});
  rows.push_back({.name = "silent, Ctrl-C",
                  .answer = silent,
                  .timeout = 10,
                  .interruptAfter = 300ms,
                  .status = kExitInterrupted,
                  .within = 1,
                  .listed = 0,
                  .errHas = {"已手动停止搜索"}});
  // Without --log nothing wakes the command while it waits: the Ctrl-C itself must.
  rows.push_back({.name = "silent, Ctrl-C, no log",
                  .answer = silent,
                  .timeout = 10,
                  .interruptAfter = 300ms,
                  .log = false,
                  .status = kExitInterrupted,
                  .within = 1,
                  .listed = 0});
  // Each crafted link is dropped; the honest hit after them is listed once.
  std::vector<std::string> htmlLinks = {
      "magnet:?xt=urn:btih:" + kHash + " x",          "magnet:?xt=urn:btih:\r\nX-Injected: 1",
      "magnet:?xt=urn:btih:\t" + kHash,               "magnet:?xt=urn:btih:$(rm -rf ~)",
      "magnet:?magnet:?xt=urn:btih:" + hash(1) + "&" + hash(2), "magnet:x" + kHash,
      "magnet:?xt=urn:btih:" + hash(9)};
  rows.push_back({.name = "HTML links that are not magnet links",
                  .answer = page(btdadPage(htmlLinks)),
                  .listed = 1,
                  .check = [](const Ran& run) {
                    EXPECT_NE(run.out.find(hash(9)), std::string::npos) << run.out;
                  }});
  std::vector<std::string> jsonLinks = {
      "\"javascript:alert(1)\"", "\"file:///etc/passwd\"", "\"http://127.0.0.1/x.exe\"",
      "\"data:text/html,x\"",    "\"--help\"",             "true",
      "12345",                    "\"magnet:?xt=urn:btih:" + hash(7) + "\""};
  rows.push_back({.name = "JSON links that are not magnet links",
                  .answer = page(apiAnswer(jsonLinks)),
                  .server = Server::tls,
                  .site = "种子搜",
                  .hosts = "[apis]\nA = {host}\n",
                  .listed = 1,
                  .check = [](const Ran& run) {
                    EXPECT_NE(run.out.find(hash(7)), std::string::npos) << run.out;
                  }});
  // A link holding ten others no longer hides the ten honest hits as duplicates.
  std::string swallowing = "magnet:?xt=urn:btih:";
  for (int i = 0; i < 10; ++i) swallowing += "magnet:?xt=urn:btih:" + hash(i);
  std::vector<std::string> withSwallower = {swallowing};
  for (const auto& link : magnets(10)) withSwallower.push_back(link);
  rows.push_back({.name = "one link swallowing ten",
                  .answer = page(btdadPage(withSwallower)),
                  .listed = 10});
  rows.push_back({.name = "100,000 blocks",
                  .answer = page(floodPage(100000)),
                  .pages = 3,
                  .within = 10,
                  .listed = 2000,
                  .requests = 1,
                  .errHas = {"单页资源超过 2000 条，已自动停止搜索"}});
  rows.push_back({.name = "control characters in TSV",
                  .answer = page(btdadPage(magnets(3), "Key a\x1b]0;owned\x07" "b\x1b[2Jc\x7f" "d")),
                  .listed = 3,
                  .check = [](const Ran& run) {
                    for (const auto& line : run.lines) {
                      EXPECT_FALSE(holdsControl(line)) << line;
                      EXPECT_NE(line.find("a ]0;owned b [2Jc d"), std::string::npos) << line;
                    }
                  }});
  rows.push_back({.name = "escaped quotes in the data list",
                  .answer = page(dataListAnswer({dataItem(1, R"(say \"hi\")"),
                                                 dataItem(2, R"(\u0022quoted\u0022 \u7535)"),
                                                 dataItem(3, "plain")})),
                  .server = Server::tls,
                  .site = "磁小鸭",
                  .hosts = "[sites]\n磁小鸭 = {host}\n",
                  .listed = 3,
                  .check = [](const Ran& run) {
                    EXPECT_NE(run.out.find("say \"hi\""), std::string::npos) << run.out;
                    EXPECT_NE(run.out.find("\"quoted\" 电"), std::string::npos) << run.out;
                  }});
  rows.push_back({.name = "NUL bytes",
                  .answer = page(replaced(btdadPage(magnets(10)), "Film</a>", "Fi\0lm</a>"s)),
                  .listed = 10,
                  .check = [](const Ran& run) {
                    EXPECT_NE(run.out.find("Key Film\t"), std::string::npos) << run.out;
                  }});
  rows.push_back({.name = "1e400",
                  .answer = page(dataListAnswer(
                      {dataItem(1, "a"), dataItem(2, "b", "1e400"), dataItem(3, "c")})),
                  .server = Server::tls,
                  .site = "磁小鸭",
                  .hosts = "[sites]\n磁小鸭 = {host}\n",
                  .listed = 3,
                  .check = [](const Ran& run) {
                    EXPECT_NE(run.out.find("1e400"), std::string::npos) << run.out;
                  }});
  rows.push_back({.name = "full output device",
                  .answer = page(btdadPage(magnets(500))),
                  .fullOutput = true,
                  .status = 1,
                  .errHas = {"cannot write the results"}});
  rows.push_back({.name = "settings /dev/zero",
                  .answer = page(btdadPage(magnets(2))),
                  .extra = {"--settings=/dev/zero"},
                  .listed = 2});
  rows.push_back({.name = "settings FIFO",
                  .answer = page(btdadPage(magnets(2))),
                  .extra = {"--settings={dir}/fifo"},
                  .prepare = [](const std::string& dir) { mkfifo((dir + "/fifo").c_str(), 0600); },
                  .listed = 2});
  for (std::string file : std::vector<std::string>{"/dev/zero", "{dir}/fifo", "{dir}/big.hosts"}) {
    rows.push_back({.name = "hosts " + file,
                    .server = Server::none,
                    .hosts = "",
                    .extra = {"--hosts=" + file},
                    .prepare =
                        [](const std::string& dir) {
                          mkfifo((dir + "/fifo").c_str(), 0600);
                          std::string big = "[sites]\nBtdad = 127.0.0.1:9\n";
                          big.resize(kReadLimit + 1, ';');
                          testing::writeWholeFile(dir + "/big.hosts", big);
                        },
                    // A --hosts file that cannot be read is a bad command line.
                    .status = kExitUsage,
                    .listed = 0,
                    .errHas = {"cannot read the hosts file"}});
  }
  for (std::string value : std::vector<std::string>{"127.0.0.1:0", "127.0.0.1:99999",
                                                   "127.0.0.1:80:81", "[::1:80", "::1]:80",
                                                   "[::1]x", std::string(10240, 'a')}) {
    rows.push_back(badHost(value));
  }
  return rows;
}

class HostileSites : public testing::SandboxTest {};

TEST_F(HostileSites, EveryCaseEndsInTimeWithTheSoundResult) {
  const std::string dir = sandbox_.path().string();
  for (Case& row : cases()) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<HttpTestServer> server;
    if (row.server != Server::none) {
      server = std::make_unique<HttpTestServer>(
          row.answer, row.server == Server::tls ? HttpTestServer::Mode::tls
                                                : HttpTestServer::Mode::plain);
    }
    if (row.prepare) row.prepare(dir);
    std::string hosts = replaced(row.hosts, "{host}", server ? server->hostAndPort() : "");
    testing::writeWholeFile(dir + "/case.hosts", hosts);
    std::vector<std::string> arguments = {"Key", "--sites=" + row.site,
                                          "--pages=" + std::to_string(row.pages),
                                          "--timeout=" + std::to_string(row.timeout),
                                          "--settings=" + dir + "/Clss.ini",
                                          "--hosts=" + dir + "/case.hosts"};
    if (row.log) arguments.push_back("--log");
    for (const auto& a : row.extra) arguments.push_back(replaced(a, "{dir}", dir));
    std::function<bool()> firstRequest;
    if (row.interruptAfter) firstRequest = [&] { return server->requestCount() > 0; };
    Ran run = runProgram(arguments, row.fullOutput ? "/dev/full" : dir + "/out.txt",
                         dir + "/err.txt", firstRequest, row.interruptAfter.value_or(0ms));

    EXPECT_EQ(run.status, row.status) << run.err;
    double taken = row.interruptAfter ? run.afterInterrupt : run.seconds;
    EXPECT_LE(taken, row.within);
    EXPECT_GE(run.seconds, row.notBefore);
    if (row.listed) {
      EXPECT_EQ(run.lines.size(), *row.listed) << run.out.substr(0, 2000);
    }
    if (row.requests) {
      EXPECT_EQ(server->requestCount(), *row.requests);
    }
    for (const auto& text : row.errHas) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
    if (row.check) row.check(run);
    std::printf("[ figure   ] %-40s %.3f s%s\n", row.name.c_str(), taken,
                row.interruptAfter ? " after Ctrl-C" : "");
    std::remove((dir + "/fifo").c_str());
  }
}

// A settings file too large to read is never replaced: a change is refused, the file kept.
TEST_F(HostileSites, ASettingsFileTooLargeToReadIsLeftAsItIs) {
  std::string path = sandbox_.file("Clss.ini");
  std::string big = "[搜索]\r\n页数=9\r\n";
  big.resize(kReadLimit + 1, ';');
  testing::writeWholeFile(path, big);
  EXPECT_FALSE(readFile(utf8ToGbk(path)));
  EXPECT_FALSE(writeIniValue(utf8ToGbk(path), "搜索"_gbk, "页数"_gbk, "3"));
  EXPECT_EQ(testing::readWholeFile(path), big);
}

// The window's side of a stop and a close while a site drips: the status bar's final state
// and the end of the shutdown, both well within the time-out.
class HostileSitesWindow : public AppHarness {};

TEST_F(HostileSitesWindow, StopAndCloseEndADrippingSearchAtOnce) {
  HttpTestServer server(drip);
  testing::writeWholeFile(sandbox_.file("case.hosts"),
                          "[sites]\nBtdad = " + server.hostAndPort() + "\n");
  for (bool closing : {false, true}) {
    SCOPED_TRACE(closing ? "close" : "stop");
    SiteSetup sites = setUpSites(sandbox_.path(), sandbox_.file("case.hosts"));
    launch(std::move(sites.workers));
    tickOnly({"Btdad"});
    w().setText(forms::names::编辑框_时间, "10");
    std::size_t before = server.requestCount();
    search("Key");
    ASSERT_TRUE(loop_.runUntil([&] { return server.requestCount() > before; }, 5s));
    loop_.runUntil([] { return false; }, 300ms);
    Clock::time_point pressed = Clock::now();
    if (closing) {
      app_->close();
      loop_.detach(app_->mainWindow());
      app_.reset();
    } else {
      w().click(forms::names::超级按钮_停止);
      ASSERT_TRUE(loop_.runUntil(
          [&] { return w().statusPart(forms::names::状态条1, 0) == "任务状态：资源采集完毕"_gbk; },
          5s));
    }
    double seconds = std::chrono::duration<double>(Clock::now() - pressed).count();
    std::printf("[ figure   ] window %s to %s: %.3f s\n", closing ? "close" : "stop",
                closing ? "gone" : "final status", seconds);
    EXPECT_LT(seconds, closing ? 1.0 : 0.2);
    if (!closing) {
      app_->close();
      loop_.detach(app_->mainWindow());
      app_.reset();
    }
  }
}

}  // namespace
}  // namespace quenbo::app
