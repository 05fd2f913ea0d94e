// The language of the user interface: the current language code, the lookup
// of texts by key, and the application of the texts to a window.
#pragma once

#include "Domain.h"

#include <QString>
#include <QVariant>

class QWidget;

class cLanguage {
public:
    enum : int {
        German = static_cast<int>(tarvelo::Language::German),
        English = static_cast<int>(tarvelo::Language::English)
    };

    // Language (set): any value that converts to a whole number becomes the
    // language code ("2", 2, " 1 ", 1.0; halves go to the even number, so
    // "2.5" is 2). Texts are read in C form, whatever the user's locale. A
    // value that does not convert (a non-numeric text, a value beyond 32
    // bits) fails: the code stays and false is returned.
    bool setLanguage(const QVariant& lngLang);
    // Language (get): 0 until it has been set.
    int language() const noexcept { return code_; }

    // The text of key `lngCode` in the current language; the empty text when
    // the table has no entry for it (also for every code but 1 and 2).
    QString Word(long lngCode) const;

    // Puts the texts of the current language into every keyed control of
    // `frm`. Where a control carries its key:
    //   QLabel, QGroupBox       dynamic property "Tag" (non-empty)  -> text / title
    //   QLineEdit               dynamic property "Tag" (non-empty)  -> tool tip
    //   QAbstractButton         "Tag" (numeric) -> text, then its tool tip (numeric) -> tool tip
    //   menus of the menu bar   caption (numeric), every entry at any depth -> caption
    //   toolbar buttons         the action's own tool tip (numeric) -> tool tip;
    //                           Qt's fallback to the action's text is no key
    //   status bar panels       QLabel in the QStatusBar, "Tag" (numeric) -> text
    // A control whose test fails keeps its text; a key without a table entry
    // sets the empty text. Tool buttons that show an action are handled with
    // the action. Applying the same language twice changes nothing, so the
    // start-up and a switch run the same code.
    void LoadStrings(QWidget* frm) const;

    // The two key tests. Both return the key, or 0 when the test fails. In
    // both, the key is the whole text as a whole number (blanks around it
    // allowed); a text that is not a whole number ("20001 Help") carries no
    // key, and its control keeps its text.
    // Non-empty test: the text is not empty.
    static long keyIfNonEmpty(const QString& text);
    // Numeric test: the text read as a number from its start (leading blanks
    // skipped, optional sign, digits, "." and fraction, exponent; stops at
    // the first character that cannot continue a decimal number, no number
    // reads 0), rounded half to even, must be above 0. "?" and "-" fail.
    static long keyIfNumeric(const QString& text);

private:
    int code_ = 0;
};
