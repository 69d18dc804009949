#include "system/Wildcard.h"

namespace {
bool sameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }
} // namespace

bool wildcardMatch(QStringView pattern, QStringView name) {
    // Greedy match that backs up to the last '*' on a mismatch: linear in
    // practice, never exponential.
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
    return p == pattern.size();
}

bool matchesAny(const QStringList& patterns, QStringView name) {
    for (const QString& pattern : patterns) {
        if (wildcardMatch(pattern, name)) return true;
    }
    return false;
}

QStringList splitPatterns(const QString& patternList) {
    return patternList.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}
