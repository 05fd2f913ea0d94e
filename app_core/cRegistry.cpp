#include "cRegistry.h"

#include "Identity.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// "Marsk\TarveloV1" names the organisation "Marsk" and the application
// "TarveloV1"; QSettings then stores under Software\Marsk\TarveloV1 in the
// registry, or in Marsk/TarveloV1.conf in the configuration directory.
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

QString valuePath(const QString& section, const QString& key) {
    return section + u'/' + key;
}

// Whether the store can hold a value at all. On Windows, QSettings creates
// its key in the registry as soon as a value is looked up, so a program that
// only read its settings would leave an empty key behind; the key is first
// opened for reading only. Elsewhere a missing file is read as empty and
// nothing is created.
bool storeMayExist([[maybe_unused]] const StoreName& name) {
#if defined(_WIN32)
    const QString path = QStringLiteral("Software\\") + name.organisation +
                         (name.application.isEmpty() ? QString() : u'\\' + name.application);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(path.utf16()), 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
#endif
    return true;
}

} // namespace

void cRegistry::SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                            const QString& Setting) const {
    const StoreName name = storeName(AppName);
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, name.organisation,
                    name.application);
    // QSettings waits for its lock file without a time limit, and a directory
    // in the lock file's place is never taken for a stale lock: the write
    // would wait forever. Skip it; the previous value stays.
    if (QFileInfo(store.fileName() + QStringLiteral(".lock")).isDir())
        return;
    // A store that could not be parsed is rewritten with what could be read
    // of it plus this value, so that the user's next choice repairs it. The
    // file is replaced atomically; when that fails the old one stays.
    store.setValue(valuePath(Section, Key), Setting);
    store.sync();
}

QString cRegistry::GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                              const QString& Default) const {
    const StoreName name = storeName(AppName);
    if (!storeMayExist(name))
        return Default;
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, name.organisation,
                          name.application);
    if (store.status() != QSettings::NoError)
        return Default;
    const QVariant value = store.value(valuePath(Section, Key));
    QString text;
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
    return text.isEmpty() ? Default : text;
}

QString cRegistry::Version() const {
    return QString::fromLatin1(tarvelo::kVersion);
}
