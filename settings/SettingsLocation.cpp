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

// An installation puts the desktop entry at KOV_INSTALLED_ENTRY from its program folder; a copy
// of the program in a folder of its own has none there. Judged by what is installed, not by the
// prefix the build was configured for: `cmake --install --prefix` and the package each choose
// their own.
bool Installed(const QString& ProgramDir) {
    return QFileInfo::exists(ProgramDir + QStringLiteral("/" KOV_INSTALLED_ENTRY));
}

// A copy of the program keeps its settings with it where they can be written: in a folder the
// program may create the file in, or in place.
bool KeepsSettingsBeside(const QString& ProgramDir) {
    const QString beside = ProgramDir + FILE_NAME;
    return CanCreateIn(ProgramDir) ||
           (QFileInfo::exists(beside) && !ReadableSettings(beside).isEmpty() && CanWrite(beside));
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
    if (!Installed(ProgramDir) && KeepsSettingsBeside(ProgramDir)) {
        return ProgramDir;
    }
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Kovalta");
    QDir().mkpath(user);
    const QString beside = ProgramDir + FILE_NAME;
    if (!QFileInfo::exists(user + FILE_NAME) && QFileInfo::exists(beside)) {
        SeedUserFile(user + FILE_NAME, ReadableSettings(beside));
    }
    return user;
}
