#include "sites/page_reader.h"

#include <algorithm>
#include <string>

#include "base/encoding.h"
#include "script/text_codec.h"
#include "sites/text_cutting.h"

namespace quenbo::sites {

bool isMagnetLink(std::string_view link) {
  constexpr std::string_view kStart = "magnet:?";
  if (lowerAscii(link.substr(0, kStart.size())) != kStart) return false;
  if (findBytes(link, "magnet:", 2, true) != -1) return false;
  return std::none_of(link.begin(), link.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
  });
}

PageVerdict PageReader::read(const Text& body) {
  const SiteRow& row = plan_.row;
  count_ = 0;
  cutShort_ = false;
  listMissing_ = false;
  blocks_.clear();
  switch (row.kind) {
    case SiteKind::html:
    case SiteKind::jsonCutAsText: {
      // The JSON answer read as text carries its Chinese characters as \u escapes.
      Text text = row.kind == SiteKind::html ? body : script::TextCodec::unescapeText(body);
      count_ = cutAll(text, row.cut.left, row.cut.right, blocks_,
                      {.prefix = row.cut.prefix, .suffix = row.cut.suffix,
                       .maxPieces = kItemLimit + 1});
      break;
    }
    case SiteKind::resultListJson:
    case SiteKind::dataListJson: {
      // The result-list APIs answer in UTF-8; the data-list one in ASCII with \u escapes,
      // which the parser reads (each value is unescaped further once read).
      Text text = row.kind == SiteKind::resultListJson ? utf8ToGbk(body) : body;
      if (!json_.parse(text)) return PageVerdict::jsonFailed;
      int count = json_.getCount(row.itemList);
      listMissing_ = count < 0 && json_.stringifyAt(row.itemList).empty();
      count_ = std::max(count, 0);
      break;
    }
  }
  if (count_ > kItemLimit) {
    count_ = kItemLimit;
    cutShort_ = true;
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
  Text magnet = row.linkPrefix + linkPart;
  if (!isMagnetLink(magnet)) return std::nullopt;
  return core::MagnetResult{
      readField(row.title, block), std::move(magnet),          row.hitLabel,
      readField(row.size, block),  readField(row.heat, block), readField(row.date, block)};
}

std::optional<core::MagnetResult> PageReader::hitOfItem(int index) const {
  const SiteRow& row = plan_.row;
  Text item = row.itemList + "[" + std::to_string(index) + "]";
  const bool unescape = row.kind == SiteKind::dataListJson;
  Text magnet = readField(row.link, json_, item, unescape);
  if (magnet.empty() || !isMagnetLink(magnet)) return std::nullopt;
  return core::MagnetResult{readField(row.title, json_, item, unescape),
                            std::move(magnet),
                            row.hitLabel,
                            readField(row.size, json_, item, unescape),
                            readField(row.heat, json_, item, unescape),
                            readField(row.date, json_, item, unescape)};
}

}  // namespace quenbo::sites
