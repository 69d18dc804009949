#include "formats/FieldCodes.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
// Field codes longer than this are not worked out (the caller bounds them too).
constexpr qsizetype MaxCode = 4096;

// The words of a field code: quoted strings without their quotes, or runs
// without spaces.
QStringList codeWords(QStringView code) {
    QStringList words;
    qsizetype at = 0;
    while (at < code.size()) {
        if (code[at].isSpace()) {
            ++at;
            continue;
        }
        if (code[at] == u'"') {
            const qsizetype end = code.indexOf(u'"', at + 1);
            const qsizetype stop = end < 0 ? code.size() : end;
            words << code.sliced(at + 1, stop - at - 1).toString();
            at = stop + 1;
            continue;
        }
        qsizetype end = at;
        while (end < code.size() && !code[end].isSpace() && code[end] != u'"')
            ++end;
        words << code.sliced(at, end - at).toString();
        at = end;
    }
    return words;
}

// Words without the switches and the arguments of \*, \# and \@.
QStringList withoutSwitches(const QStringList& words) {
    QStringList kept;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!words[i].startsWith(u'\\')) {
            kept << words[i];
            continue;
        }
        if (words[i] == u"\\*" || words[i] == u"\\#" || words[i] == u"\\@") ++i;
    }
    return kept;
}

// The text of an EQ field: switches, parentheses and separators go; the text
// raised over the base by \s\up (ruby, as Japanese writes it) follows it.
QString equationText(QString code) {
    static const QRegularExpression Raised(QStringLiteral(R"(\\s\s*\\up\s*-?\d*\s*\(([^()]*)\))"));
    static const QRegularExpression Format(QStringLiteral(R"(\\\*\s*("[^"]*"|\S+))"));
    static const QRegularExpression Switch(QStringLiteral(R"(\\[A-Za-z]+\s*-?\d*)"));
    QStringList rubies;
    for (auto it = Raised.globalMatch(code); it.hasNext();)
        rubies << it.next().captured(1).trimmed();
    code.remove(Raised).remove(Format).remove(Switch);
    QString base;
    for (const QChar c : code)
        if (c != u'(' && c != u')' && c != u',' && c != u';' && !c.isSpace()) base += c;
    rubies.removeAll(QString());
    return rubies.isEmpty() ? base : base + u'(' + rubies.join(u' ') + u')';
}

// IF left operator right "true" "false": numbers compare as numbers.
QString conditionText(const QStringList& words) {
    if (words.size() < 4) return {};
    const QString& op = words[2];
    bool leftNumber = false, rightNumber = false;
    const double left = words[1].toDouble(&leftNumber), right = words[3].toDouble(&rightNumber);
    const int order = leftNumber && rightNumber ? (left < right   ? -1
                                                   : left > right ? 1
                                                                  : 0)
                                                : words[1].compare(words[3]);
    bool holds = false;
    if (op == u"=")
        holds = order == 0;
    else if (op == u"<>")
        holds = order != 0;
    else if (op == u"<")
        holds = order < 0;
    else if (op == u">")
        holds = order > 0;
    else if (op == u"<=")
        holds = order <= 0;
    else if (op == u">=")
        holds = order >= 0;
    else
        return {};
    return holds ? words.value(4) : words.value(5);
}
} // namespace

QString fieldCodeResult(QStringView code) {
    code = code.trimmed();
    if (code.size() > MaxCode) return {};
    const qsizetype nameEnd = code.indexOf(u' ');
    const QString name = code.first(nameEnd < 0 ? code.size() : nameEnd).toString().toUpper();
    const QStringView rest = nameEnd < 0 ? QStringView() : code.sliced(nameEnd + 1);
    if (name == u"EQ") return equationText(rest.toString());
    if (name == u"QUOTE") return withoutSwitches(codeWords(rest)).join(u' ');
    if (name == u"IF") return conditionText(withoutSwitches(codeWords(code)));
    if (name == u"MACROBUTTON") {
        // The text after the macro's name is the button's, shown as it stands.
        const QStringView text = rest.trimmed();
        const qsizetype macroEnd = text.indexOf(u' ');
        return macroEnd < 0 ? QString() : text.sliced(macroEnd + 1).trimmed().toString();
    }
    return {};
}
