#pragma once

// Keeps the recovery copy of the document: looks at it on a timer, hands a copy to the
// recovery store's worker when the schedule says so, and offers at start-up what earlier runs
// left. The rules are the core's (shell/recovery.h); this only binds them to the event loop.

#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "codeplug/prompter.h"
#include "shell/app_context.h"
#include "shell/recovery.h"

namespace ql40::ui {

class RecoveryController : public QObject {
  Q_OBJECT
 public:
  struct Options {
    shell::AutosaveSchedule::Timing timing;
    int poll_ms = 500;
  };
  // file: this run's recovery file; empty: no recovery (the user's data folder is unknown).
  RecoveryController(shell::AppContext& app, std::filesystem::path file, Options options,
                     QObject* parent = nullptr);
  RecoveryController(shell::AppContext& app, std::filesystem::path file, QObject* parent = nullptr)
      : RecoveryController(app, std::move(file), Options{}, parent) {}
  ~RecoveryController() override;

  const std::filesystem::path& file() const { return file_; }

  // Offers what runs that did not end normally left in the folder of this run's file; true
  // when the document is now a recovered one. confirm_replace asks the save question of the
  // open document before a second recovery replaces it.
  bool OfferLeft(const shell::RecoveryOwner& self, Prompter& prompter,
                 const std::function<bool()>& confirm_replace);
  // Starts looking at the document.
  void Start();
  // Looks at the document once, as the timer does.
  void Poll();
  // Writes the newest state at once and waits until it is on the disk: the program is being
  // ended from outside.
  void FlushNow();
  // The user gave the changes up as they stand: the copy goes and is not written again until
  // the document changes.
  void MarkDiscarded();
  // The end of the run: keep the copy (changes neither saved nor given up) or remove it.
  void Finish(bool keep);

  int writes() const;

 signals:
  // A text for the status bar (the copy could not be written).
  void statusMessage(const QString& text);

 private:
  std::optional<shell::RecoveryData> Capture() const;
  void WriteLatest();
  void Forget();
  void ReportError();

  shell::AppContext& app_;
  std::filesystem::path file_;
  std::unique_ptr<shell::RecoveryStore> store_;
  shell::AutosaveSchedule schedule_;
  QTimer timer_;
  std::optional<shell::RecoveryData> latest_;     // the document as last seen modified
  std::optional<shell::RecoveryData> discarded_;  // the state the user gave up
  bool on_disk_ = false;
  bool finished_ = false;
  std::string reported_error_;
};

}  // namespace ql40::ui
