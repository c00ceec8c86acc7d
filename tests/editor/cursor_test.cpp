// Cursor placement and the four edits, each with where the cursor ends,
// and the mended limits: the cursor and anchor always inside the text.
#include "tests/editor/editviewtest.h"

TEST(Placement, ByPositionAndByLineAndOffset) {
  pane p("\tab\r\nxyz\r\n\xD6\xD0\xD6\xD0\r\nabc");
  p.put(1);  // after the tab: screen column 5
  EXPECT_EQ(p.ed->curcol, 4);
  p.ed->setcur(1, 0);  // the same byte by offset: column 2
  EXPECT_EQ(p.ed->curcol, 1);
  EXPECT_EQ(p.at(), 1);
  p.ed->setcur(5, 1);  // offset 5 on "xyz\r\n": its LF
  EXPECT_EQ(p.at(), 9);
  p.ed->setcur(3, 2);  // the second byte of a character: its first
  EXPECT_EQ(p.at(), 12);
  p.ed->setcur(5, 3);  // past the last line: the end
  EXPECT_EQ(p.at(), p.ed->len);
  p.ed->setcur(p.ed->text + p.ed->len + 50);  // mended: never past the end
  EXPECT_EQ(p.at(), p.ed->len);
  EXPECT_EQ(p.ed->sel, p.ed->cur);
  p.ed->setms(40, 0);  // right of a line: its LF
  EXPECT_EQ(p.at(), 4);
}

TEST(Moving, ArrowsHomeEndAndPages) {
  pane p("ab\r\ncd");
  p.put(1);
  p.ed->rightone(true);
  EXPECT_EQ(p.at(), 3);  // b -> the LF
  p.ed->rightone(true);
  EXPECT_EQ(p.at(), 4);
  p.ed->rightone(false);
  EXPECT_EQ(p.at(), 3);
  p.ed->rightone(false);
  EXPECT_EQ(p.at(), 1);
  p.put(0);
  p.ed->rightone(false);
  p.ed->upone(true);
  EXPECT_EQ(p.at(), 0);
  p.ed->homeend(false);
  EXPECT_EQ(p.at(), 3);
  p.ed->upone(false);
  EXPECT_EQ(p.at(), p.ed->len);  // last line of two bytes: the end
  p.ed->rightone(true);
  EXPECT_EQ(p.at(), p.ed->len);
  std::string many;
  for (int i = 0; i < 60; i++) many += "line\r\n";
  pane q(many);
  q.ed->pgupdn(false);
  EXPECT_EQ(q.ed->topline, 22);
  EXPECT_EQ(q.ed->curline, 22);
  q.ed->pgupdn(false);
  q.ed->pgupdn(false);  // topline + rows >= linecount: nothing
  EXPECT_EQ(q.ed->topline, 44);
  q.ed->pgupdn(true);
  EXPECT_EQ(q.ed->topline, 22);
}

TEST(Editing, TypingEnterDeleteBackspace) {
  pane p("ab\r\n");
  p.put(2);  // on the LF
  p.ed->insertchar('X');
  EXPECT_EQ(p.text(), "abX\r\n");
  EXPECT_EQ(p.at(), 3);  // on the CR
  p.ed->insertchar('Y');
  EXPECT_EQ(p.text(), "abXY\r\n");
  p.ed->insertchar(0xD6);
  EXPECT_EQ(p.text(), "abXY\r\n");  // half a character waits
  p.ed->insertchar(0xD0);
  EXPECT_EQ(p.text(), "abXY\xD6\xD0\r\n");
  p.ed->insertchar(0xA3);
  p.ed->insertchar(0xA0);
  p.ed->insertchar(0);  // mended: no zero byte enters
  EXPECT_EQ(p.text(), "abXY\xD6\xD0\r\n");

  pane e("abcd");
  e.put(2);
  e.ed->insertda();
  EXPECT_EQ(e.text(), "ab\r\ncd");
  EXPECT_EQ(e.at(), 4);
  e.put(e.ed->len);
  e.ed->insertda();  // Enter at the end of the text
  EXPECT_EQ(e.text(), "ab\r\ncd\r\n");
  EXPECT_EQ(e.at(), e.ed->len);

  pane d("ab\r\ncd\xD6\xD0x");
  d.put(3);  // Delete on the LF joins the lines
  d.ed->deletechar();
  EXPECT_EQ(d.text(), "abcd\xD6\xD0x");
  d.put(3);  // d before a two-byte character: only d
  d.ed->deletechar();
  EXPECT_EQ(d.text(), "abc\xD6\xD0x");
  d.ed->deletechar();  // the character, both bytes
  EXPECT_EQ(d.text(), "abcx");
  d.put(4);
  d.ed->deletechar();  // at the end: nothing
  EXPECT_EQ(d.text(), "abcx");

  pane b("a\xD6\xD0\r\nxy");
  b.put(5);  // start of the second line
  b.ed->backchar();
  EXPECT_EQ(b.text(), "a\xD6\xD0xy");
  EXPECT_EQ(b.at(), 3);
  b.ed->backchar();
  EXPECT_EQ(b.text(), "axy");
  EXPECT_EQ(b.at(), 1);
  b.put(0);
  b.ed->backchar();
  EXPECT_EQ(b.text(), "axy");
}

TEST(Editing, MendedLimitsKeepTheCursorInsideTheText) {
  // Backspace right after a bare LF removes the LF alone.
  pane b("\xD6\xD0\nz");
  b.put(3);
  b.ed->backchar();
  EXPECT_EQ(b.text(), "\xD6\xD0z");
  // Delete on a lone high byte at the end stays inside.
  pane d("ab");
  d.ed->addcontent("\xB0", 1);
  d.put(2);
  d.ed->deletechar();
  EXPECT_EQ(d.text(), "ab");
  EXPECT_EQ(d.at(), 2);
  // Backspace on the second byte of a leading lone byte stops at the start.
  pane s("x");
  s.ed->text[0] = 0xB0;
  s.ed->setpara();
  s.ed->setcur(s.ed->text + 1);
  s.ed->backchar();
  EXPECT_EQ(s.ed->len, 0);
  EXPECT_EQ(s.at(), 0);
  // Typing at a bare LF inserts a CR; the far end of a selection moves too.
  pane t("ab\ncd");
  t.put(2);
  t.ed->sel = t.ed->text + 4;  // 'd'
  EXPECT_EQ(t.ed->insertpoint(), t.ed->text + 2);
  EXPECT_EQ(t.text(), "ab\r\ncd");
  EXPECT_EQ(*t.ed->sel, 'd');
  // Two CRs before an LF: one goes, the ends follow the LF.
  pane u("a\r\r\nb");
  u.put(3);
  EXPECT_EQ(u.ed->insertpoint(), u.ed->text + 1);
  EXPECT_EQ(u.text(), "a\r\nb");
  EXPECT_EQ(*u.ed->cur, '\n');
  // Emptying resets cursor, anchor and scroll.
  std::string many;
  for (int i = 0; i < 60; i++) many += "line\r\n";
  pane c(many);
  c.ed->setcur(c.ed->text + c.ed->len);
  c.ed->clean();
  EXPECT_EQ(c.ed->cur, c.ed->text);
  EXPECT_EQ(c.ed->sel, c.ed->text);
  EXPECT_EQ(c.ed->topline, 0);
}

TEST(Editing, CapacityRefusesWithANotice) {
  pane p;
  std::string big(editview::maxtextlen - 2, 'a');
  for (size_t i = 30; i < big.size(); i += 31) big[i] = '\n';  // short lines
  p.set(big);
  p.put(p.ed->len);
  p.ed->insertchar('b');  // the byte and a possible CR still fit
  EXPECT_EQ(p.ed->len, editview::maxtextlen - 1);
  clearnotice();
  p.ed->insertchar('c');
  EXPECT_EQ(p.ed->len, editview::maxtextlen - 1);
  EXPECT_NE(notice().find("文本已满"), std::string::npos);
  p.ed->insertda();
  EXPECT_EQ(p.ed->len, editview::maxtextlen - 1);
  EXPECT_FALSE(p.ed->addcontent("zz", 2));
  EXPECT_EQ(p.ed->text[p.ed->len], 0);  // the terminator inside the buffer
  EXPECT_EQ(p.ed->text[p.ed->len + 1], 0);

  // The line table: an append that would pass it is undone.
  pane q(std::string(maxlinenumber - 2, '\n'));
  EXPECT_EQ(q.ed->linecount, maxlinenumber - 1);
  EXPECT_FALSE(q.ed->addcontent("\r\n", 2));
  EXPECT_EQ(q.ed->linecount, maxlinenumber - 1);
  EXPECT_EQ(q.ed->len, maxlinenumber - 2);
}

// 這 DF 40 and 說 D5 66 have second bytes that look like ASCII; 0x80 and
// 0xFF start no character, nor does a lead byte before a byte below 0x40.
TEST(Editing, GbkPairsStepWholeAndStrayBytesStepAlone) {
  const std::string zhe = "\xDF\x40", shuo = "\xD5\x66";
  pane m("a" + zhe + shuo + "\x80\xFF" "b");  // a0 zhe1-2 shuo3-4 80@5 FF@6 b7
  EXPECT_TRUE(m.ed->ctrl[1].is(ctrbyte::hz1) && m.ed->ctrl[2].is(ctrbyte::hz2));
  EXPECT_FALSE(m.ed->ctrl[5].is(ctrbyte::hz1) || m.ed->ctrl[6].is(ctrbyte::hz2));
  std::string right;
  for (int i = 0; i < 7; i++) {
    m.ed->rightone(true);
    right += std::to_string(m.at()) + "/" + std::to_string(m.ed->curcol) + " ";
  }
  EXPECT_EQ(right, "1/1 3/3 5/5 6/6 7/7 8/8 8/8 ");  // a stray byte is one column
  std::string left;
  for (int i = 0; i < 6; i++) {
    m.ed->rightone(false);
    left += std::to_string(m.at()) + " ";
  }
  EXPECT_EQ(left, "7 6 5 3 1 0 ");
  m.put(2);  // a position inside 這 is taken back to its start
  EXPECT_EQ(m.at(), 1);
  m.put(5);
  m.ed->backchar();  // 說 goes whole, with neither neighbour
  EXPECT_EQ(m.text(), "a" + zhe + "\x80\xFF" "b");
  m.put(1);
  m.ed->deletechar();
  EXPECT_EQ(m.text(), "a\x80\xFF" "b");
  m.put(2);
  m.ed->deletechar();  // a stray byte alone
  EXPECT_EQ(m.text(), "a\x80" "b");
  // A stray lead that meets a trail byte by an edit is one character with
  // it, and the cursor is never left inside.
  pane j("\x81" "1A");
  j.put(1);
  j.ed->deletechar();
  EXPECT_EQ(j.text(), "\x81" "A");
  EXPECT_TRUE(j.ed->ctrl[0].is(ctrbyte::hz1));
  EXPECT_EQ(j.at(), 0);
  // Typed bytes: a lead waits for its trail, '@' included; a lead followed
  // by a byte that is no trail, and 0x80 or 0xFF, are dropped.
  pane t;
  for (unsigned b : {0xDFu, 0x40u, 0xD5u, unsigned('1'), 0x80u, 0xFFu, 0xD5u, 0x66u})
    t.ed->insertchar(b);
  EXPECT_EQ(t.text(), zhe + "1" + shuo);
}

TEST(Editing, TheStateLineShowsTheCodeAndTheLineBreaks) {
  auto state = [](pane& p) {
    p.ed->dispstate();
    std::string line = statusline();
    return line.substr(line.find("代码:"), line.find("  |") - line.find("代码:"));
  };
  pane p("\xDF\x40\x80");
  EXPECT_EQ(state(p), "代码:df,40");
  p.put(2);
  EXPECT_EQ(state(p), "代码:80");  // a stray byte alone
  p.ed->linebreaks = breakstyle::lf;
  EXPECT_EQ(state(p), "代码:80,LF");
  p.ed->linebreaks = breakstyle::cr;
  EXPECT_EQ(state(p), "代码:80,CR");
  p.ed->linebreaks = breakstyle::crlf;
  EXPECT_EQ(state(p), "代码:80");
}
