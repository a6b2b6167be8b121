// The main window's widgets against its model: layout from the template, changes from any
// thread, and the user's actions as events.
#include "qt/window_view.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <thread>

#include "base/encoding.h"
#include "base/numbers.h"
#include "qt_fixture.h"
#include "qt/component_widgets.h"
#include "qt/qt_loop.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "forms/window_templates.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;
using window::EventKind;

class MainWindowView : public ::testing::Test {
 protected:
  void SetUp() override {
    model_.setWindowVisible(true);
    ASSERT_TRUE(processUntil([&] { return view_.isVisible(); }));
  }
  template <class W>
  W& widget(std::string_view name) {
    W* found = qobject_cast<W*>(view_.widget(name));
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  void record(const window::ComponentId& name, EventKind kind) {
    model_.on(name, kind, [this](const window::Event& e) { events_.push_back(e); });
  }
  void showTab(int tab) {
    model_.setCurrentTab(高级选择夹1, tab);
    ASSERT_TRUE(processUntil([&] {
      return dynamic_cast<TabControl*>(view_.widget(高级选择夹1))->tabBar()->currentIndex() == tab;
    }));
  }

  QtLoop loop_;
  window::WindowModel model_{forms::mainWindowTemplate()};
  WindowView view_{model_, loop_};
  std::vector<window::Event> events_;
};

TEST_F(MainWindowView, PlacesEveryComponentWhereItsContainerPutsIt) {
  // Components on a tab page are given in the tab control's coordinates, tab bar included.
  for (const auto& c : model_.layout().components) {
    QWidget* w = view_.widget(c.name);
    if (!w) continue;  // timers and dialogs
    QPoint origin = c.parent.empty() ? QPoint() : view_.widget(c.parent)->mapTo(&view_, QPoint());
    EXPECT_EQ(w->mapTo(&view_, QPoint()), origin + QPoint(c.geometry.left, c.geometry.top))
        << c.name;
    EXPECT_EQ(w->size(), QSize(c.geometry.width, c.geometry.height)) << c.name;
  }
  EXPECT_EQ(view_.widget(超级按钮_搜索)->parentWidget(), view_.widget(图片框_开始停止));
  std::vector<int> partWidths, designed;
  for (QLabel* part : view_.widget(状态条1)->findChildren<QLabel*>()) {
    partWidths.push_back(part->width());
  }
  for (const auto& part : model_.layout().find(std::string(状态条1))->parts) {
    designed.push_back(part.width);
  }
  EXPECT_EQ(partWidths, designed);

  int visibleSites = 0;
  for (const auto& site : core::kSites) {
    QWidget* box = view_.widget(siteCheckBox(site.label));
    EXPECT_EQ(box->isVisibleTo(box->parentWidget()), site.shown) << site.label;
    visibleSites += site.shown;
  }
  EXPECT_EQ(visibleSites, 11);
  EXPECT_FALSE(
      view_.widget(编辑框_线程数量)->isVisibleTo(view_.widget(编辑框_线程数量)->parentWidget()));
  EXPECT_FALSE(widget<QPushButton>(超级按钮_停止).isEnabled());
  EXPECT_EQ(widget<QCheckBox>(选择框_精准搜索).text(),
            QStringLiteral(" 只显示包含搜索关键字词的资源"));
}

TEST_F(MainWindowView, UsesTheDesignedColours) {
  struct Case {
    std::string_view name;
    QRgb rgb;
  };
  const Case cases[] = {{编辑框_搜索, 0xFF0000},
                        {编辑框_关键字词A, 0x008080},
                        {编辑框_关键字词B, 0x800000},
                        {编辑框_公告, 0x008000},
                        {编辑框_GB, 0xFF0000}};
  for (const auto& c : cases) {
    EXPECT_EQ(view_.widget(c.name)->palette().color(QPalette::Text).rgb() & 0xFFFFFF, c.rgb)
        << c.name;
  }
  // Release dates turn blue when the film board says so.
  model_.setTextColour(透明标签_上映时间(3), window::kBlue);
  ASSERT_TRUE(processUntil([&] {
    return (view_.widget(透明标签_上映时间(3))->palette().color(QPalette::WindowText).rgb() &
            0xFFFFFF) == 0x0000FF;
  }));
}

TEST_F(MainWindowView, ChangesFromAWorkerThreadReachTheWidgets) {
  std::thread worker([&] {
    model_.setText(透明标签_电影名称(1), "误杀"_gbk);
    model_.setStatusPart(状态条1, 2, "过滤资源：7 条"_gbk);
    model_.setEnabled(超级按钮_停止, true);
    model_.setVisible(图片框_电影(6), true);
    model_.setTabVisible(高级选择夹1, kAnnouncementTab, true);
    for (int i = 0; i < 2000; ++i)
      model_.appendText(编辑框_日志, "第"_gbk + integerToText(i) + "行\r\n"_gbk);
  });
  worker.join();
  auto& log = widget<QPlainTextEdit>(编辑框_日志);
  ASSERT_TRUE(processUntil([&] { return log.document()->blockCount() == 2001; }));
  EXPECT_EQ(widget<QLabel>(透明标签_电影名称(1)).text(), QStringLiteral("误杀"));
  EXPECT_EQ(dynamic_cast<StatusBar*>(view_.widget(状态条1))->part(2),
            QStringLiteral("过滤资源：7 条"));
  EXPECT_TRUE(view_.widget(超级按钮_停止)->isEnabled());
  EXPECT_TRUE(view_.widget(图片框_电影(6))->isVisibleTo(view_.widget(高级选择夹1)));
  EXPECT_TRUE(dynamic_cast<TabControl*>(view_.widget(高级选择夹1))
                  ->tabBar()
                  ->isTabVisible(kAnnouncementTab));
  EXPECT_TRUE(log.toPlainText().startsWith(QStringLiteral("第0行\n第1行\n")));
  EXPECT_TRUE(log.toPlainText().endsWith(QStringLiteral("第1999行\n")));
  // A replacement rewrites the box instead of appending.
  model_.setText(编辑框_日志, "重新开始\r\n"_gbk);
  ASSERT_TRUE(processUntil([&] { return log.toPlainText() == QStringLiteral("重新开始\n"); }));
}

TEST_F(MainWindowView, PictureBoxesShowJpegAndPngBytes) {
  auto encoded = [](const char* format) {
    QImage image(32, 44, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return Bytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  };
  auto& poster = *dynamic_cast<PictureBox*>(view_.widget(图片框_电影(1)));
  std::thread([&] { model_.setPicture(图片框_电影(1), encoded("JPG")); }).join();
  ASSERT_TRUE(processUntil([&] { return poster.hasPicture(); }));
  model_.setPicture(图片框_电影(1), "not a picture");
  ASSERT_TRUE(processUntil([&] { return !poster.hasPicture(); }));
  model_.setPicture(图片框_电影(1), encoded("PNG"));
  ASSERT_TRUE(processUntil([&] { return poster.hasPicture(); }));
}

TEST_F(MainWindowView, IntegerBoxesRefuseOtherTypedCharactersAndKeepTheirLimits) {
  showTab(kSettingsTab);
  struct Case {
    window::EditBoxId box;
    const char* typed;
    Text shown;
  };
  const Case cases[] = {
      {编辑框_页数, "4a5", "45"}, {编辑框_页数, "123", "12"},    {编辑框_时间, "12345", "1234"},
      {编辑框_时间, "-7", "-7"},  {编辑框_线程数量, "ab", "ab"},
  };
  for (const auto& c : cases) {
    model_.setText(c.box, {});
    ASSERT_TRUE(processUntil([&] { return widget<QLineEdit>(c.box).text().isEmpty(); }));
    QTest::keyClicks(&widget<QLineEdit>(c.box), QString::fromLatin1(c.typed));
    EXPECT_EQ(model_.text(c.box), c.shown) << c.box << " typed " << c.typed;
  }
  // A longer text set by the system stays, and can still be shortened by the user.
  model_.setText(编辑框_页数, "12345");
  ASSERT_TRUE(processUntil([&] { return widget<QLineEdit>(编辑框_页数).text() == "12345"; }));
  auto& pages = widget<QLineEdit>(编辑框_页数);
  pages.setFocus();
  pages.end(false);
  QTest::keyClick(&pages, Qt::Key_Backspace);
  EXPECT_EQ(model_.text(编辑框_页数), "1234");
  QTest::keyClicks(&pages, "9");
  EXPECT_EQ(model_.text(编辑框_页数), "1234");
}

TEST_F(MainWindowView, UserActionsBecomeModelEvents) {
  record(编辑框_搜索, EventKind::KeyPressed);
  record(编辑框_关键字词A, EventKind::TextChanged);
  record(选择框_删除重复, EventKind::Clicked);
  record(高级选择夹1, EventKind::TabChanged);
  record(图片框_电影(2), EventKind::MouseDown);
  record(图片框_电影(2), EventKind::Wheel);
  record(超级链接框1, EventKind::MouseDown);

  QTest::keyClick(&widget<QLineEdit>(编辑框_搜索), Qt::Key_Return);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].key, 13);

  showTab(kFilterTab);
  events_.clear();
  auto& words = widget<QPlainTextEdit>(编辑框_关键字词A);
  QTest::keyClicks(&words, "ab");
  QTest::keyClick(&words, Qt::Key_Return);
  QTest::keyClicks(&words, "c");
  EXPECT_EQ(model_.text(编辑框_关键字词A), "ab\r\nc");
  EXPECT_EQ(events_.size(), 4u);

  events_.clear();
  QTest::mouseClick(&widget<QCheckBox>(选择框_删除重复), Qt::LeftButton);
  EXPECT_TRUE(model_.checked(选择框_删除重复));
  EXPECT_TRUE(widget<QCheckBox>(选择框_删除重复).isChecked());
  ASSERT_EQ(events_.size(), 1u);

  events_.clear();
  auto* tabs = dynamic_cast<TabControl*>(view_.widget(高级选择夹1));
  QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(kFilmTab).center());
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].index, kFilmTab);
  EXPECT_EQ(model_.currentTab(高级选择夹1), kFilmTab);

  events_.clear();
  QWidget* tile = view_.widget(图片框_电影(2));
  QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(80, 100));
  QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(80, 100));
  QWheelEvent wheel(QPointF(80, 100), tile->mapToGlobal(QPointF(80, 100)), {}, QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(tile, &wheel);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[0].kind, EventKind::MouseDown);
  EXPECT_EQ(events_[1].kind, EventKind::Wheel);
  EXPECT_EQ(events_[1].index, -120);
}

TEST_F(MainWindowView, TimersFollowTheModelsInterval) {
  int ticks = 0;
  model_.on(时钟_线程, EventKind::TimerTick, [&](const window::Event&) { ++ticks; });
  model_.setTimerInterval(时钟_线程, 10);
  ASSERT_TRUE(processUntil([&] { return ticks >= 3; }));
  model_.setTimerInterval(时钟_线程, 0);
  processFor(5ms);
  int stopped = ticks;
  processFor(50ms);
  EXPECT_EQ(ticks, stopped);
  EXPECT_FALSE(view_.timer(时钟_线程)->isActive());
}

// The main window hides the moment it is closed; the model's shutdown runs after that.
// A window that does not hide stays up until its model is gone.
TEST_F(MainWindowView, ClosingHidesAtOnceAndTheModelGoesAfter) {
  for (bool hide : {true, false}) {
    SCOPED_TRACE(hide ? "hides while closing" : "stays while closing");
    QtLoop loop;
    window::WindowModel model{forms::mainWindowTemplate()};
    WindowView view{model, loop};
    view.setHideWhileClosing(hide);
    model.setWindowVisible(true);
    ASSERT_TRUE(processUntil([&] { return view.isVisible(); }));
    bool visibleDuringShutdown = true;
    model.on(主窗口, EventKind::Destroying, [&](const window::Event&) {
      loop.waitProcessing(30ms);  // the shutdown pumps events while it waits
      visibleDuringShutdown = view.isVisible();
    });
    int gone = 0;
    view.setGoneHandler([&] { ++gone; });
    view.close();
    EXPECT_EQ(view.isVisible(), !hide);
    EXPECT_FALSE(model.destroyed());
    ASSERT_TRUE(processUntil([&] { return gone == 1; }));
    EXPECT_EQ(visibleDuringShutdown, !hide);
    EXPECT_TRUE(model.destroyed());
    EXPECT_FALSE(view.isVisible());
  }
}

}  // namespace
}  // namespace quenbo::qt::testing
