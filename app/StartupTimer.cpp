#include "app/StartupTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/MainWindow.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

namespace {

class TPaintWatch : public QObject {
public:
  TPaintWatch(const QElapsedTimer& clock, bool quit) : clock_(clock), quit_(quit) {}

protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint && !done_) {
      auto* viewport = qobject_cast<QWidget*>(watched);
      if (viewport && qobject_cast<TEditorWidget*>(viewport->parentWidget())) {
        done_ = true;
        // Measured after this paint has run.
        QTimer::singleShot(0, this, [this] {
          std::fprintf(stderr, "first paint: %lld ms\n", static_cast<long long>(clock_.elapsed()));
          if (quit_) QCoreApplication::exit(0);
        });
      }
    }
    return false;
  }

private:
  const QElapsedTimer& clock_;
  bool quit_;
  bool done_ = false;
};

} // namespace

void WatchFirstPaint(TForm1& window, const QElapsedTimer& clock) {
  const char* mode = std::getenv("ZE_STARTUP_TIME");
  if (!mode || !*mode) return;
  auto* watch = new TPaintWatch(clock, std::strcmp(mode, "quit") == 0);
  watch->setParent(&window);
  QCoreApplication::instance()->installEventFilter(watch);
}

} // namespace ze
