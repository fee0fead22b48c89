// The yardstick for the start-up benchmark: a Qt Widgets program with one
// frameless window of the main window's size and nothing else. Started by
// window_wait it prints when its first paint began on window_wait's scale, so
// the benchmark can tell its own detection delay.
#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

class BareWindow : public QWidget {
 public:
  BareWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) { setFixedSize(399, 299); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), QColor(0, 0, 160));
    if (!stamped_ && qEnvironmentVariableIsSet("WINDOW_WAIT_START_MS")) {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      const double start = qEnvironmentVariable("WINDOW_WAIT_START_MS").toDouble();
      std::fprintf(stderr, "paint-began-ms %.1f\n", now.tv_sec * 1e3 + now.tv_nsec / 1e6 - start);
      stamped_ = true;
    }
  }

 private:
  bool stamped_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  BareWindow window;
  window.show();
  return QApplication::exec();
}
