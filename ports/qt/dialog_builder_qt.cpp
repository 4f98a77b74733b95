#include "ports/qt/dialog_builder_qt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>

namespace {

Qt::Alignment Alignment(DialogItemAlign align) {
    switch (align) {
    case ALIGN_CENTER: return Qt::AlignHCenter | Qt::AlignTop;
    case ALIGN_RIGHT: return Qt::AlignRight | Qt::AlignTop;
    default: return Qt::AlignLeft | Qt::AlignTop;
    }
}

// Texts on a single line of the template; taller static items wrap their text.
bool IsOneLineText(const DialogItem& item) {
    switch (item.kind) {
    case ITEM_STATIC: return item.height < 16;
    case ITEM_CHECK_BOX:
    case ITEM_RADIO:
    case ITEM_PUSH_BUTTON:
    case ITEM_DEFAULT_BUTTON: return true;
    default: return false;
    }
}

QWidget* MakeWidget(const DialogItem& item, QWidget* parent) {
    QString text = QString::fromUtf8(item.text);
    switch (item.kind) {
    case ITEM_GROUP_BOX: return new QGroupBox(text, parent);
    case ITEM_LIST_BOX: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return list;
    }
    case ITEM_STATIC: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(Alignment(item.align));
        label->setWordWrap(!IsOneLineText(item));
        return label;
    }
    case ITEM_PICTURE: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(LogoPixmap());
        picture->setScaledContents(true);
        return picture;
    }
    case ITEM_SLIDER: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setTickPosition(QSlider::NoTicks);
        return slider;
    }
    case ITEM_CHECK_BOX: return new QCheckBox(text, parent);
    case ITEM_RADIO: return new QRadioButton(text, parent);
    case ITEM_PUSH_BUTTON:
    case ITEM_DEFAULT_BUTTON: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(true); // a focused button takes Enter, as on Windows
        button->setDefault(item.kind == ITEM_DEFAULT_BUTTON);
        return button;
    }
    }
    return new QWidget(parent);
}

// Check boxes, radio buttons and sliders need their own height to stay
// readable in fonts taller than the template's; they keep their vertical centre.
bool KeepsNaturalHeight(DialogItemKind kind) {
    return kind == ITEM_CHECK_BOX || kind == ITEM_RADIO || kind == ITEM_SLIDER ||
           kind == ITEM_PUSH_BUTTON || kind == ITEM_DEFAULT_BUTTON;
}

} // namespace

DialogLayout::DialogLayout(QWidget* dialog, const DialogTemplate& tmpl) : tmpl(tmpl) {
    // Base units as the dialog manager defines them: the average width of the
    // Latin letters and the height of a line of the dialog font.
    QFontMetrics metrics(dialog->font());
    int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX = ((letters / 26 + 1) / 2) * 100;
    baseY = metrics.height();
    if (baseX < 100) baseX = 100;
    if (baseY < 1) baseY = 1;

    // Consecutive radio items form one group, exclusive only among themselves.
    QButtonGroup* radios = nullptr;
    for (int i = 0; i < tmpl.itemCount; ++i) {
        QWidget* widget = MakeWidget(tmpl.items[i], dialog);
        widget->setObjectName(QStringLiteral("item%1").arg(tmpl.items[i].id));
        widgets.push_back(widget);
        if (tmpl.items[i].kind != ITEM_RADIO) {
            radios = nullptr;
            continue;
        }
        if (!radios) radios = new QButtonGroup(dialog);
        radios->addButton(static_cast<QRadioButton*>(widget));
    }
    // A desktop font may run wider than the one the template was drawn for:
    // widen the whole dialog (never by more than half) so every one-line text fits.
    int widest = baseX;
    for (int i = 0; i < tmpl.itemCount; ++i) {
        const DialogItem& item = tmpl.items[i];
        if (!IsOneLineText(item) || item.width <= 0) continue;
        int64_t needed =
            (int64_t{widgets[static_cast<size_t>(i)]->sizeHint().width()} * 400 + item.width - 1) /
            item.width;
        if (needed > widest) widest = static_cast<int>(needed);
    }
    baseX = widest < baseX * 3 / 2 ? widest : baseX * 3 / 2;

    if (tmpl.caption) dialog->setWindowTitle(QString::fromUtf8(tmpl.caption));
    dialog->setFixedSize(ToPixels(0, 0, tmpl.width, tmpl.height).size());
    for (int i = 0; i < tmpl.itemCount; ++i) {
        const DialogItem& item = tmpl.items[i];
        QWidget* widget = widgets[static_cast<size_t>(i)];
        QRect rect = ToPixels(item.x, item.y, item.width, item.height);
        if (KeepsNaturalHeight(item.kind)) {
            int natural = widget->sizeHint().height();
            if (natural > rect.height()) {
                rect.setTop(rect.center().y() - natural / 2);
                rect.setHeight(natural);
            }
        }
        widget->setGeometry(rect);
    }
}

QWidget* DialogLayout::Item(int id) const {
    for (int i = 0; i < tmpl.itemCount; ++i) {
        if (tmpl.items[i].id == id) return widgets[static_cast<size_t>(i)];
    }
    return nullptr;
}

QRect DialogLayout::ToPixels(int32_t x, int32_t y, int32_t width, int32_t height) const {
    auto px = [this](int32_t units) { return static_cast<int>((int64_t{units} * baseX) / 400); };
    auto py = [this](int32_t units) { return static_cast<int>((int64_t{units} * baseY) / 8); };
    return QRect(px(x), py(y), px(width), py(height));
}

QPixmap LogoPixmap() {
    return QPixmap(QStringLiteral(":/glimmora/logo.png"));
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    QSize size = window->frameSize().isValid() ? window->frameSize() : window->size();
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

Qt::WindowFlags DialogWindowFlags() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}
