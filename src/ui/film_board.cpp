#include "ui/film_board.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/numbers.h"
#include "forms/main_window_names.h"
#include "ui/board_page.h"
#include "ui/link_actions.h"
#include "ui/poster_download.h"
#include "window/component.h"
#include "window/interactions.h"
#include "window/window_model.h"

namespace quenbo::ui {

using namespace forms::names;

namespace {

constexpr int kPageOne[] = {1, 2, 3, 4, 5, 11};
constexpr int kPageTwo[] = {6, 7, 8, 9, 10, 12};

// The settings' request time-out, within the bounds the settings keep.
std::chrono::seconds posterTimeout(const window::WindowModel& window) {
  return std::chrono::seconds(std::clamp(textToInteger(window.text(编辑框_时间)), 3, 10));
}

void showPage(window::WindowModel& window, const int (&tiles)[6], bool visible) {
  for (int n : tiles) {
    window.setVisible(图片框_电影(n), visible);
    window.setVisible(透明标签_电影名称(n), visible);
    window.setVisible(透明标签_上映时间(n), visible);
  }
}

}  // namespace

FilmBoard::FilmBoard(window::WindowModel& window, window::Interactions& interactions, Text host)
    : window_(window), interactions_(interactions), host_(std::move(host)) {}

FilmBoard::~FilmBoard() {
  loader_.stopAndJoin();
}

void FilmBoard::layout() {
  auto& w = window_;
  w.move(编辑框_搜索, 50, 40);
  for (int i = 0; i < 5; ++i) {
    int left = 50 + 180 * i;
    w.move(图片框_电影(6 + i), left, 50);
    w.move(透明标签_电影名称(6 + i), left, 290);
    w.move(透明标签_上映时间(6 + i), left, 320);
  }
  w.move(图片框_电影(12), 950, 50);
  w.move(透明标签_电影名称(12), 950, 290);
  w.move(透明标签_上映时间(12), 950, 320);
  for (int n = 1; n <= 12; ++n) {
    w.move(透明标签_电影评分(n), 140, 0);
    w.move(透明标签_电影主演(n), 0, 200);
    w.setTextColour(透明标签_上映时间(n), window::kBlue);
  }
}

void FilmBoard::startLoader() {
  Text url = boardPageUrl(host_);
  if (url.empty() || started_) return;
  started_ = true;
  finished_ = false;
  loader_.start([this, url] { fill(url); });
}

void FilmBoard::togglePage() {
  bool firstShown = window_.visible(图片框_电影(1));
  showPage(window_, kPageOne, !firstShown);
  showPage(window_, kPageTwo, firstShown);
}

void FilmBoard::filmTileClicked(int tile) {
  if (tile < 1 || tile > kFilmTiles) return;
  window_.setText(编辑框_搜索, window_.text(透明标签_电影名称(tile)));
}

void FilmBoard::promotionClicked() {
  Text link = promotionLink();
  if (isWebLink(link)) interactions_.openUrl(link);
}

void FilmBoard::setPromotionLink(const Text& link) {
  std::lock_guard lock(linkMutex_);
  promotionLink_ = link;
}

Text FilmBoard::promotionLink() const {
  std::lock_guard lock(linkMutex_);
  return promotionLink_;
}

void FilmBoard::fill(const Text& pageUrl) {
  std::vector<BoardFilm> films =
      boardFilms(fetchBoard(pageUrl, [this] { return loader_.stopping(); }, &loader_.bell()));
  if (films.size() > static_cast<std::size_t>(FilmBoard::kFilmTiles)) {
    films.resize(FilmBoard::kFilmTiles);
  }
  auto& w = window_;
  int tile = 0;
  for (const BoardFilm& film : films) {
    ++tile;
    if (loader_.stopping()) break;
    w.setText(透明标签_电影名称(tile), film.title);
    w.setText(透明标签_电影主演(tile), shownStars(film.stars));
    w.setText(透明标签_上映时间(tile), "上映时间："_gbk + film.releaseDate);
    w.setText(透明标签_电影评分(tile), film.score);
    PosterLimits limits;
    limits.timeout = posterTimeout(w);
    // A poster that cannot be had leaves the picture empty.
    Bytes poster = downloadPoster(film.posterUrl, limits, &loader_.stopFlag());
    if (loader_.stopping()) break;
    w.setPicture(图片框_电影(tile), poster);
  }
  finished_ = true;
}

void bindFilmBoardHandlers(window::WindowModel& window, FilmBoard& board) {
  using window::Event;
  using window::EventKind;
  auto& w = window;
  for (int n = 1; n <= FilmBoard::kFilmTiles; ++n) {
    w.on(图片框_电影(n), EventKind::MouseDown,
         [&board, n](const Event&) { board.filmTileClicked(n); });
  }
  for (int n : {11, 12}) {
    auto promotion = [&board](const Event&) { board.promotionClicked(); };
    w.on(图片框_电影(n), EventKind::MouseDown, promotion);
    w.on(透明标签_电影名称(n), EventKind::MouseDown, promotion);
    w.on(透明标签_电影主演(n), EventKind::MouseDown, promotion);
  }
  auto toggle = [&board](const Event&) { board.togglePage(); };
  w.on(透明标签_上一页, EventKind::MouseDown, toggle);
  w.on(透明标签_下一页, EventKind::MouseDown, toggle);
  // The score and actor labels lie on the picture: the wheel over them is over the tile.
  for (int n = 1; n <= 12; ++n) {
    w.on(图片框_电影(n), EventKind::Wheel, toggle);
    w.on(透明标签_电影评分(n), EventKind::Wheel, toggle);
    w.on(透明标签_电影主演(n), EventKind::Wheel, toggle);
  }
}

}  // namespace quenbo::ui
