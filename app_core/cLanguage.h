// The language of the user interface: the current language code, the lookup
// of texts by key, and the application of the texts to a window.
#pragma once

#include <QString>
#include <QVariant>

class QWidget;

class cLanguage {
public:
    enum : int { German = 1, English = 2 };

    // Language (set): any value that converts to a whole number becomes the
    // language code ("2", 2, " 1 ", 1.0). A value that does not convert
    // fails: the code stays and false is returned.
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
    //   toolbar buttons         the action's tool tip (numeric) -> tool tip
    //   status bar panels       QLabel with "Tag" (numeric) -> text
    // A control whose test fails keeps its text; a key without a table entry
    // sets the empty text.
    void LoadStrings(QWidget* frm) const;

    // The two key tests. Both return the key, or 0 when the test fails.
    // Non-empty test: the text is not empty; the key is the text as a whole
    // number (0 when it is none).
    static long keyIfNonEmpty(const QString& text);
    // Numeric test: the text read as a number from its start (leading blanks
    // skipped, stops at the first character that cannot continue a decimal
    // number, no number reads 0), rounded half to even, must be above 0.
    static long keyIfNumeric(const QString& text);

private:
    int code_ = 0;
};
