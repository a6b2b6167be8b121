// The duplicate index of the result list: the lower-cased magnet link of every listed hit,
// each followed by CR LF, as one text. A hit is a duplicate when its link occurs anywhere in
// that text (ASCII letters folded, on character boundaries), so a link that is a prefix or
// any other part of an earlier one counts as well.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo::core {

class ListedMagnets final {
 public:
  void clear();
  // Appends a listed hit's lower-cased link and CR LF.
  void add(std::string_view lowerMagnet);
  // Whether `magnet` occurs in text(): the same answer as a search of the whole text, but
  // without scanning it for every hit (a rebuild over thousands of hits asks thousands of
  // times).
  bool contains(std::string_view magnet) const;
  const Text& text() const { return joined_; }

 private:
  // Links are indexed by the 8-byte pieces at every 8th offset; any link of at least
  // kGram + kStep - 1 bytes that occurs in an entry covers one such piece whole.
  static constexpr std::size_t kGram = 8;
  static constexpr std::size_t kStep = 8;

  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  // Where a piece occurs: entry and offset, and the piece's previous occurrence (kNone for
  // none), so each piece's occurrences form a chain from its slot.
  struct Posting {
    std::uint32_t entry;
    std::uint32_t offset;
    std::uint32_t next;
  };
  // One piece of the open-addressed table: its newest occurrence and how many there are;
  // `count` 0 marks a free slot. A flat table, so that a rebuild, which empties and refills
  // it for every hit it lists, neither allocates nor frees per piece.
  struct Slot {
    std::uint64_t gram;
    std::uint32_t head;
    std::uint32_t count;
  };

  const Slot* findSlot(std::uint64_t gram) const;
  void addPosting(std::uint64_t gram, Posting posting);
  void grow();

  std::string_view entry(std::uint32_t i) const;
  bool inIrregularEntries(std::string_view needle) const;
  bool inIndexedEntries(std::string_view needle) const;

  Text joined_;
  std::vector<std::uint32_t> starts_;   // where each entry begins in joined_
  std::vector<std::uint32_t> lengths_;  // each entry's length, without CR LF
  // Entries with double-byte characters are not indexed: they are searched one by one.
  std::vector<std::uint32_t> irregular_;
  // Once an entry holds a CR or LF, a match can cross entries: only the whole-text search
  // is exact from then on.
  bool wholeTextOnly_ = false;
  std::vector<Slot> slots_;  // a power of two in size, at most half used
  std::size_t usedSlots_ = 0;
  std::vector<Posting> postings_;
};

}  // namespace quenbo::core
