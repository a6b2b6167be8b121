// The update service client against real local servers: the answer cases, the request
// format, the missing configuration and the certificate rule.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "base/encoding.h"
#include "http_server/http_test_server.h"
#include "support/fixtures.h"
#include "update/update_service.h"

namespace quenbo::update {
namespace {

using testing::HttpTestServer;

struct CheckCase {
  const char* name;
  std::string body;
  int result;
  const char* message;  // UTF-8
};

class CheckAnswers : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckAnswers, ReadAsTheServiceMeansThem) {
  const CheckCase& c = GetParam();
  HttpTestServer server(HttpTestServer::fixedReply(c.body));
  UpdateService service({server.url("")});
  CheckAnswer answer;
  EXPECT_EQ(service.checkUpdates(answer), c.result);
  EXPECT_EQ(answer.message, utf8ToGbk(c.message));
}

INSTANTIATE_TEST_SUITE_P(
    States, CheckAnswers,
    ::testing::Values(
        CheckCase{"NothingToDo", R"({"state":0,"msg":"无须更新"})", 0, ""},
        CheckCase{"FilesAlike", R"({"state":0,"msg":"文件一致,无须更新"})", 0, ""},
        CheckCase{"EscapedNothingToDo", R"({"state":0,"msg":"\\u65e0\\u987b\\u66f4\\u65b0"})",
                  0, ""},
        CheckCase{"RefusedWithReason", R"({"state":0,"msg":"密钥无效"})", -1, "密钥无效"},
        CheckCase{"StateAsStringIsUnknown", R"({"state":"0","msg":"无须更新"})", -1, "未知错误"},
        CheckCase{"StateTwo", R"({"state":2})", -1, "未知错误"},
        CheckCase{"NoState", R"({"msg":"x"})", -1, "未知错误"},
        CheckCase{"EmptyBody", "", -1, "无数据返回"},
        CheckCase{"ZeroByteFirst", std::string("\0{\"state\":1}", 12), -1, "无数据返回"},
        CheckCase{"NotJson", "<html>busy</html>", -1, "数据解析失败"},
        CheckCase{"ListMissing", R"({"state":1})", 1, ""},
        CheckCase{"ListEmpty", R"({"state":1,"list":[]})", 1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateService, CheckPostsKeyAndListAndReadsEveryMember) {
  HttpTestServer server(HttpTestServer::fixedReply(
      R"({"state":1,"param":"a#b#c","flush":"1","tip":"1","mark":"m1","list":[)"
      R"({"pathName":"/dir/file.dll","url":"http://h/f","md5":"0123"},)"
      R"({"pathName":"Quenbo","url":"u2","md5":"abcd"}]})" + std::string("\0tail", 5)));
  UpdateService service({server.url("")});
  service.setKey("36b3216fdaeeb975729fae923d5a4fd1");
  CheckAnswer answer;
  ASSERT_EQ(service.checkUpdates(answer), 1);
  auto request = server.lastRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.target, "/check");
  EXPECT_EQ(request.body, "key=36b3216fdaeeb975729fae923d5a4fd1&list=[{}]");
  EXPECT_EQ(answer.param, "a#b#c");
  EXPECT_TRUE(answer.flush);
  EXPECT_TRUE(answer.tip);
  EXPECT_EQ(answer.mark, "m1");
  ASSERT_EQ(answer.files.size(), 2u);
  // "/" stays "/" on this platform.
  EXPECT_EQ(answer.files[0].pathName, "/dir/file.dll");
  EXPECT_EQ(answer.files[0].url, "http://h/f");
  EXPECT_EQ(answer.files[0].md5, "0123");
  EXPECT_EQ(answer.files[1].pathName, "Quenbo");
}

TEST(UpdateService, LogIsTheMessageUnlessRefused) {
  struct Case {
    std::string body;
    int result;
    const char* log;
    const char* message;
  };
  for (const Case& c : {Case{R"({"state":1,"msg":"1.1：修复\n"})", 1, "1.1：修复\n", ""},
                        Case{R"({"state":0,"msg":"拒绝"})", 0, "", "拒绝"},
                        Case{"", -1, "", "无数据返回"}, Case{"{", -1, "", "数据解析失败"}}) {
    HttpTestServer server(HttpTestServer::fixedReply(c.body));
    UpdateService service({server.url("")});
    service.setKey("k1");
    LogAnswer answer;
    EXPECT_EQ(service.fetchLog(answer), c.result) << c.body;
    EXPECT_EQ(answer.log, utf8ToGbk(c.log)) << c.body;
    EXPECT_EQ(answer.message, utf8ToGbk(c.message)) << c.body;
    EXPECT_EQ(server.lastRequest().method, "GET");
    EXPECT_EQ(server.lastRequest().target, "/log?key=k1");
  }
}

TEST(UpdateService, WithoutBaseUrlNothingIsAskedAndTheCheckFailsAtOnce) {
  UpdateService service({});
  CheckAnswer check;
  LogAnswer log;
  EXPECT_FALSE(service.configured());
  EXPECT_EQ(service.checkUpdates(check), -1);
  EXPECT_EQ(check.message, "未配置更新服务"_gbk);
  EXPECT_EQ(service.fetchLog(log), -1);
  EXPECT_EQ(log.message, "未配置更新服务"_gbk);
}

TEST(UpdateService, ASilentServiceIsGivenUpOnWithinTheTimeOut) {
  HttpTestServer server([](const testing::RecordedRequest&, testing::ServerConnection& c) {
    c.pause(std::chrono::seconds(5));
  });
  UpdateService service({server.url(""), {}, 400});
  CheckAnswer answer;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(service.checkUpdates(answer), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(answer.message, "无数据返回（超时）"_gbk);
}

class ServiceCertificates : public testing::SandboxTest {};

TEST_F(ServiceCertificates, SelfSignedIsRefusedUnlessItsCertificateIsTrusted) {
  HttpTestServer server(HttpTestServer::fixedReply(R"({"state":0,"msg":"无须更新"})"),
                        HttpTestServer::Mode::tls);
  CheckAnswer answer;
  // The system's store: refused before anything is sent.
  EXPECT_EQ(UpdateService({server.url("")}).checkUpdates(answer), -1);
  EXPECT_EQ(answer.message, "无数据返回（证书不受信任：127.0.0.1）"_gbk);
  EXPECT_EQ(server.requestCount(), 0u);
  std::string pem = sandbox_.file("server.pem");
  testing::writeWholeFile(pem, server.certificatePem());
  EXPECT_EQ(UpdateService({server.url(""), pem}).checkUpdates(answer), 0);
  EXPECT_EQ(server.requestCount(), 1u);
}

}  // namespace
}  // namespace quenbo::update
