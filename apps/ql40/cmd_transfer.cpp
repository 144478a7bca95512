#include "cli.h"

namespace ql40::cli {

// Upload and download arrive with the radio link.
void RegisterTransferCommands(CLI::App&, int&) {}

}  // namespace ql40::cli
