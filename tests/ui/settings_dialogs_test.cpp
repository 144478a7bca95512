// The settings dialogs through real widgets: each kind opened, changed, confirmed and
// cancelled. With QL40_SHOT_DIR set, the dialogs are also saved there as PNGs.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "link/link_rig.h"
#include "resources/strings.h"
#include "settings/allocation_form.h"
#include "settings/emergency_form.h"
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
#include "signalling/signalling_commands.h"
#include "support/test_support.h"
#include "support/ui_test_support.h"

namespace {

using namespace ql40;
using ql40::testing::ScriptedPrompter;
using ql40::ui::FilterEdit;
using ql40::ui::SettingsDialog;
using ql40::uitest::FindById;

// Shows the dialog and waits for it; with a name, also saves its picture (see uitest::Shot).
bool Shown(SettingsDialog& dialog, const char* name = nullptr) {
  dialog.show();
  const bool exposed = QTest::qWaitForWindowExposed(&dialog);
  if (name != nullptr) ql40::uitest::Shot(dialog, name);
  return exposed;
}

Codeplug Fresh() {
  Codeplug doc;
  doc.ResetToDefaults();
  return doc;
}

void Choose(SettingsDialog& dialog, int id, const QString& text) {
  auto* combo = FindById<QComboBox>(&dialog, id);
  QVERIFY2(combo != nullptr, qPrintable(QString::number(id)));
  const int index = combo->findText(text);
  QVERIFY2(index >= 0, qPrintable(text));
  combo->setFocus();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
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

class SettingsDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void hardwareBandChangeOkAndCancel() {
    Codeplug doc = Fresh();
    doc.CommitToImage();
    ScriptedPrompter prompter({Answer::kYes});
    {
      HardwareForm form(doc, prompter, /*maintenance=*/true);
      SettingsDialog dialog(form);
      QVERIFY(Shown(dialog, "hardware"));
      Choose(dialog, 2005, "UHF");
      QCOMPARE(doc.hardware.band, int(kBandUhf));
      // The step list follows the band.
      QCOMPARE(FindById<QComboBox>(&dialog, 2008)->count(), 1);
      TypeInto(FindById<FilterEdit>(&dialog, 2002), "400");
      QCOMPARE(FindById<QLineEdit>(&dialog, 2002)->text(), QStringLiteral("320 msec"));
      QVERIFY(dialog.isVisible());  // Enter in the field never closed it
      dialog.reject();
    }
    // Cancel decoded the image again: the band change is gone.
    QCOMPARE(doc.hardware.band, int(kBandVhf));
    QCOMPARE(doc.hardware.sq_release, 47);
    {
      HardwareForm form(doc, prompter, true);
      SettingsDialog dialog(form);
      QVERIFY(Shown(dialog));
      TypeInto(FindById<FilterEdit>(&dialog, 2003), "77");
      PressOk(dialog);
      QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(doc.image[375], 77);
  }

  void hardwareOutsideMaintenanceShowsButDoesNotEdit() {
    Codeplug doc = Fresh();
    ScriptedPrompter prompter;
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
      Choose(dialog, 2059, "SUBSIG  ");
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
    Choose(dialog, 2059, "2Tone   ");
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
    Choose(dialog, 2258, "Scan            ");  // toggle [A]
    auto* key_c = FindById<QComboBox>(&dialog, 2256);
    QCOMPARE(key_c->findText("Scan            "), -1);
    Choose(dialog, 2254, "Group UP        ");  // key [A]
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
    Choose(dialog, 2202, "On ");
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
    QCOMPARE(doc.channels.count[2], 5);
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
    // Commands that are not settings dialogs have none.
    QVERIFY(!ui::RunSettingsCommand(32820, nullptr, app).has_value());
  }

  void channelUpdateWithoutARadioIsQuiet() {
    Codeplug doc = Fresh();
    const link::PortOpener none = [](int, link::PortOpenError* error) {
      error->kind = link::PortOpenError::Kind::kNotFound;
      return std::unique_ptr<link::SerialPort>();
    };
    QWidget window;
    const auto report = ui::RunChannelUpdate(&window, doc, none, 10, 40);
    QVERIFY(!report.port_opened);
    QVERIFY(window.isEnabled());
  }

  void channelUpdateReadsFromTheSimulatedRadio() {
    auto radio_doc = std::make_unique<Codeplug>();
    radio_doc->ResetToDefaults();
    radio_doc->channels.count = {};
    radio_doc->channels.count[0] = 12;
    for (int i = 0; i < 12; ++i) {
      radio_doc->channels.records[static_cast<std::size_t>(i)].status |= 1;
      radio_doc->channels.records[static_cast<std::size_t>(i)].rx_frequency = 15555000;
    }
    radio_doc->CommitToImage();
    ql40::testing::LinkRig rig(sim::RadioOptions{}, radio_doc->image);
    QWidget window;
    window.show();
    const auto report = ui::RunChannelUpdate(&window, rig.doc, rig.Env().open_port, 3, 12);
    QCOMPARE(report.channels_read, 9);
    QCOMPARE(rig.doc.channels.records[11].rx_frequency, 15555000);
    QVERIFY(window.isEnabled());
    QVERIFY(window.findChild<QDialog*>(QStringLiteral("UpdateChannelsBox")) == nullptr);
  }
};

}  // namespace

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
