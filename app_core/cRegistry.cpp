#include "cRegistry.h"

#include "Identity.h"
#include "SettingsFile.h"

#include <cmath>

#if defined(_WIN32)
#include <QSettings>
#include <QVariant>
#include <windows.h>
#else
#include "ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#endif

namespace {

// "Marsk\TarveloV1" names the organisation "Marsk" and the application
// "TarveloV1": stored under Software\Marsk\TarveloV1 in the registry, or in
// Marsk/TarveloV1.conf in the configuration directory.
struct StoreName {
    QString organisation;
    QString application;
};

StoreName storeName(const QString& appName) {
    const qsizetype cut = appName.indexOf(u'\\');
    if (cut < 0)
        return {appName, QString()};
    return {appName.left(cut), appName.mid(cut + 1)};
}

#if defined(_WIN32)
QString valuePath(const QString& section, const QString& key) {
    return section + u'/' + key;
}

// Whether the store can hold a value at all. QSettings creates its key in the
// registry as soon as a value is looked up, so a program that only read its
// settings would leave an empty key behind; the key is first opened for
// reading only.
bool storeMayExist(const StoreName& name) {
    const QString path = QStringLiteral("Software\\") + name.organisation +
                         (name.application.isEmpty() ? QString() : u'\\' + name.application);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(path.utf16()), 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
#else
// A file longer than this is no settings file of this program: it reads as
// empty and the next write replaces it.
constexpr qint64 kMaxStoreBytes = 1 << 20;
// How long a write waits for another program's write of the same file.
constexpr int kLockWaitMs = 5000;

// Where QSettings keeps it: $XDG_CONFIG_HOME (or ~/.config)/Marsk/TarveloV1.conf.
QString storeFile(const StoreName& name) {
    const QString organisation =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
        name.organisation;
    return (name.application.isEmpty() ? organisation : organisation + u'/' + name.application) +
           QStringLiteral(".conf");
}

// The store as its file holds it: empty when there is no file; nothing when
// the file cannot be read.
std::optional<SettingsFile> readStore(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return SettingsFile();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.read(kMaxStoreBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return text.size() > kMaxStoreBytes ? SettingsFile() : SettingsFile(text);
}
#endif

} // namespace

void cRegistry::SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                            const QString& Setting) const {
    const StoreName name = storeName(AppName);
#if defined(_WIN32)
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, name.organisation,
                    name.application);
    store.setValue(valuePath(Section, Key), Setting);
    store.sync();
#else
    const QString path = storeFile(name);
    const QString lockPath = path + QStringLiteral(".lock");
    // QLockFile never takes a directory in the lock file's place for a stale
    // lock: the write would wait in vain. Skip it; the previous value stays.
    if (!QDir().mkpath(QFileInfo(path).path()) || QFileInfo(lockPath).isDir())
        return;
    // The same lock as QSettings', so that two programs (of this version or
    // an earlier one) writing at once do not lose each other's values.
    QLockFile lock(lockPath);
    if (!lock.tryLock(kLockWaitMs))
        return;
    std::optional<SettingsFile> store = readStore(path);
    if (!store)
        return; // an unreadable file is not overwritten with less than it holds
    store->setText(Section, Key, Setting);
    const QByteArray text = store->toText();
    // On failure the old file stays as it was.
    tarvelo::replace_file(QFile::encodeName(path).toStdString(),
                          std::string_view(text.constData(), std::size_t(text.size())));
#endif
}

QString cRegistry::GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                              const QString& Default) const {
    const StoreName name = storeName(AppName);
    QString text;
#if defined(_WIN32)
    if (!storeMayExist(name))
        return Default;
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, name.organisation,
                          name.application);
    if (store.status() != QSettings::NoError)
        return Default;
    const QVariant value = store.value(valuePath(Section, Key));
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        // Numbers come only from the registry (a DWORD value): their decimal text.
        text = value.toString();
        break;
    default:
        // Binary data and lists are no text value.
        break;
    }
#else
    if (const std::optional<SettingsFile> store = readStore(storeFile(name)))
        text = store->text(Section, Key).value_or(QString());
#endif
    return text.isEmpty() ? Default : text;
}

void cRegistry::SaveNumber(const QString& AppName, const QString& Section, const QString& Key,
                           double Value) const {
    if (std::isfinite(Value))
        SaveSetting(AppName, Section, Key, SettingsFile::numberText(Value));
}

std::optional<double> cRegistry::GetNumber(const QString& AppName, const QString& Section,
                                           const QString& Key) const {
    return SettingsFile::toNumber(GetSetting(AppName, Section, Key, QString()));
}

void cRegistry::SaveInteger(const QString& AppName, const QString& Section, const QString& Key,
                            qint64 Value) const {
    SaveSetting(AppName, Section, Key, QString::number(Value));
}

std::optional<qint64> cRegistry::GetInteger(const QString& AppName, const QString& Section,
                                            const QString& Key) const {
    return SettingsFile::toInteger(GetSetting(AppName, Section, Key, QString()));
}

QString cRegistry::Version() const {
    return QString::fromLatin1(tarvelo::kVersion);
}
