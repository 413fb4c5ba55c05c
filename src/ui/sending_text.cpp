#include "ui/sending_text.h"

namespace pelloran {

namespace {

QString sendingText(const QString& number, const QString& plural) {
    return QStringLiteral("Sending %1 torrent%2 to server").arg(number, plural);
}

QString forCount(int count, bool single) {
    return single ? sendingText(QString(), QString())
                  : sendingText(QString::number(count), QStringLiteral("s"));
}

}  // namespace

QString sendingTextOnTap(int countBefore) {
    return forCount(countBefore + 1, countBefore < 1);
}

QString sendingTextOnFinish(int countAfter) {
    return forCount(countAfter, countAfter < 2);
}

}  // namespace pelloran
