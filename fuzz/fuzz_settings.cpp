// Arbitrary bytes as the panel's settings file. Whatever the file holds, OpenFile returns with
// a Status of -1, 0 or 1; a file it takes no record from is kept byte for byte as
// Kovalta_Config.xml.bad by the next save; and whatever it did read comes back unchanged from
// the file that save writes. Run with -close_fd_mask=2: the store names every unread file on
// standard error, and this target reports on standard output.
#include "KovUni.h"
#include "PanelRecords.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {
[[noreturn]] void Finding(const char* What) {
    std::printf("%s\n", What);
    std::fflush(stdout);
    std::abort();
}

QByteArray Contents(const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QTemporaryDir& Folder() {
    static const QTemporaryDir folder;
    if (!folder.isValid())
        Finding("no temporary folder");
    return folder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const QString path = Folder().filePath(QStringLiteral("Kovalta_Config.xml"));
    const QString kept = path + QStringLiteral(".bad");
    const QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    QFile::remove(kept);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            Finding("the input could not be written");
    }

    TProgConfig store;
    DeclarePanelRecords(store);
    store.OpenFile(path);
    const std::int32_t opened = store.Status();
    if (opened < -1 || opened > 1)
        Finding("OpenFile left a Status outside -1 to 1");
    const PanelValues read = ReadPanel(store);

    store.SaveFile(QString());
    if (store.Status() != 1)
        Finding("the save after OpenFile failed");
    if (opened != 0 && Contents(kept) != bytes)
        Finding("a file that gave no record was not kept byte for byte");

    TProgConfig reread;
    DeclarePanelRecords(reread);
    reread.OpenFile(path);
    const PanelValues back = ReadPanel(reread);
    if (reread.Status() != 0 || back != read) {
        std::cout << "Status " << reread.Status() << " after the save\nread: ";
        PrintTo(read, &std::cout);
        std::cout << "\nread back: ";
        PrintTo(back, &std::cout);
        std::cout << std::endl;
        Finding("the saved file does not give back what was read");
    }
    return 0;
}
