#pragma once

// Radio > Program Several Radios...: the dialog's rules, so that the desktop program only
// renders them. It lists the configured and the detected serial devices with a checkbox each,
// shows one progress bar and result per radio, and offers Start and Cancel.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fleet/fleet_run.h"
#include "link/serial_port.h"

namespace ql40::fleet {

struct PortChoice {
  std::string name;    // "COM1" for a configured port, else the device path
  std::string device;  // the device it opens
  bool configured = false;
  bool present = false;  // the device exists now
};

// COM1 to COM4 with their configured devices, then the serial devices found in the device
// folder (USB adapters and built-in ports) that none of them names.
std::vector<PortChoice> FleetPortChoices(const link::PortNames& names,
                                         const std::filesystem::path& device_folder = "/dev");

class FleetDialogModel {
 public:
  struct Row {
    PortChoice port;
    bool checked = false;
    int percent = 0;
    std::string status;  // phase and prompt while running, the result at the end
    bool finished = false;
    bool succeeded = false;
  };

  // Configured ports whose device is present start checked.
  explicit FleetDialogModel(std::vector<PortChoice> choices);

  const std::vector<Row>& rows() const { return rows_; }
  // Checkboxes change only while nothing runs.
  void SetChecked(std::size_t row, bool checked);
  bool CanEditChecks() const { return !running(); }
  bool CanStart() const;
  bool CanCancel() const { return running(); }
  bool running() const { return run_ != nullptr && finished_ < run_rows_.size(); }

  // Starts the checked rows with the options given (job, source or output folder, verify,
  // fast, folders); their ports are the rows' devices. The observer is the desktop program's
  // forwarder: it must bring each notice to the user-interface thread and hand it to Apply.
  // False, with the reason in *error, when the options are refused.
  bool Start(FleetOptions options, FleetQuestions* questions, RadioObserver* observer,
             std::string* error);
  // A notice of radio (the index in the run) applied to its row; on the user-interface thread.
  void Apply(int radio, const RadioStatus& status);
  void Cancel();
  // "3 of 4 radios succeeded" once every radio finished; empty before.
  std::string Summary() const;

 private:
  std::vector<Row> rows_;
  std::unique_ptr<FleetRun> run_;
  std::vector<std::size_t> run_rows_;  // row of each radio of the run
  std::size_t finished_ = 0;
  std::size_t succeeded_ = 0;
};

}  // namespace ql40::fleet
