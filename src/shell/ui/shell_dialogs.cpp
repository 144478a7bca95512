#include "shell/ui/shell_dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/maintenance.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"
#include "shell/shell_strings.h"

namespace ql40::ui {
namespace {

QString Text(int id) {
  return QString::fromStdString(res::FormatString(id));
}

QString FromStd(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

QStringList SerialDevicesPresent() {
  QStringList found;
#if !defined(_WIN32)
  for (const QString& folder : {QStringLiteral("/dev"), QStringLiteral("/dev/pts")}) {
    const QStringList patterns =
        folder == "/dev" ? QStringList{"ttyUSB*", "ttyACM*", "ttyS*"} : QStringList{"[0-9]*"};
    QDir dir(folder);
    for (const QString& name : dir.entryList(patterns, QDir::System | QDir::Files, QDir::Name)) {
      found << dir.filePath(name);
    }
  }
#endif
  return found;
}

ConfigurationDialog::ConfigurationDialog(const shell::AppContext& app, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QString::number(kDialogConfiguration));
  setWindowTitle(Text(shell::kStrConfigurationTitle));
  auto* group = new QGroupBox(Text(shell::kStrSelectComPort), this);
  auto* grid = new QGridLayout(group);
  const int labels[4] = {shell::kStrCom1, shell::kStrCom2, shell::kStrCom3, shell::kStrCom4};
#if !defined(_WIN32)
  const QStringList devices = SerialDevicesPresent();
  grid->addWidget(new QLabel(Text(shell::kStrComDevice), group), 0, 1);
#endif
  for (int i = 0; i < 4; ++i) {
    auto* port = new QRadioButton(Text(labels[i]), group);
    port->setObjectName(QString("com%1").arg(i + 1));
    port->setChecked(app.com_port == i + 1);
    ports_[static_cast<std::size_t>(i)] = port;
    grid->addWidget(port, i + 1, 0);
#if !defined(_WIN32)
    auto* device = new QComboBox(group);
    device->setObjectName(QString("device%1").arg(i + 1));
    device->setEditable(true);
    device->addItems(devices);
    device->setCurrentText(QString::fromStdString(app.port_names.DeviceOf(i + 1)));
    device->setMinimumContentsLength(16);
    devices_[static_cast<std::size_t>(i)] = device;
    grid->addWidget(device, i + 1, 1);
#endif
  }
  fast_ = new QCheckBox(Text(shell::kStrFastTransfer), this);
  fast_->setObjectName("fast");
  fast_->setChecked(app.fast_transfer);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(fast_);
  layout->addWidget(OkCancel(this));
  ports_[static_cast<std::size_t>(std::clamp(app.com_port, 1, 4) - 1)]->setFocus();
}

int ConfigurationDialog::chosen_port() const {
  for (int i = 0; i < 4; ++i) {
    if (ports_[static_cast<std::size_t>(i)]->isChecked()) return i + 1;
  }
  return 1;
}

void ConfigurationDialog::Store(shell::AppContext& app) const {
  app.com_port = chosen_port();
  app.fast_transfer = fast_->isChecked();
  for (int i = 0; i < 4; ++i) {
    const auto* device = devices_[static_cast<std::size_t>(i)];
    if (device != nullptr && !device->currentText().trimmed().isEmpty()) {
      app.port_names.SetDevice(i + 1, device->currentText().trimmed().toStdString());
    }
  }
}

void ConfigurationDialog::keyPressEvent(QKeyEvent* event) {
  // Enter chooses only on OK or Cancel; elsewhere it would close the dialog by accident.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

VisibleDialog::VisibleDialog(const shell::AppContext& app, QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(kDialogVisible));
  setWindowTitle(Text(shell::kStrVisibleTitle));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int i = 0; i < 16; ++i) {
    auto* box = new QCheckBox(FromStd(res::kColumnGroupNames[static_cast<std::size_t>(i)]), this);
    box->setObjectName(QString("item%1").arg(i));
    box->setChecked(app.ColumnVisible(i));
    boxes_[static_cast<std::size_t>(i)] = box;
    grid->addWidget(box, i % 8, i / 8);
  }
  layout->addLayout(grid);
  layout->addWidget(OkCancel(this));
  boxes_[0]->setFocus();
}

void VisibleDialog::Store(shell::AppContext& app) const {
  for (std::size_t i = 0; i < 16; ++i) app.column_visibility[i] = boxes_[i]->isChecked() ? 1 : 0;
}

GetStartedDialog::GetStartedDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(kDialogGetStarted));
  setWindowTitle(Text(shell::kStrGetStartedTitle));
  auto* text = new QPlainTextEdit(this);
  text->setReadOnly(true);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setPlainText(QString::fromStdString(shell::GetStartedText()).replace("\r\n", "\n"));
  text->setMinimumSize(460, 300);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(buttons);
  text->setFocus();
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(kDialogAbout));
  setWindowTitle(Text(shell::kStrAboutCaption));
  auto* layout = new QVBoxLayout(this);
  auto label = [&](const QString& text, const QString& family, int points) {
    auto* l = new QLabel(text, this);
    QFont font = l->font();
    if (!family.isEmpty()) font.setFamilies({family, "DejaVu Sans Mono", "Monospace"});
    font.setPointSize(points);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    layout->addWidget(l);
    return l;
  };
  const std::string version(res::LoadString(res::kStrVersionNumber).value_or(""));
  label(QString::fromStdString(res::FormatString(res::kStrAboutTitle, {version})), "Courier New",
        24)
      ->setObjectName("title");
  // A build from a clone between releases names its commit as well.
  const QString build = QCoreApplication::applicationVersion();
  if (!build.isEmpty() && build != QString::fromStdString(version)) {
    label(build, {}, 8)->setObjectName("build");
  }
  label(Text(shell::kStrAboutProduct), {}, 10);
  label(Text(shell::kStrAboutRegion), {}, 15)->setVisible(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  buttons->button(QDialogButtonBox::Ok)->setFocus();
}

PasswordDialog::PasswordDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(kDialogPassword));
  setWindowTitle(Text(shell::kStrPasswordTitle));
  auto* label = new QLabel(Text(shell::kStrPasswordLabel), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("code");
  edit_->setEchoMode(QLineEdit::Password);
  label->setBuddy(edit_);
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int cursor = edit_->cursorPosition();
    edit_->setText(text.toLower());
    edit_->setCursorPosition(cursor);
  });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addWidget(OkCancel(this));
  edit_->setFocus();
}

bool PasswordDialog::AskForMaintenance(QWidget* parent) {
  PasswordDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  return link::CheckAccessCode(dialog.code().toStdString());
}

}  // namespace ql40::ui
