// Sites that answer with JSON: Ciliwang and 磁小鸭 on hosts of their own (ASCII answers with
// \u escapes, which their adapters unescape), and the seven sites of the two shared search
// APIs (UTF-8 answers with a "data.results" list).
#include "site_simulator/site_template.h"

namespace quenbo::simulator {
namespace {

// `"name":value` for a text member.
std::string member(std::string_view name, std::string_view text, bool asciiOnly) {
  return "\"" + std::string(name) + "\":" + jsonQuoted(text, asciiOnly);
}

std::string numberMember(std::string_view name, std::string_view digits) {
  return "\"" + std::string(name) + "\":" + std::string(digits.empty() ? "0" : digits);
}

std::string pageHead(const PageView& view) {
  return "\"page\":" + std::to_string(view.page) +
         ",\"total\":" + std::to_string(view.withoutList ? 0 : view.items->size());
}

std::string resultListAnswer(const PageView& view) {
  std::string out = R"({"code":200,"msg":"success","data":{)" + pageHead(view);
  if (!view.withoutList) {
    out += ",\"results\":[";
    bool first = true;
    for (const SimulatedItem& item : *view.items) {
      out += first ? "{" : ",{";
      first = false;
      out += member("name", item.title, false) + "," + member("magnet", item.link, false) + "," +
             member("formatSize", item.size, false);
      if (!item.heat.empty()) out += "," + numberMember("hot", item.heat);
      if (!item.date.empty()) out += "," + member("date", item.date, false);
      out += "}";
    }
    out += "]";
  }
  return out + "}}";
}

// 磁小鸭: a "data.data" list; the body is plain ASCII, every other character \u-escaped.
std::string dataListAnswer(const PageView& view) {
  std::string out = R"({"code":1,"msg":"ok","data":{)" + pageHead(view);
  if (!view.withoutList) {
    out += ",\"data\":[";
    bool first = true;
    for (const SimulatedItem& item : *view.items) {
      out += first ? "{" : ",{";
      first = false;
      out += member("name", item.title, true) + "," + member("uri", item.link, true) + "," +
             member("file_size", item.size, true) + "," + numberMember("hot", item.heat) + "," +
             member("time", item.date, true) + "}";
    }
    out += "]";
  }
  return out + "}}";
}

// Ciliwang's adapter cuts the text from each `name":"` to the following "highlight" member, so
// every member it reads sits between the two, written without blanks, and the highlight
// object holds no "name" member.
std::string ciliwangAnswer(const PageView& view) {
  std::string out = R"({"code":0,"msg":"success","data":{)" + pageHead(view);
  if (!view.withoutList) {
    out += ",\"list\":[";
    int n = 0;
    for (const SimulatedItem& item : *view.items) {
      out += n == 0 ? "{" : ",{";
      ++n;
      out += numberMember("id", std::to_string(view.page * 1000 + n)) + "," +
             member("name", item.title, true) + "," + member("magnet", item.link, true) + "," +
             member("file_size", item.size, true) + ",\"file_count\":3," +
             numberMember("hot", item.heat) + "," + member("time", item.date, true) + "," +
             "\"highlight\":{" + member("title", "<em>" + view.keyword + "</em>", true) + "}}";
    }
    out += "]";
  }
  return out + "}}";
}


}  // namespace

std::vector<SiteTemplate> jsonSiteTemplates() {
  constexpr auto results = SiteKind::resultListJson;
  std::vector<SiteTemplate> sites = {
      jsonSite(3, "Ciliwang", SiteKind::jsonCutAsText, SiteHost::own, true,
               "/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}", ciliwangAnswer),
      jsonSite(7, "磁小鸭", SiteKind::dataListJson, SiteHost::own, true,
               "/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}", dataListAnswer),
      jsonSite(10, "种子搜", results, SiteHost::apiA, true,
               "/api/search?source=%E7%A7%8D%E5%AD%90%E6%90%9C&keyword={KW}&page={P}&sort=time",
               resultListAnswer),
      jsonSite(11, "BT蚂蚁", results, SiteHost::apiA, true,
               "/api/search?source=BT%E8%9A%82%E8%9A%81&keyword={KW}&page={P}&sort=time",
               resultListAnswer),
      jsonSite(12, "Torrentz", results, SiteHost::apiA, true,
               "/api/search?source=Torrentz2&keyword={KW}&page={P}&sort=time", resultListAnswer),
      jsonSite(13, "磁力果", results, SiteHost::apiB, false,
               "/api/search?source=%E7%A3%81%E5%8A%9B%E6%9E%9C&keyword={KW}&page={P}&sort=default",
               resultListAnswer),
      jsonSite(14, "Kickass", results, SiteHost::apiB, false,
               "/api/search?source=KickassTorrents&keyword={KW}&page={P}&sort=default",
               resultListAnswer),
      jsonSite(24, "Sunyaa", results, SiteHost::apiA, true,
               "/api/search?source=Sukebei+Nyaa&keyword={KW}&page={P}&sort=time", resultListAnswer),
      jsonSite(25, "idopea", results, SiteHost::apiA, true,
               "/api/search?source=idope&keyword={KW}&page={P}&sort=time", resultListAnswer),
  };
  // Ciliwang and 磁小鸭 write sizes like 1.2G, 356.7mb or 未知, and dates with a time.
  for (SiteTemplate* site : {&sites[0], &sites[1]}) {
    site->style.sizeForm = SizeForm::shortGiga;
    site->style.lowerCaseUnits = true;
    site->style.unknownSizes = true;
    site->style.dateTime = true;
  }
  sites[4].style.upperCaseHash = true;  // Torrentz
  sites[6].style.heat = false;          // Kickass gives neither heat nor date
  sites[6].style.date = false;
  sites[7].style.linkWithTrackers = true;  // Sunyaa: name and tracker after "&"
  // idopea: sizes with a no-break space, dates padded with blanks, no heat.
  sites[8].style.sizeForm = SizeForm::noBreakSpace;
  sites[8].style.paddedDates = true;
  sites[8].style.heat = false;
  return sites;
}

}  // namespace quenbo::simulator
