#include "update/update_flow.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "base/encoding.h"
#include "base/files.h"
#include "forms/main_window_names.h"
#include "net/com_http_request.h"
#include "script/text_codec.h"
#include "update/install_paths.h"
#include "update/update_rows.h"

namespace quenbo::update {

using namespace forms::names;
using window::EventKind;
using window::MessageAnswer;
using window::MessageButtons;
using window::MessageIcon;

struct UpdateFlow::Outcome {
  int result = 0;
  CheckAnswer answer;
  std::vector<FileRow> rows;
};

namespace {

std::vector<Text> splitFields(const Text& param) {
  std::vector<Text> fields(1);
  for (char c : param) {
    if (c == '#') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

Text packagedInstallText() {
  return "Quenbo 安装在不能由本程序改写的目录中（例如由软件包管理器安装），不会自行更新。"
         "请通过安装 Quenbo 的软件包管理器更新。"_gbk;
}

}  // namespace

UpdateFlow::UpdateFlow(window::WindowModel& mainWindow, window::WindowModel& updateWindow,
                       window::UiLoop& loop, window::Interactions& interactions,
                       UpdateSetup setup)
    : main_(mainWindow),
      window_(updateWindow),
      loop_(loop),
      interactions_(interactions),
      setup_(std::move(setup)),
      service_(setup_.service) {
  // Each thread's copy of the client asks the same stop.
  service_.setAbandon([this] { return threads_.stopping(); }, &threads_.bell());
  bind();
}

UpdateFlow::~UpdateFlow() {
  threads_.stopAndJoin();
}

void UpdateFlow::bind() {
  window_.on(按钮_查看, EventKind::Clicked, [this](const auto&) { toggleView(); });
  window_.on(按钮_更新, EventKind::Clicked, [this](const auto&) { startUpdate(); });
  main_.on(超级链接框1, EventKind::Clicked, [this](const auto&) { open(true); });
  main_.on(磁力菜单, EventKind::MenuChosen, [this](const window::Event& e) {
    if (e.item == 检查更新) open(true);
  });
}

void UpdateFlow::spawn(std::function<void()> work) {
  threads_.start(std::move(work));
}

MessageAnswer UpdateFlow::askFromThread(const Text& text, MessageButtons buttons,
                                        MessageIcon icon) {
  struct Question {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<MessageAnswer> answer;  // guarded by mutex
  };
  auto question = std::make_shared<Question>();
  later([this, question, text, buttons, icon] {
    MessageAnswer answer =
        icon == MessageIcon::Error
            ? interactions_.messageBox(text, window::defaultMessageTitle(), buttons, icon)
            : notify(text, true, buttons);
    std::lock_guard lock(question->mutex);
    question->answer = answer;
    question->answered.notify_all();
  });
  // The UI thread may be closing the flow instead of asking: the stop wakes the wait.
  StopBell::Listener listener(threads_.bell(), [question] {
    std::lock_guard lock(question->mutex);
    question->answered.notify_all();
  });
  std::unique_lock lock(question->mutex);
  question->answered.wait(lock, [&] { return question->answer || threads_.stopping(); });
  return question->answer.value_or(MessageAnswer::No);
}

void UpdateFlow::later(std::function<void()> task) {
  loop_.post([alive = std::weak_ptr<int>(alive_), task = std::move(task)] {
    if (alive.lock()) task();
  });
}

void UpdateFlow::endProcess(int code) {
  if (setup_.endProcess) return setup_.endProcess(code);
  std::fflush(nullptr);
  std::_Exit(code);
}

MessageAnswer UpdateFlow::notify(const Text& text, bool beep, MessageButtons buttons) {
  if (beep) interactions_.beep();
  return interactions_.messageBox(text, "温馨提示"_gbk, buttons, MessageIcon::None);
}

void UpdateFlow::open(bool manual) {
  if (manual) manual_ = true;
  if (updating_ && manual) {
    // The window's rows belong to the update; one that could not restart ends here.
    Text why = threads_.running() > 0 ? "正在更新，请等更新结束。"_gbk
               : !fileExists(setup_.executablePath)
                   ? missingProgramText(setup_.executablePath)
                   : "更新已结束，但程序没有重新启动：请关闭 Quenbo 后重新启动它，再检查更新。"_gbk;
    notify(why, true, MessageButtons::Ok);
    return;
  }
  if (checking_ || updating_) return;  // the window's rows are in use
  std::filesystem::path leftover = setup_.installDirectory / temporaryMainProgramName();
  if (fileExists(leftover)) (void)deleteFile(leftover);  // a leftover that stays is retried next time
  if (std::optional<Text> failed = takeReplaceFailure(setup_.installDirectory)) {
    notify(*failed, true, MessageButtons::Ok);
  }
  // A fresh window, as each check opens a new one.
  window_.setWindowVisible(false);
  window_.clearRows(超级列表框_文件);
  window_.setVisible(超级列表框_文件, true);
  window_.setVisible(编辑框_更新内容, false);
  window_.setText(编辑框_更新内容, {});
  window_.setText(按钮_查看, "更新内容"_gbk);
  window_.setEnabled(按钮_更新, true);
  runCheck();
}

void UpdateFlow::runCheck() {
  checking_ = true;
  service_.setKey(Text(kApplicationKey));
  if (!service_.configured()) {
    // No service: nothing to wait for, the check has failed at once.
    Outcome outcome;
    outcome.result = service_.checkUpdates(outcome.answer);
    return finishCheck(outcome);
  }
  std::filesystem::path executable = setup_.executablePath;
  std::filesystem::path home = setup_.installDirectory;
  // Each thread asks through its own copy of the client.
  spawn([this, service = service_, executable, home] {
    auto outcome = std::make_shared<Outcome>();
    outcome->result = service.checkUpdates(outcome->answer);
    if (outcome->result == 1) {
      Text ownDigest = script::TextCodec::fileMd5(executable);
      outcome->rows = dueRows(outcome->answer.files, home, ownDigest, executable.filename());
    }
    later([this, outcome] { finishCheck(*outcome); });
  });
}

void UpdateFlow::finishCheck(const Outcome& outcome) {
  checking_ = false;
  checkResult_ = outcome.result;
  flush_ = outcome.answer.flush;
  if (!outcome.answer.param.empty()) applyParam(outcome.answer.param);
  if (outcome.result != 1) return showResult(outcome.result, outcome.answer.message);
  for (const auto& row : outcome.rows) window_.appendRow(超级列表框_文件, row);
  if (outcome.rows.empty()) return showResult(0, {});
  showResult(1, {});
  toggleView();
}

void UpdateFlow::showResult(int result, const Text& message) {
  if (result == 1) {
    interactions_.beep();
    window_.setWindowVisible(true);
    return;
  }
  main_.setWindowVisible(true);
  if (manual_) {
    interactions_.beep();
    // A check that failed says so, and why; only a real answer is "无需更新".
    Text text = result == 0 ? "无需更新"_gbk : "检查更新失败："_gbk + message;
    interactions_.messageBox(text, window::defaultMessageTitle(), MessageButtons::Ok,
                             MessageIcon::None);
  }
  window_.setWindowVisible(false);
}

void UpdateFlow::toggleView() {
  if (window_.visible(超级列表框_文件)) {
    window_.setVisible(超级列表框_文件, false);
    window_.setVisible(编辑框_更新内容, true);
    window_.setText(按钮_查看, "更新列表"_gbk);
    loadLog();
  } else {
    window_.setVisible(超级列表框_文件, true);
    window_.setVisible(编辑框_更新内容, false);
    window_.setText(按钮_查看, "更新内容"_gbk);
  }
}

void UpdateFlow::loadLog() {
  spawn([this, service = service_] {
    auto answer = std::make_shared<LogAnswer>();
    int result = service.fetchLog(*answer);
    later([this, result, answer] {
      if (result == 1) {
        window_.setText(编辑框_更新内容, answer->log);
      } else if (result == 0) {
        notify("获取更新日志失败！"_gbk, true, MessageButtons::Ok);
      } else {
        notify("获取更新日志异常！"_gbk + answer->message, true, MessageButtons::Ok);
      }
    });
  });
}

void UpdateFlow::applyParam(const Text& param) {
  main_.setTabVisible(高级选择夹1, kAnnouncementTab, false);
  std::vector<Text> f = splitFields(param);
  switch (f.size()) {
    case 3:
      if (!f[0].empty()) fillPromotion(f[0], f[1], f[2]);
      break;
    case 4:
      setPromotionLink(f[3]);
      fillPromotion(f[0], f[1], f[2]);
      break;
    case 5:
      main_.setTabVisible(高级选择夹1, kAnnouncementTab, true);
      main_.setCurrentTab(高级选择夹1, 0);
      setPromotionLink(f[3]);
      main_.setText(编辑框_公告, f[4]);
      if (!f[0].empty()) {
        setPromotionLink({});
        fillPromotion(f[0], f[1], f[2]);
      }
      break;
    default:
      break;
  }
}

void UpdateFlow::setPromotionLink(const Text& link) {
  promotionLink_ = link;
  if (setup_.setPromotionLink) setup_.setPromotionLink(link);
}

void UpdateFlow::fillPromotion(const Text& actors, const Text& title, const Text& pictureUrl) {
  for (int tile : {11, 12}) {
    main_.setText(透明标签_电影主演(tile), actors);
    main_.setText(透明标签_电影名称(tile), title);
  }
  if (pictureUrl.empty()) {
    // No picture: none of an earlier answer stays, as after a failed download.
    for (int tile : {11, 12}) main_.setPicture(图片框_电影(tile), Bytes());
    return;
  }
  // The picture is fetched off the window thread; the model takes it from any thread.
  spawn([this, pictureUrl] {
    for (int tile : {11, 12}) {
      net::ComHttpRequest request;
      request.url = pictureUrl;
      request.totalTimeoutMs = setup_.service.timeoutMs;
      request.abandon = [this] { return threads_.stopping(); };
      request.stopBell = &threads_.bell();
      Bytes picture = request.execute();
      if (threads_.stopping()) return;
      main_.setPicture(图片框_电影(tile), picture);
    }
  });
}

void UpdateFlow::onUpdateWindowClosed() {
  if (window_.rowCount(超级列表框_文件) > 0) {
    if (!flush_) {
      main_.setWindowVisible(true);
    } else if (!manual_) {
      return endProcess(0);  // a forced update refused at start-up
    }
  }
  window_.setWindowVisible(false);
}

void UpdateFlow::startUpdate() {
  if (!selfUpdateAllowed(setup_.installDirectory)) {
    notify(packagedInstallText(), true, MessageButtons::Ok);
    return;
  }
  window_.setEnabled(按钮_更新, false);
  updating_ = true;  // ends by ending the process, or stays when there is nothing to restart
  UpdaterSetup setup{setup_.installDirectory, setup_.executablePath,
                     setup_.service.trustedCertificates, true};
  setup.abandon = [this] { return threads_.stopping(); };
  setup.stopBell = &threads_.bell();
  setup.arguments = setup_.arguments;
  setup.limits = setup_.limits;
  UpdaterHooks hooks;
  hooks.ask = [this](const Text& text, MessageButtons buttons, MessageIcon icon) {
    return askFromThread(text, buttons, icon);
  };
  hooks.endProcess = [this](int code) { later([this, code] { endProcess(code); }); };
  hooks.statusChanged = [this](int row, const Text& status) {
    window_.setCell(超级列表框_文件, row, kStatusColumn, status);
  };
  std::vector<FileRow> rows;
  for (int row = 0; row < window_.rowCount(超级列表框_文件); ++row) {
    rows.push_back(window_.row(超级列表框_文件, row));
  }
  spawn([this, rows = std::move(rows), setup = std::move(setup),
         hooks = std::move(hooks)]() mutable {
    Updater(std::move(rows), std::move(setup), std::move(hooks)).runUpdate();
  });
}

}  // namespace quenbo::update
