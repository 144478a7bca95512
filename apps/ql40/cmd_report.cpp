#include "cli.h"

namespace ql40::cli {

// The report command arrives with the report generator.
void RegisterReportCommands(CLI::App&, int&) {}

}  // namespace ql40::cli
