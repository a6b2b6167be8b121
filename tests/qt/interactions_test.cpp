// Dialogs, the popup menu, links, the clipboard, sound and the small rules behind them.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "base/encoding.h"
#include "core/completion_sound.h"
#include "qt_fixture.h"
#include "support/fixtures.h"
#include "qt/component_widgets.h"
#include "qt/key_codes.h"
#include "qt/qt_interactions.h"
#include "qt/qt_loop.h"
#include "qt/qt_text.h"
#include "qt/sound_player.h"
#include "qt/translations.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

// The menu as text: captions in order, "-" for a separator, a submenu's items in brackets.
QString describe(const QMenu& menu) {
  QStringList parts;
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      parts << QStringLiteral("-");
    } else if (action->menu()) {
      parts << action->text() + QStringLiteral("[") + describe(*action->menu()) +
                   QStringLiteral("]");
    } else {
      parts << action->text();
    }
  }
  return parts.join(QLatin1Char('|'));
}

class Interactions : public ::testing::Test {
 protected:
  QtLoop loop_;
  QtInteractions ui_{loop_};
};

TEST_F(Interactions, ResultMenuShowsNoHiddenItem) {
  QMenu menu;
  buildPopupMenu(*forms::mainWindowTemplate().findMenu(std::string(磁力菜单)), menu);
  EXPECT_EQ(describe(menu),
            QStringLiteral("迅雷下载|复制链接|-|数据排序[文件大小|资源热度|默认顺序]|"
                           "导出数据[TXT 文本]"));
  for (QAction* action : menu.actions()) {
    if (!action->menu() && !action->isSeparator()) {
      EXPECT_FALSE(action->data().toString().isEmpty());
    }
  }
  EXPECT_EQ(menu.actions()[0]->data().toString().toStdString(), 迅雷下载);
}

TEST_F(Interactions, SaveDialogLabelsTheEntryAsDesignedAndMatchesItsPattern) {
  struct Case {
    const char* label;
    const char* filter;
  };
  const Case cases[] = {
      {"文本文件（*.txt）", "文本文件（*.txt） (*.txt)"},
      {"Images (*.png;*.jpg)", "Images (*.png;*.jpg) (*.png *.jpg)"},
      {"所有文件", "所有文件 (*)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nameFilterFor(QString::fromUtf8(c.label)), QString::fromUtf8(c.filter));

  quenbo::testing::TempDir dir;
  // A name GBK cannot hold comes back as the file system spells it.
  QString chosen = QString::fromStdString(dir.file("søren 결과"));
  QStringList shownFilters;
  whenModalShown([&](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    shownFilters = dialog.nameFilters();
    dialog.selectFile(chosen);
    static_cast<QDialog&>(dialog).accept();
  });
  std::optional<std::filesystem::path> path = ui_.saveFileDialog("文本文件（*.txt）"_gbk);
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(path->string(), chosen.toStdString());
  EXPECT_EQ(shownFilters, QStringList{QStringLiteral("文本文件（*.txt） (*.txt)")});

  whenModalShown([](QWidget& modal) { dynamic_cast<QFileDialog&>(modal).reject(); });
  EXPECT_FALSE(ui_.saveFileDialog("文本文件（*.txt）"_gbk).has_value());
}

TEST_F(Interactions, MessageBoxesCarryTheirTitleAndReturnTheAnswer) {
  struct Case {
    Text title;
    window::MessageButtons buttons;
    QMessageBox::StandardButton press;
    window::MessageAnswer answer;
    QString shownTitle;
  };
  const Case cases[] = {
      {{}, window::MessageButtons::Ok, QMessageBox::Ok, window::MessageAnswer::Ok, "信息："},
      {"温馨提示"_gbk, window::MessageButtons::YesNo, QMessageBox::Yes, window::MessageAnswer::Yes,
       "温馨提示"},
      {"温馨提示"_gbk, window::MessageButtons::YesNo, QMessageBox::No, window::MessageAnswer::No,
       "温馨提示"},
  };
  for (const auto& c : cases) {
    QString title, text;
    whenModalShown([&](QWidget& modal) {
      auto& box = dynamic_cast<QMessageBox&>(modal);
      title = box.windowTitle();
      text = box.text();
      box.button(c.press)->click();
    });
    EXPECT_EQ(ui_.messageBox("发现新版本，\r\n是否更新？"_gbk, c.title, c.buttons,
                             window::MessageIcon::None),
              c.answer);
    EXPECT_EQ(title, c.shownTitle);
    EXPECT_EQ(text, QStringLiteral("发现新版本，\n是否更新？"));
  }
}

TEST(SoundPlayerOutput, AMissingAudioDeviceWritesNothingOnStandardError) {
  std::fflush(stderr);
  int saved = ::dup(2);
  quenbo::testing::TempDir dir;
  std::string captured = dir.file("stderr");
  int file = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(file, 2);
  {
    SoundPlayer player(nullptr, QUENBO_SOUND_MODULE);
    player.play(core::completionSound());  // plays where there is a device, else nothing
    EXPECT_TRUE(player.moduleLoaded());
  }
  std::fflush(stderr);
  ::dup2(saved, 2);
  ::close(saved);
  ::close(file);
  EXPECT_EQ(quenbo::testing::readWholeFile(captured), "");
}

// Without its module the player plays nothing and says so; a bad clip never loads it.
TEST(SoundPlayerOutput, AMissingModuleOrABadClipPlaysNothing) {
  SoundPlayer missing(nullptr, "/nonexistent/quenbo-sound.so");
  EXPECT_FALSE(missing.play(core::completionSound()));
  EXPECT_FALSE(missing.moduleLoaded());
  EXPECT_FALSE(missing.playing());
  SoundPlayer noPath(nullptr, {});
  EXPECT_FALSE(noPath.play(core::completionSound()));
  SoundPlayer badClip(nullptr, QUENBO_SOUND_MODULE);
  EXPECT_FALSE(badClip.play("RIFF1234WAVEdata"));
  EXPECT_FALSE(badClip.moduleLoaded());
}

TEST(WindowLocale, TheWindowStaysChineseWhateverTheSystemSpeaks) {
  struct Case {
    const char* system;
    const char* chosen;
  } cases[] = {{"en_US", "zh_CN"}, {"C", "zh_CN"}, {"de_DE", "zh_CN"}, {"zh_TW", "zh_TW"},
               {"zh_CN", "zh_CN"}};
  for (const Case& c : cases)
    EXPECT_EQ(windowLocale(QLocale(QString::fromLatin1(c.system))).name(),
              QString::fromLatin1(c.chosen))
        << c.system;
}

TEST_F(Interactions, StandardButtonsReadInChineseAndTheTitleHasRoom) {
  ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance(), windowLocale(QLocale::c())))
      << "Qt's translations (qt6-translations-l10n) are missing";
  QString ok, yes, no;
  int width = 0, titleWidth = 0;
  whenModalShown([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    ok = box.button(QMessageBox::Ok)->text();
    width = box.width();
    titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle());
    box.button(QMessageBox::Ok)->click();
  });
  ui_.messageBox("短"_gbk, "一个相当长的对话框标题文字"_gbk, window::MessageButtons::Ok,
                 window::MessageIcon::None);
  EXPECT_EQ(ok, QStringLiteral("确定"));
  EXPECT_GT(width, titleWidth + 100);

  whenModalShown([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    yes = box.button(QMessageBox::Yes)->text();
    no = box.button(QMessageBox::No)->text();
    box.button(QMessageBox::No)->click();
  });
  ui_.messageBox("是否更新？"_gbk, {}, window::MessageButtons::YesNo, window::MessageIcon::None);
  EXPECT_TRUE(yes.startsWith(QStringLiteral("是"))) << yes.toStdString();
  EXPECT_TRUE(no.startsWith(QStringLiteral("否"))) << no.toStdString();
}

TEST_F(Interactions, OnlyMagnetAndWebLinksReachTheDesktop) {
  QStringList launched;
  ui_.setLauncher([&](const QString& program, const QStringList& arguments) {
    launched << program + QStringLiteral(" ") + arguments.join(QStringLiteral("|"));
    return true;
  });
  for (const char* link :
       {"magnet:?xt=urn:btih:abc&dn=a b", "https://example.test/a?b=1", "http://example.test",
        "file:///etc/passwd", "javascript:alert(1)", "--help", "", " magnet:?xt=urn:btih:abc"}) {
    ui_.openUrl(link);
  }
  EXPECT_EQ(launched,
            (QStringList{"xdg-open magnet:?xt=urn:btih:abc&dn=a b",
                         "xdg-open https://example.test/a?b=1", "xdg-open http://example.test"}));
}

TEST_F(Interactions, ClipboardTakesGbkTextAndOtherThreadsAreMarshalled) {
  std::thread([&] { ui_.setClipboardText("磁力 magnet:?xt=urn:btih:ABC"_gbk); }).join();
  ASSERT_TRUE(processUntil([] {
    return QGuiApplication::clipboard()->text() == QStringLiteral("磁力 magnet:?xt=urn:btih:ABC");
  }));
}

TEST_F(Interactions, DelayedTasksRunOnTheGuiThreadAfterTheirDelay) {
  std::vector<std::thread::id> ranOn;
  auto record = [&] { ranOn.push_back(std::this_thread::get_id()); };
  QElapsedTimer clock;
  clock.start();
  std::thread([&] { loop_.postAfter(std::chrono::milliseconds(40), record); }).join();
  loop_.postAfter(std::chrono::milliseconds(10), record);
  ASSERT_TRUE(processUntil([&] { return ranOn.size() == 2; }));
  EXPECT_GE(clock.elapsed(), 40);
  EXPECT_EQ(ranOn, std::vector<std::thread::id>(2, std::this_thread::get_id()));
}

TEST_F(Interactions, CompletionSoundIsReadFromMemoryAndNeverBlocks) {
  auto clip = parseWave(core::completionSound());
  ASSERT_TRUE(clip.has_value());
  EXPECT_EQ(clip->channels, 2);
  EXPECT_EQ(clip->sampleRate, 22050);
  EXPECT_EQ(clip->bitsPerSample, 16);
  EXPECT_EQ(clip->dataSize, 140000u);
  EXPECT_EQ(clip->dataOffset + clip->dataSize, core::completionSound().size());

  Bytes wave = core::completionSound();
  EXPECT_FALSE(parseWave(wave.substr(0, 30)).has_value());
  EXPECT_FALSE(parseWave("RIFF1234WAVEdata").has_value());
  Bytes compressed = wave;
  compressed[20] = 2;  // not PCM
  EXPECT_FALSE(parseWave(compressed).has_value());
  Bytes huge = wave;
  huge[16] = '\xFF', huge[17] = '\xFF', huge[18] = '\xFF',
  huge[19] = '\x7F';  // fmt chunk past the end
  EXPECT_FALSE(parseWave(huge).has_value());

  // Without an audio device (as here) nothing plays and the call returns at once.
  QElapsedTimer clock;
  clock.start();
  ui_.playSound(wave);
  ui_.playSound("not a wave");
  EXPECT_LT(clock.elapsed(), 500);
}

TEST(TypingRule, IntegerBoxesAndLimits) {
  window::EditStyle pages{.centred = true, .integerInput = true, .maxLength = 2};
  window::EditStyle free{};
  struct Case {
    const window::EditStyle* style;
    const char* before;
    const char* after;
    bool allowed;
  };
  const Case cases[] = {
      {&pages, "", "4", true},          {&pages, "4", "4a", false}, {&pages, "4", "45", true},
      {&pages, "45", "456", false},     {&pages, "", "-", true},    {&pages, "12345", "1234", true},
      {&pages, "12345", "12395", true}, {&pages, "", "５", false},  {&free, "", "abc", true},
      {&pages, "", "9x", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(typingAllowed(*c.style, QString::fromUtf8(c.before), QString::fromUtf8(c.after)),
              c.allowed)
        << c.before << " -> " << c.after;
  }
}

TEST(KeyCodes, AreThoseOfTheDesignedPlatform) {
  struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    int code;
  };
  const Case cases[] = {{Qt::Key_Return, {}, 13}, {Qt::Key_Enter, Qt::KeypadModifier, 13},
                        {Qt::Key_Escape, {}, 27}, {Qt::Key_A, Qt::ShiftModifier, 'A'},
                        {Qt::Key_A, {}, 'A'},     {Qt::Key_7, {}, '7'},
                        {Qt::Key_F1, {}, 0},      {Qt::Key_Backspace, {}, 8}};
  for (const auto& c : cases) {
    QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
    EXPECT_EQ(keyCodeOf(event), c.code) << c.key;
  }
}

TEST(WidgetTexts, ConvertBetweenGbkAndUtf16) {
  const Text gbk = "搜索页数：\r\n第二行"_gbk;
  EXPECT_EQ(toQString(gbk), QStringLiteral("搜索页数：\r\n第二行"));
  EXPECT_EQ(toText(QStringLiteral("搜索页数：\r\n第二行")), gbk);
  EXPECT_EQ(toDisplayLines(gbk), QStringLiteral("搜索页数：\n第二行"));
  EXPECT_EQ(fromDisplayLines(QStringLiteral("a\nb\r\nc")), "a\r\nb\r\nc");
  EXPECT_EQ(toText(QStringLiteral("€ 😀")),
            "\x80 ?");  // the euro sign is GBK 0x80; emoji are not GBK
  EXPECT_EQ(toQString("magnet:?xt=urn:btih:abc"), QStringLiteral("magnet:?xt=urn:btih:abc"));
}

}  // namespace
}  // namespace quenbo::qt::testing
