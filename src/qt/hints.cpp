#include "qt/hints.h"

#include <QString>
#include <QWidget>
#include <string_view>

#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "qt/component_hint.h"
#include "qt/component_widgets.h"
#include "qt/window_view.h"

namespace quenbo::qt {

using namespace forms::names;

namespace {

// A component and the text it is given.
struct ComponentText {
  std::string_view component;
  const char16_t* text;
};

const ComponentText kTips[] = {
    {编辑框_搜索, u"搜索关键字：Enter 开始搜索；Ctrl+L 或 Ctrl+F 回到这里"},
    {超级按钮_搜索, u"开始搜索（Enter）"},
    {超级按钮_停止, u"停止搜索（Esc）"},
    {超级列表框_磁力链接,
     u"双击或 Enter：打开磁力链接\nCtrl+C：复制所选各行的磁力链接，每行一个\n"
     u"Shift、Ctrl + 点击：选择多行；Ctrl+A：全选\n右键：更多操作"},
    {编辑框_页数, u"每个站点最多搜索的结果页数：1–30 页"},
    {编辑框_时间, u"每个页面请求的超时时间：3–10 秒"},
    {编辑框_GB, u"小于此大小的资源被过滤：GB（与右侧 MB 相加）"},
    {编辑框_MB, u"小于此大小的资源被过滤：MB（与左侧 GB 相加）"},
    {选择框_精准搜索, u"只显示标题包含搜索关键字的资源"},
    {选择框_过滤字词, u"过滤标题包含左上方任一字词的资源"},
    {选择框_显示字词, u"只显示标题包含左下方全部字词的资源"},
    {选择框_删除重复, u"磁力链接相同的资源只显示一次"},
    {选择框_保证显示, u"新结果到来时，列表滚动到最后一行"},
    {编辑框_关键字词A, u"字词之间用“、”“，”“,”或换行分隔"},
    {编辑框_关键字词B, u"字词之间用“、”“，”“,”或换行分隔"},
};

const ComponentText kCaptions[] = {
    {编辑框_关键字词A, u"过滤字词：标题包含其中任一字词的资源被过滤（勾选右侧“过滤字词”生效）"},
    {编辑框_关键字词B, u"显示字词：只显示标题包含其中全部字词的资源（勾选右侧“显示字词”生效）"},
};

}  // namespace

void applyMainWindowHints(WindowView& view) {
  for (const ComponentText& tip : kTips) {
    if (QWidget* w = view.widget(tip.component)) w->setToolTip(QString::fromUtf16(tip.text));
  }
  for (const auto& site : core::kSites) {
    if (QWidget* w = view.widget(siteCheckBox(site.label))) {
      // A marker's tooltip ("未配置主机") says more; it stays until the marker goes.
      const QString tip = QStringLiteral("在此站点搜索");
      w->setProperty(kStandingToolTip, tip);
      if (w->toolTip().isEmpty()) w->setToolTip(tip);
    }
  }
  for (const ComponentText& caption : kCaptions) {
    if (auto* box = dynamic_cast<TextBox*>(view.widget(caption.component))) {
      box->setCaption(QString::fromUtf16(caption.text));
      box->setPlaceholderText(QStringLiteral("词1、词2、词3"));
    }
  }
}

}  // namespace quenbo::qt
