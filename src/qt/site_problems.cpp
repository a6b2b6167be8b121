#include "qt/site_problems.h"

#include <QTimer>
#include <cstdio>

#include "base/encoding.h"
#include "base/files.h"
#include "forms/main_window_names.h"

namespace quenbo::qt {

void reportSiteProblems(const app::SiteSetup& sites, const std::filesystem::path& hostsFile,
                        window::WindowModel& mainWindow, window::Interactions& interactions,
                        QObject& context) {
  for (const auto& problem : sites.problems) {
    std::fprintf(stderr, "quenbo: %s\n", problem.c_str());
    mainWindow.appendText(forms::names::编辑框_日志, utf8ToGbk(problem + "\r\n"));
  }
  if (!sites.hostsOptionUnreadable) return;
  Text message = "无法读取 --hosts 指定的站点文件：\r\n"_gbk + displayPath(hostsFile);
  QTimer::singleShot(0, &context, [&interactions, message] {
    interactions.messageBox(message, {}, window::MessageButtons::Ok, window::MessageIcon::Error);
  });
}

}  // namespace quenbo::qt
