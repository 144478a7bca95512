// The generic settings dialog through real widgets: prompts in the status bar, the edit
// field's cycle, Enter and Escape, OK only with the focus on OK, F1.

#include "settings/ui/settings_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "settings/form_model.h"
#include "settings/ui/form_widgets.h"
#include "support/ui_test_support.h"

namespace {

using ql40::FormCommit;
using ql40::FormModel;
using ql40::ui::FilterEdit;
using ql40::ui::SettingsDialog;
using ql40::uitest::FindById;

// One list (2050) and two edits: 2002 takes 5..320 in steps of 5, 2003 digits only.
class ProbeForm : public FormModel {
 public:
  explicit ProbeForm(bool* modified)
      : FormModel({.dialog_id = 102, .title_id = 62400, .ok_needs_focus = true}, modified) {
    AddList(2050, 62418, 0);        // "LC&D Display"
    AddEdit(2002, 62412, 1, 3, 2);  // "S&Q Release Time"
    AddEdit(2003, 62417, 2, 3, 6);  // "Scan &PLL B Register"
  }
  std::vector<std::string> Items(int) const override { return {"Normal", "Inverted"}; }
  int Selection(int) const override { return lcd; }
  std::string Text(int id) const override {
    return id == 2002 ? std::to_string(release) + " msec" : std::to_string(pll);
  }
  void Select(int, int index) override {
    lcd = index;
    MarkChanged();
  }
  FormCommit Commit(int id, std::string_view text) override {
    const int v = std::atoi(std::string(text).c_str());
    if (id == 2002) release = std::clamp(v, 5, 320) / 5 * 5;
    if (id == 2003) pll = std::clamp(v, 0, 255);
    ++commits;
    MarkChanged();
    return {Text(id), true};
  }
  bool Ok() override {
    ++oks;
    return true;
  }
  void Cancel() override { ++cancels; }

  int lcd = 0, release = 240, pll = 180, commits = 0, oks = 0, cancels = 0;
};

class SettingsDialogTest : public QObject {
  Q_OBJECT
 private:
  bool modified = false;
  std::unique_ptr<ProbeForm> probe;
  std::unique_ptr<SettingsDialog> shown;

 private slots:
  void init() {
    modified = false;
    probe = std::make_unique<ProbeForm>(&modified);
    shown = std::make_unique<SettingsDialog>(*probe);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
  }
  void cleanup() {
    shown.reset();
    probe.reset();
  }

  void buildsControlsByIdWithBuddiesAndPrompts() {
    QCOMPARE(shown->objectName(), QStringLiteral("102"));
    QCOMPARE(shown->windowTitle(), QStringLiteral("Hardware Parameters"));
    auto* label = shown->findChild<QLabel*>(QStringLiteral("label2002"));
    QVERIFY(label != nullptr);
    QCOMPARE(label->buddy(), FindById(shown.get(), 2002));
    // The first control has the focus and its prompt is shown.
    QCOMPARE(QApplication::focusWidget(), FindById(shown.get(), 2050));
    QCOMPARE(shown->MessagePane(), QStringLiteral("Set LCD display to Normal or Invert"));
    QCOMPARE(shown->IndicatorPane(), QStringLiteral("<SELECT>"));
    FindById(shown.get(), 2002)->setFocus();
    QCOMPARE(shown->MessagePane(), QStringLiteral("SQuelch Release Time"));
    QCOMPARE(shown->IndicatorPane(), QStringLiteral("5..320 msec"));
    // An id without a prompt leaves the panes alone and reports the previous id.
    QCOMPARE(shown->ShowPrompt(2599), 2002);
    QCOMPARE(shown->IndicatorPane(), QStringLiteral("5..320 msec"));
  }

  void enterCommitsTheFieldAndOnlyEnterOnOkCloses() {
    auto* edit = FindById<FilterEdit>(shown.get(), 2002);
    edit->setFocus();
    QVERIFY(edit->isReadOnly());
    QTest::keyClick(edit, Qt::Key_Return);  // Idle -> Editing, text cut to three characters
    QVERIFY(!edit->isReadOnly());
    QCOMPARE(edit->text(), QStringLiteral("240"));
    QTest::keyClicks(edit, "400");
    QTest::keyClick(edit, Qt::Key_Return);  // ends and commits
    QCOMPARE(probe->release, 320);
    QCOMPARE(edit->text(), QStringLiteral("320 msec"));
    QVERIFY(shown->isVisible());
    QVERIFY(modified);
    QTest::keyClick(edit, Qt::Key_Return);  // Idle again: starts a new edit, never closes
    QVERIFY(shown->isVisible());
    QCOMPARE(probe->oks, 0);
    shown->OkButton()->setFocus();
    QTest::keyClick(shown->OkButton(), Qt::Key_Return);
    QCOMPARE(probe->oks, 1);
    QVERIFY(!shown->isVisible());
    QCOMPARE(shown->result(), int(QDialog::Accepted));
  }

  void escapeRestoresWhileEditingAndCancelsWhileIdle() {
    auto* edit = FindById<FilterEdit>(shown.get(), 2003);
    edit->setFocus();
    QTest::keyClicks(edit, "12x");  // the letter is filtered out; the first digit starts it
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(edit->text(), QStringLiteral("180"));
    QVERIFY(shown->isVisible());
    QCOMPARE(probe->commits, 0);
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!shown->isVisible());
    QCOMPARE(probe->cancels, 1);
    QCOMPARE(probe->oks, 0);
  }

  void leavingAFieldCommitsAndListChoiceMarksModified() {
    auto* edit = FindById<FilterEdit>(shown.get(), 2003);
    edit->setFocus();
    QTest::keyClicks(edit, "999");
    FindById(shown.get(), 2050)->setFocus();
    QCOMPARE(probe->pll, 255);
    QCOMPARE(edit->text(), QStringLiteral("255"));
    auto* combo = FindById<QComboBox>(shown.get(), 2050);
    modified = false;
    // A list choice is taken at once and survives Cancel in the modified flag.
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(probe->lcd, 1);
    QVERIFY(modified);
    shown->reject();
    QVERIFY(modified);
  }

  void doubleClickTogglesEditingAndColoursFollowTheState() {
    auto* edit = FindById<FilterEdit>(shown.get(), 2003);
    edit->setFocus();
    const QColor idle = edit->palette().color(QPalette::Base);
    QTest::mouseDClick(edit, Qt::LeftButton);
    QCOMPARE(edit->frame().state(), ql40::EditState::kEditing);
    QVERIFY(edit->palette().color(QPalette::Base) != idle);
    QCOMPARE(edit->palette().color(QPalette::Base),
             QApplication::palette().color(QPalette::ToolTipBase));
    QTest::keyClicks(edit, "7");
    QTest::mouseDClick(edit, Qt::LeftButton);
    QCOMPARE(probe->pll, 7);
    QCOMPARE(edit->frame().state(), ql40::EditState::kIdle);
    QCOMPARE(edit->palette().color(QPalette::Base), idle);
    // Disabled fields are grey and take no keys.
    edit->SetFieldEnabled(false);
    QVERIFY(!edit->isEnabled());
    QCOMPARE(edit->palette().color(QPalette::Disabled, QPalette::Base),
             QApplication::palette().color(QPalette::Window));
  }

  void f1AsksForTheDialogsHelpContext() {
    QSignalSpy spy(shown.get(), &SettingsDialog::helpRequested);
    QTest::keyClick(FindById(shown.get(), 2050), Qt::Key_F1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 131174);
  }
};

}  // namespace

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
