// The Scan Parameters, Power Saving, Emergency, Marketing Parameters and Miscellaneous dialogs
// driven through their widgets.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "codeplug/codeplug.h"
#include "settings/emergency_form.h"
#include "settings/marketing_form.h"
#include "settings/misc_form.h"
#include "settings/power_form.h"
#include "settings/scan_form.h"
#include "settings/ui/form_widgets.h"
#include "settings/ui/settings_dialog.h"
#include "support/ui_test_support.h"

using ql40::uitest::Choose;
using ql40::uitest::FindById;
using ql40::uitest::Focus;
using ql40::uitest::Open;
using ql40::uitest::Shot;

namespace ql40 {

class MoreSettingsDialogsTest : public QObject {
  Q_OBJECT

 private:
  static Codeplug NewCodeplug() {
    Codeplug doc;
    doc.ResetToDefaults();
    doc.channels.count = {10, 5, 8};
    doc.channels.total = 23;
    return doc;
  }

 private slots:
  void scanHomeChannelCommitsOnEnterAndOkNeedsItsButton() {
    Codeplug doc = NewCodeplug();
    ScanForm form(doc);
    ui::SettingsDialog dialog(form);
    Open(dialog);
    QCOMPARE(QApplication::focusWidget(), FindById(&dialog, 2101));
    auto* home = FindById<ui::FilterEdit>(&dialog, 2110);
    QCOMPARE(home->text(), QString("1   (Group 1 )"));
    Focus(home);
    QCOMPARE(dialog.IndicatorPane(), QString("1 .. 255"));
    QTest::keyClick(home, Qt::Key_Return);
    QCOMPARE(home->text(), QString("1  "));  // cut to the field's three characters
    QTest::keyClick(home, Qt::Key_A);        // rejected by the field's filter
    QTest::keyClicks(home, "12");
    QTest::keyClick(home, Qt::Key_Return);
    QCOMPARE(home->text(), QString("12  (Group 2 )"));
    QVERIFY(dialog.isVisible());
    QTest::keyClick(home, Qt::Key_Escape);  // Idle: Escape cancels the dialog
    QVERIFY(!dialog.isVisible());
    QVERIFY(doc.modified);  // the commit marked it, Cancel does not take that back

    ScanForm again(doc);
    ui::SettingsDialog second(again);
    Open(second);
    auto* revert = FindById<QComboBox>(&second, 2106);
    QCOMPARE(revert->currentText(), QString("PRI Channel      "));
    Choose(revert, 3);
    auto* typed = FindById<ui::FilterEdit>(&second, 2110);
    Focus(typed);
    QTest::keyClicks(typed, "23");
    Focus(second.OkButton());  // leaving the field commits it
    QCOMPARE(typed->text(), QString("23  (Group 3 )"));
    Shot(second, "scan_parameters");
    QTest::keyClick(second.OkButton(), Qt::Key_Return);
    QVERIFY(!second.isVisible());
    QCOMPARE(int(doc.image[91]), 2);
    QCOMPARE(int(doc.image[90]), 7);
    QCOMPARE(int(doc.image[186] >> 3 & 3), 3);
  }

  void powerSavingTypedFields() {
    Codeplug doc = NewCodeplug();
    PowerForm form(doc);
    ui::SettingsDialog dialog(form);
    Open(dialog);
    auto* tag = FindById<ui::FilterEdit>(&dialog, 2150);
    Focus(tag);
    QCOMPARE(dialog.IndicatorPane(), QString());
    QTest::keyClicks(tag, "a!bc");  // "!" cannot be typed
    QCOMPARE(tag->text(), QString("ABC"));
    QTest::keyClick(tag, Qt::Key_Return);
    QCOMPARE(tag->text(), QString("ABC     "));
    auto* beep = FindById<ui::FilterEdit>(&dialog, 2151);
    Focus(beep);
    QTest::keyClicks(beep, "0");
    QTest::keyClick(beep, Qt::Key_Return);
    QCOMPARE(beep->text(), QString("1 "));
    Shot(dialog, "power_saving");
    Focus(dialog.OkButton());
    dialog.OkButton()->click();
    QCOMPARE(int(doc.image[640]), int(doc.image[641]) - 1);  // "A" then "B"
    QCOMPARE(int(doc.image[191]), 0);
  }

  void emergencyAndMarketing() {
    Codeplug doc = NewCodeplug();
    doc.identity.firmware_version = 152;
    EmergencyForm emergency(doc);
    ui::SettingsDialog dialog(emergency);
    Open(dialog);
    auto* channel = FindById<QComboBox>(&dialog, 2300);
    QCOMPARE(channel->count(), 3);
    Choose(channel, 2);
    Focus(channel);
    QTest::keyClick(channel, Qt::Key_Return);  // opens the list instead of pressing OK
    QVERIFY(dialog.isVisible());
    channel->hidePopup();
    Shot(dialog, "emergency");
    dialog.OkButton()->click();  // no typed fields: OK acts wherever the focus is
    QVERIFY(!dialog.isVisible());
    QCOMPARE(int(doc.image[182] & 0x10), 0x10);

    doc.file_loaded = true;
    MarketingForm marketing(doc);
    ui::SettingsDialog market(marketing);
    Open(market);
    auto* serial = FindById<ui::FilterEdit>(&market, 2401);
    QVERIFY(!serial->isEnabled());
    QCOMPARE(serial->frame().state(), EditState::kDisabled);
    auto* number = FindById<ui::FilterEdit>(&market, 2400);
    QCOMPARE(QApplication::focusWidget(), number);
    QTest::keyClicks(number, "777");
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(doc.identity.market_application, 777);
    Shot(market, "marketing_parameters");
    market.reject();
    QCOMPARE(doc.identity.market_application, 0);
  }

  void miscellaneousSplitAndEncryptionType() {
    Codeplug doc = NewCodeplug();
    doc.image[27] &= ~0x02;  // DTMF receiver fitted: only KSE-40
    doc.default_split = 0.6;
    MiscForm form(doc);
    ui::SettingsDialog dialog(form);
    Open(dialog);
    auto* type = FindById<QComboBox>(&dialog, 2510);
    QVERIFY(!type->isEnabled());
    QCOMPARE(type->currentText(), QString("KSE-40  "));
    auto* split = FindById<ui::FilterEdit>(&dialog, 2520);
    QCOMPARE(split->text(), QString("0.6   MHz"));
    Focus(split);
    QTest::keyClicks(split, "-150");
    QTest::keyClick(split, Qt::Key_Return);
    QCOMPARE(split->text(), QString("-99.9 MHz"));
    QCOMPARE(doc.default_split, -99.9);
    Shot(dialog, "miscellaneous");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(doc.default_split, 0.6);
  }
};

}  // namespace ql40

QTEST_MAIN(ql40::MoreSettingsDialogsTest)
#include "more_settings_dialogs_test.moc"
