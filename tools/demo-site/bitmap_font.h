#pragma once
// A 5x7 bitmap font for the site's generated pictures (CAPTCHA words, category badges).
// It writes pixels straight into a QImage, so no QGuiApplication or font files are needed.

#include <QColor>
#include <QImage>
#include <QString>

namespace pelloran::demo {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Advance of one character at the given scale (glyph plus one column of spacing).
inline int glyphAdvance(int scale) {
    return (kGlyphWidth + 1) * scale;
}

// Draws the text (letters are drawn as capitals; characters without a glyph leave a gap) with
// its top-left corner at (x, y), each font pixel a scale x scale square. Pixels outside the
// image are clipped.
void drawText(QImage& image, int x, int y, const QString& text, int scale, QColor color);

}  // namespace pelloran::demo
