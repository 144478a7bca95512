// Placeholder channel view until the grid lands: shows the group and channel count.

#include <QLabel>
#include <QVBoxLayout>

#include "shell/ui/hooks.h"

namespace ql40::ui {
namespace {

class PlaceholderView : public ChannelViewBase {
 public:
  PlaceholderView(shell::AppContext& app, QWidget* parent) : ChannelViewBase(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(this);
    label_->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(label_);
    Rebuild(true);
  }
  void Rebuild(bool) override { RedrawHeader(); }
  void RedrawHeader() override {
    label_->setText(QString::fromStdString(app_.doc.path));
  }
  void ApplyColumnVisibility() override {}
  bool RunEditCommand(int) override { return false; }
  int CurrentHelpId() const override { return 0; }
  void FocusGrid() override { label_->setFocus(); }

 private:
  shell::AppContext& app_;
  QLabel* label_;
};

}  // namespace

ChannelViewBase* CreateChannelView(shell::AppContext& app, QWidget* parent) {
  return new PlaceholderView(app, parent);
}

}  // namespace ql40::ui
