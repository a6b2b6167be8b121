// A result list with its store, filter and interactions, as the main window has them.
#pragma once

#include <string>

#include "base/encoding.h"
#include "core/result_store.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"
#include "ui/result_source.h"
#include "ui/search_controls.h"
#include "ui/search_view.h"
#include "support/fixtures.h"
#include "window/headless/headless_interactions.h"
#include "window/window_model.h"

namespace quenbo::ui::testing {

class ListFixture : public quenbo::testing::SandboxTest {
 protected:
  // A hit whose texts tell it apart: title "title <n>", magnet "magnet:?xt=urn:btih:<n>".
  static core::MagnetResult hit(int n, const std::string& size, const std::string& heat) {
    std::string id = std::to_string(n);
    return {"title " + id, "magnet:?xt=urn:btih:" + id,
            "Site",        utf8ToGbk(size),
            heat,          "2019-12-0" + std::to_string(n % 9 + 1)};
  }

  window::Row row(int r) const { return w_.row(forms::names::超级列表框_磁力链接, r); }
  int rows() const { return w_.rowCount(forms::names::超级列表框_磁力链接); }
  Text cell(int r, int c) const { return w_.cell(forms::names::超级列表框_磁力链接, r, c); }

  // The store of one search, drawn into the window as the presenter has it drawn.
  struct StoreResults final : ResultSource {
    StoreResults(const window::WindowModel& w, core::ResultStore& store) : w(w), store(store) {}
    void rebuild() override { store.rebuild(readFilterSettings(w)); }
    void sort(core::SortKey key) override { store.sort(key); }
    std::vector<core::ResultRow> rows() const override { return store.rows(); }
    const window::WindowModel& w;
    core::ResultStore& store;
  };

  window::WindowModel w_{forms::mainWindowTemplate()};
  SearchView view_{w_, {}};
  core::ResultStore store_{view_};
  StoreResults results_{w_, store_};
  window::HeadlessInteractions ui_;
};

}  // namespace quenbo::ui::testing
