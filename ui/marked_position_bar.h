#pragma once
// The file list's playback position bar, with a tick below the groove at each
// mark of the file that plays. Without marks it is the plain slider.
#include <QSlider>
#include <vector>

namespace tarnovox {

class MarkedPositionBar final : public QSlider {
  Q_OBJECT

 public:
  explicit MarkedPositionBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

  // Values within the bar's range; an empty list takes the ticks away.
  void SetMarks(const std::vector<int>& values);
  const std::vector<int>& Marks() const { return marks_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<int> marks_;
};

}  // namespace tarnovox
