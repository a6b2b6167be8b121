#include "settings/settings_handlers.h"

#include <string>

#include "base/encoding.h"
#include "base/numbers.h"
#include "core/word_list.h"
#include "settings/filter_rebuilder.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "window/window_model.h"

namespace quenbo::settings {

using namespace forms::names;
using window::Event;
using window::EventKind;

namespace {

struct Bounded {
  window::EditBoxId box;
  const Text& key;
  NumberBounds bounds;
};

struct StoredText {
  window::EditBoxId box;
  const Text& key;
  bool wordList = false;  // kept as its words joined with "、" on one line
};

}  // namespace

void bindSettingsHandlers(window::WindowModel& window, SettingsStore& settings,
                          FilterRebuilder& rebuilder) {
  const SettingsKeys& k = settingsKeys();
  auto& w = window;

  // A text outside the bounds is replaced by the bound; that change fires this handler
  // again, which then writes the text that is inside them.
  const Bounded numbers[] = {{编辑框_页数, k.pages, kPageBounds},
                             {编辑框_时间, k.timeout, kTimeoutBounds},
                             {编辑框_线程数量, k.threads, kThreadBounds}};
  for (const Bounded& n : numbers) {
    w.on(n.box, EventKind::TextChanged, [&w, &settings, &k, n](const Event&) {
      Text text = w.text(n.box);
      double value = textToNumber(text);
      if (value - n.bounds.lowest < -1e-7) {
        w.setText(n.box, integerToText(n.bounds.lowest));
      } else if (value - n.bounds.highest > 1e-7) {
        w.setText(n.box, integerToText(n.bounds.highest));
      } else {
        settings.writeValue(k.search, n.key, text);
      }
    });
  }

  const StoredText texts[] = {{编辑框_GB, k.gigabytes},
                              {编辑框_MB, k.megabytes},
                              {编辑框_关键字词A, k.filterText, true},
                              {编辑框_关键字词B, k.showText, true}};
  for (const StoredText& t : texts) {
    w.on(t.box, EventKind::TextChanged, [&w, &settings, &rebuilder, &k, t](const Event&) {
      if (!settings.loaded()) return;
      // A value ends at its line's end: a list typed one word per line would lose every
      // line but the first at the next start.
      Text text = w.text(t.box);
      settings.writeValue(k.filter, t.key, t.wordList ? core::joinWords(text) : text);
      rebuilder.settingTyped();
    });
  }

  auto bindCheckBox = [&](window::CheckBoxId box, const Text& section, const Text& key,
                          bool filter) {
    w.on(box, EventKind::Clicked,
         [&w, &settings, &rebuilder, &k, box, section, key, filter](const Event&) {
           if (!settings.loaded()) return;
           settings.writeValue(section, key, w.checked(box) ? k.yes : k.no);
           if (filter) rebuilder.settingClicked();
         });
  };
  bindCheckBox(选择框_精准搜索, k.filter, k.exactSearch, true);
  bindCheckBox(选择框_过滤字词, k.filter, k.filterWords, true);
  bindCheckBox(选择框_显示字词, k.filter, k.showWords, true);
  bindCheckBox(选择框_删除重复, k.filter, k.removeDuplicates, true);
  // Keeping the newest row in view is stored the same way but changes no row.
  bindCheckBox(选择框_保证显示, k.display, k.keepVisible, false);
  for (const auto& site : core::kSites) {
    bindCheckBox(siteCheckBox(site.label), k.sites, utf8ToGbk(site.label), false);
  }
}

}  // namespace quenbo::settings
