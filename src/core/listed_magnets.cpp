#include "core/listed_magnets.h"

#include <cstring>

#include "base/text_search.h"

namespace quenbo::core {
namespace {

std::uint64_t gramAt(const char* p) {
  std::uint64_t gram;
  std::memcpy(&gram, p, sizeof gram);
  return gram;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool hasDoubleByte(std::string_view s) {
  for (char c : s) {
    if (isLeadByte(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

}  // namespace

void ListedMagnets::clear() {
  joined_.clear();
  starts_.clear();
  lengths_.clear();
  irregular_.clear();
  wholeTextOnly_ = false;
  grams_.clear();
}

std::string_view ListedMagnets::entry(std::uint32_t i) const {
  return std::string_view(joined_).substr(starts_[i], lengths_[i]);
}

void ListedMagnets::add(std::string_view lowerMagnet) {
  auto index = static_cast<std::uint32_t>(starts_.size());
  starts_.push_back(static_cast<std::uint32_t>(joined_.size()));
  lengths_.push_back(static_cast<std::uint32_t>(lowerMagnet.size()));
  joined_.append(lowerMagnet);
  joined_.append("\r\n");
  if (hasLineBreak(lowerMagnet)) {
    wholeTextOnly_ = true;
  } else if (hasDoubleByte(lowerMagnet)) {
    irregular_.push_back(index);
  } else {
    for (std::size_t o = 0; o + kGram <= lowerMagnet.size(); o += kStep) {
      grams_[gramAt(lowerMagnet.data() + o)].push_back({index, static_cast<std::uint32_t>(o)});
    }
  }
}

bool ListedMagnets::inIrregularEntries(std::string_view needle) const {
  for (std::uint32_t i : irregular_) {
    if (findText(entry(i), needle, 1, true) != -1) return true;
  }
  return false;
}

// An occurrence at offset s covers the indexed pieces at s + d for every d with
// (s + d) % kStep == 0 that fits: so for each residue of d one piece of the needle, the one
// with the fewest postings, finds every occurrence of that residue.
bool ListedMagnets::inIndexedEntries(std::string_view needle) const {
  for (std::size_t residue = 0; residue < kStep; ++residue) {
    const std::vector<Posting>* best = nullptr;
    std::size_t bestD = 0;
    bool absent = false;
    if (residue + kGram > needle.size()) break;
    // From the end: a link's tail (its hash) is where new links differ, so a piece that
    // was never listed, or a posting list of one, usually turns up at the first look.
    std::size_t last = residue + (needle.size() - kGram - residue) / kStep * kStep;
    for (std::size_t d = last;; d -= kStep) {
      auto it = grams_.find(gramAt(needle.data() + d));
      if (it == grams_.end()) {
        absent = true;
        break;
      }
      if (!best || it->second.size() < best->size()) {
        best = &it->second;
        bestD = d;
        if (best->size() == 1) break;
      }
      if (d < kStep + residue) break;
    }
    if (absent || !best) continue;
    for (const Posting& p : *best) {
      if (p.offset < bestD) continue;
      std::size_t start = p.offset - bestD;
      if (start + needle.size() > lengths_[p.entry]) continue;
      if (std::memcmp(joined_.data() + starts_[p.entry] + start, needle.data(), needle.size()) == 0) {
        return true;
      }
    }
  }
  return false;
}

bool ListedMagnets::contains(std::string_view magnet) const {
  if (joined_.empty()) return false;
  if (magnet.empty()) return true;
  Text needle = lowerAscii(magnet);
  if (wholeTextOnly_ || hasLineBreak(needle) || needle.size() < kGram + kStep - 1) {
    return findText(joined_, needle, 1, true) != -1;
  }
  if (hasDoubleByte(needle)) return inIrregularEntries(needle);
  return inIndexedEntries(needle) || inIrregularEntries(needle);
}

}  // namespace quenbo::core
