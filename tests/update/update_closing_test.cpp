// Closing the program while the update flow's threads wait for hosts that never answer, and
// the threads the flow keeps.
#include <gtest/gtest.h>

#include "http_server/http_test_server.h"
#include "script/text_codec.h"
#include "support/silent_host.h"
#include "update_flow_harness.h"

namespace quenbo::update {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;

class UpdateClosing : public UpdateFlowHarness {};

// Whatever the service, a picture host or a download host does, the flow ends its threads'
// work and joins them within a second; an update ended that way neither asks nor restarts.
TEST_F(UpdateClosing, ClosingWhileAHostIsSilentTakesUnderASecond) {
  enum class Silent { check, log, picture, download };
  const struct {
    const char* name;
    Silent silent;
  } cases[] = {{"the check", Silent::check},
               {"the change log", Silent::log},
               {"the promotion picture", Silent::picture},
               {"a download of the update", Silent::download}};
  put(home() / "a.txt", "A1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::SilentHost silent;
    const std::string silentUrl = "http://" + silent.hostAndPort();
    HttpTestServer service([&](const testing::RecordedRequest& r, testing::ServerConnection& conn) {
      if (r.target.starts_with("/log")) {
        if (c.silent == Silent::log) return (void)conn.pause(30s);
        return conn.reply(200, "OK", {}, R"({"state":1,"msg":"1.1"})");
      }
      std::string param = c.silent == Silent::picture ? "actors#title#" + silentUrl + "/p.png" : "";
      std::string list = c.silent == Silent::picture
                             ? ""
                             : R"({"pathName":"/a.txt","url":")" + silentUrl +
                                   R"(/files/a.txt","md5":")" + script::TextCodec::md5Hex("A2") + "\"}";
      conn.reply(200, "OK", {}, R"({"state":1,"param":")" + param + R"(","list":[)" + list + "]}");
    });
    start(c.silent == Silent::check ? silentUrl : service.url(""), {}, 5000);
    std::size_t messagesBefore = ui_.messages().size();
    flow_->open(false);
    if (c.silent == Silent::download) {
      ASSERT_TRUE(settle());
      ASSERT_EQ(rows(), 1);
      messagesBefore = ui_.messages().size();
      win().click(按钮_更新);
    }
    auto waiting = [&] {
      return c.silent == Silent::log ? service.requestCount() == 2
                                     : silent.waitForConnection(0ms);
    };
    ASSERT_TRUE(loop_.runUntil(waiting, 10s));

    auto begin = std::chrono::steady_clock::now();
    flow_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
    if (c.silent != Silent::log) {
      EXPECT_TRUE(silent.waitForHangUps(100ms)) << "a thread still waits for the host";
    }
    EXPECT_EQ(messages(messagesBefore), std::vector<std::string>{});
    EXPECT_TRUE(ended_.empty());
    EXPECT_EQ(testing::readWholeFile((home() / "a.txt").string()), "A1");
  }
}

// The update has its files and waits for the user to confirm the restart as the program
// closes: the question is dropped and nothing is started again.
TEST_F(UpdateClosing, ClosingWhileTheUpdateWaitsForAnAnswerRestartsNothing) {
  installMarkerProgram();
  put(home() / "a.txt", "A1");
  put(release() / "a.txt", "A2");
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  const std::size_t before = ui_.messages().size();
  win().click(按钮_更新);
  // The question goes to the UI thread, which the test does not turn meanwhile.
  ASSERT_TRUE(testing::waitFor([&] { return cell(0, kStatusColumn) == "成功"; }));

  auto begin = std::chrono::steady_clock::now();
  flow_.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
  loop_.processEvents();
  EXPECT_EQ(messages(before), std::vector<std::string>{});
  EXPECT_TRUE(ended_.empty());
  // A restart would start the program two seconds after it was asked for.
  EXPECT_FALSE(testing::waitFor([&] { return fs::exists(marker()); }, 3s));
}

// Each check runs on a thread of its own; one that has ended is joined, not kept.
TEST_F(UpdateClosing, FinishedThreadsAreNotKept) {
  put(release() / "quenbo", "old program");  // nothing due
  serve();
  startOnServer();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(check(false));
  EXPECT_LE(flow_->keptThreads(), 1u);
}

}  // namespace
}  // namespace quenbo::update
