#include "app/CommandActions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "app/Icons.h"

namespace ze {

namespace {

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

TCommandActions::TCommandActions(QWidget* window, std::function<void(TCommandId)> run)
    : QObject(window), run_(std::move(run)) {
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    const TCommandInfo& info = CommandInfo(CommandAt(i));
    auto* a = new QAction(Text(info.Caption), window);
    a->setObjectName(Text(info.Name));
    if (!info.ShortCut.empty())
      a->setShortcut(QKeySequence(Text(info.ShortCut), QKeySequence::PortableText));
    a->setCheckable(info.Checkable);
    if (!info.Hint.empty()) a->setToolTip(Text(info.Hint));
    if (info.Image != TImage::None) a->setIcon(CommandIcon(info.Image));
    a->setEnabled(false);
    const TCommandId id = info.Id;
    connect(a, &QAction::triggered, this, [this, id] { run_(id); });
    window->addAction(a);
    actions_[i] = a;
  }
}

void TCommandActions::FillMenu(QMenu& menu, const std::vector<TMenuLine>& lines) {
  std::vector<QMenu*> stack{&menu};
  for (const TMenuLine& line : lines) {
    QMenu* m = stack.back();
    switch (line.Kind) {
    case TMenuLine::Separator:
      m->addSeparator();
      break;
    case TMenuLine::SubmenuBegin:
      stack.push_back(m->addMenu(Text(line.Caption)));
      break;
    case TMenuLine::SubmenuEnd:
      if (stack.size() > 1) stack.pop_back();
      break;
    case TMenuLine::Command: {
      QAction* a = Action(line.Id);
      if (line.Caption.empty()) {
        m->addAction(a);
        break;
      }
      // Its own caption here: a twin that runs the same command and
      // follows the command's state.
      auto* twin = new QAction(Text(line.Caption), m);
      twin->setShortcut(a->shortcut());
      twin->setShortcutContext(Qt::WidgetShortcut); // the shortcut belongs to the original
      twin->setIcon(a->icon());
      twin->setEnabled(a->isEnabled());
      const TCommandId id = line.Id;
      connect(twin, &QAction::triggered, this, [this, id] { run_(id); });
      connect(a, &QAction::changed, twin, [a, twin] { twin->setEnabled(a->isEnabled()); });
      m->addAction(twin);
      break;
    }
    }
  }
}

void TCommandActions::FillToolbar(QToolBar& bar, const std::vector<TMenuLine>& lines) {
  for (const TMenuLine& line : lines) {
    if (line.Kind == TMenuLine::Separator)
      bar.addSeparator();
    else if (line.Kind == TMenuLine::Command)
      bar.addAction(Action(line.Id));
  }
}

void TCommandActions::Apply(const TCommandStates& states) {
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    QAction* a = actions_[i];
    a->setEnabled(states[i].Enabled);
    if (a->isCheckable()) a->setChecked(states[i].Checked);
  }
  applied_ = states;
}

} // namespace ze
