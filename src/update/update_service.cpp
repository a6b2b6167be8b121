#include "update/update_service.h"

#include <optional>

#include "base/encoding.h"
#include "net/com_http_request.h"
#include "net/http_request.h"
#include "script/script_json.h"
#include "script/text_codec.h"
#include "update/transfer_reasons.h"

namespace quenbo::update {
namespace {

// The common answer handling: the body as GBK text up to its first zero byte, parsed; the
// state is the member's JSON text, so a numeric 0 reads "0" and a string "0" does not.
struct ParsedAnswer {
  script::ScriptJson json;
  Text state;
};

// An empty answer says why the request brought none, when it failed.
std::optional<ParsedAnswer> parseAnswer(const Bytes& body, const net::FetchFault& fault,
                                        Text& message) {
  Text text = textUpToZero(script::TextCodec::convertCharset(body));
  if (text.empty()) {
    message = withTransferProblem("无数据返回"_gbk, fault);
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

// 127.0.0.0/8, ::1 and localhost: traffic that never leaves this machine.
bool loopbackHost(const std::string& host) {
  if (host == "localhost" || host == "[::1]") return true;
  // A dotted address of four numbers whose first is 127 (not a name such as "127.0.0.1.x.org").
  if (!host.starts_with("127.")) return false;
  int dots = 0, digits = 0;
  for (char c : host) {
    if (c == '.') {
      if (digits == 0) return false;
      ++dots;
      digits = 0;
    } else if (c >= '0' && c <= '9' && ++digits <= 3) {
      continue;
    } else {
      return false;
    }
  }
  return dots == 3 && digits > 0;
}

}  // namespace

bool secureServiceUrl(const Text& baseUrl) {
  std::string url = lowerAscii(baseUrl);
  if (url.starts_with("https://")) return true;
  return url.starts_with("http://") && loopbackHost(net::fetchUrlHost(url));
}

Text plainServiceMessage(const Text& baseUrl) {
  return "[service] update 的地址 "_gbk + baseUrl +
         " 不是 https：明文 http 只用于本机地址（127.0.0.1、::1、localhost）。"
         "请在 hosts 文件的 [service] update 中改用 https:// 地址"_gbk;
}

Bytes UpdateService::request(int method, const Text& url, const Text& body,
                             net::FetchFault& fault) const {
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
  Bytes answer = call.execute();
  fault = call.fault;
  return answer;
}

bool UpdateService::refused(Text& message) const {
  if (!configured()) {
    message = notConfiguredMessage();
    return true;
  }
  if (!secureServiceUrl(config_.baseUrl)) {
    message = plainServiceMessage(config_.baseUrl);
    return true;
  }
  return false;
}

Text notConfiguredMessage() { return "未配置更新服务"_gbk; }

int UpdateService::checkUpdates(CheckAnswer& answer, const Text& list) const {
  answer = CheckAnswer();
  if (refused(answer.message)) return -1;
  net::FetchFault fault;
  Bytes body = request(net::HttpMethod::post, config_.baseUrl + "/check",
                       "key=" + key_ + "&list=" + list, fault);
  std::optional<ParsedAnswer> parsed = parseAnswer(body, fault, answer.message);
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
  if (refused(answer.message)) return -1;
  net::FetchFault fault;
  Bytes body = request(net::HttpMethod::get, config_.baseUrl + "/log?key=" + key_, {}, fault);
  std::optional<ParsedAnswer> parsed = parseAnswer(body, fault, answer.message);
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
