// A result list with its store, filter and interactions, as the main window has them.
#pragma once

#include <string>

#include "base/encoding.h"
#include "core/result_store.h"
#include "core/search_status.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"
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

  window::Row row(int r) const { return w_.row(window::names::超级列表框_磁力链接, r); }
  int rows() const { return w_.rowCount(window::names::超级列表框_磁力链接); }
  Text cell(int r, int c) const { return w_.cell(window::names::超级列表框_磁力链接, r, c); }

  window::WindowModel w_{window::mainWindowTemplate()};
  core::SearchStatus status_;
  core::ResultStore store_{w_, status_};
  window::HeadlessInteractions ui_;
};

}  // namespace quenbo::ui::testing
