// The film board of the first tab: ten film tiles filled from the board page at start-up,
// two promotion tiles the update check fills, and two pages of six tiles that share one row
// of positions. A click on a film tile puts the film's title into the keyword box.
#pragma once

#include <atomic>
#include <mutex>

#include "base/text.h"
#include "base/worker_threads.h"

namespace quenbo::window {
class WindowModel;
class Interactions;
}  // namespace quenbo::window

namespace quenbo::ui {

class FilmBoard final {
 public:
  static constexpr int kFilmTiles = 10;  // tiles 1 to 10; 11 and 12 are promotion tiles

  // `host` is the board site's host (host or host:port); empty: no board is fetched and the
  // tiles keep their empty captions and pictures.
  FilmBoard(window::WindowModel& window, window::Interactions& interactions, Text host);
  // Ends the loader and waits for it: its request or poster download is abandoned, so this
  // takes a moment however long the hosts stay silent.
  ~FilmBoard();
  FilmBoard(const FilmBoard&) = delete;
  FilmBoard& operator=(const FilmBoard&) = delete;

  // UI thread, at start-up before the loader: moves the second page onto the first page's
  // positions, the score and actor labels into their pictures, colours the dates.
  void layout();
  // UI thread: fetches the board and fills the film tiles one by one on a thread of its own,
  // posters included, and returns at once. Runs once; does nothing without a host.
  void startLoader();
  // Whether the loader has ended (or was never needed); any thread.
  bool loaderFinished() const { return finished_; }

  // UI thread: shows the other page.
  void togglePage();
  // UI thread: film tile 1 to 10 pressed: its title label's caption goes into the keyword box.
  void filmTileClicked(int tile);
  // UI thread: a promotion tile pressed: its link is opened when there is one (http or https).
  void promotionClicked();

  // The link of the promotion tiles, set by the update check; empty means none.
  void setPromotionLink(const Text& link);
  Text promotionLink() const;

 private:
  // Runs on the loader thread.
  void fill(const Text& pageUrl);

  window::WindowModel& window_;
  window::Interactions& interactions_;
  const Text host_;
  bool started_ = false;               // UI thread
  std::atomic<bool> finished_{true};   // cleared as the loader starts, set as it ends
  mutable std::mutex linkMutex_;       // guards promotionLink_
  Text promotionLink_;
  WorkerThreads loader_;  // last: the loader uses everything above
};

// Binds the board's events: presses on the tiles and the page labels, the wheel over a tile.
void bindFilmBoardHandlers(window::WindowModel& window, FilmBoard& board);

}  // namespace quenbo::ui
