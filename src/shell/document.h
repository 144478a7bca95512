#pragma once

// The File commands on the document, with every check and question, through the core's file
// functions. The file dialogs are the caller's: they come in as functions that give the chosen
// path or nothing for Cancel.

#include <functional>
#include <optional>
#include <string>

#include "codeplug/codeplug.h"
#include "codeplug/files.h"
#include "codeplug/prompter.h"
#include "shell/shell_strings.h"

namespace ql40::shell {

using ChoosePath = std::function<std::optional<std::string>()>;

// Loads a file (or, for "<none>", the first default band file) into the document. A file
// that could not be read whole leaves the path "<none>", so that Save cannot put the
// built-in defaults over the damaged file. True when a file was read.
bool LoadDocument(Codeplug& doc, const std::string& path, const FileEnvironment& env,
                  Prompter& prompter);

// The save question of a modified codeplug: Yes runs Save As, and only a Save As that wrote
// the file lets the caller go on; No goes on; Cancel stops. True when the caller may go on.
bool ConfirmDiscard(Codeplug& doc, Prompter& prompter, const ChoosePath& choose_save_as);

// File > New: the save question, then the first default band file.
bool NewCommand(Codeplug& doc, const FileEnvironment& env, Prompter& prompter,
                const ChoosePath& choose_save_as);

// File > Open: the file dialog, the file's checks (messages 32, 37, 34), the save question,
// then the file. False when nothing was opened; the document is then as it was.
bool OpenCommand(Codeplug& doc, const FileEnvironment& env, Prompter& prompter,
                 const ChoosePath& choose_open, const ChoosePath& choose_save_as);

// File > Save on the current path.
bool SaveCommand(Codeplug& doc, Prompter& prompter);

// File > Save As: the chosen path becomes the current path and Save runs. When Save does not
// write the file the old path comes back, so the title never names a file that does not hold
// the codeplug.
bool SaveAsCommand(Codeplug& doc, Prompter& prompter, const ChoosePath& choose_save_as);

}  // namespace ql40::shell
