// Copy, paste, block paste, range fill and Undo/Redo through the real grid and clipboard.

#include <QListWidget>
#include <QtTest>

#include "grid_fixture.h"
#include "resources/strings.h"
#include "support/test_support.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using ql40::gridtest::FillCodeplug;
using ql40::uitest::WhenModal;

class GridClipboardTest : public QObject {
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

  void copyOfARangeGivesTheCommandLinesLines() {
    app_->column_visibility.fill(1);
    View().ApplyColumnVisibility();
    Select(2, 0, 5, kGridColumnCount - 1);
    Key(Qt::Key_C, Qt::ControlModifier);
    std::string expected;
    for (int i = 2; i <= 5; ++i) expected += GridRowText(Doc(), i) + "\n";
    QCOMPARE(QApplication::clipboard()->text(), QString::fromStdString(expected));
    // Hidden columns are not copied; Ctrl+Insert copies as well.
    app_->column_visibility[3] = 0;
    View().ApplyColumnVisibility();
    Select(2, kColTag, 2, kColSubAudioType);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             Cell(2, kColTag) + "\t" + Cell(2, kColSubAudioType) + "\n");
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

QTEST_MAIN(GridClipboardTest)
#include "grid_clipboard_test.moc"
