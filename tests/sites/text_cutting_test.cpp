#include "sites/text_cutting.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "sites/text_cleaning.h"

namespace quenbo::sites {
namespace {

// B7 41 is one GBK character whose trail byte is "A".
const Text kTrailIsA = "\xB7\x41";

TEST(TextBetween, TakesTheTextBetweenTheMarkers) {
  struct Case {
    Text text, left, right;
    int start;
    bool ignoreCase;
    Text expected;
  } cases[] = {
      {"a<b>x</b>c", "<b>", "</b>", 1, false, "x"},
      {"a<b>x</b>c", "<i>", "</b>", 1, false, ""},
      {"a<b>x</b>c", "<b>", "</i>", 1, false, ""},
      {"a<b></b>c", "<b>", "</b>", 1, false, ""},
      {"<b>1</b><b>2</b>", "<b>", "</b>", 2, false, "2"},
      {"<B>x</B>", "<b>", "</b>", 1, false, ""},
      {"<B>x</B>", "<b>", "</b>", 1, true, "x"},
      {kTrailIsA + "[no]A[yes]", "A[", "]", 1, false, "yes"},
      {"[x" + kTrailIsA + "]", "[", "A]", 1, false, ""},
      {"<a href=\"/x\">", "href=#引号"_gbk, "#引号"_gbk, 1, false, "/x"},
      {"abc", "a", "", 1, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(textBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected)
        << c.text << " " << c.left << " " << c.right;
  }
}

TEST(CutAll, CutsEveryStretch) {
  std::vector<Text> pieces{"stale"};
  EXPECT_EQ(cutAll("[1][2][3", "[", "]", pieces), 2);
  EXPECT_EQ(pieces, (std::vector<Text>{"1", "2"}));
  EXPECT_EQ(cutAll("[1][2][3", "[", "]", pieces, {.prefix = "p", .suffix = "s"}), 2);
  EXPECT_EQ(pieces, (std::vector<Text>{"p1s", "p2s"}));
  EXPECT_EQ(cutAll("[1][2]", "[", "]", pieces,
                   {.prefix = "p", .includeLeft = true, .includeRight = true}),
            2);
  EXPECT_EQ(pieces, (std::vector<Text>{"[p1]", "[p2]"}));
  EXPECT_EQ(cutAll("[1][22][333]", "[", "]", pieces, {.maxLength = 3}), 2);
  EXPECT_EQ(pieces, (std::vector<Text>{"1", "22"}));
  EXPECT_EQ(cutAll("[1][2][3]", "[", "]", pieces, {.start = 3}), 2);
  EXPECT_EQ(cutAll("<I>a</i>", "<i>", "</I>", pieces, {.ignoreCase = true}), 1);
  EXPECT_EQ(pieces, std::vector<Text>{"a"});
  EXPECT_EQ(cutAll("no markers", "[", "]", pieces), 0);
  EXPECT_TRUE(pieces.empty());
}

TEST(CutAll, NextSearchStartsAfterTheLeftMarker) {
  std::vector<Text> pieces;
  EXPECT_EQ(cutAll("/m/a/m/b/m/", "/m/", "/m/", pieces), 2);
  EXPECT_EQ(pieces, (std::vector<Text>{"a", "b"}));
  // A left marker inside a piece starts another piece.
  EXPECT_EQ(cutAll("<a<b>", "<", ">", pieces), 2);
  EXPECT_EQ(pieces, (std::vector<Text>{"a<b", "b"}));
}

TEST(CutAll, MarkersNeverMatchOnATrailByte) {
  std::vector<Text> pieces;
  EXPECT_EQ(cutAll(kTrailIsA + "x]A" + kTrailIsA + "]", "A", "]", pieces), 1);
  EXPECT_EQ(pieces, std::vector<Text>{kTrailIsA});
}

TEST(CutAll, RefusesEmptyMarkersAndCraftedOverlaps) {
  std::vector<Text> pieces;
  EXPECT_EQ(cutAll("abc", "", "c", pieces), 0);
  EXPECT_EQ(cutAll("abc", "a", "", pieces), 0);
  // Every "[" opens a piece running to the one "]" at the end: quadratic output.
  Text crafted(200000, '[');
  crafted += "]";
  EXPECT_EQ(cutAll(crafted, "[", "]", pieces), 0);
  EXPECT_TRUE(pieces.empty());
}

TEST(TextAfterLastAndBefore, ReturnEmptyWithoutTheMarker) {
  EXPECT_EQ(textAfterLast("<b class=x>1.2 GB", ">"), "1.2 GB");
  EXPECT_EQ(textAfterLast("a>b>c", ">"), "c");
  EXPECT_EQ(textAfterLast("1.2 GB", ">"), "");
  EXPECT_EQ(textAfterLast("x" + kTrailIsA + "y", "A"), "");
  Text link = "magnet:?xt=urn:btih:ABC";
  EXPECT_EQ(textBefore(link + "&dn=x&tr=y", "&"), link);
  EXPECT_EQ(textBefore(link, "&"), "");
  EXPECT_EQ(textBefore("a&b&c", "&", 3), "a&b");
  EXPECT_EQ(textBefore("aXb", "x", 1, true), "a");
}

TEST(FindBytes, IgnoresCharacterBoundaries) {
  EXPECT_EQ(findBytes(kTrailIsA, "A"), 2);
  EXPECT_EQ(findText(kTrailIsA, "A"), -1);
  EXPECT_EQ(findBytes("abcABC", "ABC"), 4);
  EXPECT_EQ(findBytes("abcABC", "ABC", 1, true), 1);
  EXPECT_EQ(findBytes("abcabc", "bc", 3), 5);
  EXPECT_EQ(findBytes("abc", ""), -1);
  EXPECT_EQ(findBytes("", "a"), -1);
  EXPECT_EQ(findBytes("abc", "c", 9), -1);
}

// One result box of the Btdad page.
Text btdadBox(const std::string& name, const std::string& hash) {
  return utf8ToGbk(
      "<div class=\"ssbox\"><div class=\"title\"><h3><span>[BT]</span><a href=\"/h/" + hash +
      ".html\" target=\"_blank\"> Some <span class=\"red\">" + name +
      "</span> Film</a></h3></div><div class=\"sbar\"><span><a href=\"magnet:?xt=urn:btih:" + hash +
      "\">磁力链接</a></span><span>大小:<b class=\"cpill\">1.2 GB</b></span>"
      "<span>热度:<b>35</b></span><span>添加时间:<b>2019-12-01</b></span></div></div>\n");
}

TEST(CuttingRules, BtdadPageGivesItsHits) {
  Text page = "<html><body>" + btdadBox("Key", "ABC") + btdadBox("Key", "DEF") + "</body>";
  std::vector<Text> blocks;
  // The last box, which no further box follows, gives no block.
  ASSERT_EQ(cutAll(page, "/span><a href=", "<div class=\"ssbox\">", blocks), 1);
  const Text& block = blocks[0];
  Text title = trimSpaces(replaceChain(textBetween(block, "target=\"_blank\">", "</a></h3>"),
                                       {{"<span class=\"red\">", ""}, {"</span>", ""}}));
  EXPECT_EQ(title, "Some Key Film");
  EXPECT_EQ("magnet:" + textBetween(block, "magnet:", "\""), "magnet:?xt=urn:btih:ABC");
  EXPECT_EQ(textAfterLast(textBetween(block, "<span>大小:"_gbk, "</b></span>"), "\">"), "1.2 GB");
  EXPECT_EQ(textBetween(block, "热度:<b>"_gbk, "</b><"), "35");
  EXPECT_EQ(textBetween(block, "添加时间:<b>"_gbk, "</b><"), "2019-12-01");
}

}  // namespace
}  // namespace quenbo::sites
