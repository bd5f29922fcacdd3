// The yardstick of start-up: an empty Qt Widgets main window, nothing else. With
// "--caption" after the title it shows one Chinese caption as well: the same window
// paying for the first text (fontconfig, the font database, a CJK face), which an empty
// window never does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <cstring>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("empty"));
  if (argc > 2 && std::strcmp(argv[2], "--caption") == 0) w.setCentralWidget(new QLabel("加热时间", &w));
  w.resize(1024, 768);
  w.show();
  return app.exec();
}
