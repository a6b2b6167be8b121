#include "update/update_service.h"

#include <optional>

#include "base/encoding.h"
#include "net/com_http_request.h"
#include "net/http_request.h"
#include "script/script_json.h"
#include "script/text_codec.h"

namespace quenbo::update {
namespace {

// The common answer handling: the body as GBK text up to its first zero byte, parsed; the
// state is the member's JSON text, so a numeric 0 reads "0" and a string "0" does not.
struct ParsedAnswer {
  script::ScriptJson json;
  Text state;
};

std::optional<ParsedAnswer> parseAnswer(const Bytes& body, Text& message) {
  Text text = textUpToZero(script::TextCodec::convertCharset(body));
  if (text.empty()) {
    message = "无数据返回"_gbk;
    return std::nullopt;
  }
  ParsedAnswer answer;
  if (!answer.json.parse(text)) {
    message = "数据解析失败"_gbk;
    return std::nullopt;
  }
  answer.state = answer.json.getObject("state").toText();
  return answer;
}

}  // namespace

Bytes UpdateService::request(int method, const Text& url, const Text& body) const {
  net::ComHttpRequest call;
  call.url = url;
  call.method = method;
  call.bodyText = body;
  call.verifyCertificates = true;
  call.trustedCertificates = config_.trustedCertificates;
  call.totalTimeoutMs = config_.timeoutMs;
  call.timeoutSeconds = (config_.timeoutMs + 999) / 1000;
  call.abandon = abandon_;
  call.stopBell = stopBell_;
  return call.execute();
}

Text notConfiguredMessage() { return "未配置更新服务"_gbk; }

int UpdateService::checkUpdates(CheckAnswer& answer, const Text& list) const {
  answer = CheckAnswer();
  if (!configured()) {
    answer.message = notConfiguredMessage();
    return -1;
  }
  Bytes body =
      request(net::HttpMethod::post, config_.baseUrl + "/check", "key=" + key_ + "&list=" + list);
  std::optional<ParsedAnswer> parsed = parseAnswer(body, answer.message);
  if (!parsed) return -1;
  const script::ScriptJson& json = parsed->json;
  if (parsed->state == "0") {
    Text msg = script::TextCodec::unescapeText(json.getText("msg"));
    if (msg == "文件一致,无须更新"_gbk || msg == "无须更新"_gbk) return 0;
    answer.message = msg;
    return -1;
  }
  if (parsed->state != "1") {
    answer.message = "未知错误"_gbk;
    return -1;
  }
  answer.param = json.getText("param");
  answer.flush = json.getText("flush") == "1";
  answer.tip = json.getText("tip") == "1";
  answer.mark = json.getText("mark");
  int count = json.getCount("list");
  for (int i = 0; i < count; ++i) {
    Text item = "list[" + std::to_string(i) + "].";
    answer.files.push_back({json.getText(item + "pathName"), json.getText(item + "url"),
                            json.getText(item + "md5")});
  }
  return 1;
}

int UpdateService::fetchLog(LogAnswer& answer) const {
  answer = LogAnswer();
  if (!configured()) {
    answer.message = notConfiguredMessage();
    return -1;
  }
  Bytes body = request(net::HttpMethod::get, config_.baseUrl + "/log?key=" + key_, {});
  std::optional<ParsedAnswer> parsed = parseAnswer(body, answer.message);
  if (!parsed) return -1;
  Text msg = parsed->json.getText("msg");
  if (parsed->state == "0") {
    answer.message = msg;
    return 0;
  }
  answer.log = msg;
  return 1;
}

}  // namespace quenbo::update
