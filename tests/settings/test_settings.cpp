#include "EnforcedPermissions.h"
#include "KovUni.h"
#include "PanelRecords.h"
#include "SettingsLocation.h"
#include "StderrCapture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <optional>
#include <string>

namespace {
// The file a first start writes: the panel's five records at their defaults.
const std::string DEFAULTS_FILE = R"(<?xml version="1.0" encoding="UTF-8"?>
<Kovalta_Config>
  <Records>5</Records>
  <ServerTCP-IP>192.168.0.222</ServerTCP-IP>
  <ServerTCP-Port>502</ServerTCP-Port>
  <ServerTCP-ConstIP>1</ServerTCP-ConstIP>
  <ServerTCP-AutoIP>0</ServerTCP-AutoIP>
  <ServerTCP-ConnectAuto>1</ServerTCP-ConnectAuto>
</Kovalta_Config>
)";

const PanelValues DEFAULTS;
const PanelValues CHANGED{QStringLiteral("10.0.0.7"), 1502, false, true, false};

std::string CanonicalFile(const PanelValues& v) {
    const auto flag = [](bool b) { return b ? "1" : "0"; };
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<Kovalta_Config>\n"
                          "  <Records>5</Records>\n"
                          "  <ServerTCP-IP>%1</ServerTCP-IP>\n"
                          "  <ServerTCP-Port>%2</ServerTCP-Port>\n"
                          "  <ServerTCP-ConstIP>%3</ServerTCP-ConstIP>\n"
                          "  <ServerTCP-AutoIP>%4</ServerTCP-AutoIP>\n"
                          "  <ServerTCP-ConnectAuto>%5</ServerTCP-ConnectAuto>\n"
                          "</Kovalta_Config>\n")
        .arg(v.ip)
        .arg(v.port)
        .arg(QLatin1String(flag(v.constIp)), QLatin1String(flag(v.autoIp)),
             QLatin1String(flag(v.connectAuto)))
        .toStdString();
}

// A settings file of the given records, root and "Records" text (null: no "Records" element).
QByteArray FileWith(const char* records, const QByteArray& elements,
                    const char* root = "Kovalta_Config") {
    QByteArray text = QByteArray("<") + root + ">\n";
    if (records)
        text += QByteArray("<Records>") + records + "</Records>\n";
    return text + elements + "</" + root + ">\n";
}

const QByteArray CHANGED_ELEMENTS = "<ServerTCP-IP>10.0.0.7</ServerTCP-IP>\n"
                                    "<ServerTCP-Port>1502</ServerTCP-Port>\n"
                                    "<ServerTCP-ConstIP>0</ServerTCP-ConstIP>\n"
                                    "<ServerTCP-AutoIP>1</ServerTCP-AutoIP>\n"
                                    "<ServerTCP-ConnectAuto>0</ServerTCP-ConnectAuto>\n";

// A well-formed file of CHANGED_ELEMENTS, padded with spaces inside the root to Size bytes.
QByteArray PaddedChangedFile(qsizetype Size) {
    const QByteArray end = "</Kovalta_Config>\n";
    QByteArray text = FileWith("5", CHANGED_ELEMENTS);
    text.chop(end.size());
    return text + QByteArray(Size - text.size() - end.size(), ' ') + end;
}

QByteArray Repeated(const QByteArray& Part, qsizetype Times) {
    return Part.repeated(Times);
}

class SettingsFile : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        DeclarePanelRecords(store);
        store.SetFileName(path);
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    static void Write(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(bytes), bytes.size());
    }

    // The file's bytes as a string, so that a mismatch prints as text.
    static std::string Read(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll().toStdString() : "<unreadable>";
    }

    // Opens a file of the given bytes in a fresh panel store.
    void OpenWith(const QByteArray& bytes) {
        Write(path, bytes);
        store.OpenFile(QString());
    }

    // Opens a file the store must refuse, and returns how long the opening took: the values stay,
    // the next save writes them whole, and the file is kept beside it as it was.
    qint64 ExpectRefusedAndKeptAside(const QByteArray& bytes, const char* what) {
        WritePanel(store, DEFAULTS);
        Write(path, bytes);
        QElapsedTimer clock;
        clock.start();
        store.OpenFile(QString());
        const qint64 opening = clock.elapsed();
        EXPECT_EQ(store.Status(), -1) << what;
        EXPECT_EQ(ReadPanel(store), DEFAULTS) << what;
        store.SaveFile(QString());
        EXPECT_EQ(store.Status(), 1) << what;
        EXPECT_EQ(Read(path), DEFAULTS_FILE) << what;
        EXPECT_EQ(Read(kept), bytes.toStdString()) << what;
        return opening;
    }

    QTemporaryDir dir;
    const QString path = Path(QStringLiteral("Kovalta_Config.xml"));
    // Where a file that could not be read is kept.
    const QString kept = Path(QStringLiteral("Kovalta_Config.xml.bad"));
    TProgConfig store;
};

// A store with nothing declared yet.
TEST(ProgConfig, StartsWithOnlyThePlaceholderRecord) {
    TProgConfig store;
    EXPECT_EQ(store.RecordsCount(), 0);
    EXPECT_EQ(store.Status(), 0);
    EXPECT_TRUE(store.ConfigName().isEmpty());
    QString text = QStringLiteral("unchanged");
    bool flag = true;
    std::int32_t number = 7;
    store.ReadVal(0, text);
    store.ReadVal(0, flag);
    store.ReadVal(0, number);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(flag);
    EXPECT_EQ(number, 0);
}

// A string literal or a char pointer must give a text record; any other pointer must not
// compile rather than silently become a boolean.
template <typename V>
concept AddRecordAccepts = requires(TProgConfig& store, V v) {
    store.AddRecord(QString(), v);
};
template <typename V>
concept WriteValAccepts = requires(TProgConfig& store, V v) {
    store.WriteVal(1, v);
};
static_assert(AddRecordAccepts<const char*> && WriteValAccepts<const char*>);
static_assert(!AddRecordAccepts<const char16_t*> && !WriteValAccepts<const char16_t*>);
static_assert(!AddRecordAccepts<int*> && !WriteValAccepts<const void*>);

TEST_F(SettingsFile, StringLiteralDeclaresATextRecord) {
    TProgConfig literal;
    literal.SetConfigName(QStringLiteral("Root"));
    literal.AddRecord(QStringLiteral("Mode"), "off");
    literal.AddRecord(QStringLiteral("Label"), "x");
    literal.WriteVal(2, "\xC5\x82\x61\xC5\xBA\x6E\x69\x61"); // UTF-8 of "łaźnia"
    literal.SaveFile(Path(QStringLiteral("literal.xml")));

    QString text;
    bool flag = true;
    literal.ReadVal(1, text);
    literal.ReadVal(1, flag);
    EXPECT_EQ(text, QStringLiteral("off"));
    EXPECT_FALSE(flag);
    EXPECT_EQ(
        Read(Path(QStringLiteral("literal.xml"))),
        std::string(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n  <Records>2</Records>\n"
            "  <Mode>off</Mode>\n  <Label>\xC5\x82\x61\xC5\xBA\x6E\x69\x61</Label>\n</Root>\n"));
}

TEST_F(SettingsFile, FirstStartWritesTheCanonicalDefaultsFileAndReadsItBack) {
    ASSERT_FALSE(QFile::exists(path));
    store.OpenFile(QString());
    EXPECT_EQ(Read(path), DEFAULTS_FILE);
    EXPECT_EQ(store.Status(), 0);
    EXPECT_EQ(ReadPanel(store), DEFAULTS);
}

TEST_F(SettingsFile, SaveWritesTheValuesOfEachKindCanonically) {
    const PanelValues negative{QString(), -2147483647 - 1, true, true, true};
    for (const PanelValues& v : {CHANGED, negative}) {
        WritePanel(store, v);
        store.SaveFile(QString());
        EXPECT_EQ(store.Status(), 1);
        EXPECT_EQ(Read(path), CanonicalFile(v));

        TProgConfig reread;
        DeclarePanelRecords(reread);
        reread.OpenFile(path);
        EXPECT_EQ(reread.Status(), 0);
        EXPECT_EQ(ReadPanel(reread), v);
    }
}

TEST_F(SettingsFile, BooleanIsFalseOnlyForExactlyZero) {
    const struct {
        const char* text;
        bool expected;
    } cases[] = {{"0", false}, {"1", true},  {"false", true}, {"", true},
                 {" 0", true}, {"0 ", true}, {"00", true},    {"no", true}};
    for (const auto& c : cases) {
        TProgConfig fresh;
        DeclarePanelRecords(fresh);
        fresh.SetFileName(path);
        Write(path, FileWith("5", QByteArray("<ServerTCP-ConstIP>") + c.text +
                                      "</ServerTCP-ConstIP><ServerTCP-AutoIP>" + c.text +
                                      "</ServerTCP-AutoIP>"));
        fresh.OpenFile(QString());
        const PanelValues v = ReadPanel(fresh);
        EXPECT_EQ(v.constIp, c.expected) << '"' << c.text << '"';
        EXPECT_EQ(v.autoIp, c.expected) << '"' << c.text << '"';
    }
}

TEST_F(SettingsFile, NoPositiveRecordsCountReadsNothingAndTheNextSaveWritesFive) {
    const char* notPositive[] = {nullptr, "", "0", "-1", "abc", "5 ", "$"};
    for (const char* records : notPositive) {
        const char* shown = records ? records : "(absent)";
        const QByteArray file = FileWith(records, CHANGED_ELEMENTS);
        OpenWith(file);
        EXPECT_EQ(store.Status(), 1) << shown;
        EXPECT_EQ(ReadPanel(store), DEFAULTS) << shown;
        store.SaveFile(QString());
        EXPECT_EQ(Read(path), DEFAULTS_FILE) << shown;
        // The address it held is not lost with it.
        EXPECT_EQ(Read(kept), file.toStdString()) << shown;
    }
}

TEST_F(SettingsFile, AnyPositiveRecordsCountReadsEveryDeclaredRecord) {
    const char* positive[] = {"3", "1", "99", " 7", "$A"};
    for (const char* records : positive) {
        WritePanel(store, DEFAULTS);
        OpenWith(FileWith(records, CHANGED_ELEMENTS));
        EXPECT_EQ(store.Status(), 0) << records;
        EXPECT_EQ(ReadPanel(store), CHANGED) << records;
    }
}

TEST_F(SettingsFile, RecordsAreFoundByNameWhateverTheFileLayout) {
    const struct {
        const char* what;
        QByteArray file;
    } cases[] = {
        {"reordered", FileWith("5", "<ServerTCP-ConnectAuto>0</ServerTCP-ConnectAuto>\n"
                                    "<ServerTCP-AutoIP>1</ServerTCP-AutoIP>\n"
                                    "<ServerTCP-Port>1502</ServerTCP-Port>\n"
                                    "<ServerTCP-ConstIP>0</ServerTCP-ConstIP>\n"
                                    "<ServerTCP-IP>10.0.0.7</ServerTCP-IP>\n")},
        {"extra elements",
         FileWith("5", "<Theme>dark</Theme>\n<ServerTCP-IPX>1.1.1.1</ServerTCP-IPX>\n" +
                           CHANGED_ELEMENTS + "<Window><Left>5</Left></Window>\n")},
        {"foreign root", FileWith("5", CHANGED_ELEMENTS, "OtherPanel")},
        {"declaration and one line",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Kovalta_Config><Records>5</Records>" +
             QByteArray(CHANGED_ELEMENTS).replace('\n', "") + "</Kovalta_Config>"},
        {"tabs and carriage returns", "<Kovalta_Config>\r\n\t<Records>5</Records>\r\n\t" +
                                          QByteArray(CHANGED_ELEMENTS).replace("\n", "\r\n\t \t") +
                                          "</Kovalta_Config>\r\n"},
        {"first of two alike",
         FileWith("5", CHANGED_ELEMENTS + "<ServerTCP-Port>9</ServerTCP-Port>\n")},
    };
    for (const auto& c : cases) {
        WritePanel(store, DEFAULTS);
        OpenWith(c.file);
        EXPECT_EQ(store.Status(), 0) << c.what;
        EXPECT_EQ(ReadPanel(store), CHANGED) << c.what;
        store.SaveFile(QString());
        EXPECT_EQ(Read(path), CanonicalFile(CHANGED)) << c.what;
    }
}

TEST_F(SettingsFile, AbsentElementsReadAsEmptyText) {
    WritePanel(store, CHANGED);
    OpenWith(FileWith("5", "<ServerTCP-Port>600</ServerTCP-Port>\n"));
    EXPECT_EQ(store.Status(), 0);
    const PanelValues expected{QString(), 600, true, true, true};
    EXPECT_EQ(ReadPanel(store), expected);
}

TEST_F(SettingsFile, IntegerTextThatDoesNotConvertKeepsTheValueItHad) {
    const struct {
        const char* text; // null: the element is absent
        std::int32_t expected;
    } cases[] = {{nullptr, 777}, {"", 777},     {"50x", 777}, {"2147483648", 777},
                 {" 502 ", 777}, {"$1F7", 503}, {"-1", -1},   {"  80", 80}};
    for (const auto& c : cases) {
        store.WriteVal(2, 777);
        const QByteArray port =
            c.text ? QByteArray("<ServerTCP-Port>") + c.text + "</ServerTCP-Port>\n" : QByteArray();
        OpenWith(FileWith("5", "<ServerTCP-IP>10.0.0.7</ServerTCP-IP>\n" + port));
        const char* shown = c.text ? c.text : "(absent)";
        EXPECT_EQ(store.Status(), 0) << shown;
        std::int32_t value = 0;
        store.ReadVal(2, value);
        EXPECT_EQ(value, c.expected) << shown;
        QString ip;
        store.ReadVal(1, ip);
        EXPECT_EQ(ip, QStringLiteral("10.0.0.7")) << shown;
    }
}

// No element has an empty name, so a record declared without one reads as absent.
TEST_F(SettingsFile, RecordWithAnEmptyNameMatchesNoElement) {
    TProgConfig unnamed;
    unnamed.AddRecord(QString(), "default");
    Write(path, FileWith("1", "<Other>text</Other>\n"));
    unnamed.OpenFile(path);
    EXPECT_EQ(unnamed.Status(), 0);
    QString text = QStringLiteral("unchanged");
    unnamed.ReadVal(1, text);
    EXPECT_TRUE(text.isEmpty()) << text.toStdString();
}

TEST(ProgConfig, RNumFindsTheFirstRecordOfExactlyThatName) {
    TProgConfig store;
    DeclarePanelRecords(store);
    store.AddRecord(QStringLiteral("ServerTCP-Port"), 1);
    const struct {
        const char* name;
        std::int32_t expected;
    } cases[] = {{"ServerTCP-IP", 1},
                 {"ServerTCP-Port", 2},
                 {"ServerTCP-ConnectAuto", 5},
                 {"servertcp-port", 0},
                 {"SERVERTCP-PORT", 0},
                 {"ServerTCP-Port ", 0},
                 {"ServerTCP", 0},
                 {"", 0},
                 {"Records", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(store.RNum(QString::fromUtf8(c.name)), c.expected) << '"' << c.name << '"';
}

TEST_F(SettingsFile, MalformedFileFailsKeepsEveryValueAndTheNextSaveWritesAWholeFile) {
    const struct {
        const char* what;
        QByteArray file;
    } cases[] = {
        {"empty", ""},
        {"not XML", "Records=5\nServerTCP-IP=10.0.0.7\n"},
        {"unclosed root",
         "<Kovalta_Config><Records>5</Records><ServerTCP-IP>10.0.0.7</ServerTCP-IP>"},
        {"crossed tags", "<Kovalta_Config><Records>5</ServerTCP-IP></Records></Kovalta_Config>"},
        {"two roots", FileWith("5", CHANGED_ELEMENTS) + "<Second/>"},
        {"binary", QByteArray("\x00\xFF\xFE<\x01", 5)},
    };
    for (const auto& c : cases)
        ExpectRefusedAndKeptAside(c.file, c.what);
}

// Root ignores permission bits, so each target here fails for every user: the path through
// a regular file, a directory that does not exist, and a path naming a directory.
TEST_F(SettingsFile, UnwritableTargetFailsAndKeepsTheValues) {
    Write(Path(QStringLiteral("plain")), "not a directory");
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("taken/Kovalta_Config.xml")));
    const QString inside = Path(QStringLiteral("taken/Kovalta_Config.xml/keep.txt"));
    Write(inside, "kept");
    const QString targets[] = {
        Path(QStringLiteral("plain/Kovalta_Config.xml")),
        Path(QStringLiteral("missing/Kovalta_Config.xml")),
        Path(QStringLiteral("taken/Kovalta_Config.xml")),
    };
    for (const QString& target : targets) {
        TProgConfig saving;
        DeclarePanelRecords(saving);
        WritePanel(saving, CHANGED);
        saving.SaveFile(target);
        EXPECT_EQ(saving.Status(), -1) << target.toStdString();
        EXPECT_EQ(saving.FileName(), target);
        EXPECT_EQ(ReadPanel(saving), CHANGED) << target.toStdString();

        TProgConfig opening;
        DeclarePanelRecords(opening);
        opening.OpenFile(target);
        EXPECT_EQ(opening.Status(), -1) << target.toStdString();
        EXPECT_EQ(ReadPanel(opening), DEFAULTS) << target.toStdString();
    }
    EXPECT_EQ(Read(inside), "kept");
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("missing"))));
}

// A file size limit makes every write past 64 bytes fail, for root as well: a full disk in
// small. The save must fail without touching the file it would have replaced.
TEST_F(SettingsFile, FailedWriteLeavesThePreviousFileWhole) {
    WritePanel(store, CHANGED);
    store.SaveFile(QString());
    ASSERT_EQ(store.Status(), 1);
    WritePanel(store, DEFAULTS);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    store.SaveFile(QString());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(store.Status(), -1);
    EXPECT_EQ(Read(path), CanonicalFile(CHANGED));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Kovalta_Config.xml")});
    EXPECT_EQ(ReadPanel(store), DEFAULTS);
}

TEST_F(SettingsFile, MarkupCharactersInTextSurviveARoundTrip) {
    const QString text =
        QStringLiteral("a<b&c>d\"e'f ]]> &amp; \u0105\u0119\u0142\u0144\u00f3\u015b\u017a\u017c");
    store.WriteVal(1, text);
    store.SaveFile(QString());
    const std::string file = Read(path);
    EXPECT_NE(file.find("a&lt;b&amp;c"), std::string::npos) << file;
    EXPECT_NE(file.find("&amp;amp;"), std::string::npos) << file;

    TProgConfig reread;
    DeclarePanelRecords(reread);
    reread.OpenFile(path);
    EXPECT_EQ(reread.Status(), 0);
    QString read;
    reread.ReadVal(1, read);
    EXPECT_EQ(read, text);
}

TEST_F(SettingsFile, OnlyTheFieldOfTheRecordsKindReachesTheFile) {
    store.WriteVal(1, true);
    store.WriteVal(1, 9);
    store.WriteVal(2, QStringLiteral("not the port"));
    store.WriteVal(2, false);
    store.WriteVal(3, 0);
    store.WriteVal(3, QStringLiteral("0"));
    store.WriteVal(0, QStringLiteral("placeholder"));
    store.SaveFile(QString());
    EXPECT_EQ(Read(path), DEFAULTS_FILE);

    bool flag = false;
    std::int32_t number = 0;
    store.ReadVal(1, flag);
    store.ReadVal(1, number);
    EXPECT_TRUE(flag);
    EXPECT_EQ(number, 9);
    QString text;
    store.ReadVal(2, text);
    EXPECT_EQ(text, QStringLiteral("502")); // the save rewrites the text form of the integer
}

TEST_F(SettingsFile, NumbersOutsideTheRecordsDoNothing) {
    for (const std::int32_t num : {-1, 6, 1000}) {
        store.WriteVal(num, QStringLiteral("x"));
        store.WriteVal(num, 1);
        store.WriteVal(num, true);
        QString text = QStringLiteral("kept");
        std::int32_t number = 42;
        bool flag = true;
        store.ReadVal(num, text);
        store.ReadVal(num, number);
        store.ReadVal(num, flag);
        EXPECT_EQ(text, QStringLiteral("kept")) << num;
        EXPECT_EQ(number, 42) << num;
        EXPECT_TRUE(flag) << num;
    }
    EXPECT_EQ(ReadPanel(store), DEFAULTS);
    EXPECT_EQ(store.RecordsCount(), 5);
}

TEST_F(SettingsFile, NonEmptyNameBecomesTheFileName) {
    const QString other = Path(QStringLiteral("other.xml"));
    store.OpenFile(other);
    EXPECT_EQ(store.FileName(), other);
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_FALSE(QFile::exists(path));

    WritePanel(store, CHANGED);
    store.SaveFile(QString());
    EXPECT_EQ(store.FileName(), other);
    EXPECT_EQ(Read(other), CanonicalFile(CHANGED));

    store.SaveFile(path);
    EXPECT_EQ(store.FileName(), path);
    EXPECT_EQ(Read(path), CanonicalFile(CHANGED));
}
TEST_F(SettingsFile, FileOfAtMost64KBIsReadAndALargerOneIsKeptAside) {
    const QByteArray limit = PaddedChangedFile(65536);
    OpenWith(limit);
    EXPECT_EQ(store.Status(), 0);
    EXPECT_EQ(ReadPanel(store), CHANGED);

    const struct {
        const char* what;
        QByteArray file;
    } tooLarge[] = {
        {"one byte over", PaddedChangedFile(65537)},
        {"65 KB", PaddedChangedFile(65 * 1024)},
    };
    for (const auto& c : tooLarge)
        ExpectRefusedAndKeptAside(c.file, c.what);
}

// A gigabyte that is mostly a hole on disk: were it read whole, the store would hold a
// gigabyte of memory before the document model refused it.
TEST_F(SettingsFile, GigabyteFileIsRefusedWithoutBeingRead) {
    constexpr qint64 GIGABYTE = qint64{1} << 30;
    Write(path, FileWith("5", CHANGED_ELEMENTS));
    ASSERT_TRUE(QFile::resize(path, GIGABYTE));
    QElapsedTimer clock;
    clock.start();
    store.OpenFile(QString());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(store.Status(), -1);
    EXPECT_EQ(ReadPanel(store), DEFAULTS);
    store.SaveFile(QString());
    EXPECT_EQ(Read(path), DEFAULTS_FILE);
    EXPECT_EQ(QFileInfo(kept).size(), GIGABYTE);
}

// Each of these takes the document model 0.5 to 5 s (an optimised Qt, an idle machine); a
// store that lets them through makes the panel wait that long before its window appears.
// Refused before the model sees them, each costs milliseconds: one second leaves room for a
// loaded machine.
TEST_F(SettingsFile, DeepOrEntityLadenFileIsRefusedInBoundedTimeAndKeptAside) {
    const QByteArray entity = QByteArray(4000, 'x');
    const QByteArray entityFile = "<!DOCTYPE Kovalta_Config [<!ENTITY a \"" + entity +
                                  "\">]>\n<Kovalta_Config>\n<Records>5</Records>\n" +
                                  CHANGED_ELEMENTS + "<Note>" + Repeated("&a;", 20000) +
                                  "</Note>\n</Kovalta_Config>\n";
    const struct {
        const char* what;
        QByteArray file;
    } cases[] = {
        {"21845 levels, never closed", Repeated("<a>", 21845)},
        {"9362 levels, closed", Repeated("<a>", 9362) + Repeated("</a>", 9362)},
        {"a 4000-character entity used 20000 times", entityFile},
        {"a document type alone", "<!DOCTYPE Kovalta_Config>\n" + FileWith("5", CHANGED_ELEMENTS)},
    };
    for (const auto& c : cases) {
        ASSERT_LE(c.file.size(), 65536) << c.what;
        EXPECT_LT(ExpectRefusedAndKeptAside(c.file, c.what), 1000) << c.what;
    }
}

// Lines the store writes to standard error, with the paths it names.
std::string UnreadWarning(const QString& File, const char* Fault) {
    return QStringLiteral("Nie można odczytać pliku ustawień \u201E%1\u201D (%2). Obowiązują "
                          "ustawienia domyślne; przed zapisem plik zostanie przeniesiony do "
                          "\u201E%1.bad\u201D.\n")
        .arg(File, QString::fromUtf8(Fault))
        .toStdString();
}

std::string KeptWarning(const QString& File) {
    return QStringLiteral("Plik ustawień, którego nie można było odczytać, zachowano jako "
                          "\u201E%1.bad\u201D; ustawienia zapisano w \u201E%1\u201D.\n")
        .arg(File)
        .toStdString();
}

// Opening a named pipe for reading waits for a writer that never comes: the panel would hang
// before its window appears.
TEST_F(SettingsFile, NamedPipeIsNotWaitedOn) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    StderrCapture captured;
    store.OpenFile(QString());
    EXPECT_EQ(store.Status(), -1);
    EXPECT_EQ(ReadPanel(store), DEFAULTS);
    EXPECT_EQ(captured.Text(), UnreadWarning(path, "to nie jest zwykły plik"));
}

TEST_F(SettingsFile, ElementsNestedUpToSixteenLevelsAreRead) {
    // The root is the first level; the note adds the rest.
    const auto nestedTo = [](int Levels) {
        const int inner = Levels - 1;
        return FileWith("5", CHANGED_ELEMENTS + Repeated("<Note>", inner) + "deep" +
                                 Repeated("</Note>", inner) + "\n");
    };
    OpenWith(nestedTo(16));
    EXPECT_EQ(store.Status(), 0);
    EXPECT_EQ(ReadPanel(store), CHANGED);

    WritePanel(store, DEFAULTS);
    OpenWith(nestedTo(17));
    EXPECT_EQ(store.Status(), -1);
    EXPECT_EQ(ReadPanel(store), DEFAULTS);
}

// The folder's permission bits are put back before the temporary folder is removed.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& Folder) : FFolder(Folder) {
        QFile::setPermissions(FFolder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() {
        QFile::setPermissions(FFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString FFolder;
};

const PanelValues OTHER{QStringLiteral("172.16.5.9"), 5020, true, false, true};

// The temporary file a replacing save needs cannot be created in the folder; the file itself
// is writable, so the save lands in it.
TEST_F(SettingsFile, ReadOnlyFolderWithAWritableFileTakesTheSaveInPlace) {
    WritePanel(store, CHANGED);
    store.SaveFile(QString());
    ReadOnlyFolder folder(dir.path());
    EnforcedPermissions asUser;
    if (!EnforcedPermissions::HoldInFolder(QFile::encodeName(dir.path()).constData()))
        GTEST_SKIP() << "a read-only folder cannot be made to hold for this process";

    TProgConfig panel;
    DeclarePanelRecords(panel);
    panel.OpenFile(path);
    EXPECT_EQ(panel.Status(), 0);
    EXPECT_EQ(ReadPanel(panel), CHANGED);
    WritePanel(panel, OTHER);
    panel.SaveFile(QString());
    EXPECT_EQ(panel.Status(), 1);
    EXPECT_EQ(Read(path), CanonicalFile(OTHER));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Kovalta_Config.xml")});
}

TEST_F(SettingsFile, UnreadableFileIsKeptAsBadAndTheDefaultsAreSavedBesideIt) {
    const std::string users = CanonicalFile(CHANGED);
    Write(path, QByteArray::fromStdString(users));
    Write(kept, "an older kept file");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::Permissions()));
    {
        EnforcedPermissions asUser;
        if (QFile(path).open(QIODevice::ReadOnly))
            GTEST_SKIP() << "an unreadable file cannot be made to hold for this process";

        StderrCapture opening;
        store.OpenFile(QString());
        EXPECT_EQ(store.Status(), -1);
        EXPECT_EQ(ReadPanel(store), DEFAULTS);
        EXPECT_EQ(opening.Text(), UnreadWarning(path, "brak dostępu do odczytu"));

        StderrCapture saving;
        store.SaveFile(QString());
        EXPECT_EQ(store.Status(), 1);
        EXPECT_EQ(saving.Text(), KeptWarning(path));
    }
    EXPECT_EQ(Read(path), DEFAULTS_FILE);
    ASSERT_TRUE(QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(Read(kept), users);
}

// Moving the file aside needs the folder; without it the file stays as it is and nothing is
// written over it.
TEST_F(SettingsFile, UnreadFileInAReadOnlyFolderIsNeitherMovedNorOverwritten) {
    const QByteArray malformed = "<Kovalta_Config><Records>5</Records><ServerTCP-IP>10.0.0.7";
    Write(path, malformed);
    ReadOnlyFolder folder(dir.path());
    EnforcedPermissions asUser;
    if (!EnforcedPermissions::HoldInFolder(QFile::encodeName(dir.path()).constData()))
        GTEST_SKIP() << "a read-only folder cannot be made to hold for this process";

    store.OpenFile(QString());
    EXPECT_EQ(store.Status(), -1);
    StderrCapture saving;
    store.SaveFile(QString());
    EXPECT_EQ(store.Status(), -1);
    EXPECT_EQ(saving.Text(),
              QStringLiteral("Nie można przenieść pliku ustawień \u201E%1\u201D do "
                             "\u201E%1.bad\u201D; plik zostaje nietknięty, a ustawienia nie "
                             "zostały zapisane.\n")
                  .arg(path)
                  .toStdString());
    EXPECT_EQ(Read(path), malformed.toStdString());
    EXPECT_FALSE(QFile::exists(kept));
}

TEST_F(SettingsFile, OnlyTheFirstSaveOverAnUnreadFileMovesIt) {
    const QByteArray malformed = "<Kovalta_Config><Records>5</Records>";
    OpenWith(malformed);
    ASSERT_EQ(store.Status(), -1);

    const QString elsewhere = Path(QStringLiteral("elsewhere.xml"));
    store.SaveFile(elsewhere);
    EXPECT_EQ(Read(elsewhere), DEFAULTS_FILE);
    EXPECT_EQ(Read(path), malformed.toStdString());
    EXPECT_FALSE(QFile::exists(kept));

    store.SaveFile(path);
    EXPECT_EQ(Read(path), DEFAULTS_FILE);
    EXPECT_EQ(Read(kept), malformed.toStdString());

    WritePanel(store, CHANGED);
    StderrCapture saving;
    store.SaveFile(QString());
    EXPECT_EQ(Read(path), CanonicalFile(CHANGED));
    EXPECT_EQ(Read(kept), malformed.toStdString());
    EXPECT_EQ(saving.Text(), "");
}

// A store without records reads none from any file, its own included: nothing to keep aside.
TEST_F(SettingsFile, StoreWithoutRecordsKeepsNothingAside) {
    TProgConfig empty;
    empty.SetConfigName(PANEL_CONFIG_NAME);
    StderrCapture captured;
    empty.OpenFile(path);
    EXPECT_EQ(empty.Status(), 1);
    empty.SaveFile(QString());
    EXPECT_EQ(empty.Status(), 1);
    EXPECT_FALSE(QFile::exists(kept));
    EXPECT_EQ(captured.Text(), "");
}
std::string FileText(const QString& Path) {
    QFile in(Path);
    return in.open(QIODevice::ReadOnly) ? in.readAll().toStdString() : "<unreadable>";
}

// Where the panel keeps its settings, for a program folder the user can or cannot write, and
// for a program installed (its folder the `bin` of an installation whose desktop entry lies in
// `share/applications` beside it) or a copy: the user's configuration folder is "Kovalta" in
// $XDG_CONFIG_HOME. An installed program writes nothing beside itself even where it could, as
// for root.
TEST(SettingsLocation, BesideACopyWhereItCanBeWrittenElseInTheUsersFolder) {
    enum TFile { NONE, GOOD, GOOD_READ_ONLY, BROKEN };
    const struct {
        const char* name;
        bool installed;
        bool folderWritable;
        TFile file;
        bool beside; // the settings stay beside the program
        bool seeded; // the user's file starts as a copy of the program's
    } cases[] = {
        {"writable folder, no file", false, true, NONE, true, false},
        {"writable folder, broken file", false, true, BROKEN, true, false},
        {"installed, writable folder, no file", true, true, NONE, false, false},
        {"installed, writable folder, writable file", true, true, GOOD, false, true},
        {"installed, writable folder, broken file", true, true, BROKEN, false, false},
        // A folder of mode 0555 holds only where the permission bits can be enforced.
        {"read-only folder, writable file", false, false, GOOD, true, false},
        {"read-only folder, read-only file", false, false, GOOD_READ_ONLY, false, true},
        {"read-only folder, broken file", false, false, BROKEN, false, false},
        {"read-only folder, no file", false, false, NONE, false, false},
        {"installed, read-only folder, writable file", true, false, GOOD, false, true},
    };
    const QByteArray good =
        QByteArray::fromStdString(DEFAULTS_FILE).replace("192.168.0.222", "10.0.0.7");
    const QByteArray broken = "<Kovalta_Config><Records>5</Records><ServerTCP-IP>10.0.0.7";
    for (const auto& c : cases) {
        QTemporaryDir prefix;
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QString program = prefix.path() + QStringLiteral("/bin");
        ASSERT_TRUE(QDir().mkpath(program));
        if (c.installed) {
            const QString entry = prefix.path() + QStringLiteral("/share/applications");
            ASSERT_TRUE(QDir().mkpath(entry));
            QFile file(entry + QStringLiteral("/kovalta.desktop"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("[Desktop Entry]\n");
        }
        const QString beside = program + QStringLiteral("/Kovalta_Config.xml");
        const QString users = config.path() + QStringLiteral("/Kovalta/Kovalta_Config.xml");
        const QByteArray written = c.file == BROKEN ? broken : good;
        if (c.file != NONE) {
            QFile file(beside);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(written);
        }
        if (c.file == GOOD_READ_ONLY)
            QFile::setPermissions(beside, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        std::optional<ReadOnlyFolder> locked;
        if (!c.folderWritable)
            locked.emplace(program);
        EnforcedPermissions asUser;
        if (!c.folderWritable &&
            !EnforcedPermissions::HoldInFolder(QFile::encodeName(program).constData()))
            GTEST_SKIP() << "a read-only folder cannot be made to hold for this process";

        const QString folder = SettingsFolder(program);
        EXPECT_EQ(folder, c.beside ? program : config.path() + QStringLiteral("/Kovalta"))
            << c.name;
        EXPECT_EQ(QFileInfo::exists(users), c.seeded) << c.name;
        if (c.seeded) {
            EXPECT_EQ(FileText(users), good.toStdString()) << c.name;
        }
        if (!c.beside) {
            const QStringList made = QDir(program).entryList(QDir::Files | QDir::Hidden);
            EXPECT_EQ(made.join(QLatin1Char(' ')).toStdString(),
                      c.file == NONE ? "" : "Kovalta_Config.xml")
                << c.name << ": nothing made beside the program";
            if (c.file != NONE) {
                EXPECT_EQ(FileText(beside), written.toStdString()) << c.name; // left as it was
            }
        }
    }
    qunsetenv("XDG_CONFIG_HOME");
}

// A file the user already has is never replaced by the program's.
TEST(SettingsLocation, TheUsersOwnFileIsKept) {
    QTemporaryDir program;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString beside = program.path() + QStringLiteral("/Kovalta_Config.xml");
    const QString users = config.path() + QStringLiteral("/Kovalta/Kovalta_Config.xml");
    QFile programFile(beside);
    ASSERT_TRUE(programFile.open(QIODevice::WriteOnly));
    programFile.write(QByteArray::fromStdString(DEFAULTS_FILE));
    programFile.close();
    QFile::setPermissions(beside, QFile::ReadOwner | QFile::ReadOther);
    ASSERT_TRUE(QDir().mkpath(config.path() + QStringLiteral("/Kovalta")));
    QFile userFile(users);
    ASSERT_TRUE(userFile.open(QIODevice::WriteOnly));
    userFile.write("the user's own");
    userFile.close();
    ReadOnlyFolder locked(program.path());
    EnforcedPermissions asUser;
    if (!EnforcedPermissions::HoldInFolder(QFile::encodeName(program.path()).constData()))
        GTEST_SKIP() << "a read-only folder cannot be made to hold for this process";
    EXPECT_EQ(SettingsFolder(program.path()), config.path() + QStringLiteral("/Kovalta"));
    EXPECT_EQ(FileText(users), "the user's own");
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
