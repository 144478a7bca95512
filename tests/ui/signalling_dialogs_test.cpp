// The signalling dialogs driven through their widgets: code fields, enabling as the user types,
// OK only from its button, the 2 Tone Edit table's lists and Cancel. The forms' rules themselves
// are the core's tests (tests/signalling); Escape in every field is settings_dialogs_test's.

// The core headers come first: a record member is called "slots", which Qt defines away.
// clang-format off
#include "codeplug/codeplug.h"
#include "signalling/dtmf_forms.h"
#include "signalling/paging_forms.h"
#include "signalling/signalling_commands.h"
// clang-format on

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "settings/ui/form_widgets.h"
#include "settings/ui/settings_dialog.h"
#include "shell/app_context.h"
#include "shell/ui/hooks.h"
#include "support/ui_test_support.h"

using ql40::uitest::Choose;
using ql40::uitest::FindById;
using ql40::uitest::Focus;
using ql40::uitest::Open;
using ql40::uitest::Shot;

namespace ql40 {

class SignallingDialogsTest : public QObject {
  Q_OBJECT

 private:
  static Codeplug NewCodeplug() {
    Codeplug doc;
    doc.ResetToDefaults();
    return doc;
  }

 private slots:
  void aniTypeEnablesTheCodeFieldsAndEnterNeverCloses() {
    Codeplug doc = NewCodeplug();
    doc.image[27] |= 0x01;  // no encryption device: the type may be chosen
    AniForm form(doc);
    ui::SettingsDialog dialog(form);
    Open(dialog);
    QCOMPARE(QApplication::focusWidget(), FindById(&dialog, 3001));
    QCOMPARE(dialog.MessagePane(), QString("ANI Type DTMF/Option ANI"));

    auto* type = FindById<QComboBox>(&dialog, 3001);
    Choose(type, 1);
    for (int id : {3002, 3003, 3004, 3005, 3006}) QVERIFY(!FindById(&dialog, id)->isEnabled());
    Choose(type, 0);
    auto* code = FindById<ui::FilterEdit>(&dialog, 3005);
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
    Codeplug doc = NewCodeplug();
    DtmfForm form(doc);
    ui::SettingsDialog dialog(form);
    Open(dialog);
    auto* pause = FindById<ui::FilterEdit>(&dialog, 3101);
    auto* time = FindById<QComboBox>(&dialog, 3102);
    QVERIFY(!time->isEnabled());
    Focus(pause);
    QTest::keyClick(pause, Qt::Key_Asterisk, Qt::NoModifier);
    QCOMPARE(pause->text(), QString("*"));
    QVERIFY(time->isEnabled());
    Choose(time, 3);
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
    Codeplug doc = NewCodeplug();
    doc.option_unit = kOption2Tone;
    doc.image[482] = 0x17;
    doc.image[483] = 0x18;
    const Image before = doc.image;
    TwoToneEditForm form(doc);
    ui::SettingsDialog dialog(form);
    Open(dialog);
    QCOMPARE(FindById<QComboBox>(&dialog, 3501)->currentText(), QString("MOTOROLA  3"));
    QCOMPARE(FindById<QComboBox>(&dialog, 3502)->currentText(), QString(" 313.0"));
    QCOMPARE(FindById<QComboBox>(&dialog, 3503)->currentText(), QString(" 953.7"));
    QVERIFY(!FindById(&dialog, 3504)->isVisible());
    auto* group2 = FindById<QComboBox>(&dialog, 3506);
    Choose(group2, 12);  // AVCALL2
    QCOMPARE(FindById<QComboBox>(&dialog, 3507)->count(), 16);
    QCOMPARE(FindById<QComboBox>(&dialog, 3507)->currentText(), QString(" 312.6"));
    Shot(dialog, "two_tone_edit_standard");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(doc.image, before);
  }

  void commandsRunOnlyWhenEnabled() {
    shell::AppContext app;
    app.doc.ResetToDefaults();
    app.doc.option_unit = kOptionNone;
    const auto outcome = ui::RunSignallingCommand(kCmdTwoToneTable, nullptr, app);
    QVERIFY(outcome.has_value());
    QVERIFY(!outcome->accepted);
    QVERIFY(!ui::RunSignallingCommand(32772, nullptr, app).has_value());
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
      auto* dialog = qobject_cast<ui::SettingsDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* code = FindById<ui::FilterEdit>(dialog, 3301);
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

}  // namespace ql40

QTEST_MAIN(ql40::SignallingDialogsTest)
#include "signalling_dialogs_test.moc"
