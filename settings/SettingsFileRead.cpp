#include "SettingsFileRead.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>

namespace {
constexpr qint64 READ_PIECE_BYTES = 4096;
} // namespace

TSettingsBytes ReadSettingsBytes(const QString& Path) {
    if (!QFileInfo(Path).isFile())
        return {{}, QStringLiteral("to nie jest zwykły plik")};
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("brak dostępu do odczytu")};
    // In small pieces: a file of a few hundred bytes costs no buffer of the limit's size.
    QByteArray bytes;
    while (bytes.size() <= MAX_SETTINGS_FILE_BYTES) {
        const QByteArray piece =
            file.read(std::min(READ_PIECE_BYTES, MAX_SETTINGS_FILE_BYTES + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("błąd odczytu")};
    if (bytes.size() > MAX_SETTINGS_FILE_BYTES)
        return {{}, QStringLiteral("plik większy niż 64 KB")};
    return {bytes, {}};
}

QString StructureFault(const QByteArray& Bytes) {
    QXmlStreamReader reader(Bytes);
    reader.setNamespaceProcessing(false); // as the document model reads it
    std::int32_t depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            return QStringLiteral("zawiera deklarację DOCTYPE");
        case QXmlStreamReader::StartElement:
            if (++depth > MAX_SETTINGS_DEPTH)
                return QStringLiteral("elementy zagnieżdżone głębiej niż %1 poziomów")
                    .arg(MAX_SETTINGS_DEPTH);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return QStringLiteral("niepoprawny XML w wierszu %1, kolumnie %2")
            .arg(reader.lineNumber())
            .arg(reader.columnNumber());
    return {};
}
