// Builds Qt widgets from a dialog template: one widget per item, placed by
// converting dialog units through the dialog font's base units.
#pragma once

#include "ui/dialog_templates.h"

#include <QDialog>
#include <QRect>
#include <vector>

class QWidget;

class DialogLayout {
  public:
    // Fills `dialog` with the items of `tmpl`, sizes it and sets its caption.
    DialogLayout(QWidget* dialog, const DialogTemplate& tmpl);

    // The widget of the item with `id` (the first one for a repeated id), or nullptr.
    QWidget* Item(int id) const;
    template <typename T> T* ItemAs(int id) const { return qobject_cast<T*>(Item(id)); }
    // Every widget, in template order.
    const std::vector<QWidget*>& Widgets() const { return widgets; }

    // A rectangle in dialog units as pixels.
    QRect ToPixels(int32_t x, int32_t y, int32_t width, int32_t height) const;

  private:
    const DialogTemplate& tmpl;
    std::vector<QWidget*> widgets;
    int baseX; // horizontal base unit in hundredths of a pixel
    int baseY; // vertical base unit in pixels
};

// The product logo.
QPixmap LogoPixmap();

// Puts `window` in the middle of the screen it is on (the primary screen when
// it has none yet).
void CentreOnScreen(QWidget* window);

// The window flags of a modal dialog with caption, system menu and close box.
Qt::WindowFlags DialogWindowFlags();
