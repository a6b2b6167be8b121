// Stop and close while every site takes five seconds to answer: the status bar reaches its
// final state at the next tick, the window goes the moment it is closed, and the program is
// ready to end well within a second. The figures are printed; the bounds are generous.
#include <QElapsedTimer>

#include "app/site_setup.h"
#include "forms/main_window_names.h"
#include "qt/component_widgets.h"
#include "qt_app_harness.h"
#include "site_simulator/site_simulator.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class SlowSites : public QtAppTest {
 protected:
  SlowSites() { sites_.setBehaviourForAll({.latencyMs = 5000}); }

  void searchUntilRequestsWait() {
    sites_.clearRequests();
    w().setText(编辑框_搜索, "电影"_gbk);
    w().click(超级按钮_搜索);
    // Every ticked site has a request waiting for its answer.
    ASSERT_TRUE(processUntil([&] { return sites_.requests().size() >= 11; }, 10s));
    processFor(200ms);
  }

  simulator::SiteSimulator sites_;
};

TEST_F(SlowSites, StopAndCloseActAtOnce) {
  std::string hosts = sandbox_.file("slow.hosts");
  ASSERT_TRUE(sites_.writeHostsFile(hosts));
  app::SiteSetup setup = app::setUpSites(sandbox_.path(), hosts);
  launch(std::move(setup.workers));
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  auto& status = *dynamic_cast<StatusBar*>(view().widget(状态条1));

  searchUntilRequestsWait();
  QElapsedTimer clock;
  clock.start();
  w().click(超级按钮_停止);
  ASSERT_TRUE(processUntil(
      [&] { return status.part(0) == QStringLiteral("任务状态：资源采集完毕"); }, 10s));
  const qint64 toFinal = clock.elapsed();
  std::printf("[ figure   ] 停止 to the final status with every site slow: %lld ms\n",
              static_cast<long long>(toFinal));
  EXPECT_LT(toFinal, 1000);  // 200 ms expected: one monitor tick

  searchUntilRequestsWait();
  clock.restart();
  view().close();
  const qint64 toHidden = clock.elapsed();
  EXPECT_FALSE(view().isVisible());
  ASSERT_TRUE(processUntil([&] { return gone_ == 1; }, 10s));
  const qint64 toGone = clock.elapsed();
  // The graphical program ends its process here, threads or not (gui_main.cpp).
  std::printf("[ figure   ] close to hidden: %lld ms, to the end of the event loop: %lld ms "
              "(threads still waiting: %s)\n",
              static_cast<long long>(toHidden), static_cast<long long>(toGone),
              app_->threadsLeft() ? "yes, the process ends without them" : "none");
  EXPECT_LT(toHidden, 100);
  EXPECT_LT(toGone, 1500);  // 1 s expected: a tick and the shutdown's grace at most
}

}  // namespace
}  // namespace quenbo::qt::testing
