#include "app/board_command.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/search_command.h"
#include "app/site_setup.h"
#include "base/encoding.h"
#include "ui/board_page.h"
#include "ui/film_board.h"

namespace quenbo::app {
namespace {

constexpr const char* kFieldNames[] = {"title", "stars", "date", "score", "poster"};

std::vector<std::string> fieldsOf(const ui::BoardFilm& film) {
  std::vector<std::string> fields;
  for (const Text* f :
       {&film.title, &film.stars, &film.releaseDate, &film.score, &film.posterUrl}) {
    fields.push_back(gbkToUtf8(*f));
  }
  return fields;
}

// A field on one TSV line: control characters, tabs and line breaks included, become blanks.
std::string tsvField(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace

const char* boardUsage() {
  return "usage: quenbo board [options]\n"
         "  --hosts=FILE     a hosts file read after the program's own; its [board] host\n"
         "                   names the site whose page https://host/board is read\n"
         "  --format=F       tsv (default): title, stars, release date, score and poster URL,\n"
         "                   tab-separated, one film a line; json: an array of objects\n"
         "The films are the ten the film tab shows, as it shows them (a long list of stars is\n"
         "cut at its first comma).\n"
         "Exit status: 0 when films were printed, 1 when no board host is set or no film\n"
         "could be read, 2 for a bad command line or an unreadable --hosts file.\n";
}

int runBoardCommand(std::span<const char* const> arguments,
                    const std::filesystem::path& installDirectory,
                    std::ostream& out, std::ostream& err) {
  Parsed<BoardOptions> parsed = parseBoardOptions(arguments);
  if (!parsed.error.empty()) {
    writeUsageError(err, "board", parsed.error);
    return kExitUsage;
  }
  const BoardOptions& options = parsed.options;
  if (options.help) {
    out << boardUsage();
    return 0;
  }
  SiteSetup setup = setUpSites(installDirectory, options.hostsFile);
  for (const auto& problem : setup.problems) err << "quenbo: " << problem << '\n';
  if (setup.hostsOptionUnreadable) return kExitUsage;
  if (setup.boardHost.empty()) {
    err << "quenbo board: no board host is set ([board] host in sites.hosts)\n";
    return kExitCannotStart;
  }
  std::vector<ui::BoardFilm> films =
      ui::boardFilms(ui::fetchBoard(ui::boardPageUrl(setup.boardHost)));
  if (films.size() > static_cast<std::size_t>(ui::FilmBoard::kFilmTiles)) {
    films.resize(ui::FilmBoard::kFilmTiles);
  }
  if (films.empty()) {
    err << "quenbo board: no film could be read from "
        << gbkToUtf8(ui::boardPageUrl(setup.boardHost)) << '\n';
    return kExitCannotStart;
  }
  auto array = nlohmann::ordered_json::array();
  for (ui::BoardFilm& film : films) {
    film.stars = ui::shownStars(film.stars);
    std::vector<std::string> fields = fieldsOf(film);
    if (options.json) {
      nlohmann::ordered_json item;
      for (std::size_t f = 0; f < fields.size(); ++f) item[kFieldNames[f]] = fields[f];
      array.push_back(std::move(item));
      continue;
    }
    for (std::size_t f = 0; f < fields.size(); ++f) {
      out << (f > 0 ? "\t" : "") << tsvField(fields[f]);
    }
    out << '\n';
  }
  if (options.json) {
    out << array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
  }
  out.flush();
  return 0;
}

}  // namespace quenbo::app
