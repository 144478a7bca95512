#pragma once

// Undo and Redo of every change to the document. A step is a copy of the committed image and
// its trailer (17 KB), so going back is exact whatever the change was: a cell edit, a
// dialog's OK, an import, a band change or an upload.
//
// Use: call Checkpoint(doc) just before changing the document, then Undo(doc) / Redo(doc).
// A checkpoint commits the records first, so the grid's pending edits are part of the step.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "codeplug/image.h"

namespace ql40 {

struct Codeplug;

class UndoHistory {
 public:
  static constexpr std::size_t kDefaultDepth = 200;

  explicit UndoHistory(std::size_t depth = kDefaultDepth) : depth_(depth < 1 ? 1 : depth) {}

  // Records the document as it is now as the state to go back to. Clears the redo steps.
  // A checkpoint equal to the newest one is not stored twice.
  void Checkpoint(Codeplug& doc);
  // Drops the newest checkpoint when the document still equals it: for a change that was
  // refused after the checkpoint was taken.
  void DropIfUnchanged(Codeplug& doc);

  // Back to the state before the last change; false when there is nothing to undo. Steps that
  // equal the document as it stands are skipped, so a refused change never costs a key press.
  bool Undo(Codeplug& doc);
  bool Redo(Codeplug& doc);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::size_t UndoSteps() const { return undo_.size(); }
  std::size_t RedoSteps() const { return redo_.size(); }

  // Forgets every step (a new document has no past). The clean state is forgotten as well.
  void Clear();
  // The document as it stands now equals its file: the state the modified flag is clear in.
  // Also learnt by itself whenever a checkpoint is taken with the modified flag clear. A save
  // under another name is not undone: every step takes that name.
  void MarkSaved(Codeplug& doc);

 private:
  struct Snapshot {
    Image image{};
    double default_split = 0.0;
    std::string path;  // an upload unties the codeplug from its file; its undo ties it again
    bool modified = false;
    bool file_loaded = false;
    bool radio_origin = false;
    int tone_format = 0;
    int current_group = 0;

    bool SameData(const Snapshot& other) const;
  };

  static Snapshot Take(Codeplug& doc);
  void Restore(Codeplug& doc, const Snapshot& snapshot) const;
  void Push(std::deque<Snapshot>& steps, Snapshot snapshot) const;

  std::size_t depth_;
  std::deque<Snapshot> undo_;
  std::deque<Snapshot> redo_;
  std::optional<Snapshot> clean_;
};

}  // namespace ql40
