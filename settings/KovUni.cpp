#include "KovUni.h"

#include "SettingsFileRead.h"
#include "StrToInt.h"

#include <QDomElement>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {
const QString RECORDS_ELEMENT = QStringLiteral("Records");
const QString XML_DECLARATION = QStringLiteral(R"(version="1.0" encoding="UTF-8")");
const QString KEPT_SUFFIX = QStringLiteral(".bad");
constexpr int CHILD_INDENT = 2;

// One line on standard error: the one place the store speaks, so that whoever set the panel
// up can find out what became of a settings file that could not be read.
void Warn(const QString& Text) {
    std::fprintf(stderr, "%s\n", Text.toUtf8().constData());
    std::fflush(stderr);
}

std::filesystem::path FileSystemPath(const QString& Name) {
    return std::filesystem::path(QFile::encodeName(Name).toStdString());
}

void AppendTextChild(QDomDocument& document, QDomElement& parent, const QString& name,
                     const QString& text) {
    QDomElement child = document.createElement(name);
    child.appendChild(document.createTextNode(text));
    parent.appendChild(child);
}

// The text of the root's first child element named exactly Name; empty when there is none.
// An exact loop rather than firstChildElement, which takes an empty name as "any element".
QString ChildText(const QDomElement& root, const QString& name) {
    for (QDomElement child = root.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.tagName() == name)
            return child.text();
    }
    return {};
}

QString RecordText(const TConfigRecord& record) {
    switch (record.RType) {
    case TRECORD_BOOL:
        return record.ValBool ? QStringLiteral("1") : QStringLiteral("0");
    case TRECORD_INT:
        return IntToStr(record.ValInt);
    case TRECORD_STR:
        break;
    }
    return record.ValStr;
}
} // namespace

TProgConfig::TProgConfig() : FRecords(1) {}

void TProgConfig::AppendRecord(const QString& Name, TRecordType RType) {
    TConfigRecord& record = FRecords.emplace_back();
    record.Name = Name;
    record.RType = RType;
}

void TProgConfig::AddRecord(const QString& Name, bool Val) {
    AppendRecord(Name, TRECORD_BOOL);
    FRecords.back().ValBool = Val;
}

void TProgConfig::AddRecord(const QString& Name, std::int32_t Val) {
    AppendRecord(Name, TRECORD_INT);
    FRecords.back().ValInt = Val;
}

void TProgConfig::AddRecord(const QString& Name, const QString& Val) {
    AppendRecord(Name, TRECORD_STR);
    FRecords.back().ValStr = Val;
}

void TProgConfig::AddRecord(const QString& Name, const char* Val) {
    AddRecord(Name, QString::fromUtf8(Val));
}

void TProgConfig::ReadVal(std::int32_t Num, bool& Val) const {
    if (IsRecordNum(Num))
        Val = FRecords[Num].ValBool;
}

void TProgConfig::ReadVal(std::int32_t Num, std::int32_t& Val) const {
    if (IsRecordNum(Num))
        Val = FRecords[Num].ValInt;
}

void TProgConfig::ReadVal(std::int32_t Num, QString& Val) const {
    if (IsRecordNum(Num))
        Val = FRecords[Num].ValStr;
}

void TProgConfig::WriteVal(std::int32_t Num, bool Val) {
    if (IsRecordNum(Num))
        FRecords[Num].ValBool = Val;
}

void TProgConfig::WriteVal(std::int32_t Num, std::int32_t Val) {
    if (IsRecordNum(Num))
        FRecords[Num].ValInt = Val;
}

void TProgConfig::WriteVal(std::int32_t Num, const QString& Val) {
    if (IsRecordNum(Num))
        FRecords[Num].ValStr = Val;
}

void TProgConfig::WriteVal(std::int32_t Num, const char* Val) {
    WriteVal(Num, QString::fromUtf8(Val));
}

std::int32_t TProgConfig::RNum(const QString& Name) const {
    for (std::int32_t num = 1; num <= RecordsCount(); ++num) {
        if (FRecords[num].Name == Name)
            return num;
    }
    return 0;
}

void TProgConfig::OpenFile(const QString& Name) {
    if (!Name.isEmpty())
        FFileName = Name;
    FUnreadFile.clear();
    if (!QFileInfo::exists(FFileName))
        SaveFile(QString());
    FStatus = LoadDocument() ? 1 : -1;
    if (StoredRecordsCount() <= 0) {
        NoteUnreadFile();
        return;
    }
    for (std::int32_t num = 1; num <= RecordsCount(); ++num)
        ReadRecord(FRecords[num]);
    FStatus = 0;
}

void TProgConfig::SaveFile(const QString& Name) {
    BuildDocument();
    if (!Name.isEmpty())
        FFileName = Name;
    if (FUnreadFile.isEmpty() || FUnreadFile != FFileName) {
        FStatus = WriteDocument() ? 1 : -1;
        if (FStatus == -1)
            Warn(QStringLiteral("Nie udało się zapisać ustawień w \u201E%1\u201D.").arg(FFileName));
        return;
    }
    SaveOverUnreadFile();
}

void TProgConfig::NewFile(const QString& /*Name*/) {}

void TProgConfig::BuildDocument() {
    XMLConfig.clear();
    XMLConfig.appendChild(
        XMLConfig.createProcessingInstruction(QStringLiteral("xml"), XML_DECLARATION));
    QDomElement root = XMLConfig.createElement(FConfigName);
    XMLConfig.appendChild(root);
    AppendTextChild(XMLConfig, root, RECORDS_ELEMENT, IntToStr(RecordsCount()));
    for (std::int32_t num = 1; num <= RecordsCount(); ++num) {
        TConfigRecord& record = FRecords[num];
        record.ValStr = RecordText(record);
        AppendTextChild(XMLConfig, root, record.Name, record.ValStr);
    }
}

// A file that exists but gave no record (it could not be read, or it holds no positive
// "Records") is one the next save would overwrite: it is noted, to be kept aside first.
void TProgConfig::NoteUnreadFile() {
    if (!QFileInfo::exists(FFileName))
        return; // nothing there to lose: it was missing and could not be created
    if (FStatus == 1 && RecordsCount() <= 0)
        return; // a store without records reads none from any file
    if (FLoadFault.isEmpty())
        FLoadFault = QStringLiteral("brak dodatniej liczby rekordów w elemencie Records");
    FUnreadFile = FFileName;
    Warn(QStringLiteral("Nie można odczytać pliku ustawień \u201E%1\u201D (%2). Obowiązują "
                        "ustawienia domyślne; przed zapisem plik zostanie przeniesiony do "
                        "\u201E%3\u201D.")
             .arg(FFileName, FLoadFault, FFileName + KEPT_SUFFIX));
}

// The unread file becomes FileName.bad (an older one is replaced in the same step) before the
// new document takes its name. When it cannot be moved, nothing is written over it.
void TProgConfig::SaveOverUnreadFile() {
    const QString kept = FFileName + KEPT_SUFFIX;
    std::error_code error;
    std::filesystem::rename(FileSystemPath(FFileName), FileSystemPath(kept), error);
    if (error) {
        FStatus = -1;
        Warn(QStringLiteral("Nie można przenieść pliku ustawień \u201E%1\u201D do \u201E%2\u201D; "
                            "plik zostaje nietknięty, a ustawienia nie zostały zapisane.")
                 .arg(FFileName, kept));
        return;
    }
    FUnreadFile.clear();
    FStatus = WriteDocument() ? 1 : -1;
    const QString outcome = FStatus == 1 ? QStringLiteral("ustawienia zapisano w")
                                         : QStringLiteral("nie udało się zapisać ustawień w");
    Warn(QStringLiteral("Plik ustawień, którego nie można było odczytać, zachowano jako "
                        "\u201E%1\u201D; %2 \u201E%3\u201D.")
             .arg(kept, outcome, FFileName));
}

// The new document goes beside the old file and replaces it in one step, so a failed
// write leaves the previous file whole. Where nothing can be created beside it (a
// read-only folder holding a writable file) it is written in place instead. Unbuffered,
// because commit() would put a file in place even when flushing a buffered remainder
// failed (a full disk).
bool TProgConfig::WriteDocument() const {
    QSaveFile file(FFileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = XMLConfig.toByteArray(CHILD_INDENT);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

// Only a small, shallow, well-formed file reaches the document model; FLoadFault says why
// any other was not loaded.
bool TProgConfig::LoadDocument() {
    XMLConfig.clear();
    const TSettingsBytes file = ReadSettingsBytes(FFileName);
    FLoadFault = file.Fault;
    if (FLoadFault.isEmpty())
        FLoadFault = StructureFault(file.Bytes);
    if (!FLoadFault.isEmpty())
        return false;
    int line = 0;
    int column = 0;
    if (XMLConfig.setContent(file.Bytes, nullptr, &line, &column))
        return true;
    XMLConfig.clear();
    FLoadFault = QStringLiteral("niepoprawny XML w wierszu %1, kolumnie %2").arg(line).arg(column);
    return false;
}

// The file's "Records" count; 0 when there is no document, no such element or no integer.
std::int32_t TProgConfig::StoredRecordsCount() const {
    try {
        return StrToInt(ChildText(XMLConfig.documentElement(), RECORDS_ELEMENT));
    } catch (const EConvertError&) {
        return 0;
    }
}

// Booleans are false only for exactly "0"; an integer whose text does not convert keeps its
// value; a string takes the text as it is.
void TProgConfig::ReadRecord(TConfigRecord& Record) const {
    Record.ValStr = ChildText(XMLConfig.documentElement(), Record.Name);
    switch (Record.RType) {
    case TRECORD_BOOL:
        Record.ValBool = Record.ValStr != QLatin1String("0");
        break;
    case TRECORD_INT:
        try {
            Record.ValInt = StrToInt(Record.ValStr);
        } catch (const EConvertError&) {
            // not an integer: the value stays as it was
        }
        break;
    case TRECORD_STR:
        break;
    }
}
