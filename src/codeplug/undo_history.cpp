#include "codeplug/undo_history.h"

#include <cstring>
#include <utility>

#include "codeplug/codeplug.h"

namespace ql40 {

bool UndoHistory::Snapshot::SameData(const Snapshot& other) const {
  return image == other.image &&
         std::memcmp(&default_split, &other.default_split, sizeof default_split) == 0;
}

UndoHistory::Snapshot UndoHistory::Take(Codeplug& doc) {
  doc.CommitToImage();
  Snapshot s;
  s.image = doc.image;
  s.default_split = doc.default_split;
  s.path = doc.path;
  s.modified = doc.modified;
  s.file_loaded = doc.file_loaded;
  s.radio_origin = doc.radio_origin;
  s.tone_format = doc.tone_format;
  s.current_group = doc.channels.current_group;
  return s;
}

void UndoHistory::Restore(Codeplug& doc, const Snapshot& s) const {
  const bool unit_changed = doc.option_unit_changed;
  doc.image = s.image;
  doc.default_split = s.default_split;
  doc.path = s.path;
  doc.file_loaded = s.file_loaded;
  doc.radio_origin = s.radio_origin;
  doc.tone_format = s.tone_format;
  doc.RefreshFromImage();
  doc.option_unit_changed = unit_changed || doc.option_unit_changed;
  doc.channels.SelectGroup(s.current_group);
  // Back at the state of the file the flag is clear; anywhere else it is set. Without a known
  // clean state the flag of the step itself is the best guess.
  doc.modified = clean_ ? !s.SameData(*clean_) : s.modified;
}

void UndoHistory::Push(std::deque<Snapshot>& steps, Snapshot snapshot) const {
  steps.push_back(std::move(snapshot));
  while (steps.size() > depth_) steps.pop_front();
}

void UndoHistory::Checkpoint(Codeplug& doc) {
  Snapshot now = Take(doc);
  if (!now.modified) clean_ = now;
  redo_.clear();
  if (!undo_.empty() && undo_.back().SameData(now)) {
    undo_.back() = std::move(now);
    return;
  }
  Push(undo_, std::move(now));
}

void UndoHistory::DropIfUnchanged(Codeplug& doc) {
  if (undo_.empty()) return;
  if (undo_.back().SameData(Take(doc))) undo_.pop_back();
}

bool UndoHistory::Undo(Codeplug& doc) {
  Snapshot now = Take(doc);
  while (!undo_.empty() && undo_.back().SameData(now)) undo_.pop_back();
  if (undo_.empty()) return false;
  Snapshot target = std::move(undo_.back());
  undo_.pop_back();
  Push(redo_, std::move(now));
  Restore(doc, target);
  return true;
}

bool UndoHistory::Redo(Codeplug& doc) {
  Snapshot now = Take(doc);
  while (!redo_.empty() && redo_.back().SameData(now)) redo_.pop_back();
  if (redo_.empty()) return false;
  Snapshot target = std::move(redo_.back());
  redo_.pop_back();
  Push(undo_, std::move(now));
  Restore(doc, target);
  return true;
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  clean_.reset();
}

void UndoHistory::MarkSaved(Codeplug& doc) {
  clean_ = Take(doc);
  clean_->modified = false;
  for (auto* steps : {&undo_, &redo_}) {
    for (Snapshot& s : *steps) s.path = doc.path;
  }
}

}  // namespace ql40
