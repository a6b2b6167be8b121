#include "qt/stretch_rules.h"

#include <cmath>
#include <string_view>

#include "forms/main_window_names.h"

namespace quenbo::qt {

using namespace forms::names;

namespace {

// The area of a tab page, in the tab control's coordinates: a component covering it is the
// page's main control.
constexpr window::Geometry kPageArea{0, 23, 1159, 341};

bool coversPage(const window::ComponentTemplate& c) {
  const window::Geometry& g = c.geometry;
  return c.tabPage >= 0 && g.left == kPageArea.left && g.top == kPageArea.top &&
         g.width == kPageArea.width && g.height == kPageArea.height;
}

}  // namespace

Stretch stretchOf(const window::ComponentTemplate& c) {
  std::string_view name = c.name, parent = c.parent;
  if (name == 高级选择夹1) return {0, 1, 0, 1};
  if (name == 状态条1) return {0, 1, 1, 0};
  if (name == 编辑框_搜索 || name == 图片框_开始停止 || name == 图片框_暂停继续) {
    return {0.5, 0, 0, 0};
  }
  // The two word lists share the height, the check boxes beside them keep to the right.
  if (name == 编辑框_关键字词A) return {0, 1, 0, 0.5};
  if (name == 编辑框_关键字词B) return {0, 1, 0.5, 0.5};
  if (name == 图片框2) return {1, 0, 0, 0};
  if (coversPage(c)) return {0, 1, 0, 1};
  // The film tiles and page switches, and what the donation page holds, keep centred.
  if (parent == 高级选择夹1 && c.tabPage == kFilmTab) return {0.5, 0, 0.5, 0};
  if (parent == 图片框1) return {0.5, 0, 0.5, 0};
  return {};
}

window::Geometry stretched(const window::Geometry& g, const Stretch& s, int dx, int dy) {
  auto edge = [](int designed, double share, int growth) {
    return designed + static_cast<int>(std::lround(share * growth));
  };
  int left = edge(g.left, s.moveX, dx);
  int top = edge(g.top, s.moveY, dy);
  int right = edge(g.left + g.width, s.moveX + s.growX, dx);
  int bottom = edge(g.top + g.height, s.moveY + s.growY, dy);
  return {left, top, right - left, bottom - top};
}

}  // namespace quenbo::qt
