// The saver's window on Qt: a raster window that shows the view's back buffer
// and feeds its input into CSaverWnd.
#pragma once

#include <QImage>
#include <QRegion>

// Copies `region` of `image` into the saver window and shows that part of the
// window (nothing when the window is not on screen).
void QtWindowPresent(const QImage& image, const QRegion& region);
