#include "store/PgDialect.h"

namespace {

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The end of the quoted literal or name starting at from (doubled quotes stay inside).
qsizetype quotedEnd(const QString& sql, qsizetype from) {
    const QChar quote = sql[from];
    qsizetype i = from + 1;
    while (i < sql.size()) {
        if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

bool wordAt(const QString& sql, qsizetype at, QLatin1String word) {
    return sql.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
           (at == 0 || !isWordCharacter(sql[at - 1])) &&
           (at + word.size() >= sql.size() || !isWordCharacter(sql[at + word.size()]));
}

qsizetype skipBlanks(const QString& sql, qsizetype i) {
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    return i;
}

// What may follow IS NOT on both engines: anything else is the file's null-safe inequality.
bool isComparedConstant(const QString& sql, qsizetype at) {
    for (const char* word : {"null", "true", "false", "distinct"})
        if (wordAt(sql, at, QLatin1String(word)))
            return true;
    return false;
}

}  // namespace

QString pgStatementText(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    int slot = 0;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = quotedEnd(sql, i);
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++slot);
            ++i;
        } else if (wordAt(sql, i, QLatin1String("like"))) {
            out += QLatin1String("ilike");
            i += 4;
            const qsizetype pattern = skipBlanks(sql, i);
            if (pattern < sql.size() && sql[pattern] == QLatin1Char('\'')) {
                const qsizetype end = quotedEnd(sql, pattern);
                out += QStringView(sql).mid(i, end - i);
                i = end;
                if (!wordAt(sql, skipBlanks(sql, i), QLatin1String("escape")))
                    out += QLatin1String(" escape ''");
            }
        } else if (wordAt(sql, i, QLatin1String("collate")) &&
                   wordAt(sql, skipBlanks(sql, i + 7), QLatin1String("binary"))) {
            out += QLatin1String("collate \"C\"");
            i = skipBlanks(sql, i + 7) + 6;
        } else if (wordAt(sql, i, QLatin1String("is")) &&
                   wordAt(sql, skipBlanks(sql, i + 2), QLatin1String("not")) &&
                   !isComparedConstant(sql, skipBlanks(sql, skipBlanks(sql, i + 2) + 3))) {
            out += QLatin1String("is distinct from");
            i = skipBlanks(sql, i + 2) + 3;
        } else if (wordAt(sql, i, QLatin1String("main")) && i + 4 < sql.size() &&
                   sql[i + 4] == QLatin1Char('.')) {
            i += 5;
        } else if (isWordCharacter(c)) {
            // A whole word, so "unlike" or "liked" never match.
            const qsizetype start = i;
            while (i < sql.size() && isWordCharacter(sql[i]))
                ++i;
            out += QStringView(sql).mid(start, i - start);
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
