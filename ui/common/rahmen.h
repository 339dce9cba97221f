#pragma once

#include <QGroupBox>

// A frame drawn the classic way: an etched box line at half the caption's height, interrupted by
// the caption. The window layouts place a frame's controls from its top edge on, below the
// caption; a style that draws the box line under the caption (Fusion does) would run it through
// them. Drawn by the frame itself, so the look does not depend on the application's style.
class Rahmen : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *event) override;
};
