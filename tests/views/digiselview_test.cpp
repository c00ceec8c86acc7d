// The numbered candidate list: slot texts, the digit and the click that
// choose a slot, and what a chosen slot sends on.
#include "views/digiselview.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/views/viewtest.h"
#include "views/viewevents.h"

namespace {

std::string sent;
int record(int type, int a1, int, int, int, int) {
  if (type == evChar) sent += static_cast<char>(a1);
  return 1;
}

struct lists : testing::Test {
  lists() {
    sent.clear();
    digiselview::sendevent = record;
    digiselview::waitsel = 0;
  }
  ~lists() override { digiselview::waitsel = 0; }
};

TEST_F(lists, SetcharReplacesOneSlotAndKeepsTheOthers) {
  digiselview v(0, 0, 400, 30);
  v.setrang(6, 9);
  EXPECT_STREQ(v.selstr, "6789");
  v.setchar('6', "ab", 2);
  v.setchar('8', "xyz", 3);
  v.setchar('3', "no", 2);  // not a slot of this list
  EXPECT_STREQ(v.selstr, "6ab78xyz9");
  v.setchar('6', "c", 1);       // shorter
  v.setchar('8', "longer", 6);  // longer
  EXPECT_STREQ(v.selstr, "6c78longer9");
  EXPECT_EQ(v.slotlen[8], 6);
  std::string big(300, 'q');
  v.setchar('7', big.c_str(), 300);  // would not fit: ignored
  EXPECT_STREQ(v.selstr, "6c78longer9");
}

TEST_F(lists, DigitSendsOnlyTheCharactersOfItsSlot) {
  digiselview v(0, 0, 400, 30);
  v.setrang(0, 5);
  v.setchar('0', "中khk ", 7);
  v.setchar('1', "种thk ", 7);
  EXPECT_EQ(v.keymouse(evChar, '7', 0, 0, 0, 0), 0);  // not waiting: declined and emptied
  EXPECT_STREQ(v.selstr, "012345");

  v.setchar('1', "种thk ", 7);
  digiselview::waitsel = 1;
  EXPECT_EQ(v.keymouse(evChar, '7', 0, 0, 0, 0), 0);  // not a digit of this list
  EXPECT_EQ(v.keymouse(evChar, '1', 0, 0, 0, 0), 1);
  EXPECT_EQ(sent, "种");
  EXPECT_EQ(digiselview::waitsel, 0);
  EXPECT_STREQ(v.selstr, "012345");

  // Characters whose second byte looks like ASCII (這 DF 40, 說 D5 66)
  // go whole; the hint code after them stays.
  sent.clear();
  v.setchar('2', "這說shu ", 8);
  digiselview::waitsel = 1;
  EXPECT_EQ(v.keymouse(evChar, '2', 0, 0, 0, 0), 1);
  EXPECT_EQ(sent, "\xDF\x40\xD5\x66");
  sent = "种";

  digiselview::waitsel = 1;  // an empty slot sends nothing but ends the wait
  EXPECT_EQ(v.keymouse(evChar, '4', 0, 0, 0, 0), 1);
  EXPECT_EQ(sent, "种");
  EXPECT_EQ(digiselview::waitsel, 0);
}

// The list at (160, 60)-(399, 90), 12 pixels a byte: slot 0 covers bytes
// 0..2 ("0" and one character), slot 1 bytes 3..5, and so on.
TEST_F(lists, ClicksCountOnlyInsideTheListsOwnRectangle) {
  screen s(800, 600);
  digiselview v(160, 60, 399, 90);
  v.setrang(0, 5);
  v.setchar('0', "中", 2);
  v.setchar('1', "种", 2);
  v.draw();
  EXPECT_EQ(v.cellwidth, 12);
  EXPECT_EQ(v.slotat(160 + 2, 70), -1);  // left of the first digit
  EXPECT_EQ(v.slotat(160 + 3, 70), 0);
  EXPECT_EQ(v.slotat(160 + 37, 70), 0);
  EXPECT_EQ(v.slotat(160 + 38, 70), -1);  // the gap between two slots
  EXPECT_EQ(v.slotat(160 + 39, 70), 1);
  // Above the list (the button bar), below it, and past its right edge.
  EXPECT_EQ(v.slotat(160 + 10, 40), -1);
  EXPECT_EQ(v.slotat(160 + 10, 59), -1);
  EXPECT_EQ(v.slotat(160 + 10, 90), -1);
  EXPECT_EQ(v.slotat(400, 70), -1);

  digiselview::waitsel = 1;
  EXPECT_EQ(v.keymouse(evPress, 170, 40, 0, 0, 0), 0);
  EXPECT_EQ(sent, "");
  EXPECT_EQ(v.keymouse(evPress, 200, 75, 0, 0, 0), 1);
  EXPECT_EQ(sent, "种");
}

TEST_F(lists, TooLongATextShrinksTheCellsAndClicksFollow) {
  screen s(800, 600);
  digiselview v(0, 60, 100, 90);
  v.setrang(6, 9);
  v.setchar('6', "中华人民共和国", 14);
  v.draw();
  EXPECT_EQ(v.cellwidth, 100 / 18);  // 18 bytes with the four digits
  EXPECT_EQ(v.slotat(76, 70), 6);
  EXPECT_EQ(v.slotat(78, 70), 7);
  EXPECT_GT(s.count(black, 0, 60, 100, 90), 0);
}

}  // namespace
