#include "cLanguage.h"

#include "NumberText.h"
#include "TextTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Keys, language codes and the stored language are written by the program
// itself, in C form; reading them must not depend on the user's locale.
const QLocale& keyLocale() {
    static const QLocale c = QLocale::c();
    return c;
}

// The whole text as a key; 0 when it is not a whole number.
long wholeKey(const QString& text) {
    return tarvelo::toWholeNumber(text, keyLocale()).value_or(0);
}

// The number at the start of `text`, read the way the classic "Val" reads
// it: leading blanks, an optional sign, digits with an optional "." and
// fraction, an optional exponent; the reading stops at the first character
// that cannot continue the number. No number at all reads 0.
double leadingNumber(const QString& text) {
    std::string c;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto at = [&](qsizetype k) { return k < n ? text[k].unicode() : char16_t(0); };
    auto isDigit = [](char16_t ch) { return ch >= u'0' && ch <= u'9'; };

    while (i < n && (at(i) == u' ' || at(i) == u'\t'))
        ++i;
    if (at(i) == u'-' || at(i) == u'+')
        c += char(at(i++));
    bool any = false;
    while (isDigit(at(i))) {
        c += char(at(i++));
        any = true;
    }
    if (at(i) == u'.') {
        c += '.';
        ++i;
        while (isDigit(at(i))) {
            c += char(at(i++));
            any = true;
        }
    }
    if (!any)
        return 0.0;
    // The exponent counts only when digits follow it ("1E" reads 1).
    if (at(i) == u'e' || at(i) == u'E') {
        qsizetype k = i + 1;
        std::string e = "e";
        if (at(k) == u'-' || at(k) == u'+')
            e += char(at(k++));
        if (isDigit(at(k))) {
            while (isDigit(at(k)))
                e += char(at(k++));
            c += e;
        }
    }
    if (c.front() == '+')
        c.erase(0, 1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Only a huge exponent gets here; its sign says which way it went.
        const bool tiny = c.find("e-") != std::string::npos;
        value = tiny ? 0.0 : HUGE_VAL;
        if (c.front() == '-')
            value = -value;
    }
    (void)end;
    return value;
}

QString tag(const QObject* object) {
    return object->property("Tag").toString();
}

bool insideStatusBar(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget->parentWidget(); w && w != window; w = w->parentWidget())
        if (qobject_cast<const QStatusBar*>(w))
            return true;
    return false;
}

// QAction::toolTip() falls back to the action's text when no tool tip was
// set. A toolbar button carries its key in its own tool tip only, so tell
// the two apart: with a different text, a fallback changes, an own tool tip
// does not. The text is put back at once, with the action's signals held.
bool hasOwnToolTip(QAction* action) {
    const QString tip = action->toolTip();
    QAction plain;
    if (!action->text().isEmpty())
        plain.setText(action->text());
    else
        plain.setIconText(action->iconText());
    if (plain.toolTip() != tip)
        return true;

    const QString text = action->text();
    const QSignalBlocker hold(action);
    action->setText(QStringLiteral("\u0001"));
    const bool own = action->toolTip() == tip;
    action->setText(text);
    return own;
}

class TextApplier {
public:
    TextApplier(const cLanguage& lang, QWidget* window) : lang_(lang), window_(window) {}

    void run() {
        const auto widgets = window_->findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            if (auto* bar = qobject_cast<QMenuBar*>(w))
                menuBar(bar);
            else if (auto* tools = qobject_cast<QToolBar*>(w))
                toolBar(tools);
            else if (auto* label = qobject_cast<QLabel*>(w))
                this->label(label);
            else if (auto* frame = qobject_cast<QGroupBox*>(w))
                groupBox(frame);
            else if (auto* edit = qobject_cast<QLineEdit*>(w))
                lineEdit(edit);
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                this->button(button);
        }
    }

private:
    void label(QLabel* label) {
        // Status bar panels carry a numeric key; other labels any key.
        const long key = insideStatusBar(label, window_) ? cLanguage::keyIfNumeric(tag(label))
                                                         : cLanguage::keyIfNonEmpty(tag(label));
        if (key != 0)
            label->setText(lang_.Word(key));
    }

    void groupBox(QGroupBox* frame) {
        if (const long key = cLanguage::keyIfNonEmpty(tag(frame)))
            frame->setTitle(lang_.Word(key));
    }

    void lineEdit(QLineEdit* edit) {
        if (const long key = cLanguage::keyIfNonEmpty(tag(edit)))
            edit->setToolTip(lang_.Word(key));
    }

    void button(QAbstractButton* button) {
        // Buttons that show an action (toolbar, menu bar extensions) take
        // their texts from the action, which is handled with its owner.
        if (auto* tool = qobject_cast<QToolButton*>(button); tool && tool->defaultAction())
            return;
        if (const long key = cLanguage::keyIfNumeric(tag(button)))
            button->setText(lang_.Word(key));
        if (const long key = cLanguage::keyIfNumeric(button->toolTip()))
            button->setToolTip(lang_.Word(key));
    }

    void menuBar(QMenuBar* bar) {
        const auto actions = bar->actions();
        for (QAction* action : actions)
            menuEntry(action);
    }

    // An entry's caption, then, for a menu, every entry inside it. A menu's
    // own title is the text of its menuAction().
    void menuEntry(QAction* action) {
        if (seen_.contains(action))
            return;
        seen_.insert(action);
        if (const long key = cLanguage::keyIfNumeric(action->text()))
            action->setText(lang_.Word(key));
        if (QMenu* menu = action->menu()) {
            const auto entries = menu->actions();
            for (QAction* entry : entries)
                menuEntry(entry);
        }
    }

    void toolBar(QToolBar* tools) {
        const auto actions = tools->actions();
        for (QAction* action : actions) {
            const long key = cLanguage::keyIfNumeric(action->toolTip());
            if (key != 0 && hasOwnToolTip(action))
                action->setToolTip(lang_.Word(key));
        }
    }

    const cLanguage& lang_;
    QWidget* window_;
    QSet<QAction*> seen_;
};

} // namespace

bool cLanguage::setLanguage(const QVariant& lngLang) {
    std::optional<std::int32_t> code;
    switch (lngLang.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        code = tarvelo::toWholeNumber(lngLang.toDouble());
        break;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        code = tarvelo::toWholeNumber(lngLang.toString(), keyLocale());
        break;
    default:
        break;
    }
    if (!code)
        return false;
    code_ = *code;
    return true;
}

QString cLanguage::Word(long lngCode) const {
    return tarvelo::lookupText(QString::number(code_) + QString::number(lngCode));
}

void cLanguage::LoadStrings(QWidget* frm) const {
    if (frm)
        TextApplier(*this, frm).run();
}

long cLanguage::keyIfNonEmpty(const QString& text) {
    if (text.isEmpty())
        return 0;
    return wholeKey(text);
}

long cLanguage::keyIfNumeric(const QString& text) {
    if (std::nearbyint(leadingNumber(text)) <= 0.0)
        return 0;
    // The design data never holds a key with text after it; such a text
    // ("20001 Help") is no key, so the control keeps its text.
    return wholeKey(text);
}
