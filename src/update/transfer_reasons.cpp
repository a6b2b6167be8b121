#include "update/transfer_reasons.h"

#include "base/encoding.h"

namespace quenbo::update {
namespace {

Text certificateText(CertificateProblem problem) {
  switch (problem) {
    case CertificateProblem::hostName:
      return "证书与主机名不符"_gbk;
    case CertificateProblem::expired:
      return "证书已过期"_gbk;
    case CertificateProblem::untrusted:
      return "证书不受信任"_gbk;
    default:
      return "TLS 握手失败"_gbk;
  }
}

// Where the host says which server is meant, it is named after a "：".
Text withHost(const Text& text, const std::string& host) {
  return host.empty() ? text : text + "："_gbk + Text(host);
}

}  // namespace

Text transferProblemText(const FetchFault& fault) {
  switch (fault.failure) {
    case FetchFailure::none:
      return {};
    case FetchFailure::unavailable:
      return "网络组件不可用"_gbk;
    case FetchFailure::setup:
      return "请求无法发出"_gbk;
    case FetchFailure::badUrl:
      return "地址无效"_gbk;
    case FetchFailure::resolve:
      return withHost("无法解析主机名"_gbk, fault.host);
    case FetchFailure::connect:
      return withHost("无法连接"_gbk, fault.host);
    case FetchFailure::tls:
      return withHost(certificateText(fault.certificate), fault.host);
    case FetchFailure::timeout:
      return "超时"_gbk;
    case FetchFailure::tooLarge:
      return "数据超过 32 MiB"_gbk;
    case FetchFailure::tooSlow:
      return "传输过慢"_gbk;
    case FetchFailure::redirectRefused:
      return withHost("拒绝从 https 转向 http"_gbk, fault.host);
    case FetchFailure::dropped:
      return "连接中断"_gbk;
    case FetchFailure::stopped:
      return "已取消"_gbk;
    case FetchFailure::other:
      break;
  }
  return "网络错误"_gbk;
}

Text withTransferProblem(const Text& text, const FetchFault& fault) {
  Text problem = transferProblemText(fault);
  return problem.empty() ? text : text + "（"_gbk + problem + "）"_gbk;
}

}  // namespace quenbo::update
