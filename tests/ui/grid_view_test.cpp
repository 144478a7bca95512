// The channel view on real widgets: layout, headings, keys, mouse, editor and pick lists.

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "grid_fixture.h"
#include "resources/strings.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using ql40::gridtest::FillCodeplug;
using ql40::uitest::WhenModal;

class GridViewTest : public QObject {
  Q_OBJECT

  std::unique_ptr<shell::AppContext> app_;
  std::unique_ptr<ui::ChannelView> view_;

  ui::ChannelView& View() { return *view_; }
  Codeplug& Doc() { return app_->doc; }
  QString Cell(int channel, int column) {
    const QModelIndex i = view_->model()->index(view_->model()->RowOfChannel(channel), column);
    return i.data().toString();
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(view_->grid(), Qt::Key(key), mods);
  }

 private slots:
  void init() {
    app_ = std::make_unique<shell::AppContext>();
    FillCodeplug(app_->doc);
    view_ = std::make_unique<ui::ChannelView>(*app_, nullptr);
    view_->resize(1180, 640);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    view_->FocusGrid();
  }
  void cleanup() {
    view_.reset();
    app_.reset();
  }

  void rendersGroupWithHeadingsAndLines() {
    QCOMPARE(View().model()->rowCount(), 40);
    QCOMPARE(View().groupLine()->text(),
             QStringLiteral(" Group   1  TAG [GROUP-01]  (  40  Channels )"));
    QCOMPARE(View().channelsLeftLine()->text(), QStringLiteral("197  Channels Left "));
    QCOMPARE(View().header()->Heading(0, 6), QStringLiteral("SUB AUDIO"));
    QCOMPARE(View().header()->Heading(1, 19), QStringLiteral("Page"));
    // Every cell's text fits its column.
    const QFontMetrics fm(View().grid()->font());
    for (int c = 0; c < kGridColumnCount; ++c) {
      if (View().grid()->isColumnHidden(c)) continue;
      QVERIFY2(fm.horizontalAdvance(Cell(0, c)) < View().grid()->columnWidth(c),
               qPrintable(QString::number(c)));
    }
    QVERIFY(View().grid()->isColumnHidden(kColClockShiftTx));  // Clock Shift starts hidden
    ql40::uitest::Shot(View(), "grid_view");
  }

  void spaceAndDoubleClickStepCells() {
    QSignalSpy changed(&View(), &ui::ChannelViewBase::documentChanged);
    View().SetCurrentCell(1, kColWideNarrow);
    QCOMPARE(Cell(1, kColWideNarrow), QStringLiteral("W"));
    Key(Qt::Key_Space);
    QCOMPARE(Cell(1, kColWideNarrow), QStringLiteral("N"));
    QVERIFY(Doc().modified);
    QCOMPARE(changed.count(), 1);
    // Double-click steps too; on the transmit frequency it edits instead of inhibiting.
    const auto dbl = [&](int channel, int column) {
      const QRect rect = View().grid()->visualRect(
          View().model()->index(View().model()->RowOfChannel(channel), column));
      QTest::mouseClick(View().grid()->viewport(), Qt::LeftButton, {}, rect.center());
      QTest::mouseDClick(View().grid()->viewport(), Qt::LeftButton, {}, rect.center());
    };
    const QString power = Cell(1, kColPower);
    dbl(1, kColPower);
    QVERIFY(Cell(1, kColPower) != power);
    dbl(1, kColTransmit);
    QVERIFY(View().editor()->isVisible());
    QCOMPARE(View().editor()->text(), Cell(1, kColTransmit));
    QTest::keyClick(View().editor(), Qt::Key_Escape);
    QVERIFY(!View().editor()->isVisible());
    QCOMPARE(Cell(1, kColTransmit), QStringLiteral("146.01250"));
    // Space on the priority column moves the mark from channel 3.
    View().SetCurrentCell(4, kColPriority);
    Key(Qt::Key_Space);
    QCOMPARE(Cell(4, kColPriority), QStringLiteral("P"));
    QCOMPARE(Cell(2, kColPriority), QStringLiteral("-"));
  }

  void editorTakesTheCharacterRules() {
    View().SetCurrentCell(0, kColTag);
    QTest::keyClicks(View().grid(), "a");
    QVERIFY(View().editor()->isVisible());
    QCOMPARE(View().editor()->text(), QStringLiteral("A"));
    QTest::keyClicks(View().editor(), "b.c!.de%fghijk");
    QCOMPARE(View().editor()->text(), QStringLiteral("ABC.DEFGH"));  // nine at most
    Doc().modified = false;
    QTest::keyClick(View().editor(), Qt::Key_Return);
    QVERIFY(!View().editor()->isVisible());
    QVERIFY(View().grid()->hasFocus());
    QCOMPARE(View().CurrentColumn(), int(kColTag));  // the cursor stays on the cell
    QCOMPARE(Cell(0, kColTag), QStringLiteral("ABC.DEFGH"));
    QVERIFY(Doc().modified);

    // A frequency: Enter selects the whole text, typing replaces it; letters never start it.
    View().SetCurrentCell(0, kColReceive);
    QTest::keyClicks(View().grid(), "x");
    QVERIFY(!View().editor()->isVisible());
    Key(Qt::Key_Return);
    QVERIFY(View().editor()->isVisible());
    QCOMPARE(View().editor()->selectedText(), QStringLiteral("146.00000"));
    QTest::keyClicks(View().editor(), "147.5a25");
    QTest::keyClick(View().editor(), Qt::Key_Enter);
    QCOMPARE(Cell(0, kColReceive), QStringLiteral("147.52500"));

    // The editor pastes by its rules too.
    View().SetCurrentCell(1, kColTag);
    QApplication::clipboard()->setText(QStringLiteral("ab!c"));
    Key(Qt::Key_Return);
    QTest::keyClick(View().editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(View().editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(View().editor()->text(), QStringLiteral("ABC"));
    // Moving the focus away commits.
    View().grid()->setFocus();
    QCOMPARE(Cell(1, kColTag), QStringLiteral("ABC     "));
    // A capital typed with Shift starts the editor with that letter alone: the clipboard is
    // not pasted after it.
    View().SetCurrentCell(2, kColTag);
    QTest::keyClick(View().grid(), 'D', Qt::ShiftModifier);
    QVERIFY(View().editor()->isVisible());
    QCOMPARE(View().editor()->text(), QStringLiteral("D"));
    QTest::keyClick(View().editor(), 'E', Qt::ShiftModifier);
    QTest::keyClick(View().editor(), Qt::Key_Return);
    QCOMPARE(Cell(2, kColTag), QStringLiteral("DE      "));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab!c"));
  }

  void escapeLeavesAnInhibitedChannelAlone() {
    View().SetCurrentCell(1, kColTransmit);
    Key(Qt::Key_Space);
    QCOMPARE(Cell(1, kColTransmit), QStringLiteral("---.-----"));
    Doc().modified = false;
    Key(Qt::Key_Return);
    QCOMPARE(View().editor()->text(), QStringLiteral("146.01250"));
    QTest::keyClicks(View().editor(), "150");
    QTest::keyClick(View().editor(), Qt::Key_Escape);
    QCOMPARE(Cell(1, kColTransmit), QStringLiteral("---.-----"));
    QCOMPARE(Doc().channels.records[1].tx_frequency, 14601250);
    QVERIFY(!Doc().modified);
    // Space again clears the inhibit and shows the frequency.
    QCOMPARE(View().CurrentColumn(), int(kColTransmit));
    Key(Qt::Key_Space);
    QCOMPARE(Cell(1, kColTransmit), QStringLiteral("146.01250"));
  }

  void unprogrammedChannelsAreGreyAndLocked() {
    // Channel 7 of the fixture is not programmed.
    const QModelIndex grey = View().model()->index(6, kColTag);
    const QModelIndex black = View().model()->index(5, kColTag);
    QVERIFY(grey.data(Qt::ForegroundRole) != black.data(Qt::ForegroundRole));
    View().SetCurrentCell(6, kColTag);
    Key(Qt::Key_Return);
    QVERIFY(!View().editor()->isVisible());
    View().SetCurrentCell(6, kColPower);
    Key(Qt::Key_Space);
    QCOMPARE(Cell(6, kColPower), QStringLiteral("H"));
    QVERIFY(!Doc().modified);
    View().SetCurrentCell(6, kColChannel);
    Key(Qt::Key_Space);
    QVERIFY(Doc().channels.records[6].programmed());
  }

  void pickListsOpenOnTheCurrentValue() {
    // Scan: channel 2 (B... the fixture puts scan nibble i % 4) picks USER.
    View().SetCurrentCell(1, kColScan);
    QString caption;
    int entries = 0;
    WhenModal([&](QWidget* w) {
      caption = w->windowTitle();
      QCOMPARE(w->objectName(), QStringLiteral("186"));
      auto* list = w->findChild<QListWidget*>(QStringLiteral("1193"));
      entries = list->count();
      QCOMPARE(list->currentRow(), 1);
      QCOMPARE(w->focusWidget(), list);
      list->setCurrentRow(2);
      QTest::keyClick(list, Qt::Key_Return);
    });
    Key(Qt::Key_Space);
    QCOMPARE(caption, QStringLiteral("Scan Mode"));
    QCOMPARE(entries, 4);
    QCOMPARE(Cell(1, kColScan), QStringLiteral("U"));

    // Cancel changes nothing.
    Doc().modified = false;
    WhenModal([](QWidget* w) {
      w->findChild<QListWidget*>(QStringLiteral("1193"))->setCurrentRow(3);
      QTest::keyClick(w, Qt::Key_Escape);
    });
    Key(Qt::Key_Space);
    QCOMPARE(Cell(1, kColScan), QStringLiteral("U"));
    QVERIFY(!Doc().modified);

    // CTCSS channel 2: the sub-audio list, a double-click on an entry is OK; F1 asks for help.
    QSignalSpy help(&View(), &ui::ChannelViewBase::helpRequested);
    View().SetCurrentCell(1, kColDecode);
    WhenModal([](QWidget* w) {
      QCOMPARE(w->objectName(), QStringLiteral("136"));
      QCOMPARE(w->windowTitle(), QStringLiteral("CTCSS Frequency"));
      auto* list = w->findChild<QListWidget*>(QStringLiteral("1064"));
      QCOMPARE(list->count(), 51);
      // Every entry is on screen without scrolling.
      QVERIFY(list->visualItemRect(list->item(50)).right() <= list->viewport()->width());
      ql40::uitest::Shot(*w, "grid_pick_ctcss");
      QTest::keyClick(list, Qt::Key_F1);
      QListWidgetItem* item = list->item(13);
      list->scrollToItem(item);
      const QRect rect = list->visualItemRect(item);
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    });
    Key(Qt::Key_Space);
    QCOMPARE(Cell(1, kColDecode), QStringLiteral("100.0"));
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.at(0).at(0).toInt(), 307);

    // No sub-audio type: a beep and no dialog.
    View().SetCurrentCell(0, kColDecode);
    Doc().modified = false;
    Key(Qt::Key_Space);
    QVERIFY(!Doc().modified);
  }

  void f3ComplementsDcsOnly() {
    View().SetCurrentCell(2, kColDecode);  // DCS 026
    QCOMPARE(Cell(2, kColDecode), QStringLiteral("026"));
    Key(Qt::Key_F3);
    QCOMPARE(Cell(2, kColDecode), QStringLiteral("464"));
    QVERIFY(Doc().modified);
    Doc().modified = false;
    View().SetCurrentCell(1, kColDecode);  // CTCSS
    const QString before = Cell(1, kColDecode);
    Key(Qt::Key_F3);
    QCOMPARE(Cell(1, kColDecode), before);
    QVERIFY(!Doc().modified);
  }

  void f2StepsOverEmptyGroupsAndWraps() {
    Key(Qt::Key_F2);
    QCOMPARE(Doc().channels.current_group, 2);  // group 2 has no channels
    QCOMPARE(View().model()->rowCount(), 255);
    QCOMPARE(Cell(40, kColChannel), QStringLiteral(" 41"));
    QCOMPARE(View().groupLine()->text(),
             QStringLiteral(" Group   3  TAG [GROUP-03]  ( 255  Channels )"));
    QCOMPARE(View().grid()->currentIndex().row(), 0);
    QCOMPARE(Doc().channels.current_channel, 40);
    ql40::uitest::Shot(View(), "grid_view_255");
    Key(Qt::Key_F2);
    QCOMPARE(Doc().channels.current_group, 3);
    Key(Qt::Key_F2);
    QCOMPARE(Doc().channels.current_group, 0);
    QVERIFY(!Doc().modified);
  }

  void hiddenColumnsAreSkipped() {
    app_->column_visibility[3] = 0;  // Frequency
    View().ApplyColumnVisibility();
    QVERIFY(View().grid()->isColumnHidden(kColReceive));
    View().SetCurrentCell(0, kColTag);
    Key(Qt::Key_Right);
    QCOMPARE(View().CurrentColumn(), int(kColSubAudioType));
    Key(Qt::Key_Left);
    QCOMPARE(View().CurrentColumn(), int(kColTag));
    // Shown again through View > Item: shell_main_window_test.
  }

  void helpAndFileDataKeys() {
    QSignalSpy help(&View(), &ui::ChannelViewBase::helpRequested);
    QSignalSpy file(&View(), &ui::ChannelViewBase::fileDataRequested);
    View().SetCurrentCell(0, kColTag);
    QCOMPARE(View().CurrentHelpId(), 303);
    Key(Qt::Key_F1);
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.at(0).at(0).toInt(), 303);
    View().SetCurrentCell(0, kColCode);
    QCOMPARE(View().CurrentHelpId(), 319);
    // Shift+F9 hands the committed image to the File Data view.
    View().SetCurrentCell(1, kColWideNarrow);
    Key(Qt::Key_Space);
    Key(Qt::Key_F9, Qt::ShiftModifier);
    QCOMPARE(file.count(), 1);
    Codeplug copy = Doc();
    copy.RefreshFromImage();
    QCOMPARE(QString::fromStdString(GridCellText(copy, 1, kColWideNarrow)), QStringLiteral("N"));
  }

  void pt410CodeplugShowsItsLimits() {
    Doc().hardware.product_type = kPt410;
    Doc().CommitToImage();
    Doc().RefreshFromImage();
    View().Rebuild(true);
    QVERIFY(View().model()->rowCount() <= 16);
    QCOMPARE(View().model()->rowCount(), Doc().channels.count[0]);
    QVERIFY(View().groupLine()->text().startsWith(QStringLiteral(" Group   1")));
    for (int i = 0; i < 4; ++i) {
      Key(Qt::Key_F2);
      QVERIFY(Doc().channels.current_group < 3);
    }
  }
};

QTEST_MAIN(GridViewTest)
#include "grid_view_test.moc"
