#include "sites/page_reader.h"

#include <algorithm>
#include <string>

#include "base/encoding.h"
#include "script/text_codec.h"
#include "sites/text_cutting.h"

namespace quenbo {

PageVerdict PageReader::read(const Text& body) {
  const SiteRow& row = plan_.row;
  count_ = 0;
  blocks_.clear();
  switch (row.kind) {
    case SiteKind::html:
    case SiteKind::jsonCutAsText: {
      // The JSON answer read as text carries its Chinese characters as \u escapes.
      Text text = row.kind == SiteKind::html ? body : TextCodec::unescapeText(body);
      count_ = cutAll(text, row.cut.left, row.cut.right, blocks_,
                      {.prefix = row.cut.prefix, .suffix = row.cut.suffix});
      break;
    }
    case SiteKind::resultListJson:
    case SiteKind::dataListJson: {
      // The result-list APIs answer in UTF-8; the data-list one in ASCII with \u escapes.
      Text text =
          row.kind == SiteKind::resultListJson ? utf8ToGbk(body) : TextCodec::unescapeText(body);
      if (!json_.parse(text)) return PageVerdict::jsonFailed;
      count_ = std::max(json_.getCount(row.itemList), 0);
      break;
    }
  }
  return count_ > 0 ? PageVerdict::items : PageVerdict::noData;
}

std::optional<core::MagnetResult> PageReader::hit(int index) const {
  if (index < 0 || index >= count_) return std::nullopt;
  if (plan_.row.kind == SiteKind::html || plan_.row.kind == SiteKind::jsonCutAsText) {
    return hitOfBlock(blocks_[static_cast<std::size_t>(index)]);
  }
  return hitOfItem(index);
}

std::optional<core::MagnetResult> PageReader::hitOfBlock(const Text& block) const {
  const SiteRow& row = plan_.row;
  // Each field is cut from the whole block.
  Text linkPart = readField(row.link, block);
  if (linkPart.empty()) return std::nullopt;
  return core::MagnetResult{
      readField(row.title, block), row.linkPrefix + linkPart,  row.hitLabel,
      readField(row.size, block),  readField(row.heat, block), readField(row.date, block)};
}

std::optional<core::MagnetResult> PageReader::hitOfItem(int index) const {
  const SiteRow& row = plan_.row;
  Text item = row.itemList + "[" + std::to_string(index) + "]";
  Text magnet = readField(row.link, json_, item);
  if (magnet.empty()) return std::nullopt;
  return core::MagnetResult{readField(row.title, json_, item),
                            magnet,
                            row.hitLabel,
                            readField(row.size, json_, item),
                            readField(row.heat, json_, item),
                            readField(row.date, json_, item)};
}

}  // namespace quenbo
