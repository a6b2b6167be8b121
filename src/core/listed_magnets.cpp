#include "core/listed_magnets.h"

#include <algorithm>
#include <cstring>

#include "base/text_search.h"

namespace quenbo::core {
namespace {

std::uint64_t gramAt(const char* p) {
  std::uint64_t gram;
  std::memcpy(&gram, p, sizeof gram);
  return gram;
}

std::size_t slotOf(std::uint64_t gram, std::size_t mask) {
  return static_cast<std::size_t>((gram * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

bool hasLineBreak(std::string_view s) {
  for (char c : s) {
    if (c == '\r' || c == '\n') return true;
  }
  return false;
}

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
  if (usedSlots_ > 0) std::fill(slots_.begin(), slots_.end(), Slot{0, kNone, 0});
  usedSlots_ = 0;
  postings_.clear();
}

const ListedMagnets::Slot* ListedMagnets::findSlot(std::uint64_t gram) const {
  if (slots_.empty()) return nullptr;
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = slotOf(gram, mask);; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.count == 0) return nullptr;
    if (slot.gram == gram) return &slot;
  }
}

void ListedMagnets::addPosting(std::uint64_t gram, Posting posting) {
  if ((usedSlots_ + 1) * 2 > slots_.size()) grow();
  std::size_t mask = slots_.size() - 1;
  std::size_t i = slotOf(gram, mask);
  while (slots_[i].count != 0 && slots_[i].gram != gram) i = (i + 1) & mask;
  Slot& slot = slots_[i];
  if (slot.count == 0) {
    slot.gram = gram;
    ++usedSlots_;
  }
  posting.next = slot.head;
  slot.head = static_cast<std::uint32_t>(postings_.size());
  ++slot.count;
  postings_.push_back(posting);
}

void ListedMagnets::grow() {
  std::vector<Slot> old(std::max<std::size_t>(slots_.size() * 2, 1024), Slot{0, kNone, 0});
  old.swap(slots_);
  std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.count == 0) continue;
    std::size_t i = slotOf(slot.gram, mask);
    while (slots_[i].count != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
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
      addPosting(gramAt(lowerMagnet.data() + o), {index, static_cast<std::uint32_t>(o), kNone});
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
    const Slot* best = nullptr;
    std::size_t bestD = 0;
    bool absent = false;
    if (residue + kGram > needle.size()) break;
    // From the end: a link's tail (its hash) is where new links differ, so a piece that
    // was never listed, or a posting list of one, usually turns up at the first look.
    std::size_t last = residue + (needle.size() - kGram - residue) / kStep * kStep;
    for (std::size_t d = last;; d -= kStep) {
      const Slot* slot = findSlot(gramAt(needle.data() + d));
      if (!slot) {
        absent = true;
        break;
      }
      if (!best || slot->count < best->count) {
        best = slot;
        bestD = d;
        if (best->count == 1) break;
      }
      if (d < kStep + residue) break;
    }
    if (absent || !best) continue;
    for (std::uint32_t at = best->head; at != kNone; at = postings_[at].next) {
      const Posting& p = postings_[at];
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
