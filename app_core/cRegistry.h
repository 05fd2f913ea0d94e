// The per-user settings store. Values are addressed by application key
// ("Marsk\TarveloV1"), section and value name, and are stored as text: in the
// registry under HKEY_CURRENT_USER\Software\<application key>\<section> on
// Windows, in the user's configuration directory elsewhere
// ($XDG_CONFIG_HOME/Marsk/TarveloV1.conf on Linux).
//
// On Linux the file is read and written as plain text (SettingsFile.h), in
// the form QSettings gave it, so that files of earlier versions read as
// before; a write replaces the whole file (temporary file and rename) under
// QSettings' lock file. Keys and groups of other windows or versions are kept.
//
// Create one for a short sequence of reads or writes and let it go; it keeps
// no state of its own and every call opens and closes the store.
#pragma once

#include <QString>

#include <optional>

class cRegistry {
public:
    // Writes `Setting` under `AppName`\`Section`\`Key`, creating what is
    // missing. A failure is not reported; the previous value then stays.
    void SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                     const QString& Setting) const;

    // The stored text, or `Default` when the value is missing, empty or
    // unreadable. A store that cannot be read reads as empty throughout. In a
    // damaged file each line that can be read counts; the next SaveSetting
    // rewrites it with what could be read of it plus the new value.
    QString GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                       const QString& Default) const;

    // Numbers and integers, stored as text in the C locale ("288.15",
    // shortest round trip). Reading gives nothing when the value is missing
    // or not wholly such a number; a number that is not finite is not stored.
    void SaveNumber(const QString& AppName, const QString& Section, const QString& Key,
                    double Value) const;
    std::optional<double> GetNumber(const QString& AppName, const QString& Section,
                                    const QString& Key) const;
    void SaveInteger(const QString& AppName, const QString& Section, const QString& Key,
                     qint64 Value) const;
    std::optional<qint64> GetInteger(const QString& AppName, const QString& Section,
                                     const QString& Key) const;

    // The program's version, "major.minor.revision" (kVersion of Identity.h).
    QString Version() const;
};
