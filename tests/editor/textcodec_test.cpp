// The UTF-8 detector and the GBK <-> UTF-8 converters: what counts as a
// UTF-8 file, every GBK character there and back (and as the system's own
// converter has it), where a refusal points, and command output arriving in
// pieces. Strings meant as UTF-8 are u8"" (plain literals are GBK here).
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "editor/generated/gbktable.h"
#include "editor/textcodec.h"

namespace {

const unsigned char* bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

utf8scan scan(const std::string& s) { return scanutf8(bytes(s), s.size()); }

std::string togbk(const std::string& s, codecfault* f = nullptr) {
  std::string out;
  codecfault fault;
  bool ok = utf8togbk(bytes(s), s.size(), out, fault);
  if (f) *f = fault;
  return ok ? out : "<refused>";
}

std::string toutf8(const std::string& s, breakstyle b = breakstyle::keep, codecfault* f = nullptr) {
  std::string out;
  codecfault fault;
  bool ok = gbktoutf8(bytes(s), s.size(), out, b, fault);
  if (f) *f = fault;
  return ok ? out : "<refused>";
}

}  // namespace

TEST(Detector, TellsUtf8FromGbk) {
  // Pure ASCII (and nothing at all) is no UTF-8 file: it stays GBK.
  EXPECT_FALSE(isutf8text(scan("plain text\r\n")));
  EXPECT_TRUE(scan("plain").valid);
  EXPECT_FALSE(isutf8text(scan("")));
  // GBK Chinese is no UTF-8 ("中文" is D6 D0 CE C4: CE C4 breaks it).
  EXPECT_FALSE(scan("中文\r\n").valid);
  EXPECT_EQ(std::string("中文"), "\xD6\xD0\xCE\xC4");
  // UTF-8 with and without the byte-order mark; a mark alone is enough.
  utf8scan plain = scan(u8"中文\n");
  EXPECT_TRUE(isutf8text(plain));
  EXPECT_FALSE(plain.bom);
  utf8scan marked = scan(u8"\uFEFF中文\n");
  EXPECT_TRUE(isutf8text(marked));
  EXPECT_TRUE(marked.bom);
  EXPECT_TRUE(isutf8text(scan("\xEF\xBB\xBFplain")));
  EXPECT_TRUE(isutf8text(scan(u8"é ü \U0001F600")));  // two, three and four bytes
}

TEST(Detector, RefusesBrokenAndOverlongForms) {
  for (const char* bad : {
           "ok \xE4\xB8",          // cut off at the end of the file
           "ok \xE4\xB8 more",     // cut off inside
           "\xF0\x9F\x98",         // four-byte form cut off
           "\xC0\x80", "\xC1\xBF",  // overlong two-byte forms
           "\xE0\x80\x80", "\xE0\x9F\xBF",  // overlong three-byte forms
           "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF",  // overlong four-byte forms
           "\xED\xA0\x80",         // a surrogate
           "\xF4\x90\x80\x80",     // past U+10FFFF
           "\xF5\x80\x80\x80", "\xFF", "\x80 stray",
       }) {
    EXPECT_FALSE(scan(bad).valid) << bad;
    EXPECT_EQ(togbk(bad), "<refused>") << bad;
  }
  // The edges that are still UTF-8.
  EXPECT_TRUE(scan("\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF").valid);
}

TEST(Codec, EveryGbkCharacterGoesToUtf8AndBack) {
  int count = 0;
  // The system's converter (where its GBK module is installed) is a second
  // opinion on the generated table.
  iconv_t system = iconv_open("UTF-8", "GBK");
  bool compare = system != reinterpret_cast<iconv_t>(-1);
  for (int lead = 0x81; lead <= 0xFE; lead++) {
    for (int trail = 0x40; trail <= 0xFE; trail++) {
      std::string gbk = {static_cast<char>(lead), static_cast<char>(trail)};
      unsigned u = gbkunicode(lead, trail);
      // The system's converter agrees on which pairs are characters and on
      // what each one is.
      char in[2] = {gbk[0], gbk[1]}, outbuf[8];
      char *ip = in, *op = outbuf;
      size_t il = 2, ol = sizeof outbuf;
      if (compare) {
        iconv(system, nullptr, nullptr, nullptr, nullptr);
        bool known = iconv(system, &ip, &il, &op, &ol) != static_cast<size_t>(-1);
        EXPECT_EQ(known, u != 0) << std::hex << lead << trail;
      }
      if (!u) {
        EXPECT_EQ(toutf8(gbk), "<refused>");
        continue;
      }
      count++;
      std::string utf8 = toutf8(gbk);
      if (compare) {
        EXPECT_EQ(utf8, std::string(outbuf, op)) << std::hex << lead << trail;
      }
      EXPECT_EQ(togbk(utf8), gbk) << std::hex << lead << trail;
      EXPECT_EQ(unicodegbk(u), static_cast<unsigned>(lead << 8 | trail));
    }
  }
  if (compare) iconv_close(system);
  EXPECT_EQ(count, gbkcodecount);
  EXPECT_EQ(count, 21791);
  // ASCII is itself both ways; the euro sign (one byte in some GBK
  // variants) has no two-byte form.
  std::string ascii;
  for (int c = 1; c < 0x80; c++) ascii += static_cast<char>(c);
  EXPECT_EQ(toutf8(ascii), ascii);
  EXPECT_EQ(togbk(ascii), ascii);
  EXPECT_EQ(unicodegbk(0x20AC), 0u);
}

TEST(Codec, RefusalNamesLineAndColumn) {
  codecfault f;
  EXPECT_EQ(togbk(u8"第一行\r\nab中\U0001F600文\n", &f), "<refused>");
  EXPECT_EQ(f.line, 2);
  EXPECT_EQ(f.column, 4);
  EXPECT_EQ(f.ch, 0x1F600u);
  EXPECT_EQ(togbk(u8"ok\n\n\u4E96\u3401x", &f), "<refused>");  // a rare ideograph
  EXPECT_EQ(f.line, 3);
  EXPECT_EQ(f.column, 2);
  EXPECT_EQ(f.ch, 0x3401u);
  // Pane text that is no GBK (a pair outside the table, a stray byte, a
  // lead byte at the end) cannot be written as UTF-8.
  EXPECT_EQ(toutf8("ab\r\n中\xAA\xA1", breakstyle::lf, &f), "<refused>");
  EXPECT_EQ(f.line, 2);
  EXPECT_EQ(f.column, 2);
  EXPECT_EQ(f.code, 0xAAA1u);
  EXPECT_EQ(toutf8("ab\r\n中\x81\x7F", breakstyle::lf, &f), "<refused>");
  EXPECT_EQ(f.column, 2);
  EXPECT_EQ(f.code, 0x81u);
  EXPECT_EQ(toutf8("\xFF\xA1", breakstyle::lf, &f), "<refused>");  // 0xFF leads nothing
  EXPECT_EQ(f.code, 0xFFu);
  EXPECT_EQ(gbkunicode(0xFF, 0xA1), 0u);
  EXPECT_EQ(gbkunicode(0x81, 0x7F), 0u);
  EXPECT_EQ(gbkunicode(0xDF, 0x40), 0x9019u);  // 這
  EXPECT_EQ(toutf8("abc\xB0", breakstyle::lf, &f), "<refused>");
  EXPECT_EQ(f.column, 4);
}

TEST(Codec, LineBreaksAsTheFileHadThem) {
  std::string pane = "中\r\n文\nx\r";
  EXPECT_EQ(toutf8(pane, breakstyle::lf), u8"中\n文\nx\r");
  EXPECT_EQ(toutf8(pane, breakstyle::crlf), u8"中\r\n文\r\nx\r");
  EXPECT_EQ(toutf8(pane, breakstyle::keep), u8"中\r\n文\nx\r");
  EXPECT_EQ(toutf8(pane, breakstyle::cr), u8"中\r文\rx\r");
  EXPECT_TRUE(firstbreakiscrlf(bytes("a\r\nb\n"), 5));
  EXPECT_FALSE(firstbreakiscrlf(bytes("a\nb\r\n"), 5));
  EXPECT_FALSE(firstbreakiscrlf(bytes("\nb"), 2));
  EXPECT_FALSE(firstbreakiscrlf(bytes("ab"), 2));
}

TEST(Codec, BreakStylesFoundAndWrittenBack) {
  struct {
    std::string in;
    breakstyle first;
    bool mixed;
  } scans[] = {
      {"", breakstyle::crlf, false},            // no break: CR LF, as a new file
      {"ab", breakstyle::crlf, false},
      {"a\nb\n", breakstyle::lf, false},
      {"a\rb\r", breakstyle::cr, false},
      {"a\r\nb\r\n", breakstyle::crlf, false},
      {"a\r", breakstyle::cr, false},            // a CR at the very end
      {"a\r\r\n", breakstyle::cr, true},         // a CR, then a CR LF
      {"a\nb\r\n", breakstyle::lf, true},
      {"\xDF\x40\n\xA9\x5C\n", breakstyle::lf, false},
  };
  for (const auto& c : scans) {
    breakscan b = scanbreaks(bytes(c.in), c.in.size());
    EXPECT_EQ(b.found, c.in.find_first_of("\r\n") != std::string::npos) << c.in;
    EXPECT_EQ(b.first, c.first) << c.in;
    EXPECT_EQ(b.mixed, c.mixed) << c.in;
  }
  // Every CR LF and bare LF of the pane in the style; a lone CR, a stray
  // byte and a pair with a low trail stay as they are.
  std::string pane = "\r\n\xDF\x40\r\nx\ny\r\x81\r\n";
  auto put = [&](breakstyle b) {
    std::string out = "<";
    putbreaks(bytes(pane), pane.size(), b, out);
    return out;
  };
  EXPECT_EQ(put(breakstyle::lf), "<\n\xDF\x40\nx\ny\r\x81\n");
  EXPECT_EQ(put(breakstyle::cr), "<\r\xDF\x40\rx\ry\r\x81\r");
  EXPECT_EQ(put(breakstyle::crlf), "<\r\n\xDF\x40\r\nx\r\ny\r\x81\r\n");
  EXPECT_EQ(put(breakstyle::keep), "<" + pane);
  EXPECT_STREQ(breakname(breakstyle::cr), "CR");
}

TEST(Stream, CharactersCutBetweenReadsAreCarriedOver) {
  std::string in = u8"中文 \U0001F600x\xFF" u8"é\n";
  // Every way of cutting the output in two, and byte by byte.
  for (size_t cut = 0; cut <= in.size(); cut++) {
    utf8stream s;
    std::string out;
    s.feed(bytes(in), cut, out);
    s.feed(bytes(in) + cut, in.size() - cut, out);
    s.finish(out);
    EXPECT_EQ(out, "中文 ?x?é\n") << cut;
    EXPECT_EQ(s.replacedcount(), 2) << cut;
  }
  utf8stream s;
  std::string out;
  for (char c : in) s.feed(reinterpret_cast<unsigned char*>(&c), 1, out);
  EXPECT_EQ(out, "中文 ?x?é\n");
  // Output that ends inside a character: the piece is replaced at the end.
  out.clear();
  s.reset();
  s.feed(bytes(u8"ab中"), 4, out);
  EXPECT_EQ(out, "ab");
  EXPECT_EQ(s.pendingbytes(), 2);
  s.finish(out);
  EXPECT_EQ(out, "ab?");
  EXPECT_EQ(s.replacedcount(), 1);
  // A cut start followed by something that does not continue it.
  out.clear();
  s.reset();
  s.feed(bytes("\xE4\xB8"), 2, out);
  s.feed(bytes("A\xE4\xB8\xAD"), 4, out);
  EXPECT_EQ(out, "?A中");
}
