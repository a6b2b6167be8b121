#include "site_simulator/board_page.h"

#include "site_simulator/poster_pictures.h"

namespace quenbo::simulator {

std::vector<BoardEntry> boardEntries() {
  // Stars: film 1 holds 33 GBK bytes with commas (shown up to its first comma), film 2
  // exactly 24 (shown whole), film 3 28 without a comma (shown empty). Film 9 has no date.
  return {
      {"星河彼岸", "林远,周晴,陈默,赵一鸣,孙小北,何其", "2019-12-20", "9", "6"},
      {"长夜将尽", "王一,李二,张三,赵四,钱五", "2019-12-19", "9", "4"},
      {"山海之间", "一位不愿透露姓名的著名老演员", "2019-12-13", "9", "3"},
      {"少年与海", "周晴,陈默", "2019-12-06", "9", "1"},
      {"雾中灯塔", "何其,林远,孙小北", "2019-11-29", "8", "9"},
      {"南方来信", "赵一鸣,钱五", "2019-11-22", "8", "8"},
      {"第七个夏天", "李二,王一", "2019-11-15", "8", "7"},
      {"归途", "张三", "2019-11-08", "8", "5"},
      {"小城故事 2", "孙小北,周晴", "", "8", "3"},
      {"逆风而行", "陈默,林远,何其", "2019-10-25", "8", "0"},
      {"冬日列车", "钱五,赵四", "2019-10-18", "7", "9"},
      {"夜航船", "王一,张三", "2019-10-11", "7", "6"},
  };
}

std::string posterPath(int n) {
  return "/posters/" + std::to_string(n) + (n % 2 == 1 ? ".png" : ".jpg");
}

std::string boardPage(std::string_view posterBase) {
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>热映口碑榜</title></head>\n"
      "<body><div class=\"main\"><p class=\"update-time\">2019-12-24 已更新</p>\n<dl "
      "class=\"board-wrapper\">\n";
  int n = 0;
  for (const BoardEntry& e : boardEntries()) {
    ++n;
    std::string number = std::to_string(n);
    std::string date = e.releaseDate.empty() ? std::string() : "上映时间：" + e.releaseDate;
    page += "<dd>\n  <i class=\"board-index board-index-" + number + "\">" + number +
            "</i>\n"
            "  <a href=\"/films/" +
            number + "\" title=\"" + e.title +
            "\" class=\"image-link\" data-act=\"boarditem-click\">\n"
            "    <img src=\"/images/loading.png\" alt=\"\" class=\"poster-default\" />\n"
            "    <img data-src=\"" +
            std::string(posterBase) + posterPath(n) + "\" alt=\"" + e.title +
            "\" class=\"board-img\" />\n  </a>\n"
            "  <div class=\"board-item-main\"><div class=\"movie-item-info\">\n"
            "    <p class=\"name\"><a href=\"/films/" +
            number + "\" title=\"" + e.title + "\">" + e.title +
            "</a></p>\n"
            "    <p class=\"star\">  主演：" +
            e.stars +
            "   </p>\n"
            "    <p class=\"releasetime\">" +
            date +
            "</p>\n  </div>\n"
            "  <div class=\"movie-item-number score-num\">\n"
            "    <p class=\"score\"><i class=\"integer\">" +
            e.scoreInteger + ".</i><i class=\"fraction\">" + e.scoreFraction +
            "</i></p>        \n"
            "  </div></div>\n</dd>\n";
  }
  page += "</dl></div></body></html>\n";
  return page;
}

const std::string& posterPicture(int n) {
  static const std::vector<std::string> pictures = [] {
    std::vector<std::string> all;
    for (int i = 1; i <= 12; ++i) all.push_back(i % 2 == 1 ? posterPng(i) : posterJpeg(i));
    return all;
  }();
  static const std::string none;
  return n >= 1 && n <= 12 ? pictures[static_cast<std::size_t>(n - 1)] : none;
}

}  // namespace quenbo::simulator
