#include "script/quote_placeholder.h"

#include "base/encoding.h"
#include "base/text_search.h"

namespace quenbo::script {

Text expandQuotePlaceholder(std::string_view text) {
  static const Text placeholder = "#引号"_gbk;
  int found = findText(text, placeholder);
  if (found == -1) return Text(text);
  Text out;
  out.reserve(text.size());
  std::size_t from = 0;
  while (found != -1) {
    auto at = static_cast<std::size_t>(found - 1);
    out.append(text.substr(from, at - from));
    out.push_back('"');
    from = at + placeholder.size();
    found = findText(text, placeholder, static_cast<int>(from) + 1);
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace quenbo::script
