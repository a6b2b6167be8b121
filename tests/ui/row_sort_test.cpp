#include "core/row_sort.h"

#include <atomic>
#include <random>
#include <thread>

#include "list_fixture.h"

namespace quenbo::ui::testing {
namespace {

using namespace forms::names;
using core::SortKey;
using core::heatSortKey;
using core::shellSortOrder;
using core::sizeSortKey;

// The sort exactly as the rule is written: records at positions 1 to n, Knuth's gaps, each
// record swapped one gap towards the front while the one before it is smaller by more
// than 1e-7.
std::vector<int> referenceOrder(const std::vector<double>& keys) {
  int n = static_cast<int>(keys.size());
  std::vector<int> at(n + 1);  // at[p]: the record (input index) at position p
  for (int p = 1; p <= n; ++p) at[p] = p - 1;
  int h = 1;
  while (!(h > n)) h = 3 * h + 1;
  while (h != 0) {
    for (int j = h; j <= n; ++j) {
      for (int p = j; p - h >= 1 && keys[at[p]] - keys[at[p - h]] > 1e-7; p -= h) {
        std::swap(at[p], at[p - h]);
      }
    }
    h = (h - 1) / 3;
  }
  return std::vector<int>(at.begin() + 1, at.end());
}

class RowSort : public ListFixture {
 protected:
  void add(const std::string& size, const std::string& heat = "0") {
    int n = rows() + 1;
    store_.addHit(hit(n, size, heat));
  }
  std::vector<std::string> column(int c) const {
    std::vector<std::string> out;
    for (int r = 0; r < rows(); ++r) out.push_back(gbkToUtf8(cell(r, c)));
    return out;
  }
};

TEST_F(RowSort, SizeKeysTakeTheFirstUnitInAnyCaseAndSinglePrecision) {
  struct Case {
    const char* cell;
    double key;
  };
  const Case cases[] = {
      {"700 MB", 700.0 * 1024 * 1024},
      {"1.5 GB", 1.5 * 1024 * 1024 * 1024},
      {"1.2 gb", static_cast<float>(1.2 * 1024 * 1024 * 1024)},
      {"512 KB", 512.0 * 1024},
      {"0.1 kb", static_cast<float>(102.4)},
      {"3 TB", 0},
      {"未知", 0},
      {"1.25GB", 1.25 * 1024 * 1024 * 1024},
      {"2 MB GB", 2.0 * 1024 * 1024 * 1024},  // GB is looked for first
  };
  for (const Case& c : cases) EXPECT_EQ(sizeSortKey(utf8ToGbk(c.cell)), c.key) << c.cell;
  EXPECT_EQ(sizeSortKey("1.2 gb"), sizeSortKey("1.2 GB"));
  EXPECT_EQ(heatSortKey("1234"), 1234);
  EXPECT_EQ(heatSortKey("hot"), 0);
}

TEST_F(RowSort, ThousandRandomRowsGetTheOrderOfTheWrittenProcedure) {
  std::mt19937 random(20191224);
  const char* units[] = {" GB", " MB", " KB", " gb", " TB", ""};
  for (int i = 0; i < 1000; ++i) {
    // Few distinct values, so most keys are equal to many others.
    std::string size =
        std::to_string(random() % 8) + "." + std::to_string(random() % 3) + units[random() % 6];
    add(size, std::to_string(random() % 12));
  }
  for (SortKey key : {SortKey::size, SortKey::heat, SortKey::size}) {
    std::vector<window::Row> before;
    std::vector<double> keys;
    for (int r = 0; r < rows(); ++r) {
      before.push_back(row(r));
      keys.push_back(key == SortKey::size ? sizeSortKey(before.back()[4])
                                          : heatSortKey(before.back()[5]));
    }
    std::vector<int> expected = referenceOrder(keys);
    ASSERT_EQ(shellSortOrder(keys), expected);
    store_.sort(key);
    ASSERT_EQ(rows(), 1000);
    for (int r = 0; r < rows(); ++r) {
      window::Row now = row(r);
      EXPECT_EQ(now[0], before[r][0]) << "the ID column stays";
      window::Row want = before[expected[r]];
      ASSERT_EQ(std::vector<Text>(now.begin() + 1, now.end()),
                std::vector<Text>(want.begin() + 1, want.end()))
          << "row " << r;
    }
  }
}

TEST_F(RowSort, ExamplesOfTheListMenu) {
  int heat = 0;
  for (const char* size : {"700 MB", "3 TB", "1.5 GB", "512 KB", "1.2 gb"}) {
    add(size, std::to_string(heat++ * 7 % 5));
  }
  store_.sort(SortKey::size);
  EXPECT_EQ(column(4), (std::vector<std::string>{"1.5 GB", "1.2 gb", "700 MB", "512 KB", "3 TB"}));
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3", "4", "5"}));

  store_.sort(SortKey::heat);
  EXPECT_EQ(column(5), (std::vector<std::string>{"4", "3", "2", "1", "0"}));
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(store_.hits().size(), 5u) << "the stored hits are not touched";
  EXPECT_EQ(store_.hits()[0].size, "700 MB");
  EXPECT_FALSE(w_.updatesLocked(超级列表框_磁力链接));
}

TEST_F(RowSort, HitsArrivingLaterGoBelowTheSortedRows) {
  for (const char* size : {"1 MB", "3 MB", "2 MB"}) add(size);
  store_.sort(SortKey::size);
  add("9 GB");
  EXPECT_EQ(column(4), (std::vector<std::string>{"3 MB", "2 MB", "1 MB", "9 GB"}));
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3", "4"}));
}

// Run under the thread sanitizer too: the sort holds the result lock while a worker keeps
// handing hits over.
TEST_F(RowSort, SortWhileAWorkerAppends) {
  constexpr int kHits = 3000;
  std::atomic<bool> started{false};
  std::thread worker([&] {
    for (int i = 0; i < kHits; ++i) {
      store_.addHit(hit(i, std::to_string(i % 97) + " MB", std::to_string(i % 13)));
      started = true;
    }
  });
  ASSERT_TRUE(quenbo::testing::waitFor([&] { return started.load(); }));
  int sorts = 0;
  while (rows() < kHits) {
    store_.sort(sorts++ % 2 == 0 ? SortKey::size : SortKey::heat);
  }
  worker.join();
  store_.sort(SortKey::size);
  ASSERT_EQ(rows(), kHits);
  std::vector<int> seen(kHits, 0);
  for (int r = 0; r < kHits; ++r) {
    window::Row now = row(r);
    ASSERT_EQ(now.size(), 7u);
    EXPECT_EQ(now[0], std::to_string(r + 1));
    int n = std::stoi(now[1].substr(6));
    ++seen[n];
    EXPECT_EQ(now[2], "magnet:?xt=urn:btih:" + std::to_string(n)) << "a row keeps its texts";
    if (r > 0) {
      EXPECT_GE(sizeSortKey(cell(r - 1, 4)), sizeSortKey(now[4]));
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kHits) << "every hit listed once";
  EXPECT_GT(sorts, 0);
}

}  // namespace
}  // namespace quenbo::ui::testing
