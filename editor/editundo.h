// editundo: a pane's undo and redo history. The edit primitives report every
// change of the text to it (bytes inserted or removed at an offset), so
// whatever changes the text is covered; the editing operations group the
// changes of one user action into one step. Undo replays a step backwards,
// redo forwards, both through the same primitives, so the text passes only
// through states it has been in: no split two-byte character, no broken
// line break, never past the capacity.
//
// Grouping: each action (a typed character, Enter, Delete, Backspace, cut,
// paste) is one step, except that a run of typed characters, or a run of
// Backspaces, joins the step before it while the cursor has not been moved
// in between and the change continues where the last one ended. The bytes
// of a committed input-method candidate come as typed characters and so
// always share one step.
//
// Bound: at most maxsteps steps and maxbytes bytes (the recorded text plus
// a fixed cost per record) per pane; the oldest steps go first. The newest
// step is always kept whole: one step holds at most two texts' worth (a
// paste replacing a selection), well under maxbytes.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

class editundo {
 public:
  static constexpr int maxsteps = 1000;
  static constexpr size_t maxbytes = 4 * 1024 * 1024;
  // Bookkeeping a record costs beyond its bytes, counted against maxbytes.
  static constexpr size_t recordcost = 48;

  // What an action is, for grouping: typing and erasing runs join.
  enum kind { other, typing, erasing };

  // One change: bytes inserted at, or removed from, offset `at`.
  struct record {
    bool inserted;
    int at;
    std::string bytes;
  };
  struct step {
    kind what;
    std::vector<record> records;
    size_t cost;
  };

  // Marks the changes from begin() to end() as one action of kind k; an
  // action begun inside another is part of it. Changes reported outside an
  // action are each a step of their own.
  void begin(kind k);
  void end();
  // The next change starts a new step (the cursor moved, another event).
  void seal() { sealed = true; }

  // Reports from the primitives; ignored while a step is being replayed.
  void inserted(int at, const unsigned char* p, int n);
  void removed(int at, const unsigned char* p, int n);

  // Forgets every step: the text was replaced from outside.
  void clear();

  bool canundo() const { return !undos.empty(); }
  bool canredo() const { return !redos.empty(); }
  // The step to undo (redo) next, moved to the other list. The caller
  // replays it with replaying set.
  const step& takeundo();
  const step& takeredo();

  int undocount() const { return static_cast<int>(undos.size()); }
  int redocount() const { return static_cast<int>(redos.size()); }
  size_t bytes() const { return total; }

  // Set while a step is replayed, so that its changes are not recorded.
  bool replaying = false;

 private:
  std::deque<step> undos;  // oldest first
  std::deque<step> redos;  // next to redo last
  size_t total = 0;        // cost of undos and redos together
  bool inaction = false;
  int depth = 0;
  kind actionkind = other;
  bool actionstarted = false;  // this action has opened or joined a step
  bool openedstep = false;     // ... and that step is a new one
  bool sealed = true;

  void note(bool ins, int at, const unsigned char* p, int n);
  step& currentstep(bool ins, int at, int n);
  bool joins(bool ins, int at, int n) const;
  void add(step& s, bool ins, int at, const unsigned char* p, int n);
  void trim();
};

// begin() for the life of a scope, end() when it is left.
class undoaction {
 public:
  undoaction(editundo& h, editundo::kind k) : history(h) { history.begin(k); }
  ~undoaction() { history.end(); }
  undoaction(const undoaction&) = delete;
  undoaction& operator=(const undoaction&) = delete;

 private:
  editundo& history;
};
