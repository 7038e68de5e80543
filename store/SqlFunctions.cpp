#include "store/SqlFunctions.h"

#include <sqlite3.h>
#include <QString>

#include <cmath>
#include <string>

namespace {

// str(n): the number's text, with a leading blank where a minus sign would stand.
void strFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    QString text;
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            sqlite3_result_null(ctx);
            return;
        case SQLITE_INTEGER:
            text = QString::number(sqlite3_value_int64(argv[0]));
            break;
        case SQLITE_FLOAT: {
            const double d = sqlite3_value_double(argv[0]);
            text = QString::number(d, 'g', 15);
            break;
        }
        default:
            text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    }
    if (!text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char(' '));
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool isAscii(const unsigned char* s, int n) {
    for (int i = 0; i < n; ++i)
        if (s[i] >= 0x80)
            return false;
    return true;
}

// Matches with % (any run) and _ (one character); the last % is revisited on a mismatch.
template <typename Str>
bool wildcardMatch(const Str& pattern, const Str& text, int escape) {
    std::size_t p = 0, t = 0, starP = Str::npos, starT = 0;
    while (t < text.size()) {
        bool literal = false;
        auto pc = p < pattern.size() ? pattern[p] : 0;
        if (escape >= 0 && p < pattern.size() && int(pc) == escape && p + 1 < pattern.size()) {
            literal = true;
            pc = pattern[p + 1];
        }
        if (p < pattern.size() && !literal && pc == '%') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && ((!literal && pc == '_') || pc == text[t])) {
            p += literal ? 2 : 1;
            ++t;
        } else if (starP != Str::npos) {
            p = starP;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

std::string foldAscii(const unsigned char* s, int n) {
    std::string out(reinterpret_cast<const char*>(s), std::size_t(n));
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

std::u16string foldUnicode(const unsigned char* s, int n) {
    const QString folded = QString::fromUtf8(reinterpret_cast<const char*>(s), n).toCaseFolded();
    return std::u16string(reinterpret_cast<const char16_t*>(folded.utf16()),
                          std::size_t(folded.size()));
}

// like(pattern, text[, escape]): the engine calls it for "text LIKE pattern".
void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* pattern = sqlite3_value_text(argv[0]);
    const auto* text = sqlite3_value_text(argv[1]);
    if (!pattern || !text)
        return;  // null gives null, as the comparison does
    const int pn = sqlite3_value_bytes(argv[0]);
    const int tn = sqlite3_value_bytes(argv[1]);
    int escape = -1;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        if (e && e[0] && e[0] < 0x80)
            escape = e[0];
    }
    bool matched;
    if (isAscii(pattern, pn) && isAscii(text, tn)) {
        matched = wildcardMatch(foldAscii(pattern, pn), foldAscii(text, tn), escape);
    } else {
        // The folded pattern is kept with the statement, so a search folds it once.
        auto* cached = static_cast<std::u16string*>(sqlite3_get_auxdata(ctx, 0));
        if (!cached) {
            cached = new std::u16string(foldUnicode(pattern, pn));
            sqlite3_set_auxdata(ctx, 0, cached,
                                [](void* p) { delete static_cast<std::u16string*>(p); });
            cached = static_cast<std::u16string*>(sqlite3_get_auxdata(ctx, 0));
            if (!cached) {
                sqlite3_result_error_nomem(ctx);
                return;
            }
        }
        matched = wildcardMatch(*cached, foldUnicode(text, tn), escape);
    }
    sqlite3_result_int(ctx, matched ? 1 : 0);
}

}  // namespace

void registerSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "str", 1, flags, nullptr, strFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
}
