// RegexMatcher::execute over hostile patterns and subjects. Parts: pattern, subject,
// replacement; the flag bits choose the options.
#include "base/encoding.h"
#include "fuzz_input.h"
#include "script/regex_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quenbo::fuzz::check;
  quenbo::fuzz::FuzzInput input(data, size);
  const quenbo::Text& subject = input.part(1);
  quenbo::script::RegexMatcher regex;
  bool ok = regex.execute(input.part(0), subject, input.flag(0), input.flag(1), input.flag(2),
                          input.flag(3));
  check(ok || regex.matchCount() == 0, "a failed run has no matches");
  check(input.flag(2) || regex.matchCount() <= 1, "a run that is not global matches once");
  const bool wellFormed = quenbo::utf8ToGbk(quenbo::gbkToUtf8(subject)) == subject;
  for (int m = 1; m <= regex.matchCount() && m <= 64; ++m) {
    int position = -2;
    quenbo::Text match = regex.matchText(m, &position);
    check(position >= 0, "a match has a position");
    if (wellFormed) {
      check(subject.compare(static_cast<std::size_t>(position), match.size(), match) == 0,
            "the match is at its position");
    }
    for (int g = 0; g <= regex.groupCount() + 1; ++g) regex.groupText(m, g, &position);
  }
  regex.replace(input.part(2));
  regex.getPattern();
  return 0;
}
