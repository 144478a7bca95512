// ql40: the command line of QL40Win. Creates, inspects and reports codeplugs and reads and
// programs radios, for scripts and fleets of radios.

#include <iostream>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "cli.h"
#include "ql40_version.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
  // The same bytes as on every other system: reports, JSON and CSV redirected to a file keep
  // their line ends, and the messages that carry \r\n do not get a second \r.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  CLI::App app{"ql40 - programming software for the PT-410 and PT-610 radios"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "ql40 " QL40_VERSION);
  int exit_status = ql40::cli::kExitOk;
  ql40::cli::RegisterFileCommands(app, exit_status);
  ql40::cli::RegisterReportCommands(app, exit_status);
  ql40::cli::RegisterTransferCommands(app, exit_status);
  ql40::cli::RegisterExchangeCommands(app, exit_status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? ql40::cli::kExitOk : ql40::cli::kExitUsage;
  }
  return exit_status;
}
