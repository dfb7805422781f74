#include "SettingsLocation.h"

#include "SettingsFileRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
const QString FILE_NAME = QStringLiteral("/Kovalta_Config.xml");

// The bytes of a settings file the store can take, or nothing.
QByteArray ReadableSettings(const QString& Path) {
    const TSettingsBytes file = ReadSettingsBytes(Path);
    return file.Fault.isEmpty() && StructureFault(file.Bytes).isEmpty() ? file.Bytes : QByteArray();
}

// Tried, not judged by the permission bits, which say nothing of root or of a read-only mount.
bool CanCreateIn(const QString& Folder) {
    QTemporaryFile probe(Folder + QStringLiteral("/.Kovalta_Config-XXXXXX"));
    return probe.open();
}

bool CanWrite(const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

// A new file of the user's own, with the user's default permissions, not the program's.
void SeedUserFile(const QString& Path, const QByteArray& Bytes) {
    QFile file(Path);
    if (!Bytes.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        file.write(Bytes);
    }
}
} // namespace

QString SettingsFolder(const QString& ProgramDir) {
    const QString beside = ProgramDir + FILE_NAME;
    if (CanCreateIn(ProgramDir)) {
        return ProgramDir;
    }
    const QByteArray programSettings =
        QFileInfo::exists(beside) ? ReadableSettings(beside) : QByteArray();
    if (!programSettings.isEmpty() && CanWrite(beside)) {
        return ProgramDir; // written in place
    }
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Kovalta");
    QDir().mkpath(user);
    if (!QFileInfo::exists(user + FILE_NAME)) {
        SeedUserFile(user + FILE_NAME, programSettings);
    }
    return user;
}
