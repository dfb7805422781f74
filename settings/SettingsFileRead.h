#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>

// The settings file is a few hundred bytes of flat XML. Anything far beyond that is not read,
// so that a broken or hostile file costs the panel no more than a glance at start-up.
constexpr qint64 MAX_SETTINGS_FILE_BYTES = 64 * 1024;
// The file is two levels deep; a little room is left for elements a person adds by hand.
constexpr std::int32_t MAX_SETTINGS_DEPTH = 16;

// A settings file's bytes, or why they were not taken (Fault, Polish, shown to whoever reads
// the panel's standard error).
struct TSettingsBytes {
    QByteArray Bytes;
    QString Fault; // empty when Bytes holds the whole file
};

// The bytes of a regular file of at most MAX_SETTINGS_FILE_BYTES. Never waits on a pipe or a
// device, and reads no more than one byte past the limit however large the file is.
TSettingsBytes ReadSettingsBytes(const QString& Path);

// Why the document model must not see Bytes: text that is not well-formed XML, elements nested
// deeper than MAX_SETTINGS_DEPTH, or a document type declaration (its entities can expand a
// few bytes into megabytes). Empty when it may. A streaming pass that stops at the first
// fault, because the document model takes seconds on deep nesting or expanded entities.
QString StructureFault(const QByteArray& Bytes);
