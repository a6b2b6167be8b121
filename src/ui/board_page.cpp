#include "ui/board_page.h"

#include "base/encoding.h"
#include "net/inet_request.h"
#include "sites/text_cleaning.h"
#include "sites/text_cutting.h"

namespace quenbo::ui {

namespace {

constexpr std::string_view kAgentLine =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/50.0.2661.87 Safari/537.36\r\n";
constexpr std::string_view kFieldSeparator = "###";
constexpr std::size_t kLongestStars = 24;

// Splits at every separator; a text without one is one piece, an empty text none.
std::vector<Text> splitAt(std::string_view text, std::string_view separator) {
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    pieces.emplace_back(text.substr(start, at - start));
    if (at == std::string_view::npos) break;
    start = at + separator.size();
  }
  return pieces;
}

// A field as the line text holds it: a page's text can never start a film or a field of its
// own. CR and LF become blanks, a run of "#" one "#", and a field does not end in "#", which
// would join the separator after it ("a#" "###" "b" reads as "a" and "#b").
Text boardField(std::string_view text) {
  Text field;
  field.reserve(text.size());
  for (char c : text) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == '#' && !field.empty() && field.back() == '#') continue;
    field += c;
  }
  if (!field.empty() && field.back() == '#') field.pop_back();
  return field;
}

}  // namespace

Text boardPageUrl(const Text& host) {
  return host.empty() ? Text() : "https://" + host + "/board";
}

Text cutBoardPage(std::string_view pageBytes) {
  Text page = utf8ToGbk(textUpToZero(pageBytes));
  std::vector<Text> entries;
  sites::cutAll(page, "board-index board-index", "/i></p> ", entries);
  Text lines;
  for (const Text& e : entries) {
    Text title = sites::textBetween(e, "title=\"", "\" class=");
    Text stars = sites::trimSpaces(sites::textBetween(e, "主演："_gbk, "</p>"));
    Text date = sites::textBetween(e, "上映时间："_gbk, "</p>");
    Text score = sites::textBetween(e, "integer\">", ".</i><i") + "." + sites::textBetween(e, "fraction\">", "<");
    Text poster = sites::textBetween(e, "<img data-src=\"", "\" alt=");
    for (const Text* field : {&title, &stars, &date, &score})
      lines += boardField(*field) + Text(kFieldSeparator);
    lines += boardField(poster) + "\r\n";
  }
  return lines;
}

Text fetchBoard(const Text& pageUrl, std::function<bool()> abandon, StopBell* stopBell) {
  if (pageUrl.empty()) return Text();
  net::InetRequest request;
  request.url = pageUrl;
  request.extraHeaders = Text(kAgentLine);
  request.abandon = std::move(abandon);
  request.stopBell = stopBell;
  return cutBoardPage(request.execute());
}

std::vector<BoardFilm> boardFilms(const Text& lines) {
  std::vector<BoardFilm> films;
  for (const Text& line : splitAt(lines, "\r\n")) {
    std::vector<Text> f = splitAt(line, kFieldSeparator);
    if (f.size() < 5) continue;
    films.push_back({f[0], f[1], f[2], f[3], f[4]});
  }
  return films;
}

Text shownStars(const Text& stars) {
  return stars.size() > kLongestStars ? sites::textBefore(stars, ",") : stars;
}

}  // namespace quenbo::ui
