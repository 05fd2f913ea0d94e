// The per-user settings store. Values are addressed by application key
// ("Marsk\TarveloV1"), section and value name, and are stored as text: in the
// registry under HKEY_CURRENT_USER\Software\<application key>\<section> on
// Windows, in the user's configuration directory elsewhere
// ($XDG_CONFIG_HOME/Marsk/TarveloV1.conf on Linux).
//
// Create one for a short sequence of reads or writes and let it go; it keeps
// no state of its own and every call opens and closes the store.
#pragma once

#include <QString>

class cRegistry {
public:
    // Writes `Setting` under `AppName`\`Section`\`Key`, creating what is
    // missing. A failure is not reported; the previous value then stays.
    void SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                     const QString& Setting) const;

    // The stored text, or `Default` when the value is missing, empty or
    // unreadable. A store that cannot be read or parsed (a damaged file)
    // reads as empty throughout; the next SaveSetting rewrites it with what
    // could be read of it plus the new value.
    QString GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                       const QString& Default) const;

    // The program's version, "major.minor.revision" (kVersion of Identity.h).
    QString Version() const;
};
