#include "cRegistry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestPrinting.h"

namespace {

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

TEST_F(Registry, aValueThatIsNoTextReadsAsMissing) {
    writeStore("[%General]\nLanguage=1, 2\nInitDir=@ByteArray(/tmp/)\n");
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "Language", "2"), u"2"_q);
    EXPECT_EQ(reg_.GetSetting(kApp, "General", "InitDir", "/home/"), u"/home/"_q);
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

TEST(RegistryVersion, isMajorMinorRevision) {
    EXPECT_EQ(cRegistry().Version(), u"1.1.0"_q);
}

} // namespace
