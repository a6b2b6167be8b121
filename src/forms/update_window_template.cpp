#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "forms/template_builder.h"
#include "forms/window_templates.h"

namespace quenbo::forms {
namespace {

using namespace names;
using namespace build;
using K = window::ComponentKind;

window::WindowTemplate makeUpdateWindow() {
  window::WindowTemplate t;
  t.name = std::string(更新窗口);
  t.title = " 检测更新 1.0.0.20190912"_gbk;
  t.geometry = {50, 50, 800, 410};
  t.visible = false;
  auto files = component(K::ReportList, 超级列表框_文件, {0, 0, 794, 300});
  files.columns = {{"ID", 40},           {"文件名称"_gbk, 160}, {"云端 MD5"_gbk, 150},
                   {"本地 MD5"_gbk, 150}, {"更新状态"_gbk, 70},  {"文件类型"_gbk, 70},
                   {"URL", 150}};
  t.components.push_back(files);
  t.components.push_back(hidden(withEdit(component(K::EditBox, 编辑框_更新内容, {0, 0, 794, 300}),
                                         {.multiLine = true, .readOnly = true,
                                          .verticalScroll = true})));
  t.components.push_back(component(K::PictureBox, 图片框1, {0, 300, 794, 180}));
  t.components.push_back(on(component(K::Button, 按钮_查看, {140, 20, 200, 40}, "更新内容"_gbk),
                            图片框1));
  t.components.push_back(on(component(K::Button, 按钮_更新, {460, 20, 200, 40}, "立即更新"_gbk),
                            图片框1));
  return t;
}

}  // namespace

const window::WindowTemplate& updateWindowTemplate() {
  static const window::WindowTemplate update = makeUpdateWindow();
  return update;
}

}  // namespace quenbo::forms
