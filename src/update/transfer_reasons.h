// The short words for why a request or download of the update went wrong: the one place that
// turns the fetch core's failure kinds into text for the user.
#pragma once

#include "base/text.h"
#include "net/fetch.h"

namespace quenbo::update {

// GBK, e.g. "证书不受信任：updates.example.org" or "传输过慢"; empty without a failure.
Text transferProblemText(const net::FetchFault& fault);

// `text` followed by the problem in full-width parentheses: "无数据返回（传输过慢）"; `text`
// alone without a failure.
Text withTransferProblem(const Text& text, const net::FetchFault& fault);

}  // namespace quenbo::update
