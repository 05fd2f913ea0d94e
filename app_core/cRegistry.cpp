#include "cRegistry.h"

#include "Identity.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

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
