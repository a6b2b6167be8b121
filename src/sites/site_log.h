// The progress lines of the site adapters in the log box.
#pragma once

#include "base/text.h"

namespace quenbo::sites {

class SiteChannel;

// The messages of a site's log lines (GBK).
struct SiteLogMessages {
  static const Text& manualStop();  // 已手动停止搜索
  static const Text& noData();      // 页面不存在 或 无资源数据 ，已自动停止搜索
  static const Text& jsonFailed();  // JSON解析失败，已自动停止搜索
  static const Text& finished();    // 全部页数搜索完毕, with one trailing space
  static Text page(int number);     // 第 N 页
  static const Text& pageTooLong();  // 单页资源超过 2000 条，已自动停止搜索
  static const Text& storeFull();    // 资源总数已达 200000 条上限，已自动停止搜索
  // 主机 A 无法使用（reason），改用镜像 B: page 1 is asked of the site's next mirror.
  static Text mirrorSwitch(const Text& failedHost, const Text& reason, const Text& nextHost);
  // 主机 A 无法使用（reason），镜像时限 6 秒已用完，未试镜像 B、C: page 1's walk over the
  // mirrors has used its time (twice the time-out) and leaves the rest.
  static Text mirrorsSkipped(const Text& failedHost, const Text& reason, int seconds,
                             const Text& skippedHosts);
  // "；镜像时限 6 秒已用完，未试镜像 B、C": the same, after the site's reason.
  static Text mirrorsSkippedNote(int seconds, const Text& skippedHosts);
};

// The 20-character time field, three spaces, "Web：" and the label filled with spaces to 18
// bytes (a Chinese character counts two), the message, CR LF.
Text siteLogLine(const Text& timeField, const Text& label, const Text& message);

// Writes the line, stamped with the current local time, through the channel.
void writeSiteLog(SiteChannel& channel, const Text& label, const Text& message);

}  // namespace quenbo::sites
