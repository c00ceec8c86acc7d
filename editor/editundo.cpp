// The undo history (editundo) and the pane's undo and redo operations that
// replay its steps through the edit primitives.
#include "editor/editundo.h"

#include <utility>

#include "editor/editview.h"

// ---- recording

void editundo::begin(kind k) {
  if (depth++ > 0) return;  // part of the action around it
  inaction = true;
  actionkind = k;
  actionstarted = openedstep = false;
}

void editundo::end() {
  if (depth == 0 || --depth > 0) return;
  inaction = false;
  // A change taken back within its own action (a refused insertion) leaves
  // no step behind.
  if (openedstep && undos.back().records.empty()) {
    total -= undos.back().cost;
    undos.pop_back();
    sealed = true;
  }
  if (actionkind == other) sealed = true;
}

void editundo::inserted(int at, const unsigned char* p, int n) { note(true, at, p, n); }

void editundo::removed(int at, const unsigned char* p, int n) { note(false, at, p, n); }

void editundo::clear() {
  undos.clear();
  redos.clear();
  total = 0;
  sealed = true;
  actionstarted = openedstep = false;
}

void editundo::note(bool ins, int at, const unsigned char* p, int n) {
  if (replaying || n <= 0) return;
  step& s = currentstep(ins, at, n);
  add(s, ins, at, p, n);
  if (!inaction) sealed = true;
  trim();
}

// The step this change belongs to: the open one, or a new one (which drops
// whatever could be redone).
editundo::step& editundo::currentstep(bool ins, int at, int n) {
  if (inaction && actionstarted) return undos.back();
  bool join = inaction && joins(ins, at, n);
  if (inaction) {
    actionstarted = true;
    openedstep = !join;
  }
  if (join) return undos.back();
  for (const step& r : redos) total -= r.cost;
  redos.clear();
  undos.push_back(step{inaction ? actionkind : other, {}, 0});
  sealed = false;
  return undos.back();
}

// Whether this action's first change continues the last step: same kind of
// run, nothing in between, and where the last change ended.
bool editundo::joins(bool ins, int at, int n) const {
  if (sealed || actionkind == other || undos.empty()) return false;
  const step& s = undos.back();
  if (s.what != actionkind || s.records.empty()) return false;
  const record& r = s.records.back();
  if (actionkind == typing)
    return ins && r.inserted && at == r.at + static_cast<int>(r.bytes.size());
  return !ins && !r.inserted && at + n == r.at;
}

void editundo::add(step& s, bool ins, int at, const unsigned char* p, int n) {
  const char* c = reinterpret_cast<const char*>(p);
  size_t before = s.cost;
  record* r = s.records.empty() ? nullptr : &s.records.back();
  int rn = r ? static_cast<int>(r->bytes.size()) : 0;
  if (r && ins && r->inserted && at == r->at + rn) {
    r->bytes.append(c, n);  // typing on
    s.cost += n;
  } else if (r && !ins && !r->inserted && at + n == r->at) {
    r->bytes.insert(0, c, n);  // erasing back
    r->at = at;
    s.cost += n;
  } else if (r && !ins && r->inserted && at >= r->at && at + n == r->at + rn) {
    r->bytes.resize(rn - n);  // the end of what was just inserted taken back
    s.cost -= n;
    if (r->bytes.empty()) {
      s.records.pop_back();
      s.cost -= recordcost;
    }
  } else {
    s.records.push_back(record{ins, at, std::string(c, n)});
    s.cost += n + recordcost;
  }
  total = total - before + s.cost;
}

// Drops the oldest steps past the bound, never the newest.
void editundo::trim() {
  while (undos.size() > 1 && (static_cast<int>(undos.size()) > maxsteps || total > maxbytes)) {
    total -= undos.front().cost;
    undos.pop_front();
  }
}

// ---- taking steps for replay

const editundo::step& editundo::takeundo() {
  redos.push_back(std::move(undos.back()));
  undos.pop_back();
  sealed = true;
  return redos.back();
}

const editundo::step& editundo::takeredo() {
  undos.push_back(std::move(redos.back()));
  redos.pop_back();
  sealed = true;
  return undos.back();
}

// ---- the pane's undo and redo

namespace {

// Applies one record forwards (as it happened) or backwards.
void apply(editview& v, const editundo::record& r, bool forwards) {
  unsigned char* p = v.text + r.at;
  int n = static_cast<int>(r.bytes.size());
  if (r.inserted == forwards)
    v.insertbytes(p, reinterpret_cast<const unsigned char*>(r.bytes.data()), n);
  else
    v.removebytes(p, p + n);
}

}  // namespace

void editview::undo() {
  if (!history.canundo()) return;
  const editundo::step& s = history.takeundo();
  history.replaying = true;
  for (auto r = s.records.rbegin(); r != s.records.rend(); ++r) apply(*this, *r, false);
  history.replaying = false;
  if (s.records.empty()) return;
  // Where the step began: before what it inserted, after what it removed.
  const editundo::record& first = s.records.front();
  showchange(first.at + (first.inserted ? 0 : static_cast<int>(first.bytes.size())));
}

void editview::redo() {
  if (!history.canredo()) return;
  const editundo::step& s = history.takeredo();
  history.replaying = true;
  for (const editundo::record& r : s.records) apply(*this, r, true);
  history.replaying = false;
  if (s.records.empty()) return;
  // Where the step ended, as after the change itself.
  const editundo::record& end = s.records.back();
  showchange(end.at + (end.inserted ? static_cast<int>(end.bytes.size()) : 0));
}

void editview::showchange(int at) {
  last = 0;  // a half-typed character belongs to no state of the text
  setpara();
  selecting = seltoggle = false;
  setcur(text + at);
  sel = cur;
  draw();
}
