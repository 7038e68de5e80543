#include "export/Spreadsheet.h"

#include "export/ResultColumn.h"
#include "export/SpreadsheetTemplates.h"
#include "store/Fixed4.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"
#include "store/SystemText.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <string>
#include <string_view>

namespace {

// Cell styles of one row; the first, middle and last rows together draw a frame.
struct RowStyles {
    const char* cells[8];
};
constexpr RowStyles firstRow = {{"s49", "s23", "s24", "s25", "s26", "s27", "s25", "s28"}};
constexpr RowStyles middleRow = {{"s50", "s29", "s30", "s31", "s32", "s33", "s31", "s34"}};
constexpr RowStyles lastRow = {{"s51", "s35", "s36", "s37", "s38", "s39", "s37", "s40"}};

// The file's bytes, gathered in a plain string: a line of the specification is some forty
// pieces, and appending to a QByteArray costs several times as much per piece.
class Lines {
public:
    void add(std::string_view line) {
        m_bytes += line;
        m_bytes += "\r\n";
    }
    void add(const char* line) { add(std::string_view(line)); }
    void add(const QByteArray& line) { add(std::string_view(line.constData(), line.size())); }
    void add(const QString& line) { add(line.toUtf8()); }
    void add(const QList<QByteArray>& lines) {
        for (const QByteArray& line : lines)
            add(line);
    }
    // One cell on its own line: a line of the specification has eight of them.
    void textCell(const char* style, const QString& text) {
        open(style, "String");
        const QByteArray utf8 = text.toUtf8();
        m_bytes.append(utf8.constData(), std::size_t(utf8.size()));
        close();
    }
    void numberCell(const char* style, Fixed4 value) {
        open(style, "Number");
        char text[Fixed4::CharsMax];
        m_bytes.append(text, std::size_t(value.toChars(text)));
        close();
    }
    void reserve(std::size_t size) { m_bytes.reserve(size); }
    QByteArray bytes() const { return QByteArray(m_bytes.data(), qsizetype(m_bytes.size())); }

private:
    void open(const char* style, const char* type) {
        m_bytes += "    <Cell ss:StyleID=\"";
        m_bytes += style;
        m_bytes += "\"><Data ss:Type=\"";
        m_bytes += type;
        m_bytes += "\">";
    }
    void close() { m_bytes += "</Data></Cell>\r\n"; }

    std::string m_bytes;
};

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

QString exportSql(int project) {
    // Rows in the order the lines were added: left to itself the engine returns them in the
    // order of whichever index it picks for the project, which is no order a user would know.
    return QStringLiteral(
               "select buy.Pokr as Pokr, buy.kol as kol, buy.price as price, t.Номер as Номер, "
               "t.Название as Tname, fixed_mul(buy.price, buy.kol) as summa, %1 as pname, "
               "buy.izm as izm "
               "from buy left join EXPORT_TMC t on t.Ключ = buy.TMC "
               "where buy.project = %2 order by buy.Ключ")
        .arg(schema::coatingNameSql(QStringLiteral("buy.Pokr")), sqlInt(project));
}

void openExportRows(Query& rows, int project) {
    rows.open(exportSql(project));
}

namespace {

// A character written as it stands: allowed in XML, no markup, not half of a pair.
bool plainInXml(QChar c) {
    return !c.isSurrogate() && allowedInXml(c.unicode()) && c != QLatin1Char('&') &&
           c != QLatin1Char('<') && c != QLatin1Char('>');
}

}  // namespace

QString xmlText(const QString& text) {
    // Most names need nothing: they are handed back without a copy.
    qsizetype i = 0;
    while (i < text.size() && plainInXml(text.at(i)))
        ++i;
    if (i == text.size())
        return text;
    QString result = text.left(i);
    result.reserve(text.size() + 8);
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
            continue;
        }
        if (c.isSurrogate() || !allowedInXml(c.unicode()))
            continue;
        if (c == QLatin1Char('&'))
            result += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            result += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            result += QLatin1String("&gt;");
        else
            result += c;
    }
    return result;
}

QByteArray buildSpreadsheet(Query& rows) {
    Lines out;
    const int count = rows.recordCount();
    out.reserve(std::size_t(count) * 1024 + 16384);  // a line takes about 900 bytes
    out.add(spreadsheetHeaderLines());
    int number = 1;
    Fixed4 total;
    const auto column = [&](QStringView name) { return resultColumn(rows, name); };
    const int summa = column(u"summa");
    const int articleColumn = column(u"Номер");
    const int coating = column(u"Pokr");
    const int name = column(u"Tname");
    const int coatingName = column(u"pname");
    const int quantity = column(u"kol");
    const int unit = column(u"izm");
    const int price = column(u"price");
    for (int row = 0; row < count; ++row, ++number) {
        const Fixed4 sum = rows.value(row, summa).toFixed();
        total += sum;
        const RowStyles& styles = number == 1 ? firstRow : (number == count ? lastRow : middleRow);
        const QString article = rows.value(row, articleColumn).toText() + QLatin1Char('-') +
                                QString::number(rows.value(row, coating).toInt());
        out.add("   <Row>");
        out.textCell(styles.cells[0], QString::number(number));
        out.textCell(styles.cells[1], xmlText(article));
        out.textCell(styles.cells[2], xmlText(rows.value(row, name).toText()));
        out.textCell(styles.cells[3], xmlText(rows.value(row, coatingName).toText()));
        out.numberCell(styles.cells[4], rows.value(row, quantity).toFixed());
        out.textCell(styles.cells[5], xmlText(rows.value(row, unit).toText()));
        out.numberCell(styles.cells[6], rows.value(row, price).toFixed());
        out.numberCell(styles.cells[7], sum);
        out.add("   </Row>");
    }
    // The formula starts at the column-header row (number rows up, not number - 1): its text
    // cell is ignored by SUM, so the range covers every line.
    out.add("   <Row>");
    out.add("    <Cell ss:Index=\"2\" ss:StyleID=\"s41\"/>");
    out.add("    <Cell ss:StyleID=\"s42\"/>");
    for (int i = 0; i < 3; ++i)
        out.add("    <Cell ss:StyleID=\"s43\"/>");
    out.textCell("s48", QStringLiteral("Итого с НДС:"));
    out.add(QStringLiteral("    <Cell ss:StyleID=\"s44\" ss:Formula=\"=SUM(R[-%1]C:R[-1]C)\">"
                           "<Data ss:Type=\"Number\">%2</Data></Cell>")
                .arg(number)
                .arg(total.toString()));
    out.add("   </Row>");
    out.add(spreadsheetFooterLines());
    return out.bytes();
}

QString saveSpreadsheet(const QString& path, const QByteArray& bytes) {
    // Without commit() the text written beside the file is thrown away and the file stays.
    // A write that stops short (a full disk) reports no error of its own, and commit() would
    // then put the cut text in place: the length is checked before.
    // A folder that takes no new file (no right to write, or marked immutable) gets no file
    // beside: a file the user may write there is then written in place, and a failure on the
    // way has already spoilt it, which is said.
    const QFileInfo target(path);
    const bool inPlace =
        target.exists() && target.isWritable() && !QFileInfo(target.absolutePath()).isWritable();
    QSaveFile beside(path);
    beside.setDirectWriteFallback(true);
    QFile direct(path);
    QFileDevice& file = inPlace ? static_cast<QFileDevice&>(direct) : beside;
    const auto commit = [&] {
        if (!inPlace)
            return beside.commit();
        direct.close();
        return direct.error() == QFileDevice::NoError;
    };
    const QString partly = QStringLiteral("записана только часть (нет места на диске?)");
    QString reason;
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!opened)
        reason = QStringLiteral("файл не открывается для записи");
    else if (file.write(bytes) != bytes.size())
        reason = partly;
    else if (!commit())
        reason = inPlace ? partly : QStringLiteral("новый файл не удалось поставить на его место");
    else if (QFileInfo(path).size() != bytes.size())
        reason = partly;
    else
        return QString();
    // The system's own words, when it has any beyond the default text of every device.
    if (file.error() != QFileDevice::NoError && file.errorString() != QFile().errorString())
        reason += QStringLiteral(": ") + russianSystemText(file.errorString());
    if (inPlace && opened)
        reason += QStringLiteral("; файл остался неполным, повторите экспорт");
    return QStringLiteral("Не удалось записать файл %1: %2.")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
}
