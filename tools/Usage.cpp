#include "tools/Usage.h"

namespace {

struct CommandUsage {
    const char* name;
    const char* synopsis;
    const char* description;
};

// Status 2 always means a mistake in the arguments; each text says what 1 means.
const CommandUsage commands[] = {
    {"demo-db", "ulmar-tool demo-db DIR [--replace]",
     "Записывает DIR/base.mdb: схему базы и демонстрационный каталог. Папка DIR создаётся, если\n"
     "её нет. Существующий base.mdb заменяется только с ключом --replace; новая база пишется\n"
     "рядом со старой и встаёт на её место одним шагом.\n"
     "\n"
     "  --replace   заменить существующий DIR/base.mdb\n"
     "\n"
     "Код выхода: 0 — база записана, 1 — база не записана (причина в сообщении),\n"
     "2 — ошибка в аргументах."},
    {"export", "ulmar-tool export FILE [--project KEY] [--form price|gost]",
     "Записывает проект из base.mdb текущей папки в FILE в формате XML Spreadsheet 2003, как\n"
     "кнопка «Экспорт» окна программы. Файл заменяется целиком одним шагом.\n"
     "\n"
     "  --project KEY   ключ проекта; по умолчанию 0 — рабочая спецификация\n"
     "  --form gost     спецификация по форме 1 ГОСТ 21.110: девять граф, без цен;\n"
     "                  по умолчанию price — прайс с ценами\n"
     "\n"
     "Код выхода: 0 — файл записан, 1 — файл не записан (в проекте нет строк, нет базы,\n"
     "ошибка записи), 2 — ошибка в аргументах."},
    {"import-mdb",
     "ulmar-tool import-mdb SOURCE DIR [--replace]\n"
     "       ulmar-tool import-mdb SOURCE --store URI",
     "Преобразует каталог производителя, поставленный файлом Microsoft Access (Jet 3 или Jet 4,\n"
     ".mdb), в DIR/base.mdb: все таблицы файла, цены с точностью до четырёх знаков, фотографии\n"
     "и сохранённые в нём проекты. Число строк каждой таблицы сверяется с файлом. Существующий\n"
     "base.mdb заменяется только с ключом --replace; при любой ошибке папка остаётся как была.\n"
     "\n"
     "Без DIR каталог ложится в базу на сервере, названную --store, ULMAR_STORE или\n"
     "ulmar.store: пустую, подготовленную server-init. Файл преобразуется во временную папку и\n"
     "копируется на сервер одной транзакцией, как copy-store: число строк и суммы сверяются.\n"
     "База, где уже есть каталог или проекты, не трогается (новый прайс-лист в неё берёт\n"
     "update-catalogue); при любой ошибке база на сервере остаётся пустой.\n"
     "\n"
     "  --replace   заменить существующий DIR/base.mdb (только для папки)\n"
     "\n"
     "Чтение останавливается после 10 + 5 × (размер в МБ) секунд процессорного времени или\n"
     "при памяти больше 1024 + 8 × (размер в МБ) МБ; пределы задают переменные окружения\n"
     "ULMAR_IMPORT_SECONDS и ULMAR_IMPORT_MEGABYTES.\n"
     "\n"
     "Код выхода: 0 — база записана, 1 — база не записана (причина в сообщении),\n"
     "2 — ошибка в аргументах."},
    {"pdf", "ulmar-tool pdf FILE [--project KEY] [--form price|gost] [--paper A3|A4]",
     "Записывает в FILE печатную спецификацию проекта из base.mdb текущей папки в формате PDF\n"
     "со встроенными шрифтами, как «Печать» в окне программы. Дисплей не нужен.\n"
     "\n"
     "  --project KEY   ключ проекта; по умолчанию 0 — рабочая спецификация\n"
     "  --form gost     спецификация по форме 1 ГОСТ 21.110 в рамке с основной надписью\n"
     "                  (свойства проекта); по умолчанию price — прайс с ценами на A4\n"
     "  --paper A4      для --form gost: A4 книжный вместо A3 альбомного\n"
     "\n"
     "Код выхода: 0 — файл записан, 1 — файл не записан (в проекте нет строк, нет базы,\n"
     "ошибка записи), 2 — ошибка в аргументах."},
    {"update-catalogue",
     "ulmar-tool update-catalogue SOURCE [DIR] [--dry-run] [--report FILE] [--force]\n"
     "       ulmar-tool update-catalogue --undo [DIR]",
     "Заменяет каталог в DIR/base.mdb (по умолчанию — в текущей папке) каталогом нового\n"
     "прайс-листа SOURCE (файл Access или база программы), сохраняя все проекты, их строки\n"
     "и цены. Замена — одна транзакция. На стандартный вывод пишется отчёт: строки проектов,\n"
     "товара которых больше нет, строки с новой ценой и итоги до и после переоценки.\n"
     "\n"
     "Заменённый каталог остаётся в базе (хранятся три последних).\n"
     "\n"
     "Без DIR база на сервере, названная --store, ULMAR_STORE или ulmar.store, обновляется\n"
     "так же, пока с ней работают: окна показывают новый каталог, обновив списки.\n"
     "\n"
     "  --dry-run       только отчёт, база не меняется\n"
     "  --report FILE   записать отчёт ещё и таблицей XML Spreadsheet 2003, как экспорт\n"
     "  --force         взять прайс-лист, даже если он снимает больше половины товаров\n"
     "                  проектов или не имеет цен в покрытии, которое в них есть\n"
     "  --undo          вернуть прежний каталог; проекты остаются как есть\n"
     "\n"
     "Код выхода: 0 — каталог обновлён (или отчёт составлен), 1 — база не изменена (причина в\n"
     "сообщении), 2 — ошибка в аргументах."},
    {"reprice", "ulmar-tool reprice [--project KEY] [DIR]",
     "Даёт строкам проекта в DIR/base.mdb (по умолчанию — в текущей папке) текущие цены\n"
     "каталога, все строки одной транзакцией, и пишет отчёт об изменённых строках и итог.\n"
     "\n"
     "  --project KEY   ключ проекта; по умолчанию 0 — рабочая спецификация\n"
     "\n"
     "Код выхода: 0 — цены обновлены или не изменились, 1 — цены не обновлены (причина в\n"
     "сообщении), 2 — ошибка в аргументах."},
    {"server-init", "ulmar-tool server-init URI [--upgrade]",
     "Готовит пустую базу данных на сервере PostgreSQL (URI вида\n"
     "postgresql://пользователь@сервер/база) для работы бюро: таблицы программы (суммы и\n"
     "количества — numeric(19,4), точно), её функции и индексы, одной транзакцией. База, в\n"
     "которой уже есть таблицы, не трогается. Пароль берётся из ~/.pgpass или переменных\n"
     "окружения libpq (PGPASSWORD), никогда из командной строки.\n"
     "\n"
     "  --upgrade  дать базе, подготовленной прежней версией, функции этой версии (суммы\n"
     "             те же, считаются быстрее) и индекс поиска; таблицы и данные не меняются\n"
     "\n"
     "Код выхода: 0 — база подготовлена, 1 — база не подготовлена (причина в сообщении),\n"
     "2 — ошибка в аргументах."},
    {"copy-store", "ulmar-tool copy-store FROM TO",
     "Копирует всю базу FROM в TO: каталог, фотографии, проекты, их строки и копии. Каждая\n"
     "база — файл (base.mdb) или адрес базы на сервере; копировать можно в обе стороны. TO —\n"
     "пустая база, подготовленная командой server-init, или файл, которого ещё нет (он\n"
     "создаётся). Всё пишется одной транзакцией; число строк каждой таблицы и суммы цен и\n"
     "количеств сверяются с FROM до последнего знака, иначе ничего не записывается.\n"
     "\n"
     "Код выхода: 0 — база скопирована, 1 — ничего не записано (причина в сообщении),\n"
     "2 — ошибка в аргументах."},
};

const CommandUsage* find(const QString& command) {
    for (const CommandUsage& c : commands)
        if (command == QLatin1String(c.name))
            return &c;
    return nullptr;
}

}  // namespace

QStringList commandNames() {
    QStringList names;
    for (const CommandUsage& c : commands)
        names << QString::fromUtf8(c.name);
    return names;
}

QString commandSynopsis(const QString& command) {
    const CommandUsage* c = find(command);
    return c ? QString::fromUtf8(c->synopsis) : QString();
}

QString usageLine(const QString& command) {
    return QStringLiteral("Использование: ") + commandSynopsis(command);
}

QString commandHelp(const QString& command) {
    const CommandUsage* c = find(command);
    return c ? usageLine(command) + QStringLiteral("\n\n") + QString::fromUtf8(c->description) +
                   QLatin1Char('\n')
             : QString();
}

QString commandList() {
    QString text = QStringLiteral("Использование:\n");
    for (const CommandUsage& c : commands)
        text += QStringLiteral("  ") + QString::fromUtf8(c.synopsis) + QLatin1Char('\n');
    return text + QStringLiteral(
                      "Подробно о команде: ulmar-tool КОМАНДА --help; обо всём: man ulmar-tool.\n");
}
