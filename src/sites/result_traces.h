// Whether a page that gave no hit still holds something that looks like one: then the site
// has most likely changed its markup, rather than found nothing.
#pragma once

#include <string_view>

namespace quenbo::sites {

// True when `page` holds "magnet:?xt=" (ASCII case ignored), or an info hash standing on its
// own: a run of exactly 40 hexadecimal digits, or of exactly 32 base-32 characters (A-Z and
// 2-7, one case), not part of a longer run of letters and digits. A hex run must mix digits
// and letters, a base-32 run must hold a digit: a long word or a number alone is no hash.
bool holdsResultTraces(std::string_view page);

}  // namespace quenbo::sites
