#include "multipart_body.h"

namespace pelloran::fake {

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");
constexpr qsizetype kMaxBoundaryLength = 70;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

qsizetype skipBlanks(const QByteArray& text, qsizetype pos) {
    while (pos < text.size() && isBlank(text.at(pos))) {
        ++pos;
    }
    return pos;
}

struct Parameter {
    QByteArray name;  // lower case
    QByteArray value;
};

// Splits "type; a=b; c=\"d\"" into the type and its parameters. Absent on a syntax fault.
std::optional<std::pair<QByteArray, std::vector<Parameter>>> splitParameters(
    const QByteArray& value) {
    const qsizetype firstSemicolon = value.indexOf(';');
    QByteArray type = (firstSemicolon < 0 ? value : value.left(firstSemicolon)).trimmed();
    std::vector<Parameter> parameters;
    qsizetype pos = firstSemicolon < 0 ? value.size() : firstSemicolon;
    while (pos < value.size()) {
        pos = skipBlanks(value, pos);
        if (pos < value.size() && value.at(pos) == ';') {
            pos = skipBlanks(value, pos + 1);
        }
        if (pos >= value.size()) {
            break;
        }
        const qsizetype equals = value.indexOf('=', pos);
        if (equals < 0) {
            return std::nullopt;
        }
        Parameter parameter{value.mid(pos, equals - pos).trimmed().toLower(), {}};
        if (parameter.name.isEmpty() || parameter.name.contains(';')) {
            return std::nullopt;
        }
        pos = skipBlanks(value, equals + 1);
        if (pos < value.size() && value.at(pos) == '"') {
            // The closing quote is the first one after which only blanks and then ';' or the end
            // follow, so an unescaped quote inside a file name stays part of the name.
            qsizetype close = pos;
            for (;;) {
                close = value.indexOf('"', close + 1);
                if (close < 0) {
                    return std::nullopt;
                }
                const qsizetype after = skipBlanks(value, close + 1);
                if (after == value.size() || value.at(after) == ';') {
                    break;
                }
            }
            parameter.value = value.mid(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            const qsizetype end = value.indexOf(';', pos);
            const qsizetype stop = end < 0 ? value.size() : end;
            parameter.value = value.mid(pos, stop - pos).trimmed();
            pos = stop;
        }
        parameters.push_back(std::move(parameter));
    }
    return std::make_pair(std::move(type), std::move(parameters));
}

// Fills `part` from its header block; answers an error text, empty when the headers are fine.
QString readPartHeaders(const QByteArray& block, ReceivedPart& part) {
    bool sawDisposition = false;
    qsizetype lineStart = 0;
    while (lineStart <= block.size()) {
        qsizetype lineEnd = block.indexOf(kCrLf, lineStart);
        if (lineEnd < 0) {
            lineEnd = block.size();
        }
        const QByteArray text = block.mid(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + kCrLf.size();
        if (text.contains('\r') || text.contains('\n')) {
            return QStringLiteral("part header line holds a bare line break");
        }
        const qsizetype colon = text.indexOf(':');
        if (colon <= 0 || isBlank(text.at(0))) {
            return QStringLiteral("malformed part header line");
        }
        const QByteArray name = text.left(colon);
        const QByteArray value = text.mid(colon + 1).trimmed();
        part.headers.append({name, value});
        const QByteArray lowerName = name.toLower();
        if (lowerName == "content-type") {
            if (!part.contentType.isNull()) {
                return QStringLiteral("part has two Content-Type headers");
            }
            part.contentType = value.isNull() ? QByteArray("") : value;
        } else if (lowerName == "content-disposition") {
            if (sawDisposition) {
                return QStringLiteral("part has two Content-Disposition headers");
            }
            sawDisposition = true;
            const auto split = splitParameters(value);
            if (!split || split->first.toLower() != "form-data") {
                return QStringLiteral("Content-Disposition is not a well-formed form-data value");
            }
            bool sawName = false;
            for (const Parameter& parameter : split->second) {
                if (parameter.name == "name") {
                    if (sawName) {
                        return QStringLiteral("Content-Disposition has two name parameters");
                    }
                    sawName = true;
                    part.name = parameter.value;
                } else if (parameter.name == "filename") {
                    if (part.filename) {
                        return QStringLiteral("Content-Disposition has two filename parameters");
                    }
                    part.filename = parameter.value.isNull() ? QByteArray("") : parameter.value;
                }
            }
            if (!sawName) {
                return QStringLiteral("Content-Disposition has no name parameter");
            }
        }
    }
    if (!sawDisposition) {
        return QStringLiteral("part has no Content-Disposition header");
    }
    return {};
}

}  // namespace

std::optional<QByteArray> multipartBoundary(const QByteArray& contentType) {
    const auto split = splitParameters(contentType);
    if (!split || split->first.toLower() != "multipart/form-data") {
        return std::nullopt;
    }
    for (const Parameter& parameter : split->second) {
        if (parameter.name == "boundary") {
            const QByteArray& boundary = parameter.value;
            if (boundary.isEmpty() || boundary.size() > kMaxBoundaryLength ||
                boundary.contains('\r') || boundary.contains('\n')) {
                return std::nullopt;
            }
            return boundary;
        }
    }
    return std::nullopt;
}

MultipartParse parseMultipartBody(const QByteArray& body, const QByteArray& boundary) {
    MultipartParse result;
    const QByteArray dashBoundary = "--" + boundary;
    const QByteArray delimiter = kCrLf + dashBoundary;
    auto fail = [&result](const QString& error) {
        result.parts.clear();
        result.error = error;
        return result;
    };

    if (!body.startsWith(dashBoundary + kCrLf)) {
        if (body.startsWith(dashBoundary + "--")) {
            return fail(QStringLiteral("body holds no part"));
        }
        return fail(QStringLiteral("body does not begin with the delimiter line"));
    }
    qsizetype pos = dashBoundary.size() + kCrLf.size();
    for (;;) {
        ReceivedPart part;
        if (body.mid(pos, 2) == kCrLf) {
            return fail(QStringLiteral("part has no header lines"));
        }
        const qsizetype headerEnd = body.indexOf("\r\n\r\n", pos);
        const qsizetype nextDelimiter = body.indexOf(delimiter, pos);
        if (headerEnd < 0 || (nextDelimiter >= 0 && nextDelimiter < headerEnd)) {
            return fail(QStringLiteral("part headers do not end with an empty line"));
        }
        const QString headerError = readPartHeaders(body.mid(pos, headerEnd - pos), part);
        if (!headerError.isEmpty()) {
            return fail(headerError);
        }
        const qsizetype contentStart = headerEnd + 4;
        const qsizetype contentEnd = body.indexOf(delimiter, contentStart);
        if (contentEnd < 0) {
            return fail(QStringLiteral("part content is not followed by a delimiter line"));
        }
        part.content = body.mid(contentStart, contentEnd - contentStart);
        result.parts.push_back(std::move(part));

        const qsizetype after = contentEnd + delimiter.size();
        const QByteArray follow = body.mid(after, 2);
        if (follow == kCrLf) {
            pos = after + 2;
            continue;
        }
        if (follow == "--") {
            const QByteArray rest = body.mid(after + 2);
            if (!rest.isEmpty() && rest != kCrLf) {
                return fail(QStringLiteral("bytes follow the closing delimiter"));
            }
            return result;
        }
        return fail(QStringLiteral("delimiter is followed by neither CR LF nor \"--\""));
    }
}

}  // namespace pelloran::fake
