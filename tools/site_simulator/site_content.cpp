#include "site_simulator/site_content.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "site_simulator/page_text.h"

namespace quenbo::simulator {
namespace {

constexpr std::array<std::string_view, 10> kChineseWords = {
    "高清", "中字", "合集", "国语", "完整版", "蓝光", "纪录片", "电影", "剧集", "动画"};
constexpr std::array<std::string_view, 8> kLatinWords = {
    "1080p", "WEB-DL", "BluRay", "x264", "Complete", "Remux", "HDTV", "Season"};

// FNV-1a with a final mix: stable across runs and platforms (unlike std::hash), and keys
// that differ in one character give unrelated values.
std::uint64_t fnv(std::string_view text, std::uint64_t seed) {
  std::uint64_t hash = 0xcbf29ce484222325ULL ^ seed;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ULL;
  hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebULL;
  return hash ^ (hash >> 31);
}

std::string infoHashOf(std::string_view key, bool upperCase) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string out;
  for (std::uint64_t round = 1; out.size() < 40; ++round) {
    std::uint64_t value = fnv(key, round * 0x9E3779B97F4A7C15ULL);
    for (int k = 0; k < 16 && out.size() < 40; ++k, value >>= 4) out += digits[value & 0xF];
  }
  return out;
}

std::string format(const char* pattern, double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, pattern, value);
  return buffer;
}

std::string sizeText(std::uint64_t r, int item, const ContentStyle& style) {
  if (style.unknownSizes && item % 4 == 3) return "未知";
  std::string number, unit;
  switch (r % 3) {
    case 0: number = format("%.2f", static_cast<double>(r / 3 % 1950 + 50) / 100.0); unit = "GB"; break;
    case 1: number = format("%.1f", static_cast<double>(r / 3 % 9900 + 100) / 10.0); unit = "MB"; break;
    default: number = format("%.0f", static_cast<double>(r / 3 % 900 + 100)); unit = "KB"; break;
  }
  if (style.sizeForm == SizeForm::shortGiga && unit == "GB") unit = "G";
  if (style.lowerCaseUnits && item % 4 == 2) {
    for (char& c : unit) c = static_cast<char>(c - 'A' + 'a');
  }
  switch (style.sizeForm) {
    case SizeForm::spaced: return number + " " + unit;
    case SizeForm::noBreakSpace: return number + "\u00A0" + unit;
    case SizeForm::compact:
    case SizeForm::shortGiga: break;
  }
  return number + unit;
}

std::string dateText(std::uint64_t r, const ContentStyle& style) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", static_cast<int>(2016 + r % 8),
                static_cast<int>(1 + r / 8 % 12), static_cast<int>(1 + r / 96 % 28));
  std::string date = buffer;
  if (style.dateTime) {
    std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", static_cast<int>(r / 7 % 24),
                  static_cast<int>(r / 11 % 60), static_cast<int>(r / 13 % 60));
    date += buffer;
  }
  if (style.paddedDates) date = std::string(10, ' ') + date + std::string(9, ' ');
  return date;
}

// Index of the UTF-8 character boundary nearest the middle of `text`.
std::size_t middleBoundary(std::string_view text) {
  std::size_t middle = text.size() / 2;
  while (middle > 0 && (static_cast<unsigned char>(text[middle]) & 0xC0) == 0x80) --middle;
  return middle;
}

std::string highlighted(std::string_view keyword, const ContentStyle& style) {
  if (style.highlightOpen.empty()) return std::string(keyword);
  std::size_t middle = middleBoundary(keyword);
  if (!style.splitHighlight || middle == 0) {
    return style.highlightOpen + std::string(keyword) + style.highlightClose;
  }
  return style.highlightOpen + std::string(keyword.substr(0, middle)) + style.highlightClose +
         style.highlightOpen + std::string(keyword.substr(middle)) + style.highlightClose;
}

SimulatedItem makeItem(std::string_view site, const ContentStyle& style, std::string_view keyword,
                       int page, int item) {
  std::string place = std::string(keyword) + "|" + std::to_string(page) + "|" + std::to_string(item);
  bool shared = item % 3 == 0;
  std::string resourceKey = (shared ? std::string("*") : std::string(site)) + "|" + place;
  std::uint64_t r = fnv(resourceKey, 0);
  std::uint64_t own = fnv(std::string(site) + "|" + place, 7);

  std::string shownKeyword = style.htmlPage ? htmlEscape(keyword) : std::string(keyword);
  if (item % 2 == 0) shownKeyword = highlighted(shownKeyword, style);
  std::string name = std::string(kChineseWords[r % kChineseWords.size()]) + " " + shownKeyword +
                     " " + std::string(kLatinWords[r / 16 % kLatinWords.size()]) + " " +
                     std::string(kChineseWords[r / 256 % kChineseWords.size()]) +
                     std::to_string(page) + "-" + std::to_string(item + 1);

  SimulatedItem out;
  out.title = (!style.badge.empty() && item % 3 == 2 ? style.badge : std::string()) + name;
  out.infoHash = infoHashOf(resourceKey, style.upperCaseHash);
  out.size = sizeText(r >> 20, item, style);
  if (style.heat) out.heat = std::to_string(own % 5000);
  if (style.date) out.date = dateText(own >> 16, style);
  if (!style.htmlPage) {
    out.link = "magnet:?xt=urn:btih:" + out.infoHash;
    if (style.linkWithTrackers) {
      out.link += "&dn=" + percentEncode(out.title) +
                  "&tr=" + percentEncode("udp://tracker.example.org:1337/announce");
    }
  }
  return out;
}

}  // namespace

std::vector<SimulatedItem> makePageItems(std::string_view site, const ContentStyle& style,
                                         std::string_view keyword, int page, int count) {
  std::vector<SimulatedItem> items;
  for (int item = 0; item < count; ++item) items.push_back(makeItem(site, style, keyword, page, item));
  return items;
}

}  // namespace quenbo::simulator
