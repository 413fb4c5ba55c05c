// Picture conversion with Qt Gui, in a module of its own (pelloran_picture): the command line
// needs it only to save a CAPTCHA picture, and every other run is spared loading Qt Gui.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

// The picture in `bytes` (any format Qt reads) as PNG in `png`; false when it is no picture.
extern "C" Q_DECL_EXPORT bool pelloranPictureToPng(const QByteArray& bytes, QByteArray* png) {
    const QImage picture = QImage::fromData(bytes);
    if (picture.isNull()) {
        return false;
    }
    QBuffer out(png);
    return out.open(QIODevice::WriteOnly) && picture.save(&out, "PNG");
}
