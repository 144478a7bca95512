#include <QtTest>

#include "shell/ui/hooks.h"

class ChannelViewTest : public QObject {
  Q_OBJECT
 private slots:
  void createsOnDefaultCodeplug() {
    ql40::shell::AppContext app;
    app.doc.ResetToDefaults();
    std::unique_ptr<ql40::ui::ChannelViewBase> view(ql40::ui::CreateChannelView(app, nullptr));
    QVERIFY(view != nullptr);
    view->Rebuild(true);
  }
};

QTEST_MAIN(ChannelViewTest)
#include "channel_view_test.moc"
