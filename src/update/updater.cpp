#include "update/updater.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "base/encoding.h"
#include "base/files.h"
#include "base/text_search.h"
#include "net/transfer_client.h"
#include "script/text_codec.h"
#include "update/install_paths.h"
#include "update/transfer_reasons.h"
#include "update/update_rows.h"
#include "update/update_scripts.h"

namespace quenbo::update {

using window::MessageAnswer;
using window::MessageButtons;
using window::MessageIcon;

namespace {

// Downloads go to this name beside their target and are renamed over it once verified, so
// a failed download never leaves a broken file where a good one was.
constexpr std::string_view kPartSuffix = ".quenbo-part";

}  // namespace

Text missingProgramText(const std::filesystem::path& executable) {
  return "找不到程序文件 "_gbk + displayPath(executable) +
         "，无法重新启动。更新已结束，请重新安装或手动启动 Quenbo。"_gbk;
}

Updater::Updater(std::vector<FileRow> rows, UpdaterSetup setup, UpdaterHooks hooks)
    : rows_(std::move(rows)), setup_(std::move(setup)), hooks_(std::move(hooks)) {}

std::vector<FileRow> Updater::rows() const {
  std::lock_guard lock(rowsMutex_);
  return rows_;
}

Text Updater::cell(int row, int column) const {
  std::lock_guard lock(rowsMutex_);
  const FileRow& cells = rows_.at(static_cast<std::size_t>(row));
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                          : Text();
}

Text Updater::normaliseHeaders(Text text) {
  if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
  if (findText(text, "Accept") == -1) text += "Accept:*/*\r\n";
  if (findText(text, "Content-Type") == -1) {
    text += "Content-Type:application/x-www-form-urlencoded\r\n";
  }
  if (findText(text, "User-Agent") == -1) {
    text += "User-Agent:Mozilla/5.0 (Windows NT 6.1; WOW64; rv:23.0) Gecko/20100101 "
            "Firefox/23.0\r\n";
  }
  return text;
}

void Updater::setStatus(int row, const Text& status) {
  {
    std::lock_guard lock(rowsMutex_);
    FileRow& cells = rows_.at(static_cast<std::size_t>(row));
    if (cells.size() <= static_cast<std::size_t>(kStatusColumn)) cells.resize(kStatusColumn + 1);
    cells[static_cast<std::size_t>(kStatusColumn)] = status;
  }
  if (hooks_.statusChanged) hooks_.statusChanged(row, status);
}

void Updater::reportProgress(int, std::int64_t total, std::int64_t received) {
  if (total <= 0) return;
  setStatus(currentRow_, std::to_string(received * 100 / total) + "%");
}

bool Updater::downloadThread(const Text& url, const std::filesystem::path& directory,
                             const std::filesystem::path& name, const Text& headerText,
                             int identifier) {
  net::TransferClient client;
  client.trustCertificates(setup_.trustedCertificates);
  client.setAbandon(setup_.abandon, setup_.stopBell);
  client.setMinimumRate(setup_.limits.minimumRate, setup_.limits.rateWindow);
  client.setDeadline(setup_.limits.deadline);
  if (!client.open("GET", url)) return false;
  std::string_view rest = headerText;
  while (!rest.empty()) {
    std::size_t end = rest.find("\r\n");
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
    if (line.empty()) continue;
    std::size_t colon = line.find(':');
    (void)client.setHeader(line.substr(0, colon),
                           colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1));
  }
  bool received = client.send() &&
                  client.receiveToFile(directory, name, [this](int id, std::int64_t total,
                                                               std::int64_t received, std::int64_t) {
                    reportProgress(id, total, received);
                  }, identifier);
  lastFault_ = client.fault();
  return received;
}

bool Updater::startDownload(const Text& url, const std::filesystem::path& directory,
                            const std::filesystem::path& name, const Text& headerText,
                            int identifier) {
  Text source = url.starts_with("http") ? url : "http://" + url;
  std::filesystem::path target = directory / name;
  if (fileExists(target)) (void)deleteFile(target);  // the download replaces it anyway
  lastFault_ = net::FetchFault();
  bool done = false;
  std::thread download([&] {
    done = downloadThread(source, directory, name, normaliseHeaders(headerText), identifier);
  });
  download.join();
  return done;
}

bool Updater::verifyRow(int row, const std::filesystem::path& file) const {
  return fileExists(file) &&
         script::TextCodec::fileMd5(file) == cell(row, kServiceMd5Column);
}

void Updater::failRow(int row, const Text& what, const Text& problem) {
  Text why = problem.empty() ? Text() : "（"_gbk + problem + "）"_gbk;
  setStatus(row, failedText() + why);
  if (abandoned()) return;
  if (hooks_.ask(what + why + "，是否重新启动程序？"_gbk, MessageButtons::YesNo,
                 MessageIcon::None) == MessageAnswer::Yes) {
    restartSelf();
  } else {
    hooks_.endProcess(0);
  }
}

void Updater::runUpdate() {
  const std::filesystem::path& home = setup_.installDirectory;
  const int rows = static_cast<int>(rows_.size());  // the run alone changes nothing but statuses
  for (int row = 0; row < rows; ++row) {
    auto cell = [&](int column) { return this->cell(row, column); };
    if (cell(kKindColumn) == mainProgramKind() || cell(kStatusColumn) == succeededText()) continue;
    currentRow_ = row;
    std::optional<std::filesystem::path> target = installedPath(home, cell(kPathColumn));
    bool verified = false;
    if (target) {
      std::filesystem::path directory = target->parent_path();
      std::filesystem::path part = target->filename();
      part += kPartSuffix;
      if (makeDirectories(directory)) {
        startDownload(cell(kUrlColumn), directory, part, "Referer=/", 0);
        std::filesystem::path partPath = directory / part;
        if (abandoned()) {
          (void)deleteFile(partPath);
          return;
        }
        verified = verifyRow(row, partPath);
        struct stat old {};
        if (verified && ::stat(target->c_str(), &old) == 0) {
          ::chmod(partPath.c_str(), old.st_mode & 07777);
        }
        verified = verified && std::rename(partPath.c_str(), target->c_str()) == 0;
        if (!verified) (void)deleteFile(partPath);  // a stale part file is overwritten next time
      }
    }
    if (!verified) return failRow(row, "更新文件失败"_gbk, transferProblemText(lastFault_));
    setStatus(row, succeededText());
  }

  for (int row = 0; row < rows; ++row) {
    if (cell(row, kKindColumn) != mainProgramKind()) continue;
    currentRow_ = row;
    std::filesystem::path download = home / temporaryMainProgramName();
    startDownload(cell(row, kUrlColumn), home,
                  temporaryMainProgramName(), "token=qmvt", 999);
    if (abandoned()) {
      (void)deleteFile(download);  // deleted again at the next start
      return;
    }
    if (!verifyRow(row, download)) {
      (void)deleteFile(download);  // deleted again at the next start
      return failRow(row, "主程序更新失败"_gbk, transferProblemText(lastFault_));
    }
    // Only a replace that can happen is announced as done.
    std::error_code sizeError;
    Text obstacle = replaceObstacle(replaceTarget(), std::filesystem::file_size(download, sizeError),
                                    setup_.user);
    if (!obstacle.empty()) {
      (void)deleteFile(download);
      return failRow(row, "主程序更新失败"_gbk, obstacle);
    }
    setStatus(row, succeededText());
    hooks_.ask("程序更新完毕，点击确定后程序将自动替换更新文件并重启"_gbk, MessageButtons::Ok,
               MessageIcon::None);
    if (abandoned()) return;
    return replaceSelf(download);
  }

  hooks_.ask("程序更新完毕，点击确定后程序将自动重启"_gbk, MessageButtons::Ok, MessageIcon::None);
  if (abandoned()) return;
  restartSelf();
}

std::filesystem::path Updater::replaceTarget() const {
  return setup_.installDirectory / setup_.executablePath.filename();
}

void Updater::restartSelf(int seconds) {
  if (!fileExists(setup_.executablePath)) {
    hooks_.ask(missingProgramText(setup_.executablePath), MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  if (setup_.restart) {
    runDetachedScript(restartScript(setup_.executablePath.string(), seconds,
                                    shellWords(setup_.arguments)));
  }
  hooks_.endProcess(0);
}

void Updater::replaceSelf(const std::filesystem::path& source) {
  if (!fileExists(source)) {
    hooks_.ask("替换自身失败，原因：用于替换的文件不存在！"_gbk, MessageButtons::Ok,
               MessageIcon::Error);
    return hooks_.endProcess(0);
  }
  std::filesystem::path target = replaceTarget();
  std::optional<std::string> arguments;
  if (setup_.restart) arguments = shellWords(setup_.arguments);
  struct stat old {};
  // The old file's mode, and whoever may read it may run it.
  mode_t mode = ::stat(target.c_str(), &old) == 0 ? old.st_mode & 0777 : 0755;
  mode |= (mode & 0444) >> 2;
  runDetachedScript(replaceScript(source.string(), target.string(), ::getpid(), arguments, mode,
                                  replaceFailureMark(setup_.installDirectory).string()));
  hooks_.endProcess(0);
}

}  // namespace quenbo::update
