// The channel view on real widgets: layout, headings, keys, mouse, editor and pick lists.

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "grid_fixture.h"
#include "resources/strings.h"

using namespace ql40;
using ql40::gridtest::FillCodeplug;
using ql40::gridtest::OnNextModal;

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
    const QString png = qEnvironmentVariable("QL40_GRID_PNG", QDir::tempPath() + "/grid_view.png");
    QVERIFY(View().grab().save(png));
  }
};

QTEST_MAIN(GridViewTest)
#include "grid_view_test.moc"
