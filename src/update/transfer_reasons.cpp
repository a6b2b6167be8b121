#include "update/transfer_reasons.h"

#include "base/encoding.h"

namespace quenbo::update {
namespace {

Text certificateText(net::CertificateProblem problem) {
  switch (problem) {
    case net::CertificateProblem::hostName:
      return "证书与主机名不符"_gbk;
    case net::CertificateProblem::expired:
      return "证书已过期"_gbk;
    case net::CertificateProblem::untrusted:
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

Text transferProblemText(const net::FetchFault& fault) {
  switch (fault.failure) {
    case net::FetchFailure::none:
      return {};
    case net::FetchFailure::unavailable:
      return "网络组件不可用"_gbk;
    case net::FetchFailure::setup:
      return "请求无法发出"_gbk;
    case net::FetchFailure::badUrl:
      return "地址无效"_gbk;
    case net::FetchFailure::resolve:
      return withHost("无法解析主机名"_gbk, fault.host);
    case net::FetchFailure::connect:
      return withHost("无法连接"_gbk, fault.host);
    case net::FetchFailure::tls:
      return withHost(certificateText(fault.certificate), fault.host);
    case net::FetchFailure::timeout:
      return "超时"_gbk;
    case net::FetchFailure::tooLarge:
      return "数据超过 32 MiB"_gbk;
    case net::FetchFailure::tooSlow:
      return "传输过慢"_gbk;
    case net::FetchFailure::redirectRefused:
      return withHost("拒绝从 https 转向 http"_gbk, fault.host);
    case net::FetchFailure::dropped:
      return "连接中断"_gbk;
    case net::FetchFailure::stopped:
      return "已取消"_gbk;
    case net::FetchFailure::other:
      break;
  }
  return "网络错误"_gbk;
}

Text withTransferProblem(const Text& text, const net::FetchFault& fault) {
  Text problem = transferProblemText(fault);
  return problem.empty() ? text : text + "（"_gbk + problem + "）"_gbk;
}

}  // namespace quenbo::update
