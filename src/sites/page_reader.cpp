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

Text encodeLinkBlanks(std::string_view link) {
  while (!link.empty() && link.front() == ' ') link.remove_prefix(1);
  while (!link.empty() && link.back() == ' ') link.remove_suffix(1);
  // Only the parameters after the first "&" (dn, tr, ...) may hold a title's blanks: a blank
  // in the info hash makes no link.
  std::size_t parameters = link.find('&');
  Text encoded;
  encoded.reserve(link.size());
  for (std::size_t i = 0; i < link.size(); ++i) {
    if (link[i] == ' ' && parameters != std::string_view::npos && i > parameters) {
      encoded += "%20";
    } else {
      encoded += link[i];
    }
  }
  return encoded;
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
      // which the parser reads: a value is decoded once, never unescaped again.
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
  Text magnet = encodeLinkBlanks(row.linkPrefix + linkPart);
  if (!isMagnetLink(magnet)) return std::nullopt;
  return core::MagnetResult{
      readField(row.title, block), std::move(magnet),          row.hitLabel,
      readField(row.size, block),  readField(row.heat, block), readField(row.date, block)};
}

std::optional<core::MagnetResult> PageReader::hitOfItem(int index) const {
  const SiteRow& row = plan_.row;
  Text item = row.itemList + "[" + std::to_string(index) + "]";
  // The data list's texts may carry percent-encoded characters; its link is kept as the
  // answer gives it, since percent escapes belong to a link.
  const bool percentCharacters = row.kind == SiteKind::dataListJson;
  Text magnet = encodeLinkBlanks(readField(row.link, json_, item));
  if (magnet.empty() || !isMagnetLink(magnet)) return std::nullopt;
  return core::MagnetResult{readField(row.title, json_, item, percentCharacters),
                            std::move(magnet),
                            row.hitLabel,
                            readField(row.size, json_, item, percentCharacters),
                            readField(row.heat, json_, item, percentCharacters),
                            readField(row.date, json_, item, percentCharacters)};
}

}  // namespace quenbo::sites
