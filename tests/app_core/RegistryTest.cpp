#include "SettingsFile.h"
#include "cRegistry.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <string_view>

#include <gtest/gtest.h>

#include "TestPrinting.h"

namespace {

using namespace std::literals;

#if defined(_WIN32)
// On Windows the store is the registry, HKEY_CURRENT_USER\Software\<org>\<app>.
// A name of the tests' own, so that even outside a private Wine prefix the
// program's real settings stay untouched.
const QString kApp = QStringLiteral("Marsk\\TarveloV1 tests");
const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Marsk\\TarveloV1 tests");
const char* const kNoFile = "the registry has no file that could be damaged or blocked";

// Every test starts and ends with the tests' key removed.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { removeKey(); }
    void TearDown() override { removeKey(); }

    static void removeKey() {
        QSettings key(kKey, QSettings::NativeFormat);
        key.remove(QString());
        key.sync();
        QSettings org(QStringLiteral("HKEY_CURRENT_USER\\Software\\Marsk"),
                      QSettings::NativeFormat);
        org.remove(QStringLiteral("TarveloV1 tests"));
    }

    static bool storeExists() {
        const QSettings org(QStringLiteral("HKEY_CURRENT_USER\\Software\\Marsk"),
                            QSettings::NativeFormat);
        return org.childGroups().contains(QStringLiteral("TarveloV1 tests"));
    }

    cRegistry reg_;
};
#else
const QString kApp = QStringLiteral("Marsk\\TarveloV1");

// Every test gets an empty configuration directory of its own.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    }

    QString storeFile() const { return dir_.path() + QStringLiteral("/Marsk/TarveloV1.conf"); }
    bool storeExists() const { return QFile::exists(storeFile()); }

    QByteArray storeContents() const {
        QFile f(storeFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void writeStore(const QByteArray& bytes) const {
        ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/Marsk")));
        QFile f(storeFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir_;
    cRegistry reg_;
};
#endif

TEST_F(Registry, missingValuesReadAsTheDefault) {
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"2"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Left", ""), u""_q);
    EXPECT_FALSE(storeExists()); // reading creates nothing
}

TEST_F(Registry, valuesReadBackAsWritten) {
    const QString dir = QStringLiteral("/home/jürgen/Berichte, alt/");
    reg_.SaveSetting(kApp, "General", "Language", "1");
    reg_.SaveSetting(kApp, "General", "InitDir", dir);
    reg_.SaveSetting(kApp, "frmMain", "Left", "1890");
    reg_.SaveSetting(kApp, "frmMain", "Top", "1234,5");
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"1"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "InitDir", "x"), dir);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Left", ""), u"1890"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Top", ""), u"1234,5"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Language", "2"), u"2"_q); // sections are apart
    reg_.SaveSetting(kApp, "General", "Language", "2");
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "1"), u"2"_q);
}

TEST_F(Registry, anEmptyValueReadsAsMissing) {
    reg_.SaveSetting(kApp, "General", "Language", "");
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"2"_q);
}

#if defined(_WIN32)
TEST_F(Registry, storesSectionsAsSubkeysWithTextValues) {
    reg_.SaveSetting(kApp, "General", "Language", "1");
    reg_.SaveSetting(kApp, "frmMain", "Left", "1890");
    const QSettings general(kKey + QStringLiteral("\\General"), QSettings::NativeFormat);
    const QSettings main(kKey + QStringLiteral("\\frmMain"), QSettings::NativeFormat);
    EXPECT_EQ(general.value(QStringLiteral("Language")).typeId(), QMetaType::QString);
    EXPECT_EQ(general.value(QStringLiteral("Language")).toString(), u"1"_q);
    EXPECT_EQ(main.value(QStringLiteral("Left")).toString(), u"1890"_q);
}

TEST_F(Registry, numbersReadAsTheirDecimalTextAndOtherTypesAsMissing) {
    {
        QSettings key(kKey, QSettings::NativeFormat);
        key.setValue(QStringLiteral("frmMain/Left"), 1890);                    // REG_DWORD
        key.setValue(QStringLiteral("frmMain/Top"), qlonglong(1) << 40);       // REG_QWORD
        key.setValue(QStringLiteral("General/InitDir"), QByteArray("c:\\\0")); // REG_BINARY
        key.setValue(QStringLiteral("General/Language"),
                     QStringList{QStringLiteral("1"), QStringLiteral("2")}); // REG_MULTI_SZ
    }
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Left", ""), u"1890"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Top", ""), u"1099511627776"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "InitDir", "c:\\"), u"c:\\"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"2"_q);
}

TEST_F(Registry, aDamagedOrBlockedStoreFileIsLinuxOnly) {
    GTEST_SKIP() << kNoFile;
}
#else
TEST_F(Registry, storesSectionsAsGroupsOfTheUsersConfigurationFile) {
    reg_.SaveSetting(kApp, "General", "Language", "1");
    reg_.SaveSetting(kApp, "frmMain", "Left", "1890");
    const QByteArray file = storeContents();
    EXPECT_TRUE(file.contains("[%General]\nLanguage=1\n")) << file.constData();
    EXPECT_TRUE(file.contains("[frmMain]\nLeft=1890\n")) << file.constData();
}

TEST_F(Registry, aGarbageFileReadsAsDefaultsAndTheNextWriteRepairsIt) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 7919 + 13) % 256));
    writeStore(junk);
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"2"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmMain", "Left", ""), u""_q);

    reg_.SaveSetting(kApp, "General", "Language", "1");
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"1"_q);
    EXPECT_TRUE(storeContents().startsWith("[%General]")) << storeContents().constData();
}

// Paths as the current version stores them through QSettings read back
// exactly; values of other windows and types stay when a value is written,
// and what is written reads back through QSettings too.
TEST_F(Registry, filesWrittenThroughQSettingsReadAsWrittenAndKeepOtherValues) {
    const QString paths[] = {u"/home/jürgen/Berichte, alt/"_q,
                             u"  /lead and trail  "_q,
                             u"/a=b;c/\"q\"/back\\slash/'x'"_q,
                             u"/tab\tand\x01" u"ctl/0f\x7f"_q,
                             u"@at/"_q,
                             u"/中文/😀/\uFEFF"_q,
                             u"\\\\server\\share\\"_q};
    const QString app = kApp.section(u'\\', 0, 0), name = kApp.section(u'\\', 1);
    {
        QSettings current(QSettings::NativeFormat, QSettings::UserScope, app, name);
        for (int i = 0; i < 7; ++i)
            current.setValue(QStringLiteral("General/InitDir%1").arg(i), paths[i]);
        current.setValue(QStringLiteral("frmQuality/Geometry"), QRect(1, 2, 3, 4));
        current.setValue(QStringLiteral("frmQuality/Reference"), QDate(2026, 1, 2));
        current.setValue(QStringLiteral("frmQuality/Temperature"), 288.15);
        current.setValue(QStringLiteral("Other/List"), QStringList{u"a"_q, u"b"_q});
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(reg_.GetSetting(kApp, "General", QStringLiteral("InitDir%1").arg(i), ""),
                  paths[i]);
        reg_.SaveSetting(kApp, "General", QStringLiteral("Copy%1").arg(i), paths[i]);
        EXPECT_EQ(reg_.GetSetting(kApp, "General", QStringLiteral("Copy%1").arg(i), ""), paths[i]);
    }
    EXPECT_EQ(reg_.GetNumber(kApp, "frmQuality", "Temperature"), 288.15);
    EXPECT_EQ(reg_.GetSetting(kApp, "frmQuality", "Geometry", "none"), u"none"_q);
    reg_.SaveNumber(kApp, "frmQuality", "Pressure", 101.325);
    reg_.SaveInteger(kApp, "frmQuality", "Model", 2);

    const QSettings back(QSettings::NativeFormat, QSettings::UserScope, app, name);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(back.value(QStringLiteral("General/InitDir%1").arg(i)).toString(), paths[i]);
        EXPECT_EQ(back.value(QStringLiteral("General/Copy%1").arg(i)).toString(), paths[i]);
    }
    EXPECT_EQ(back.value("frmQuality/Geometry").toRect(), QRect(1, 2, 3, 4));
    EXPECT_EQ(back.value("frmQuality/Reference").toDate(), QDate(2026, 1, 2));
    EXPECT_EQ(back.value("frmQuality/Temperature").toDouble(), 288.15);
    EXPECT_EQ(back.value("frmQuality/Pressure").toDouble(), 101.325);
    EXPECT_EQ(back.value("frmQuality/Model").toInt(), 2);
    EXPECT_EQ(back.value("Other/List").toStringList(), (QStringList{u"a"_q, u"b"_q}));
}

TEST_F(Registry, anUnusableStoreNeitherFailsNorBlocks) {
    // The organisation's directory is a file: nothing can be written there.
    {
        QFile blocker(dir_.path() + QStringLiteral("/Marsk"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    reg_.SaveSetting(kApp, "General", "Language", "1");
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"2"_q);
}

TEST_F(Registry, aDirectoryInPlaceOfTheLockFileLeavesThePreviousValue) {
    reg_.SaveSetting(kApp, "General", "Language", "1");
    ASSERT_TRUE(QDir().mkpath(storeFile() + QStringLiteral(".lock")));
    reg_.SaveSetting(kApp, "General", "Language", "2"); // must return
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"1"_q);
}

#endif

// SettingsFile reads what QSettings writes (see the form in SettingsFile.h)
// and takes a damaged value, or one of another type, for a missing one.
TEST(SettingsFile, readsValuesAsQSettingsWritesThemAndDamagedOnesAsMissing) {
    enum Type { Text, Integer, Number };
    const struct {
        const char* file;
        const char16_t* group;
        const char16_t* key;
        Type type;
        std::optional<std::u16string_view> value;
    } cases[] = {
        {"[%General]\nLanguage=1\n", u"General", u"Language", Text, u"1"},
        {"[General]\nLanguage=1\n", u"General", u"Language", Text, {}}, // keys without a group
        {"Language=1\n[frmMain]\nLeft=2\n", u"", u"Language", Text, u"1"},
        {"\xEF\xBB\xBF[frmMain]\r\n  Left = 1890 ; moved\r\n", u"frmMain", u"Left", Text, u"1890"},
        {"[frmMain]\nLeft=1\n[x]\n[frmMain]\nnonsense\nLeft=2\n", u"frmMain", u"Left", Text, u"2"},
        {"[frmMain\nLeft=5\n", u"frmMain", u"Left", Text, u"5"},
        {"[%General]\nInitDir=\"/a, b;c=d/ \" ; x\n", u"General", u"InitDir", Text, u"/a, b;c=d/ "},
        {"[q]\nk%E9y%20wi%3Dth%3B%U4E2D\\x=1\n", u"q", u"kéy wi=th;中/x", Text, u"1"},
        {"[q]\np=\"  \\\"q\\\" back\\\\slash \xC3\xBC \"\n", u"q", u"p", Text,
         u"  \"q\" back\\slash ü "},
        {"[q]\np=tab\\there\\x1\x7f\\x61\\0\\x31\\101\n", u"q", u"p", Text,
         u"tab\there\x01\x7f"
         u"a\0"
         u"1A"sv},
        {"[q]\np=@@at\n", u"q", u"p", Text, u"@at"},
        {"[q]\np=@String(nul\\0\\x31)\n", u"q", u"p", Text,
         u"nul\0"
         u"1"sv},
        {"[q]\np=1, 2\n", u"q", u"p", Text, {}},
        {"[q]\np=@ByteArray(/tmp/)\n", u"q", u"p", Text, {}},
        {"[q]\np=@Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n", u"q", u"p", Text, {}},
        {"[q]\np=@Rect(1 2 3 4)\n", u"q", u"p", Text, {}},
        {"[q]\np=\"/tmp\n", u"q", u"p", Text, {}},
        {"[q]\nT=288.15\n", u"q", u"T", Number, u"288.15"},
        {"[q]\nT=1e+300\n", u"q", u"T", Number, u"1e+300"},
        {"[q]\nT=\"1234,5\"\n", u"q", u"T", Number, {}},
        {"[q]\nT=1e999\n", u"q", u"T", Number, {}},
        {"[q]\nT=nan\n", u"q", u"T", Number, {}},
        {"[q]\nk=-12\n", u"q", u"k", Integer, u"-12"},
        {"[q]\nk=2.5\n", u"q", u"k", Integer, {}},
        {"[q]\nk= 12abc\n", u"q", u"k", Integer, {}},
    };
    for (const auto& c : cases) {
        const SettingsFile file(c.file);
        std::optional<QString> read;
        if (c.type == Text)
            read = file.text(c.group, c.key);
        else if (const auto n = file.integer(c.group, c.key); c.type == Integer && n)
            read = QString::number(*n);
        else if (const auto x = file.number(c.group, c.key); c.type == Number && x)
            read = SettingsFile::numberText(*x);
        const std::optional<QString> expected =
            c.value ? std::optional(QString::fromUtf16(c.value->data(), qsizetype(c.value->size())))
                    : std::nullopt;
        EXPECT_EQ(read, expected) << c.file;
    }
}

TEST(RegistryVersion, isMajorMinorRevision) {
    EXPECT_EQ(cRegistry().Version(), u"1.1.0"_q);
}

} // namespace
