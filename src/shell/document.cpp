#include "shell/document.h"

#include "resources/labels.h"

namespace ql40::shell {

bool LoadDocument(Codeplug& doc, const std::string& path, const FileEnvironment& env,
                  Prompter& prompter) {
  LoadCodeplug(doc, path, env, prompter);
  if (!doc.file_loaded && doc.path != res::kNoPath) doc.path = std::string(res::kNoPath);
  return doc.file_loaded;
}

bool ConfirmDiscard(Codeplug& doc, Prompter& prompter, const ChoosePath& choose_save_as) {
  if (!doc.modified) return true;
  switch (prompter.Ask(kStrSaveChanges, MessageIcon::kExclamation, MessageButtons::kYesNoCancel,
                       {doc.path})) {
    case Answer::kYes:
      return SaveAsCommand(doc, prompter, choose_save_as);
    case Answer::kNo:
      return true;
    default:
      return false;
  }
}

bool NewCommand(Codeplug& doc, const FileEnvironment& env, Prompter& prompter,
                const ChoosePath& choose_save_as) {
  if (!ConfirmDiscard(doc, prompter, choose_save_as)) return false;
  doc.modified = false;
  LoadDocument(doc, std::string(res::kNoPath), env, prompter);
  return true;
}

bool OpenCommand(Codeplug& doc, const FileEnvironment& env, Prompter& prompter,
                 const ChoosePath& choose_open, const ChoosePath& choose_save_as) {
  const auto path = choose_open ? choose_open() : std::nullopt;
  if (!path) return false;
  if (!CheckOpenable(*path, prompter)) return false;
  if (!ConfirmDiscard(doc, prompter, choose_save_as)) return false;
  doc.modified = false;
  LoadDocument(doc, *path, env, prompter);
  return true;
}

bool SaveCommand(Codeplug& doc, Prompter& prompter) {
  return SaveCodeplug(doc, prompter);
}

bool SaveAsCommand(Codeplug& doc, Prompter& prompter, const ChoosePath& choose_save_as) {
  const auto path = choose_save_as ? choose_save_as() : std::nullopt;
  if (!path) return false;
  const std::string old_path = doc.path;
  doc.path = *path;
  if (SaveCodeplug(doc, prompter)) return true;
  doc.path = old_path;
  return false;
}

}  // namespace ql40::shell
