#pragma once

// A radio on an in-process cable and everything a clone session needs around it.

#include <memory>
#include <vector>

#include "codeplug/codeplug.h"
#include "link/clone_session.h"
#include "link_fakes.h"
#include "radiosim/radio_sim.h"
#include "resources/strings.h"
#include "support/test_support.h"

namespace ql40::testing {

class RecordingObserver : public link::TransferObserver {
 public:
  void Title(int id) override { titles.push_back(id); }
  void Prompt(int id) override { prompts.push_back(id); }
  void Range(int maximum) override { range = maximum; }
  void Position(int position) override {
    last_position = position;
    if (on_position) on_position(position);
  }
  void Completed() override { ++completed; }
  void Failed() override { ++failed; }

  std::vector<int> titles, prompts;
  int range = -1, last_position = -1, completed = 0, failed = 0;
  std::function<void(int)> on_position;
};

inline int WordOf(const Image& image, int w) {
  return image[2 * w] | (image[2 * w + 1] << 8);
}
inline void SetWord(Image& image, int w, int v) {
  image[2 * w] = static_cast<std::uint8_t>(v);
  image[2 * w + 1] = static_cast<std::uint8_t>(v >> 8);
}
// The last image block a transfer carries for the channels an image allocates.
inline int LastBlockOfImage(const Image& image) {
  auto doc = std::make_unique<Codeplug>();
  doc->image = image;
  doc->RefreshFromImage();
  return doc->channels.LastBlock();
}
inline bool SameBytes(const Image& a, const Image& b, int first, int count) {
  return std::equal(a.begin() + first, a.begin() + first + count, b.begin() + first);
}

struct LinkRig {
  explicit LinkRig(sim::RadioOptions options = {})
      : LinkRig(options, sim::BuiltInRadioImage(options)) {}
  LinkRig(sim::RadioOptions options, const Image& memory)
      : radio(std::make_unique<sim::Radio>(options, memory)),
        wire(std::make_unique<sim::Wire>(*radio)) {
    doc.ResetToDefaults();
  }

  link::CloneEnvironment Env() {
    link::CloneEnvironment env;
    env.open_port = [this](int read_constant_ms, link::PortOpenError* error) {
      std::unique_ptr<link::SerialPort> none;
      if (refuse_open) {
        error->kind = link::PortOpenError::Kind::kNotFound;
        return none;
      }
      auto p = std::make_unique<WirePort>(*wire, log);
      p->SetReadConstant(read_constant_ms);
      if (configure) configure(*p);
      return std::unique_ptr<link::SerialPort>(std::move(p));
    };
    env.port_label = "1";
    env.prompter = &prompter;
    env.observer = &observer;
    env.cancel = &cancel;
    env.maintenance = maintenance;
    env.log_folder = dir.path();
    env.start_byte_wait = start_byte_wait;
    return env;
  }

  link::TransferOutcome Run(link::TransferKind kind) {
    session = std::make_unique<link::CloneSession>(doc, link, Env());
    return session->Run(kind);
  }

  std::unique_ptr<sim::Radio> radio;
  std::unique_ptr<sim::Wire> wire;
  Codeplug doc;
  std::unique_ptr<link::SerialPort> link;
  std::unique_ptr<link::CloneSession> session;
  ScriptedPrompter prompter;
  RecordingObserver observer;
  link::CancelToken cancel;
  TempDir dir;
  PortLog log;
  std::function<void(WirePort&)> configure;
  bool refuse_open = false;
  bool maintenance = false;
  std::optional<std::chrono::milliseconds> start_byte_wait;
};

}  // namespace ql40::testing
