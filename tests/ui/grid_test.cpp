// The channel view on real widgets: layout, headings, keys, mouse, editor and pick lists; copy,
// paste, block paste, range fill and Undo/Redo through the real clipboard.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <cstdio>

#include "channels/grid_edit.h"
#include "channels/ui/channel_view.h"
#include "codeplug/codeplug.h"
#include "resources/strings.h"
#include "shell/app_context.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using ql40::uitest::WhenModal;

namespace {

// A PT-610 codeplug with groups of 40, 0, 255 and 20 channels and every kind of value.
void FillCodeplug(Codeplug& doc) {
  doc.ResetToDefaults();
  ChannelTable& t = doc.channels;
  t.count.fill(0);
  t.count[0] = 40;
  t.count[2] = 255;
  t.count[3] = 20;
  t.total = 315;
  t.channels_left = t.capacity - t.total;
  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  for (int i = 0; i < t.total; ++i) {
    ChannelRecord& r = t.records[static_cast<std::size_t>(i)];
    r.status = static_cast<std::uint8_t>(((i % 4) << 4) | 1);  // programmed while editing
    char text[16];
    std::snprintf(text, sizeof text, "%9.5f", 146.0 + 0.0125 * i);
    t.CommitCellText(i, kColReceive, text, ctx);
    std::snprintf(text, sizeof text, "CH%03d", i + 1);
    t.CommitCellText(i, kColTag, text, ctx);
    r.sub_audio_type = i % 3;
    if (r.sub_audio_type != 0) {
      r.set_rx_tone(1 + i % 40);
      r.set_tx_tone(1 + (i + 3) % 40);
    }
    r.set_attribute_byte(0, (i % 3) | ((i % 2) << 2) | ((i % 5 == 0) << 3));
    r.set_attribute_byte(1, 4 | (i % 3));
    r.squelch = static_cast<std::uint8_t>(i % 16);
    if (i % 7 == 6) r.status &= 0xF0;  // every seventh channel is not programmed
  }
  t.priority[0] = 3;
  t.SelectGroup(0);
  doc.CommitToImage();
  doc.RefreshFromImage();
  doc.channels.SelectGroup(0);
  doc.modified = false;
}

}  // namespace

class GridTest : public QObject {
  Q_OBJECT

  std::unique_ptr<shell::AppContext> app_;
  std::unique_ptr<ui::ChannelView> view_;
  ql40::testing::ScriptedPrompter yes_{{}, Answer::kYes};

  ui::ChannelView& View() { return *view_; }
  Codeplug& Doc() { return app_->doc; }
  QString Cell(int channel, int column) {
    return view_->model()->index(view_->model()->RowOfChannel(channel), column).data().toString();
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(view_->grid(), Qt::Key(key), mods);
  }
  void Select(int first_channel, int first_column, int last_channel, int last_column) {
    auto* model = view_->model();
    const QModelIndex tl = model->index(model->RowOfChannel(first_channel), first_column);
    const QModelIndex br = model->index(model->RowOfChannel(last_channel), last_column);
    view_->grid()->setCurrentIndex(tl);
    view_->grid()->selectionModel()->select(QItemSelection(tl, br),
                                            QItemSelectionModel::ClearAndSelect);
  }
  Image Committed() {
    Doc().CommitToImage();
    return Doc().image;
  }

 private slots:
  void init() {
    app_ = std::make_unique<shell::AppContext>();
    FillCodeplug(app_->doc);
    view_ = std::make_unique<ui::ChannelView>(*app_, nullptr);
    yes_ = ql40::testing::ScriptedPrompter({}, Answer::kYes);
    view_->SetPrompter(&yes_);
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
  void copyOfARangeGivesTheCommandLinesLines() {
    app_->column_visibility.fill(1);
    View().ApplyColumnVisibility();
    Select(2, 0, 5, kGridColumnCount - 1);
    Key(Qt::Key_C, Qt::ControlModifier);
    std::string expected;
    for (int i = 2; i <= 5; ++i) expected += GridRowText(Doc(), i) + "\n";
    QCOMPARE(QApplication::clipboard()->text(), QString::fromStdString(expected));
    // A hidden column is not copied (Ctrl+Insert copies as well), and the cursor steps over it.
    app_->column_visibility[3] = 0;  // Frequency
    View().ApplyColumnVisibility();
    QVERIFY(View().grid()->isColumnHidden(kColReceive));
    Select(2, kColTag, 2, kColSubAudioType);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             Cell(2, kColTag) + "\t" + Cell(2, kColSubAudioType) + "\n");
    View().SetCurrentCell(0, kColTag);
    Key(Qt::Key_Right);
    QCOMPARE(View().CurrentColumn(), int(kColSubAudioType));
    Key(Qt::Key_Left);
    QCOMPARE(View().CurrentColumn(), int(kColTag));
  }

  void singleCellPasteAndRefusal() {
    View().SetCurrentCell(1, kColWideNarrow);
    QApplication::clipboard()->setText(QStringLiteral("N"));
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Cell(1, kColWideNarrow), QStringLiteral("N"));
    QVERIFY(Doc().modified);
    // A refused paste changes nothing and leaves the flag clear.
    Doc().modified = false;
    QApplication::clipboard()->setText(QStringLiteral("146.5"));
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Cell(1, kColWideNarrow), QStringLiteral("N"));
    QVERIFY(!Doc().modified);
    // Paste "P" onto the priority column moves the mark and redraws both rows.
    View().SetCurrentCell(6 - 1, kColPriority);
    QApplication::clipboard()->setText(QStringLiteral("P"));
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Cell(5, kColPriority), QStringLiteral("P"));
    QCOMPARE(Cell(2, kColPriority), QStringLiteral("-"));
  }

  void channelNumberPasteAsksFirst() {
    View().SetCurrentCell(11, kColChannel);
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral(" 12"));
    View().SetCurrentCell(4, kColChannel);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(yes_.messages().size(), size_t(1));
    QCOMPARE(yes_.messages()[0].string_id, int(res::kStrCopyChannel));
    QCOMPARE(QString::fromStdString(yes_.messages()[0].args[1]), QStringLiteral("  5"));
    QCOMPARE(Cell(4, kColTag), Cell(11, kColTag));
    QCOMPARE(Cell(4, kColReceive), Cell(11, kColReceive));
    // Its own row: no question.
    View().SetCurrentCell(11, kColChannel);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(yes_.messages().size(), size_t(1));
  }

  void blockPasteReportsRefusedCellsAndTheGroupsEnd() {
    QSignalSpy status(&View(), &ui::ChannelViewBase::statusMessage);
    // From a spreadsheet: W/N, TAG, receive; one bad cell; four rows from channel 38 of 40.
    QApplication::clipboard()->setText(QStringLiteral(
        "N\tALPHA\t150.00000\r\nN\tBRAVO\t150.1\r\nbad\tCHARLIE\t150.2\r\nN\tDELTA\t150.3\r\n"));
    View().SetCurrentCell(37, kColWideNarrow);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Cell(37, kColTag), QStringLiteral("ALPHA   "));
    QCOMPARE(Cell(38, kColReceive), QStringLiteral("150.10000"));
    QCOMPARE(Cell(39, kColTag), QStringLiteral("CHARLIE "));
    QCOMPARE(Cell(39, kColWideNarrow), QStringLiteral("W"));  // the refused cell
    QVERIFY(Doc().channels.records[40].tag != "DELTA   ");    // next group untouched
    QCOMPARE(status.count(), 1);
    const QString text = status.at(0).at(0).toString();
    QVERIFY2(text.contains(QStringLiteral("1 refused: Ch40 W/N")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("1 rows past")), qPrintable(text));
    QVERIFY(Doc().modified);
  }

  void oneCellOverARangeFillsTheColumn() {
    QApplication::clipboard()->setText(QStringLiteral("BT"));
    Select(0, kColLockOut, 9, kColLockOut);
    Key(Qt::Key_V, Qt::ControlModifier);
    for (int i = 0; i < 10; ++i) {
      if (!Doc().channels.records[static_cast<std::size_t>(i)].programmed()) continue;
      QCOMPARE(Cell(i, kColLockOut), QStringLiteral("BT"));
    }
    QCOMPARE(Cell(10, kColLockOut), QString::fromStdString(GridCellText(Doc(), 10, kColLockOut)));
    // Channel 7 is not programmed: refused, reported, not changed.
    QVERIFY(Cell(6, kColLockOut) != QStringLiteral("BT"));
    // One Undo takes the whole fill back.
    Key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Cell(0, kColLockOut) != QStringLiteral("BT"));
  }

  void undoAndRedoEveryKindOfEdit() {
    std::vector<Image> images{Committed()};
    const auto done = [&] { images.push_back(Committed()); };
    QVERIFY(!Doc().modified);
    View().SetCurrentCell(1, kColWideNarrow);  // a step
    Key(Qt::Key_Space);
    done();
    View().SetCurrentCell(1, kColTag);  // an edit
    QTest::keyClicks(View().grid(), "x");
    QTest::keyClicks(View().editor(), "ray");
    QTest::keyClick(View().editor(), Qt::Key_Return);
    done();
    View().SetCurrentCell(1, kColScan);  // a pick
    WhenModal([](QWidget* w) {
      w->findChild<QListWidget*>(QStringLiteral("1193"))->setCurrentRow(3);
      QTest::keyClick(w, Qt::Key_Return);
    });
    Key(Qt::Key_Space);
    done();
    QApplication::clipboard()->setText(QStringLiteral("L\t1\n"));  // a block paste
    View().SetCurrentCell(3, kColPower);
    Key(Qt::Key_V, Qt::ControlModifier);
    done();
    View().SetCurrentCell(2, kColDecode);  // F3
    Key(Qt::Key_F3);
    done();
    Doc().history.Checkpoint(Doc());  // a dialog's OK, as the main window takes it
    Doc().ChangeBand(kBandUhf);
    View().Rebuild(false);
    done();
    for (std::size_t i = 1; i < images.size(); ++i) QVERIFY(images[i] != images[i - 1]);

    for (std::size_t i = images.size() - 1; i > 0; --i) {
      QVERIFY(View().RunEditCommand(i % 2 ? ui::kCmdEditUndo : 57643));
      QVERIFY2(Committed() == images[i - 1], qPrintable(QString::number(i)));
    }
    QVERIFY(!Doc().modified);
    QCOMPARE(Cell(1, kColTag), QStringLiteral("CH002   "));
    for (std::size_t i = 1; i < images.size(); ++i) {
      if (i % 2) {
        Key(Qt::Key_Y, Qt::ControlModifier);
      } else {
        QVERIFY(View().RunEditCommand(ui::kCmdEditRedo));
      }
      QVERIFY2(Committed() == images[i], qPrintable(QString::number(i)));
      QVERIFY(Doc().modified);
    }
    // Alt+Backspace is Undo too.
    Key(Qt::Key_Backspace, Qt::AltModifier);
    QVERIFY(Committed() == images[images.size() - 2]);
  }

  void editCommandsInTheEditor() {
    View().SetCurrentCell(0, kColTag);
    Key(Qt::Key_Return);
    QVERIFY(View().editor()->hasFocus());
    QVERIFY(View().RunEditCommand(ui::kCmdEditCopy));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("CH001   "));
    QApplication::clipboard()->setText(QStringLiteral("z?z"));
    QVERIFY(View().RunEditCommand(ui::kCmdEditPaste));
    QCOMPARE(View().editor()->text(), QStringLiteral("ZZ"));
    QVERIFY(!View().RunEditCommand(12345));
  }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
