// "quenbo board" against the simulated board.
#include "app/board_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "base/encoding.h"
#include "http_server/http_test_server.h"
#include "site_simulator/board_page.h"
#include "site_simulator/site_simulator.h"
#include "support/fixtures.h"

namespace quenbo::app {
namespace {

using testing::writeWholeFile;

class BoardCommand : public testing::SandboxTest {
 protected:
  void SetUp() override { writeWholeFile(sandbox_.file("sites.hosts"), "[board]\nhost =\n"); }

  int run(std::vector<std::string> arguments) {
    std::vector<const char*> argv;
    for (const auto& a : arguments) argv.push_back(a.c_str());
    std::ostringstream out, err;
    int status = runBoardCommand(argv, sandbox_.path(), out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  std::string out_, err_;
};

TEST_F(BoardCommand, PrintsTheTenFilmsAsTheTilesShowThem) {
  simulator::SiteSimulator sites;
  std::string hosts = sandbox_.file("simulated.hosts");
  ASSERT_TRUE(sites.writeHostsFile(hosts));
  ASSERT_EQ(run({"--hosts=" + hosts}), 0) << err_;
  std::istringstream lines(out_);
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);) all.push_back(line);
  ASSERT_EQ(all.size(), 10u);
  EXPECT_EQ(all[0], "星河彼岸\t林远\t2019-12-20\t9.6\thttps://" + sites.boardHost() +
                        simulator::posterPath(1));

  ASSERT_EQ(run({"--format=json", "--hosts", hosts}), 0) << err_;
  auto json = nlohmann::json::parse(out_);
  ASSERT_EQ(json.size(), 10u);
  EXPECT_EQ(json[8]["date"], "");
  EXPECT_EQ(json[9]["poster"], "https://" + sites.boardHost() + simulator::posterPath(10));
}

TEST_F(BoardCommand, ABoardOnAnIpv6LiteralHostIsRead) {
  using testing::HttpTestServer;
  HttpTestServer board(
      [](const testing::RecordedRequest&, testing::ServerConnection& connection) {
        connection.reply(200, "OK", {{"Content-Type", "text/html; charset=utf-8"}},
                         simulator::boardPage("https://[::1]"));
      },
      HttpTestServer::Mode::tls, 0, HttpTestServer::Loopback::v6);
  if (board.port() == 0) GTEST_SKIP() << "this machine has no IPv6 loopback";
  std::string hosts = sandbox_.file("v6.hosts");
  writeWholeFile(hosts, "[board]\nhost = " + board.hostAndPort() + "\n");
  ASSERT_EQ(run({"--hosts=" + hosts}), 0) << err_;
  EXPECT_EQ(out_.substr(0, out_.find('\t')), "星河彼岸");
  EXPECT_EQ(board.requestCount(), 1u);
}

TEST_F(BoardCommand, WithoutAHostOrFilmsItSaysSo) {
  EXPECT_EQ(run({}), 1);
  EXPECT_NE(err_.find("no board host"), std::string::npos) << err_;
  std::string hosts = sandbox_.file("dead.hosts");
  writeWholeFile(hosts, "[board]\nhost = 127.0.0.1:9\n");
  EXPECT_EQ(run({"--hosts=" + hosts}), 1);
  EXPECT_NE(err_.find("no film could be read"), std::string::npos) << err_;
  EXPECT_EQ(out_, "");
  EXPECT_EQ(run({"--format=xml"}), 2);
  EXPECT_EQ(run({"--hosts=" + sandbox_.file("missing.hosts")}), 2);
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_EQ(out_, boardUsage());
}

}  // namespace
}  // namespace quenbo::app
