#include "platform/qt/EditorMenu.h"

#include <QAction>
#include <QMenu>

#include "editor/PopupMenu.h"

namespace ze {

namespace {
// Marks the actions made here, so that MenuItemOf never turns the data of
// someone else's action into a pointer.
const char* const kItemProperty = "zeMenuItem";
} // namespace

QString MenuText(const TEditorMenuItem& item) {
  QString text = QString::fromUtf8(item.Caption);
  const std::string shortcut = item.ShortCutText();
  if (!shortcut.empty()) text += QLatin1Char('\t') + QString::fromUtf8(shortcut);
  return text;
}

void FillMenu(QMenu& menu, TEditorMenuItem& parent) {
  for (int i = 0; i < parent.Count(); ++i) {
    TEditorMenuItem& item = parent.Item(i);
    if (item.IsLine()) {
      menu.addSeparator();
      continue;
    }
    if (item.Count() > 0) {
      QMenu* sub = menu.addMenu(MenuText(item));
      sub->setEnabled(item.Enabled);
      FillMenu(*sub, item);
      continue;
    }
    QAction* a = menu.addAction(MenuText(item));
    a->setEnabled(item.Enabled);
    // Only a checked item shows a check box, as in a plain popup menu.
    a->setCheckable(item.Checked);
    a->setChecked(item.Checked);
    a->setProperty(kItemProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
  }
}

TEditorMenuItem* MenuItemOf(const QAction* action) {
  if (!action) return nullptr;
  const QVariant v = action->property(kItemProperty);
  return v.isValid() ? reinterpret_cast<TEditorMenuItem*>(v.value<quintptr>()) : nullptr;
}

} // namespace ze
