#include "store/SqlFunctions.h"

#include "store/AmountCells.h"
#include "store/Fixed4.h"
#include "store/SqliteDatabase.h"
#include "store/StoreError.h"

#include <sqlite3.h>
#include <QChar>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// str(n): the number's text, with a leading blank where a minus sign would stand.
void strFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    QString text;
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            sqlite3_result_null(ctx);
            return;
        case SQLITE_INTEGER: {
            // Every line's article asks for its coating code: written straight as bytes.
            char digits[24] = {' '};
            const std::int64_t n = sqlite3_value_int64(argv[0]);
            char* const first = n < 0 ? digits : digits + 1;
            const char* const end = std::to_chars(first, std::end(digits), n).ptr;
            sqlite3_result_text(ctx, digits, int(end - digits), SQLITE_TRANSIENT);
            return;
        }
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

// Writes the UTF-8 form of a code point; returns the position after it.
char* putUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = char(cp);
    } else if (cp < 0x800) {
        *out++ = char(0xC0 | (cp >> 6));
        *out++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = char(0xE0 | (cp >> 12));
        *out++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out++ = char(0x80 | (cp & 0x3F));
    } else {
        *out++ = char(0xF0 | (cp >> 18));
        *out++ = char(0x80 | ((cp >> 12) & 0x3F));
        *out++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out++ = char(0x80 | (cp & 0x3F));
    }
    return out;
}

int sequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Folds the case of the character at s[i] into o, straight on UTF-8: Latin and Cyrillic
// capitals are mapped by hand (they are nearly all of a catalogue's text), everything else
// through Qt's tables. Returns the position after what it wrote and moves i past the character.
inline char* foldOne(const unsigned char* s, int n, int& i, char* o) {
    const unsigned char c = s[i];
    if (c < 0x80) {
        *o++ = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
        ++i;
        return o;
    }
    const int len = std::min(sequenceLength(c), n - i);
    if (len == 2 && (c == 0xD0 || c == 0xD1)) {
        const unsigned char d = s[i + 1];
        if (c == 0xD0 && d >= 0x90 && d <= 0x9F) {  // А..П
            *o++ = char(0xD0);
            *o++ = char(d + 0x20);
        } else if (c == 0xD0 && d >= 0xA0 && d <= 0xAF) {  // Р..Я
            *o++ = char(0xD1);
            *o++ = char(d - 0x20);
        } else if (c == 0xD0 && d >= 0x80 && d <= 0x8F) {  // Ѐ..Џ, Ё among them
            *o++ = char(0xD1);
            *o++ = char(d + 0x10);
        } else {
            *o++ = char(c);
            *o++ = char(d);
        }
        i += 2;
        return o;
    }
    char32_t cp = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k)
        cp = (cp << 6) | (s[i + k] & 0x3F);
    i += len;
    return putUtf8(o, QChar::toCaseFolded(cp));
}

// The whole text folded. The search runs this for every product, so it writes into a buffer
// kept between calls.
void foldCase(const unsigned char* s, int n, std::string& out) {
    out.resize(std::size_t(n) * 2);  // no character grows by more than half its length
    char* o = out.data();
    for (int i = 0; i < n;)
        o = foldOne(s, n, i, o);
    out.resize(std::size_t(o - out.data()));
}

// Matches with % (any run) and _ (one character); the last % is revisited on a mismatch.
bool wildcardMatch(const std::string& pattern, const std::string& text, int escape) {
    std::size_t p = 0, t = 0, starP = std::string::npos, starT = 0;
    while (t < text.size()) {
        bool literal = false;
        char pc = p < pattern.size() ? pattern[p] : 0;
        if (escape >= 0 && p + 1 < pattern.size() && int(pc) == escape) {
            literal = true;
            pc = pattern[p + 1];
        }
        if (p < pattern.size() && !literal && pc == '%') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && !literal && pc == '_') {
            ++p;
            t += std::size_t(sequenceLength(static_cast<unsigned char>(text[t])));
        } else if (p < pattern.size() && pc == text[t]) {
            p += literal ? 2 : 1;
            ++t;
        } else if (starP != std::string::npos) {
            p = starP;
            // Restart one whole character further on.
            starT += std::size_t(sequenceLength(static_cast<unsigned char>(text[starT])));
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

// One character of a search text, as it may stand in a name: in small or capital letters,
// each at most four bytes of UTF-8.
struct CaseForms {
    unsigned char lower[4] = {};
    unsigned char upper[4] = {};
    std::uint8_t lowerLength = 0;
    std::uint8_t upperLength = 0;
};

// A pattern folded once per statement; "%text%" without other wildcards becomes a plain
// substring search, the form every catalogue search takes. Where every character of such a
// text is a Latin or Cyrillic letter or has no case at all, names are searched as they stand,
// for either form of each character, without folding them first.
struct Pattern {
    std::string folded;
    std::string needle;
    bool substring = false;
    std::vector<CaseForms> forms;  // empty when the text needs folding
};

// Both forms of each character of a folded text, or nothing when one of them is outside the
// letters mapped here (the folding path then serves).
std::vector<CaseForms> caseFormsOf(const std::string& folded) {
    std::vector<CaseForms> forms;
    for (std::size_t i = 0; i < folded.size();) {
        const auto c = static_cast<unsigned char>(folded[i]);
        const int len = sequenceLength(c);
        if (i + std::size_t(len) > folded.size())
            return {};
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(folded[i + std::size_t(k)]) & 0x3F);
        char32_t upper = cp;
        if (cp >= 'a' && cp <= 'z')
            upper = cp - 32;
        else if (cp >= 0x430 && cp <= 0x44F)  // а..я
            upper = cp - 0x20;
        else if (cp >= 0x450 && cp <= 0x45F)  // ѐ..џ
            upper = cp - 0x50;
        else if (cp >= 0x80 && QChar::toUpper(cp) != cp)
            return {};  // a letter of another alphabet
        CaseForms f;
        char buffer[4];
        f.lowerLength = std::uint8_t(putUtf8(buffer, cp) - buffer);
        std::memcpy(f.lower, buffer, f.lowerLength);
        f.upperLength = std::uint8_t(putUtf8(buffer, upper) - buffer);
        std::memcpy(f.upper, buffer, f.upperLength);
        forms.push_back(f);
        i += std::size_t(len);
    }
    return forms;
}

// Whether the bytes at t (n of them left) are one of the character's forms; gives its length.
inline int formAt(const unsigned char* t, std::size_t n, const CaseForms& f) {
    auto same = [&](const unsigned char* form, std::uint8_t length) {
        if (length > n)
            return false;
        for (std::uint8_t k = 0; k < length; ++k)
            if (t[k] != form[k])
                return false;
        return true;
    };
    if (same(f.lower, f.lowerLength))
        return f.lowerLength;
    if (same(f.upper, f.upperLength))
        return f.upperLength;
    return 0;
}

// Whether the text holds the characters in order, each in either of its forms.
bool containsAnyCase(const unsigned char* text, std::size_t n,
                     const std::vector<CaseForms>& forms) {
    if (forms.empty())
        return true;
    const CaseForms& first = forms[0];
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] != first.lower[0] && text[i] != first.upper[0])
            continue;
        std::size_t at = i;
        bool all = true;
        for (const CaseForms& f : forms) {
            const int length = formAt(text + at, n - at, f);
            if (length == 0) {
                all = false;
                break;
            }
            at += std::size_t(length);
        }
        if (all)
            return true;
    }
    return false;
}

Pattern* compilePattern(const unsigned char* s, int n, int escape) {
    auto* pattern = new Pattern;
    foldCase(s, n, pattern->folded);
    const std::string& f = pattern->folded;
    if (escape < 0 && f.size() >= 2 && f.front() == '%' && f.back() == '%') {
        const std::string inner = f.substr(1, f.size() - 2);
        if (inner.find_first_of("%_") == std::string::npos) {
            pattern->needle = inner;
            pattern->substring = true;
            pattern->forms = caseFormsOf(inner);
        }
    }
    return pattern;
}

// like(pattern, text[, escape]): the engine calls it for "text LIKE pattern".
void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* patternText = sqlite3_value_text(argv[0]);
    const auto* text = sqlite3_value_text(argv[1]);
    if (!patternText || !text)
        return;  // null gives null, as the comparison does
    int escape = -1;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        if (e && e[0] && e[0] < 0x80)
            escape = e[0];
    }
    auto* pattern = static_cast<Pattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        pattern = compilePattern(patternText, sqlite3_value_bytes(argv[0]), escape);
        sqlite3_set_auxdata(ctx, 0, pattern, [](void* p) { delete static_cast<Pattern*>(p); });
        pattern = static_cast<Pattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }
    const int length = sqlite3_value_bytes(argv[1]);
    if (pattern->substring && !pattern->forms.empty()) {
        sqlite3_result_int(ctx, containsAnyCase(text, std::size_t(length), pattern->forms) ? 1 : 0);
        return;
    }
    thread_local std::string folded;
    foldCase(text, length, folded);
    const bool matched = pattern->substring
                             ? memmem(folded.data(), folded.size(), pattern->needle.data(),
                                      pattern->needle.size()) != nullptr
                             : wildcardMatch(pattern->folded, folded, escape);
    sqlite3_result_int(ctx, matched ? 1 : 0);
}

// foldcase(text): the text in the letter case the like compares in; null stays null.
void foldCaseFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto* text = sqlite3_value_text(argv[0]);
    if (!text)
        return;
    thread_local std::string folded;
    foldCase(text, sqlite3_value_bytes(argv[0]), folded);
    sqlite3_result_text(ctx, folded.data(), int(folded.size()), SQLITE_TRANSIENT);
}

// A text folded one character at a time, ё as е (in a Russian dictionary ё sorts as е; its
// code point comes after я): two names compare only as far as their first difference.
class FoldedBytes {
public:
    FoldedBytes(const void* text, int length)
        : m_text(static_cast<const unsigned char*>(text)), m_length(length) {}
    // The next byte of the folded text, or -1 after its end.
    int next() {
        if (m_at == m_filled) {
            if (m_read == m_length)
                return -1;
            m_filled = int(foldOne(m_text, m_length, m_read, m_char) - m_char);
            if (m_filled == 2 && m_char[0] == char(0xD1) && m_char[1] == char(0x91)) {
                m_char[0] = char(0xD0);
                m_char[1] = char(0xB5);
            }
            m_at = 0;
        }
        return static_cast<unsigned char>(m_char[m_at++]);
    }

private:
    const unsigned char* m_text;
    int m_length;
    int m_read = 0;
    char m_char[8];  // the folded form of the character last read
    int m_filled = 0;
    int m_at = 0;
};

// foldcase: text ordered by its case-folded form, ё as е, then (for a stable order) as it
// stands.
int foldCaseCollation(void*, int lengthA, const void* a, int lengthB, const void* b) {
    // A sort of the specification compares the names of one subtype with each other most of
    // the time: the same text needs no folding.
    if (lengthA == lengthB && std::memcmp(a, b, std::size_t(lengthA)) == 0)
        return 0;
    FoldedBytes foldedA(a, lengthA), foldedB(b, lengthB);
    for (;;) {
        const int x = foldedA.next(), y = foldedB.next();
        if (x != y)
            return x < y ? -1 : 1;
        if (x < 0)
            break;
    }
    const int common = std::min(lengthA, lengthB);
    if (common > 0)
        if (const int order = std::memcmp(a, b, std::size_t(common)))
            return order;
    return lengthA - lengthB;
}

// --- amounts in four-place fixed point ---

using Int128 = __int128;
constexpr std::int64_t fixedScale = 10000;

void amountTooLarge(sqlite3_context* ctx) {
    static const QByteArray message = Fixed4::tooLargeMessage().toUtf8();
    sqlite3_result_error(ctx, message.constData(), int(message.size()));
}

// An argument as ten-thousandths; false for a number beyond the fixed-point range. Null is
// told by the caller.
bool fixedArgument(sqlite3_value* value, std::int64_t& raw) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return amountCells::fromWhole(sqlite3_value_int64(value), raw);
        case SQLITE_FLOAT:
            return amountCells::fromDouble(sqlite3_value_double(value), raw);
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            raw = amountCells::fromText(text, std::size_t(sqlite3_value_bytes(value)));
            return true;
        }
    }
}

// An amount as the engine's value, in the file's form of it.
void fixedResult(sqlite3_context* ctx, Int128 raw) {
    if (raw > INT64_MAX || raw < INT64_MIN) {
        amountTooLarge(ctx);
        return;
    }
    const Fixed4 amount = Fixed4::fromRaw(std::int64_t(raw));
    switch (amountCells::fileForm(amount.raw())) {
        case amountCells::FileForm::Whole:
            sqlite3_result_int64(ctx, amount.raw() / fixedScale);
            break;
        case amountCells::FileForm::Fraction:
            sqlite3_result_double(ctx, amount.toDouble());
            break;
        case amountCells::FileForm::Text: {
            const QByteArray text = amount.toString().toUtf8();
            sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

// fixed_mul(a, b): the product rounded to four places, ties to the even neighbour.
void fixedMulFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return;  // null, as the engine's product
    std::int64_t a = 0, b = 0;
    if (!fixedArgument(argv[0], a) || !fixedArgument(argv[1], b)) {
        amountTooLarge(ctx);
        return;
    }
    // Checked on the exact product: beyond the range the rounded one could not be held.
    const Int128 exact = Int128(a) * b / fixedScale;
    if (exact >= INT64_MAX || exact <= INT64_MIN) {
        amountTooLarge(ctx);
        return;
    }
    fixedResult(ctx, (Fixed4::fromRaw(a) * Fixed4::fromRaw(b)).raw());
}

// fixed_sum(x): the sum of the non-null values, null when there is none.
struct FixedSum {
    Int128 raw;
    bool any;
    bool overflow;
};

void fixedSumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* sum = static_cast<FixedSum*>(sqlite3_aggregate_context(ctx, sizeof(FixedSum)));
    if (!sum) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sum->overflow)
        return;
    std::int64_t raw = 0;
    if (!fixedArgument(argv[0], raw)) {
        sum->overflow = true;
        return;
    }
    sum->raw += raw;
    sum->any = true;
    if (sum->raw > INT64_MAX || sum->raw < INT64_MIN)
        sum->overflow = true;
}

void fixedSumFinal(sqlite3_context* ctx) {
    auto* sum = static_cast<FixedSum*>(sqlite3_aggregate_context(ctx, 0));
    if (sum && sum->overflow)
        amountTooLarge(ctx);
    else if (sum && sum->any)
        fixedResult(ctx, sum->raw);
    else
        sqlite3_result_null(ctx);
}

}  // namespace

QString foldedCase(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::string folded;
    foldCase(reinterpret_cast<const unsigned char*>(utf8.constData()), int(utf8.size()), folded);
    return QString::fromUtf8(folded.data(), qsizetype(folded.size()));
}

void registerSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    // Without them the statements would still run, only wrongly: a LIKE that tells Cyrillic
    // capitals from small letters finds too little, sums come out as doubles.
    const auto check = [db](int rc) {
        if (rc != SQLITE_OK)
            throw StoreError(engineText(db));
    };
    check(sqlite3_create_function(db, "str", 1, flags, nullptr, strFunction, nullptr, nullptr));
    check(sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr));
    check(sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr));
    check(sqlite3_create_collation(db, "foldcase", SQLITE_UTF8, nullptr, foldCaseCollation));
    check(sqlite3_create_function(db, "foldcase", 1, flags, nullptr, foldCaseFunction, nullptr,
                                  nullptr));
    check(sqlite3_create_function(db, "fixed_mul", 2, flags, nullptr, fixedMulFunction, nullptr,
                                  nullptr));
    check(sqlite3_create_function(db, "fixed_sum", 1, flags, nullptr, nullptr, fixedSumStep,
                                  fixedSumFinal));
}
