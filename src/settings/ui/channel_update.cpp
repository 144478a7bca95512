#include "settings/ui/channel_update.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <thread>

#include "resources/strings.h"

namespace ql40::ui {
namespace {

QString Str(int id) {
  const auto text = res::LoadString(id);
  return text ? QString::fromStdString(std::string(*text)) : QString();
}

}  // namespace

ChannelUpdateReport RunChannelUpdate(QWidget* window, Codeplug& doc,
                                     const link::PortOpener& open_port, int old_total,
                                     int new_total) {
  if (new_total <= old_total) return {};
  QDialog box(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  box.setObjectName(QStringLiteral("UpdateChannelsBox"));
  box.setWindowTitle(Str(res::kStrUpdateChannels));
  box.setModal(true);
  auto* layout = new QVBoxLayout(&box);
  layout->addWidget(new QLabel(Str(res::kStrNowUploadingChannels), &box));

  // Nothing in the window may touch the document while the worker fills it.
  const bool was_enabled = window == nullptr || window->isEnabled();
  if (window != nullptr) window->setEnabled(false);

  QEventLoop loop;
  QPointer<QDialog> shown(&box);
  ChannelUpdateReport report;
  std::thread worker([&] {
    report = UpdateChannelsFromRadio(doc, open_port, old_total, new_total, [&] {
      QMetaObject::invokeMethod(
          &box,
          [shown] {
            if (shown) shown->show();
          },
          Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  box.hide();
  if (window != nullptr) window->setEnabled(was_enabled);
  return report;
}

}  // namespace ql40::ui
