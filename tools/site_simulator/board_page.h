// The simulated film board: twelve films in the box-office board's markup (UTF-8), and a
// poster picture for each, PNG for odd and JPEG for even numbers, drawn in code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenbo::simulator {

// One film as the page writes it (UTF-8). An empty release date is written without its
// "上映时间：" marker, as a board does for a film without a date yet.
struct BoardEntry {
  std::string title, stars, releaseDate, scoreInteger, scoreFraction;
};

std::vector<BoardEntry> boardEntries();

// The path of film n's poster (1-based): "/posters/<n>.png" or "/posters/<n>.jpg".
std::string posterPath(int n);

// The whole page; poster URLs are `posterBase` followed by posterPath(n).
std::string boardPage(std::string_view posterBase);

// The picture served at posterPath(n); empty for a number outside 1 to 12.
const std::string& posterPicture(int n);

}  // namespace quenbo::simulator
