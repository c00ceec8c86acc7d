// The view event protocol: every interactive view answers
// keymouse(type, a1, a2, a3, a4, a5), nonzero when it consumed the event.
// The event types and the key codes a key-down event carries in a1 live
// here, below the views, so that the views, the editor panes, the input
// method and the application window all speak the same numbers.
#pragma once

// Event types (the first argument of keymouse).
enum viewevent {
  evPress = 0,    // left button pressed at (a1, a2)
  evDrag = 1,     // mouse moved to (a1, a2) with the left button held
  evWheel = 2,    // wheel turned by a4 at (a1, a2)
  evKey = 100,    // key down, a1 = key code below
  evChar = 101,   // one character byte in a1
  evButton = 300  // function-key button i arrives as evButton + i
};

// Key codes carried in a1 of a key-down event.
enum keycode {
  kcEnter = 13,
  kcInputSwitch = 16,  // F1 (a4 = 0) and F2 (a4 = -1), a2 = inputswitchmark
  kcRedo = 25,  // Ctrl-Y
  kcUndo = 26,  // Ctrl-Z
  kcEsc = 27,
  kcPageUp = 33,
  kcPageDown = 34,
  kcEnd = 35,
  kcHome = 36,
  kcLeft = 37,
  kcUp = 38,
  kcRight = 39,
  kcDown = 40,
  kcDelete = 46,
  kcSelect = 114,
  kcCopy = 115,
  kcPaste = 116,
  kcCut = 117,
  kcF7 = 118,
  kcF8 = 119,
};

// Bytes of a character event (a1 of evChar) that are no text.
enum charcode {
  chBackspace = 8,
  chTab = 9,
  chEnter = 13,  // Enter itself comes as kcEnter; a character 13 inserts nothing
};

// The function-key bar's buttons, left to right (evButton + i).
enum barbutton {
  btInputSwitch = 0,  // F1:中英文
  btMethod = 1,       // F2:输入法
  btSelect = 2,       // F3:选择
  btCopy = 3,         // F4:复制
  btPaste = 4,        // F5:粘贴
  btCut = 5,          // F6:剪切
  btSave = 6,         // F7:保存
  btQuit = 7,         // F8:退出
};

// a2 of the input-method switch event.
constexpr int inputswitchmark = 54;

// The character cell size every screen measure is derived from
// (gcharwidth * k / 24); 24 unless the command line chose another, set
// once before the first view is made.
extern int gcharwidth;
