// The filter and the layout: what every incoming text becomes, where display
// lines break, and that the cheap relayout after an edit always equals a
// layout of the whole text.
#include <random>

#include "tests/editor/editviewtest.h"

TEST(Filter, LineBreaksBecomeCrLfAndEveryOtherByteStays) {
  struct {
    std::string in, out;
  } cases[] = {
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\r\nb", "a\r\nb"},
      {"a\rb\r", "a\r\nb\r\n"},       // a lone CR is a line break
      {"a\r\r\nb", "a\r\n\r\nb"},     // a CR, then a CR LF: two
      {"\xD6\xD0", "\xD6\xD0"},       // a pair stays
      {"\xDF\x40\xA9\x5C", "\xDF\x40\xA9\x5C"},  // so does one with a trail below 0x80
      {"\xD6" "a", "\xD6" "a"},       // 0xD6 'a' is a GBK pair too
      {"\xD6\n", "\xD6\r\n"},        // a stray byte stays one byte
      {"\x80\xFF\x81\x7F\x81", "\x80\xFF\x81\x7F\x81"},
      {"a\xD6", "a\xD6"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    char* r = editview::tfileter(c.in.data(), static_cast<int>(c.in.size()));
    EXPECT_EQ(std::string(r, editview::reslen), c.out) << c.in;
    EXPECT_EQ(r[editview::reslen], 0);
  }
  EXPECT_EQ(editview::tfileter("x", 0), nullptr);
}

TEST(Layout, PlacementByIdOn800x800) {
  pane p0("", 800, 800, 0), p2("", 800, 800, 2);
  EXPECT_EQ(p0.ed->cols, 31);
  EXPECT_EQ(p0.ed->rows, 22);
  EXPECT_EQ(p0.ed->y1, 90);
  EXPECT_EQ(p0.ed->x2, 395);
  EXPECT_EQ(p2.ed->cols, 65);
  EXPECT_EQ(p2.ed->rows, 1);
  pane low("", 800, 299);
  EXPECT_FALSE(low.ed->ready);
  EXPECT_EQ(low.ed->keymouse(evChar, 'a', 0, 0, 0, 0), 0);
  EXPECT_EQ(low.ed->len, 0);
}

TEST(Layout, TheWrapRules) {
  std::string l30(30, 'a'), l31(31, 'b'), l40(40, 'c');
  struct {
    std::string text;
    std::vector<int> starts;
  } cases[] = {
      {"", {0}},
      {"ab\r\n", {0, 4}},                      // empty last line after a break
      {l30, {0}},                              // 30 letters fit
      {l40, {0, 0, 31}},                       // empty line, 31 letters, the rest
      {"xy " + l30, {0, 3}},                   // a run after text moves whole
      {std::string(40, '7'), {0, 30}},         // digits break anywhere
      {[] { std::string s; for (int i = 0; i < 20; i++) s += "\xD6\xD0"; return s; }(),
       {0, 30}},                               // 15 + 5 two-byte characters
      {std::string(29, '1') + "\t" + "2", {0, 30}},  // tab at cols-2 stays
      {"a\nb", {0, 2}},                        // a bare LF ends a line too
  };
  for (const auto& c : cases) {
    pane p(c.text);
    EXPECT_EQ(p.starts(), c.starts) << c.text;
    EXPECT_EQ(p.ed->linestart[p.ed->linecount], p.ed->len);
  }
  pane p("a\t\xD6\xD0\r\n");
  EXPECT_TRUE(p.ed->ctrl[1].is(ctrbyte::tab));
  EXPECT_TRUE(p.ed->ctrl[2].is(ctrbyte::hz1));
  EXPECT_TRUE(p.ed->ctrl[3].is(ctrbyte::hz2));
  EXPECT_TRUE(p.ed->ctrl[5].is(ctrbyte::lf));
}

// Random edits through the primitives; after each the table and flags must
// be exactly what a layout of the whole text gives.
TEST(Layout, RelayoutAfterAnEditEqualsAFullLayout) {
  std::mt19937 rng(11);
  const char* pieces[] = {"word ", "abcdefghijklmnopqrstuvwxyzabcdefghij", "\r\n", "\n", "\t",
                          "\xD6\xD0", "12345", ",", "\xB0", "x", "  "};
  std::string start;
  for (int i = 0; i < 600; i++) start += pieces[rng() % 11];
  pane p(start), q;
  for (int step = 0; step < 1500; step++) {
    int at = static_cast<int>(rng() % (p.ed->len + 1));
    if (rng() % 3 == 0 && p.ed->len > 0) {
      int n = 1 + static_cast<int>(rng() % 40);
      p.ed->removebytes(p.ed->text + at, p.ed->text + std::min(at + n, p.ed->len));
    } else {
      const char* s = pieces[rng() % 11];
      p.ed->insertbytes(p.ed->text + at, reinterpret_cast<const unsigned char*>(s),
                        static_cast<int>(strlen(s)));
    }
    if (rng() % 3 == 0) {  // two edits before one layout
      int b = static_cast<int>(rng() % (p.ed->len + 1));
      if (rng() % 2)
        p.ed->insertbytes(p.ed->text + b, reinterpret_cast<const unsigned char*>("z\n"), 2);
      else
        p.ed->removebytes(p.ed->text + b, p.ed->text + std::min(b + 3, p.ed->len));
    }
    ASSERT_TRUE(p.ed->setpara());
    q.set(p.text());
    ASSERT_EQ(p.starts(), q.starts()) << "step " << step;
    for (int i = 0; i < p.ed->len; i++)
      ASSERT_EQ(p.ed->ctrl[i].bits, q.ed->ctrl[i].bits) << "step " << step << " byte " << i;
  }
}
