// Texts that go into search requests and log lines: the encoded keyword and time stamps.
#pragma once

#include <chrono>
#include <string_view>

#include "base/clock.h"
#include "base/text.h"

namespace quenbo::sites {

// Percent-encodes every byte as "%" and two upper-case hexadecimal digits, except, with
// `keepUnreserved`, the bytes "-", ".", 0-9, A-Z and a-z. With `utf8` the UTF-8 form of the
// text is encoded, otherwise its GBK bytes. 电影 2019 becomes %E7%94%B5%E5%BD%B1%202019.
Text urlEncode(std::string_view text, bool keepUnreserved = true, bool utf8 = true);

// The Unix time in milliseconds as 13 digits, or with `seconds` as 10 digits.
Text unixTimeText(bool seconds = false);
Text unixTimeText(bool seconds, std::chrono::system_clock::time_point now);

// The 20-character time field that starts a log line: "2019/12/4  9:5:7" filled with
// blanks on the right.
Text logTimeText();
Text logTimeText(const LocalTime& time);

}  // namespace quenbo::sites
