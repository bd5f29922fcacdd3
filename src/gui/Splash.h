#pragma once
// TFormGG, the splash window of start-up: a picture, the product name and the version,
// closed by a click anywhere on it.
#include <QDialog>

namespace pelmora::gui {

class TFormGG : public QDialog {
  Q_OBJECT

 public:
  explicit TFormGG(QWidget* parent = nullptr);
  QString VersionLine() const { return version_; }
  static constexpr int kWidth = 462;
  static constexpr int kHeight = 258;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QString version_;
};

// The picture of the splash: a heating coil in a vessel.
void DrawCoilInVessel(QPainter& p, const QRectF& r);

}  // namespace pelmora::gui
