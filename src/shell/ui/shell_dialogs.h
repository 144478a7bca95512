#pragma once

// The main window's own small dialogs: Configuration, Visible, Get Started, About, Password.
// Each carries its dialog id as objectName and opens with the focus on its first control.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <array>

#include "shell/app_context.h"

class QCheckBox;

namespace ql40::ui {

inline constexpr int kDialogAbout = 165;
inline constexpr int kDialogGetStarted = 166;
inline constexpr int kDialogVisible = 169;
inline constexpr int kDialogFileData = 170;
inline constexpr int kDialogConfiguration = 174;
inline constexpr int kDialogPassword = 62190;  // the access-code dialog had no number

// The serial devices present that a COM number may stand for.
QStringList SerialDevicesPresent();

// COM 1 to 4; beside each, on systems without COM ports, the device it stands for.
class ConfigurationDialog : public QDialog {
  Q_OBJECT
 public:
  ConfigurationDialog(const shell::AppContext& app, QWidget* parent);
  // OK: the chosen number and devices go into the context.
  void Store(shell::AppContext& app) const;
  int chosen_port() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::array<QRadioButton*, 4> ports_{};
  std::array<QComboBox*, 4> devices_{};
  QCheckBox* fast_ = nullptr;
};

class VisibleDialog : public QDialog {
  Q_OBJECT
 public:
  VisibleDialog(const shell::AppContext& app, QWidget* parent);
  void Store(shell::AppContext& app) const;

 private:
  std::array<QCheckBox*, 16> boxes_{};
};

class GetStartedDialog : public QDialog {
  Q_OBJECT
 public:
  explicit GetStartedDialog(QWidget* parent);
};

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent);
};

// The access code: typed characters hidden and turned into lower case.
class PasswordDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PasswordDialog(QWidget* parent);
  QString code() const { return edit_->text(); }
  // Shows the dialog; true only for OK with the right access code (no message otherwise).
  static bool AskForMaintenance(QWidget* parent);

 private:
  QLineEdit* edit_;
};

}  // namespace ql40::ui
