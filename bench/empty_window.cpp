// The yardstick of start-up: an empty Qt Widgets main window, nothing else.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("empty"));
  w.resize(1024, 768);
  w.show();
  return app.exec();
}
