#include "sites/site_log.h"

#include "base/encoding.h"
#include "sites/request_texts.h"
#include "sites/site_channel.h"

namespace quenbo::sites {

namespace {
constexpr std::size_t kLabelWidth = 18;
}

const Text& SiteLogMessages::manualStop() {
  static const Text text = "已手动停止搜索"_gbk;
  return text;
}

const Text& SiteLogMessages::noData() {
  static const Text text = "页面不存在 或 无资源数据 ，已自动停止搜索"_gbk;
  return text;
}

const Text& SiteLogMessages::jsonFailed() {
  static const Text text = "JSON解析失败，已自动停止搜索"_gbk;
  return text;
}

const Text& SiteLogMessages::finished() {
  static const Text text = "全部页数搜索完毕 "_gbk;
  return text;
}

const Text& SiteLogMessages::pageTooLong() {
  static const Text text = "单页资源超过 2000 条，已自动停止搜索"_gbk;
  return text;
}

const Text& SiteLogMessages::storeFull() {
  static const Text text = "资源总数已达 200000 条上限，已自动停止搜索"_gbk;
  return text;
}

Text SiteLogMessages::page(int number) {
  static const Text before = "第 "_gbk;
  static const Text after = " 页"_gbk;
  return before + std::to_string(number) + after;
}

Text SiteLogMessages::mirrorSwitch(const Text& failedHost, const Text& reason,
                                   const Text& nextHost) {
  return "主机 "_gbk + failedHost + " 无法使用（"_gbk + reason + "），改用镜像 "_gbk + nextHost;
}

Text SiteLogMessages::mirrorsSkipped(const Text& failedHost, const Text& reason, int seconds,
                                     const Text& skippedHosts) {
  return "主机 "_gbk + failedHost + " 无法使用（"_gbk + reason + "），镜像时限 "_gbk +
         std::to_string(seconds) + " 秒已用完，未试镜像 "_gbk + skippedHosts;
}

Text SiteLogMessages::mirrorsSkippedNote(int seconds, const Text& skippedHosts) {
  return "；镜像时限 "_gbk + std::to_string(seconds) + " 秒已用完，未试镜像 "_gbk + skippedHosts;
}

Text siteLogLine(const Text& timeField, const Text& label, const Text& message) {
  static const Text web = "Web："_gbk;
  Text line = timeField + "   " + web + label;
  if (label.size() < kLabelWidth) line.append(kLabelWidth - label.size(), ' ');
  return line + message + "\r\n";
}

void writeSiteLog(SiteChannel& channel, const Text& label, const Text& message) {
  channel.log(siteLogLine(logTimeText(), label, message));
}

}  // namespace quenbo::sites
