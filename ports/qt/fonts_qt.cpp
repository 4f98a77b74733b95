#include "ports/qt/fonts_qt.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cstring>

struct VidFont {
    QFont font;
    int32_t cellHeight = 0;
    int32_t ascent = 0;
};

namespace {

constexpr int32_t DEFAULT_FONT_HEIGHT = 16;

// The core's text is UTF-8; control characters show as blanks.
QString FromText(const char* text) {
    QString out = QString::fromUtf8(text);
    for (QChar& c : out) {
        if (c.unicode() < 0x20) c = QChar(u' ');
    }
    return out;
}

// The faces tried in turn: the one asked for, then faces with the same
// metrics that free systems ship, then any sans-serif face.
QStringList Families(const char* face) {
    QString wanted = QString::fromLatin1(face && *face ? face : "Arial");
    QStringList families{wanted};
    QString lower = wanted.toLower();
    if (lower == "times new roman" || lower == "times") {
        families << "Liberation Serif"
                 << "Tinos"
                 << "DejaVu Serif";
    } else if (lower == "courier new" || lower == "courier") {
        families << "Liberation Mono"
                 << "Cousine"
                 << "DejaVu Sans Mono";
    } else {
        families << "Liberation Sans"
                 << "Arimo"
                 << "Helvetica"
                 << "DejaVu Sans";
    }
    return families;
}

bool HaveGui() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

QtFonts::~QtFonts() {
    FreeFont(defaultFont);
}

VidFont* QtFonts::Resolve(VidFont* font) {
    if (font) return font;
    if (!defaultFont) defaultFont = MakeFont(DEFAULT_FONT_HEIGHT, "Arial", false);
    return defaultFont;
}

VidFont* QtFonts::MakeFont(int32_t height, const char* face, bool bold) {
    if (!HaveGui()) return nullptr;
    auto* font = new VidFont;
    font->font.setFamilies(Families(face));
    font->font.setBold(bold);
    font->font.setStyleHint(QFont::SansSerif);
    if (height < 0) {
        // A negative height asks for the character height (the em) instead.
        font->font.setPixelSize(static_cast<int>(std::min<int64_t>(-int64_t{height}, 4096)));
        QFontMetrics metrics(font->font);
        font->cellHeight = metrics.height();
    } else {
        if (height == 0) height = DEFAULT_FONT_HEIGHT;
        height = std::min<int32_t>(height, 4096);
        // A positive height is the cell (ascent plus descent): find the
        // largest em whose cell fits it.
        font->font.setPixelSize(height);
        int pixels = height;
        while (pixels > 1 && QFontMetrics(font->font).height() > height) {
            font->font.setPixelSize(--pixels);
        }
        font->cellHeight = height;
    }
    font->ascent = QFontMetrics(font->font).ascent();
    return font;
}

void QtFonts::FreeFont(VidFont* font) {
    delete font;
}

void QtFonts::MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) {
    int32_t w = 0;
    int32_t h = 0;
    font = Resolve(font);
    if (font && text) {
        w = QFontMetrics(font->font).horizontalAdvance(FromText(text));
        h = font->cellHeight;
    }
    if (width) *width = w;
    if (height) *height = h;
}

int QtFonts::RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                        int32_t height, int32_t stride) {
    font = Resolve(font);
    if (!font || !text || !coverage || width <= 0 || height <= 0 || stride < width) return 0;
    // The text is drawn as coverage in the alpha channel of a transparent picture.
    QImage mask(width, height, QImage::Format_Alpha8);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font->font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(0, font->ascent), FromText(text));
    }
    for (int32_t y = 0; y < height; ++y) {
        const uchar* src = mask.constScanLine(y);
        uint8_t* dst = coverage + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x) dst[x] = std::max(dst[x], src[x]);
    }
    return 1;
}
