// The settings and signalling dialogs through real widgets: the generic dialog on a probe form,
// then each kind opened, changed, confirmed and cancelled (the forms' rules are the core's).

// The core headers come first: a record member is called "slots", which Qt defines away.
// clang-format off
#include "codeplug/codeplug.h"
#include "signalling/dtmf_forms.h"
#include "signalling/paging_forms.h"
#include "signalling/signalling_commands.h"
// clang-format on

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "link/link_rig.h"
#include "resources/strings.h"
#include "settings/allocation_form.h"
#include "settings/emergency_form.h"
#include "settings/form_model.h"
#include "settings/hardware_form.h"
#include "settings/key_forms.h"
#include "settings/marketing_form.h"
#include "settings/misc_form.h"
#include "settings/option_form.h"
#include "settings/power_form.h"
#include "settings/scan_form.h"
#include "settings/settings_forms.h"
#include "settings/ui/channel_update.h"
#include "settings/ui/form_widgets.h"
#include "settings/ui/settings_dialog.h"
#include "shell/ui/hooks.h"
#include "ui/support/ui_test_support.h"

namespace {

using namespace ql40;
using ql40::testing::ScriptedPrompter;
using ql40::ui::FilterEdit;
using ql40::ui::SettingsDialog;
using ql40::uitest::FindById;
using ql40::uitest::Focus;
using ql40::uitest::Open;
using ql40::uitest::Shot;

// Shows the dialog and waits for it; with a name, also saves its picture (see uitest::Shot).
bool Shown(SettingsDialog& dialog, const char* name = nullptr) {
  dialog.show();
  const bool exposed = QTest::qWaitForWindowExposed(&dialog);
  if (name != nullptr) Shot(dialog, name);
  return exposed;
}

Codeplug Fresh() {
  Codeplug doc;
  doc.ResetToDefaults();
  return doc;
}

void ChooseText(SettingsDialog& dialog, int id, const QString& text) {
  auto* combo = FindById<QComboBox>(&dialog, id);
  QVERIFY2(combo != nullptr, qPrintable(QString::number(id)));
  const int index = combo->findText(text);
  QVERIFY2(index >= 0, qPrintable(text));
  combo->setFocus();
  ql40::uitest::Choose(combo, index);
}

void TypeInto(FilterEdit* edit, const QString& text) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

void PressOk(SettingsDialog& dialog) {
  dialog.OkButton()->setFocus();
  QTest::keyClick(dialog.OkButton(), Qt::Key_Return);
}

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

// The probe form in its dialog, shown.
struct Probe {
  Probe() { Shown(dialog); }
  QWidget* Field(int id) { return FindById(&dialog, id); }
  FilterEdit* Edit(int id) { return FindById<FilterEdit>(&dialog, id); }
  bool modified = false;
  ProbeForm form{&modified};
  SettingsDialog dialog{form};
};

class SettingsDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void probeBuildsControlsByIdWithBuddiesAndPrompts() {
    Probe p;
    QCOMPARE(p.dialog.objectName(), QStringLiteral("102"));
    QCOMPARE(p.dialog.windowTitle(), QStringLiteral("Hardware Parameters"));
    auto* label = p.dialog.findChild<QLabel*>(QStringLiteral("label2002"));
    QVERIFY(label != nullptr);
    QCOMPARE(label->buddy(), p.Field(2002));
    // The first control has the focus and its prompt is shown.
    QCOMPARE(QApplication::focusWidget(), p.Field(2050));
    QCOMPARE(p.dialog.MessagePane(), QStringLiteral("Set LCD display to Normal or Invert"));
    QCOMPARE(p.dialog.IndicatorPane(), QStringLiteral("<SELECT>"));
    p.Field(2002)->setFocus();
    QCOMPARE(p.dialog.MessagePane(), QStringLiteral("SQuelch Release Time"));
    QCOMPARE(p.dialog.IndicatorPane(), QStringLiteral("5..320 msec"));
    // An id without a prompt leaves the panes alone and reports the previous id.
    QCOMPARE(p.dialog.ShowPrompt(2599), 2002);
    QCOMPARE(p.dialog.IndicatorPane(), QStringLiteral("5..320 msec"));
    // F1 asks for the dialog's help context.
    QSignalSpy help(&p.dialog, &SettingsDialog::helpRequested);
    QTest::keyClick(p.Field(2050), Qt::Key_F1);
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.at(0).at(0).toInt(), 131174);
  }

  void probeEnterCommitsTheFieldAndOnlyEnterOnOkCloses() {
    Probe p;
    auto* edit = p.Edit(2002);
    edit->setFocus();
    QVERIFY(edit->isReadOnly());
    QTest::keyClick(edit, Qt::Key_Return);  // Idle -> Editing, text cut to three characters
    QVERIFY(!edit->isReadOnly());
    QCOMPARE(edit->text(), QStringLiteral("240"));
    QTest::keyClicks(edit, "400");
    QTest::keyClick(edit, Qt::Key_Return);  // ends and commits
    QCOMPARE(p.form.release, 320);
    QCOMPARE(edit->text(), QStringLiteral("320 msec"));
    QVERIFY(p.dialog.isVisible());
    QVERIFY(p.modified);
    QTest::keyClick(edit, Qt::Key_Return);  // Idle again: starts a new edit, never closes
    QVERIFY(p.dialog.isVisible());
    QCOMPARE(p.form.oks, 0);
    PressOk(p.dialog);
    QCOMPARE(p.form.oks, 1);
    QVERIFY(!p.dialog.isVisible());
    QCOMPARE(p.dialog.result(), int(QDialog::Accepted));
  }

  void probeLeavingAFieldCommitsAndListChoiceMarksModified() {
    Probe p;
    auto* edit = p.Edit(2003);
    edit->setFocus();
    QTest::keyClicks(edit, "999");
    p.Field(2050)->setFocus();
    QCOMPARE(p.form.pll, 255);
    QCOMPARE(edit->text(), QStringLiteral("255"));
    p.modified = false;
    // A list choice is taken at once and survives Cancel in the modified flag.
    QTest::keyClick(p.Field(2050), Qt::Key_Down);
    QCOMPARE(p.form.lcd, 1);
    QVERIFY(p.modified);
    p.dialog.reject();
    QVERIFY(p.modified);
  }

  void probeDoubleClickTogglesEditingAndColoursFollowTheState() {
    Probe p;
    auto* edit = p.Edit(2003);
    edit->setFocus();
    const QColor idle = edit->palette().color(QPalette::Base);
    QTest::mouseDClick(edit, Qt::LeftButton);
    QCOMPARE(edit->frame().state(), ql40::EditState::kEditing);
    QVERIFY(edit->palette().color(QPalette::Base) != idle);
    QCOMPARE(edit->palette().color(QPalette::Base),
             QApplication::palette().color(QPalette::ToolTipBase));
    QTest::keyClicks(edit, "7");
    QTest::mouseDClick(edit, Qt::LeftButton);
    QCOMPARE(p.form.pll, 7);
    QCOMPARE(edit->frame().state(), ql40::EditState::kIdle);
    QCOMPARE(edit->palette().color(QPalette::Base), idle);
    // Disabled fields are grey and take no keys.
    edit->SetFieldEnabled(false);
    QVERIFY(!edit->isEnabled());
    QCOMPARE(edit->palette().color(QPalette::Disabled, QPalette::Base),
             QApplication::palette().color(QPalette::Window));
  }

  void hardwareBandChangeOkAndCancel() {
    Codeplug doc = Fresh();
    doc.CommitToImage();
    ScriptedPrompter prompter({Answer::kYes});
    {
      HardwareForm form(doc, prompter, /*maintenance=*/true);
      SettingsDialog dialog(form);
      QVERIFY(Shown(dialog, "hardware"));
      ChooseText(dialog, 2005, "UHF");
      QCOMPARE(doc.hardware.band, int(kBandUhf));
      // The step list follows the band.
      QCOMPARE(FindById<QComboBox>(&dialog, 2008)->count(), 1);
      dialog.reject();
    }
    // Cancel decoded the image again: the band change is gone.
    QCOMPARE(doc.hardware.band, int(kBandVhf));
    {
      HardwareForm form(doc, prompter, true);
      SettingsDialog dialog(form);
      QVERIFY(Shown(dialog));
      TypeInto(FindById<FilterEdit>(&dialog, 2003), "77");
      PressOk(dialog);
      QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(doc.image[375], 77);
    // Outside maintenance mode the constants are shown but cannot be edited.
    HardwareForm form(doc, prompter, false);
    SettingsDialog dialog(form);
    QVERIFY(Shown(dialog, "hardware_dealer"));
    QVERIFY(FindById(&dialog, 2006)->isEnabled());
    auto* xtal = FindById<FilterEdit>(&dialog, 2000);
    QVERIFY(!xtal->isEnabled());
    QCOMPARE(xtal->frame().state(), EditState::kDisabled);
    QCOMPARE(xtal->text(), QStringLiteral("21.60MHz"));
  }

  void optionCancelPutsTheTableBackAndOkNeedsFocus() {
    Codeplug doc = Fresh();
    doc.channels.priority[0] = 1;
    doc.CommitToImage();
    const Image before = doc.image;
    {
      OptionForm form(doc, true);
      SettingsDialog dialog(form);
      QVERIFY(Shown(dialog));
      ChooseText(dialog, 2059, "SUBSIG  ");
      QCOMPARE(doc.channels.priority[0], 0);
      QTest::keyClick(FindById(&dialog, 2059), Qt::Key_Escape);
      QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(doc.channels.priority[0], 1);
    QVERIFY(!doc.option_unit_changed);
    QVERIFY(doc.image == before);
    OptionForm form(doc, true);
    SettingsDialog dialog(form);
    QVERIFY(Shown(dialog, "option"));
    ChooseText(dialog, 2059, "2Tone   ");
    QCOMPARE(doc.channels.priority[0], 0);
    // OK is ignored while the focus is elsewhere.
    FindById(&dialog, 2050)->setFocus();
    dialog.accept();
    QVERIFY(dialog.isVisible());
    PressOk(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(DecodeOptionUnit(doc.image[27]), int(kOption2Tone));
    QVERIFY(form.outcome().option_unit_changed);
  }

  void keyFunctionListsFollowTheAssignments() {
    Codeplug doc = Fresh();
    KeyFunctionForm form(doc);
    SettingsDialog dialog(form);
    QVERIFY(Shown(dialog, "key_function"));
    ChooseText(dialog, 2258, "Scan            ");  // toggle [A]
    QCOMPARE(FindById<QComboBox>(&dialog, 2256)->findText("Scan            "), -1);
    ChooseText(dialog, 2254, "Group UP        ");  // key [A]
    QCOMPARE(FindById<QComboBox>(&dialog, 2259)->findText("Group 1         "), -1);
    PressOk(dialog);
    QCOMPARE(doc.image[177], int(kKeyFnGroupUp));
    QCOMPARE(doc.image[181] >> 4, int(kToggleFnScan));
  }

  void frontPanelWarnsAboutDualWatchWithoutPriority() {
    Codeplug doc = Fresh();
    KeyAssignment keys;
    keys.Decode(doc.image);
    keys.AssignToggle(kToggleCentre, kToggleFnDualWatch);
    keys.Encode(doc.image, doc.option_unit);
    ScriptedPrompter prompter;
    FrontPanelForm form(doc, prompter);
    SettingsDialog dialog(form);
    QVERIFY(Shown(dialog, "front_panel"));
    ChooseText(dialog, 2202, "On ");
    QTest::keyClick(FindById(&dialog, 2202), Qt::Key_Return);  // Enter opens the list ...
    QVERIFY(dialog.isVisible());                               // ... and closes nothing
    FindById<QComboBox>(&dialog, 2202)->hidePopup();
    dialog.accept();  // no focus rule here
    QVERIFY(!dialog.isVisible());
    QVERIFY(prompter.Saw(res::kStrDualWatchNeedsPri));
    QCOMPARE(doc.image[186] & 0x02, 0x02);
  }

  void channelAllocationCountsTagsAndRefusal() {
    Codeplug doc = Fresh();
    doc.channels.count = {};
    doc.channels.count[0] = 255;
    doc.channels.count[1] = 250;
    doc.channels.count[2] = 5;
    doc.CommitToImage();
    doc.RefreshFromImage();
    ScriptedPrompter prompter;
    int updates = 0;
    ChannelAllocationForm form(doc, prompter, [&](int, int) { ++updates; });
    SettingsDialog dialog(form);
    QVERIFY(Shown(dialog, "channel_allocation"));
    auto* count2 = FindById<FilterEdit>(&dialog, 2603);
    QCOMPARE(count2->text(), QStringLiteral("005"));
    TypeInto(count2, "20");  // 505 + 20 > 512
    QVERIFY(prompter.Saw(res::kStrTooManyChannels));
    QCOMPARE(count2->text(), QStringLiteral("20"));  // the typed text stays
    QCOMPARE(doc.channels.count[2], 5);
    QTest::qWait(1);
    QCOMPARE(QApplication::focusWidget(), count2);
    TypeInto(count2, "7");
    QCOMPARE(count2->text(), QStringLiteral("007"));
    TypeInto(FindById<FilterEdit>(&dialog, 2632), "fire");
    QCOMPARE(doc.channels.group_tag[1], std::string("FIRE"));
    PressOk(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(updates, 1);
    QCOMPARE(doc.channels.total, 512);
  }

  // Escape while editing puts back the text the field showed, also where that is longer than
  // the editing length ("21.60MHz" is edited as "21.60"); what is stored stays as it was.
  void escapePutsBackTheShownTextOfEveryField() {
    Codeplug doc = Fresh();
    doc.CommitToImage();
    ScriptedPrompter prompter;
    std::vector<std::unique_ptr<FormModel>> forms;
    for (int id :
         {kCmdHardware, kCmdOption, kCmdFrontPanel, kCmdKeyFunction, kCmdChannelAllocation}) {
      forms.push_back(MakeSettingsForm(id, doc, prompter, /*maintenance=*/true));
    }
    forms.push_back(std::make_unique<ScanForm>(doc));
    forms.push_back(std::make_unique<PowerForm>(doc));
    forms.push_back(std::make_unique<EmergencyForm>(doc));
    forms.push_back(std::make_unique<MarketingForm>(doc));
    forms.push_back(std::make_unique<MiscForm>(doc));
    for (int id = kCmdAni; id <= kCmdTwoToneTable; ++id)
      forms.push_back(MakeSignallingForm(id, doc));
    QStringList longer;  // "dialog/field" of the fields shown longer than they are edited
    int fields = 0;
    for (const auto& form : forms) {
      QVERIFY(form);
      SettingsDialog dialog(*form);
      QVERIFY(Shown(dialog));
      for (const FormControl& c : form->Controls()) {
        auto* edit = qobject_cast<FilterEdit*>(dialog.Control(c.id));
        if (edit == nullptr || !edit->isEnabled() || !edit->isVisible()) continue;
        const QString where = QString("%1/%2").arg(form->DialogId()).arg(c.id);
        const QString shown = edit->text();
        const std::string stored = form->Text(c.id);
        for (const bool cleared : {false, true}) {
          edit->setFocus();
          QTest::keyClick(edit, Qt::Key_Return);
          QVERIFY2(edit->frame().state() == EditState::kEditing, qPrintable(where));
          if (cleared) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
          }
          QTest::keyClick(edit, Qt::Key_Escape);
          QVERIFY2(edit->text() == shown, qPrintable(where + ": " + edit->text()));
          QVERIFY2(form->Text(c.id) == stored, qPrintable(where));
          QVERIFY(dialog.isVisible());
        }
        ++fields;
        if (c.max_length > 0 && shown.size() > c.max_length) longer << where;
      }
      dialog.reject();
    }
    QVERIFY(fields > 30);
    for (const char* field : {"102/2000", "102/2001", "102/2002", "158/2110", "164/2520"}) {
      QVERIFY2(longer.contains(field), qPrintable(longer.join(' ')));
    }
  }

  // A menu command opens its dialog; a command that is not one of them, or is disabled for the
  // option unit, opens none.
  void menuCommandsOpenTheirDialogs() {
    shell::AppContext app;
    app.doc.ResetToDefaults();
    QString seen;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      seen = modal->objectName();
      QTest::keyClick(modal, Qt::Key_Escape);
    });
    const auto outcome = ui::RunSettingsCommand(32777, nullptr, app);
    QVERIFY(outcome.has_value());
    QVERIFY(!outcome->accepted);
    QCOMPARE(seen, QStringLiteral("161"));
    QVERIFY(!ui::RunSettingsCommand(32820, nullptr, app).has_value());
    app.doc.option_unit = kOptionNone;
    const auto table = ui::RunSignallingCommand(kCmdTwoToneTable, nullptr, app);
    QVERIFY(table.has_value());
    QVERIFY(!table->accepted);
    QVERIFY(!ui::RunSignallingCommand(32772, nullptr, app).has_value());
  }

  // Update Channels reads from the radio without a box of its own, and without a radio says
  // nothing; the window is usable again either way.
  void channelUpdateReadsFromTheSimulatedRadio() {
    Codeplug doc = Fresh();
    const link::PortOpener none = [](int, link::PortOpenError* error) {
      error->kind = link::PortOpenError::Kind::kNotFound;
      return std::unique_ptr<link::SerialPort>();
    };
    QWidget window;
    QVERIFY(!ui::RunChannelUpdate(&window, doc, none, 10, 40).port_opened);
    QVERIFY(window.isEnabled());

    auto radio_doc = std::make_unique<Codeplug>(Fresh());
    radio_doc->channels.count = {};
    radio_doc->channels.count[0] = 12;
    for (int i = 0; i < 12; ++i) {
      radio_doc->channels.records[static_cast<std::size_t>(i)].status |= 1;
      radio_doc->channels.records[static_cast<std::size_t>(i)].rx_frequency = 15555000;
    }
    radio_doc->CommitToImage();
    ql40::testing::LinkRig rig(sim::RadioOptions{}, radio_doc->image);
    window.show();
    const auto report = ui::RunChannelUpdate(&window, rig.doc, rig.Env().open_port, 3, 12);
    QCOMPARE(report.channels_read, 9);
    QCOMPARE(rig.doc.channels.records[11].rx_frequency, 15555000);
    QVERIFY(window.isEnabled());
    QVERIFY(window.findChild<QDialog*>(QStringLiteral("UpdateChannelsBox")) == nullptr);
  }

  void aniTypeEnablesTheCodeFieldsAndEnterNeverCloses() {
    Codeplug doc = Fresh();
    doc.image[27] |= 0x01;  // no encryption device: the type may be chosen
    AniForm form(doc);
    SettingsDialog dialog(form);
    Open(dialog);
    QCOMPARE(QApplication::focusWidget(), FindById(&dialog, 3001));
    QCOMPARE(dialog.MessagePane(), QString("ANI Type DTMF/Option ANI"));
    auto* type = FindById<QComboBox>(&dialog, 3001);
    ql40::uitest::Choose(type, 1);
    for (int id : {3002, 3003, 3004, 3005, 3006}) QVERIFY(!FindById(&dialog, id)->isEnabled());
    ql40::uitest::Choose(type, 0);
    auto* code = FindById<FilterEdit>(&dialog, 3005);
    QVERIFY(code->isEnabled());
    Focus(code);
    QCOMPARE(dialog.MessagePane(), QString("ANI Code (Max. 15 digits)"));
    QCOMPARE(dialog.IndicatorPane(), QString("<ENTER>"));
    QVERIFY(code->isReadOnly());      // Idle until Enter or a typed digit
    QTest::keyClicks(code, "12a!4");  // "!" is no DTMF digit
    QCOMPARE(code->text(), QString("12A4"));
    QTest::keyClick(code, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    dialog.OkButton()->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(int(doc.image[386]), 0x41);
    QCOMPARE(int(doc.image[387]), 0x2A);
    Shot(dialog, "ani_setting");
  }

  void dtmfOkOnlyFromTheOkButtonAndPauseTimeFollowsThePauseField() {
    Codeplug doc = Fresh();
    DtmfForm form(doc);
    SettingsDialog dialog(form);
    Open(dialog);
    auto* pause = FindById<FilterEdit>(&dialog, 3101);
    auto* time = FindById<QComboBox>(&dialog, 3102);
    QVERIFY(!time->isEnabled());
    Focus(pause);
    QTest::keyClick(pause, Qt::Key_Asterisk, Qt::NoModifier);
    QCOMPARE(pause->text(), QString("*"));
    QVERIFY(time->isEnabled());
    ql40::uitest::Choose(time, 3);
    QTest::keyClick(pause, Qt::Key_Return);  // swallowed
    QVERIFY(dialog.isVisible());
    dialog.accept();  // the focus is not on OK: ignored
    QVERIFY(dialog.isVisible());
    Focus(dialog.OkButton());
    QTest::keyClick(dialog.OkButton(), Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(int(doc.image[384]), 0x3E);
    Shot(dialog, "dtmf_setting");
  }

  void twoToneTableInStandardFormAndCancel() {
    Codeplug doc = Fresh();
    doc.option_unit = kOption2Tone;
    doc.image[482] = 0x17;
    doc.image[483] = 0x18;
    const Image before = doc.image;
    TwoToneEditForm form(doc);
    SettingsDialog dialog(form);
    Open(dialog);
    QCOMPARE(FindById<QComboBox>(&dialog, 3501)->currentText(), QString("MOTOROLA  3"));
    QCOMPARE(FindById<QComboBox>(&dialog, 3502)->currentText(), QString(" 313.0"));
    QCOMPARE(FindById<QComboBox>(&dialog, 3503)->currentText(), QString(" 953.7"));
    QVERIFY(!FindById(&dialog, 3504)->isVisible());
    ql40::uitest::Choose(FindById<QComboBox>(&dialog, 3506), 12);  // AVCALL2
    QCOMPARE(FindById<QComboBox>(&dialog, 3507)->count(), 16);
    QCOMPARE(FindById<QComboBox>(&dialog, 3507)->currentText(), QString(" 312.6"));
    Shot(dialog, "two_tone_edit_standard");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(doc.image, before);
  }

  void pagingCommandWritesTheClearedReferencesIntoTheImage() {
    shell::AppContext app;
    app.doc.ResetToDefaults();
    app.doc.image[27] &= ~0x02;  // DTMF receiver fitted
    app.doc.image[482] = 0x01;   // slot 1 "123"
    app.doc.image[483] = 0x23;
    app.doc.channels.records[0].set_attribute_byte(3, 0x01);  // channel 1 pages with slot 1
    app.doc.CommitToImage();
    app.doc.RefreshFromImage();
    QCOMPARE(app.doc.channels.records[0].code_number(), 1);
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* code = FindById<FilterEdit>(dialog, 3301);
      code->setFocus();
      QTest::keyClick(code, Qt::Key_Return);
      QTest::keyClick(code, Qt::Key_Delete);
      dialog->OkButton()->click();
    });
    const auto outcome = ui::RunSignallingCommand(kCmdPagingCode, nullptr, app);
    QVERIFY(outcome && outcome->accepted);
    app.doc.RefreshFromImage();  // what the image now holds
    QCOMPARE(app.doc.channels.records[0].code_number(), 0);
    QVERIFY(PagingSlotEmpty(app.doc.image, 0));
    QVERIFY(app.doc.modified);
  }
};

}  // namespace

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
