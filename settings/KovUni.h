#pragma once
#include <QDomDocument>
#include <QString>

#include <cstdint>
#include <vector>

enum TRecordType : std::uint8_t { TRECORD_BOOL, TRECORD_INT, TRECORD_STR };

// One named setting. Its three value fields are independent storage; only the one matching
// RType reaches the file. ValStr of a boolean or integer record holds its text as last read
// from the file or written to it.
struct TConfigRecord {
    QString Name;
    TRecordType RType = TRECORD_STR;
    bool ValBool = false;
    std::int32_t ValInt = 0;
    QString ValStr;
};

// The settings store: an ordered list of named, typed records persisted as one XML file.
// The owner sets ConfigName, declares every record with AddRecord, sets FileName, calls
// OpenFile, and later WriteVal and SaveFile. Records are numbered 1 up in declaration order;
// record 0 is a placeholder that never reaches the file. Nothing is thrown: file failures
// show in Status (0 records read, 1 saved or loaded without records, -1 failed), and a file
// that could not be read is named, with what became of it, on standard error.
class TProgConfig {
public:
    TProgConfig();
    virtual ~TProgConfig() = default;
    TProgConfig(const TProgConfig&) = delete;
    TProgConfig& operator=(const TProgConfig&) = delete;

    void AddRecord(const QString& Name, bool Val);
    void AddRecord(const QString& Name, std::int32_t Val);
    void AddRecord(const QString& Name, const QString& Val);
    // A string literal is text, never the pointer-to-bool conversion.
    void AddRecord(const QString& Name, const char* Val);
    template <typename T> void AddRecord(const QString& Name, T* Val) = delete;

    // Numbers outside 0 to RecordsCount leave Val and the records untouched.
    void ReadVal(std::int32_t Num, bool& Val) const;
    void ReadVal(std::int32_t Num, std::int32_t& Val) const;
    void ReadVal(std::int32_t Num, QString& Val) const;
    void WriteVal(std::int32_t Num, bool Val);
    void WriteVal(std::int32_t Num, std::int32_t Val);
    void WriteVal(std::int32_t Num, const QString& Val);
    void WriteVal(std::int32_t Num, const char* Val);
    template <typename T> void WriteVal(std::int32_t Num, T* Val) = delete;

    // The number of the first record named exactly Name (case-sensitive), 0 when none is.
    std::int32_t RNum(const QString& Name) const;

    // A non-empty Name first becomes FileName. OpenFile creates a missing file from the
    // current values, then reads every declared record by name. A file it takes no record from
    // (unreadable, not a regular file, over 64 KB, not well-formed, nested too deep, with a
    // document type, or without a positive "Records") is moved to FileName.bad by the first
    // SaveFile over it, replacing an older one; when it cannot be moved, that save writes
    // nothing. A save writes in place when the folder takes no new file.
    void OpenFile(const QString& Name);
    void SaveFile(const QString& Name);
    // A new file needs nothing of its own: OpenFile writes one when none exists.
    void NewFile(const QString& Name);

    QString FileName() const { return FFileName; }
    void SetFileName(const QString& Val) { FFileName = Val; }
    QString ConfigName() const { return FConfigName; }
    void SetConfigName(const QString& Val) { FConfigName = Val; }
    std::int32_t Status() const { return FStatus; }
    void SetStatus(std::int32_t Val) { FStatus = Val; }
    std::int32_t RecordsCount() const { return static_cast<std::int32_t>(FRecords.size()) - 1; }

private:
    bool IsRecordNum(std::int32_t Num) const { return Num >= 0 && Num <= RecordsCount(); }
    void AppendRecord(const QString& Name, TRecordType RType);
    void BuildDocument();
    void NoteUnreadFile();
    void SaveOverUnreadFile();
    bool WriteDocument() const;
    bool LoadDocument();
    std::int32_t StoredRecordsCount() const;
    void ReadRecord(TConfigRecord& Record) const;

    QString FFileName;
    std::vector<TConfigRecord> FRecords;
    QString FConfigName;
    std::int32_t FStatus = 0;
    QDomDocument XMLConfig;
    // Why the last OpenFile took no record, in Polish for the warning.
    QString FLoadFault;
    // The file the last OpenFile found but could not take records from; kept aside as
    // FileName.bad by the first save over it.
    QString FUnreadFile;
};
