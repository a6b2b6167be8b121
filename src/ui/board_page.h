// The film board page: fetched once, cut into films. Between fetching and showing, the films
// travel as one text: a line per film ("\r\n" between lines), the fields title, stars,
// release date, score and poster URL separated by "###".
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "base/stop_bell.h"
#include "base/text.h"

namespace quenbo::ui {

// The page of the board on `host` (host or host:port): "https://host/board". Empty for an
// empty host, which means no board.
Text boardPageUrl(const Text& host);

// The line text of a board page as it arrived (UTF-8 bytes, read up to the first zero
// byte): every stretch between "board-index board-index" and the next "/i></p> " is one
// film. A field whose markers are missing is empty. A field never holds the separators: CR
// and LF become blanks, a run of "#" becomes one "#" and a last "#" is dropped, so the page
// can never add, shift or drop a film or a field.
Text cutBoardPage(std::string_view pageBytes);

// Fetches the page (GET, a desktop browser's user agent) and cuts it; empty when the page
// cannot be had, holds no film, or `abandon` turns true meanwhile (`stopBell` rings then).
// Blocks; run it off the UI thread.
Text fetchBoard(const Text& pageUrl, std::function<bool()> abandon = {},
                StopBell* stopBell = nullptr);

struct BoardFilm {
  Text title, stars, releaseDate, score, posterUrl;
};

// The films of a line text, in order; a line with fewer than five fields is skipped.
std::vector<BoardFilm> boardFilms(const Text& lines);

// The stars as a tile shows them: up to 24 bytes whole, a longer text only up to its first
// "," (empty when it holds none).
Text shownStars(const Text& stars);

}  // namespace quenbo::ui
