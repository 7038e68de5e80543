#include "store/Schema.h"

#include "store/SqlLiteral.h"

#include <array>

namespace schema {

namespace {

// Coating names by code, from 1.
const std::array<QString, coatingCount> coatingNames = {
    QStringLiteral("Грунт"),     QStringLiteral("Цинк"), QStringLiteral("Полимер"),
    QStringLiteral("Гор. Цинк"), QStringLiteral("ТДЦ"),
};

}  // namespace

QString coatingName(int code) {
    if (code < 1 || code > coatingCount)
        return QStringLiteral("0");
    return coatingNames[std::size_t(code - 1)];
}

QString coatingNameSql(const QString& codeColumn) {
    // case Pokr when 1 then 'Грунт' … else '0' end: one text for both engines, so the
    // fallback is the text 0 (a server's case has one type).
    QString expression = QStringLiteral("case %1").arg(codeColumn);
    for (int code = 1; code <= coatingCount; ++code)
        expression +=
            QStringLiteral(" when %1 then %2").arg(sqlInt(code), sqlText(coatingName(code)));
    return expression + QStringLiteral(" else '0' end");
}

QStringList createTables() {
    // Money columns are NUMERIC: whole values stay integers, the rest are read back rounded
    // to four places.
    return {
        QStringLiteral("create table EXPORT_VIDTMC (Ключ integer primary key, Название text, "
                       "Номер text)"),
        QStringLiteral(
            "create table EXPORT_TMC (Ключ integer primary key, Название text, Номер text, "
            "Вид integer, Подвид integer, Ширина integer, Высота integer, Длина numeric, "
            "ЕИ text, ТМЦ integer, "
            "k1 integer, k2 integer, k3 integer, k4 integer, k5 integer, "
            "t1k integer, t2k integer, t3k integer, t4k integer, t5k integer, "
            "p1 numeric, p2 numeric, p3 numeric, p4 numeric, p5 numeric)"),
        QStringLiteral("create table EXPORT_PODVID (Ключ integer primary key, Название text)"),
        QStringLiteral("create table EXPORT_FOTO (Ключ integer primary key, Фото blob)"),
        QStringLiteral("create table Export_INFOTO (ТМЦ integer, _ГруппаФото integer, "
                       "krep integer)"),
        QStringLiteral("create table EXPORT_KREP (_Группа integer, Способ integer)"),
        QStringLiteral("create table project (Ключ integer primary key autoincrement, "
                       "Название text)"),
        QStringLiteral("create table buy (Ключ integer primary key autoincrement, project integer, "
                       "TMC integer, Pokr integer, TMC2 integer, price numeric, kol numeric, "
                       "kolm numeric default 0, izm text, vid integer)"),
        QStringLiteral("create table arh (Ключ integer primary key autoincrement, project integer, "
                       "TMC integer, Pokr integer, TMC2 integer, price numeric, kol numeric, "
                       "kolm numeric default 0, izm text, vid integer)"),
        createPropertiesTable(),
    };
}

QString createPropertiesTable() {
    return QStringLiteral(
        "create table if not exists project_properties (project integer primary key, "
        "object text, code text, title text, organization text, stage text, developer text, "
        "checker text, normcontrol text, chief text)");
}

QStringList createIndexes() {
    QStringList statements = {
        // Article and name ride along, so the search filters the index and reads a product's
        // row only when it matches.
        QStringLiteral("create index if not exists EXPORT_TMC_Вид on EXPORT_TMC "
                       "(Вид, Подвид, Номер, Название)"),
        // Also finds the branch elements of a tray's type and size.
        QStringLiteral("create index if not exists EXPORT_TMC_Подвид on EXPORT_TMC "
                       "(Подвид, Вид, Высота, Ширина, Номер, Название)"),
        QStringLiteral("create index if not exists Export_INFOTO_ТМЦ on Export_INFOTO (ТМЦ, krep)"),
        QStringLiteral("create index if not exists EXPORT_KREP_Способ on EXPORT_KREP "
                       "(Способ, _Группа)"),
        QStringLiteral("create index if not exists buy_project on buy (project, TMC, Pokr)"),
        QStringLiteral("create index if not exists buy_vid on buy (project, vid)"),
        QStringLiteral("create index if not exists arh_project on arh (project)"),
    };
    for (int n = 1; n <= coatingCount; ++n)
        statements << QStringLiteral(
                          "create index if not exists EXPORT_TMC_t%1k on EXPORT_TMC "
                          "(t%1k)")
                          .arg(n);
    // Statistics let the planner choose between these indexes and a plain scan.
    statements << QStringLiteral("analyze");
    return statements;
}

}  // namespace schema
