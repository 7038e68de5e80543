#include "tools/DemoCatalogue.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/SearchIndex.h"
#include "store/Statement.h"
#include "store/StoreError.h"
#include "tools/DemoContent.h"

#include <QString>

using namespace demo;

// Bulk inserts go through prepared statements, so a catalogue of a hundred thousand products
// takes seconds.
DemoSummary fillDemoCatalogue(Database& db, const DemoOptions& options) {
    const DemoOptions o = sane(options);
    const Catalogue cat = buildCatalogue(o);
    DemoSummary summary;

    Database::Transaction transaction(db);
    {
        Statement insert(db, "insert into EXPORT_VIDTMC (Ключ, Название, Номер) values (?, ?, ?)");
        for (const TypeRow& t : cat.types)
            insert.bind(1, std::int64_t(t.key)).bind(2, t.name).bind(3, t.number).run();
        summary.types = int(cat.types.size());
    }
    {
        Statement insert(db, "insert into EXPORT_PODVID (Ключ, Название) values (?, ?)");
        for (const SubtypeRow& s : cat.subtypes)
            insert.bind(1, std::int64_t(s.key)).bind(2, s.name).run();
        summary.subtypes = int(cat.subtypes.size());
    }
    {
        Statement insert(db,
                         "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Ширина, "
                         "Высота, Длина, ЕИ, ТМЦ, k1, k2, k3, k4, k5, t1k, t2k, t3k, t4k, t5k, "
                         "p1, p2, p3, p4, p5) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                         "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (std::size_t i = 0; i < cat.products.size(); ++i) {
            const ProductRow& p = cat.products[i];
            const int index = int(i);
            insert.bind(1, productKey(index)).bind(2, p.name).bind(3, p.article);
            insert.bind(4, std::int64_t(p.type)).bind(5, std::int64_t(p.subtype));
            insert.bind(6, std::int64_t(p.width)).bind(7, std::int64_t(p.height));
            insert.bind(8, std::int64_t(p.length)).bind(9, p.unit).bind(10, itemCode(index));
            for (int n = 1; n <= schema::coatingCount; ++n) {
                if (p.cover >= 0 && p.coverInCoating[std::size_t(n - 1)])
                    insert.bind(10 + n, coatingItemCode(p.cover, n));
                else
                    insert.bindNull(10 + n);
                insert.bind(15 + n, coatingItemCode(index, n));
                insert.bind(20 + n, p.prices[std::size_t(n - 1)]);
            }
            insert.run();
        }
        summary.products = int(cat.products.size());
    }
    {
        Statement insert(db, "insert into EXPORT_FOTO (Ключ, Фото) values (?, ?)");
        for (int i = 0; i < o.photoCount; ++i) {
            const QByteArray jpeg = encodeJpeg(drawDemoPhoto(i, o.photoWidth, o.photoHeight), 85);
            if (jpeg.isEmpty())
                throw StoreError(
                    QStringLiteral("Не удалось сжать фотографию %1 в JPEG.").arg(i + 1));
            insert.bind(1, std::int64_t(i + 1)).bind(2, jpeg).run();
        }
        summary.photos = o.photoCount;
    }
    {
        // Each photo is linked under the base item code (the product tree) and under every
        // coating code (branch and accessory grids, specification lines). Accessories that look
        // different on a wall and on the floor carry one link per mounting method.
        Statement insert(db, "insert into Export_INFOTO (ТМЦ, _ГруппаФото, krep) values (?, ?, ?)");
        auto link = [&](std::int64_t code, int photo, int mounting) {
            insert.bind(1, code)
                .bind(2, std::int64_t(photo + 1))
                .bind(3, std::int64_t(mounting))
                .run();
            ++summary.photoLinks;
        };
        for (std::size_t i = 0; i < cat.products.size(); ++i) {
            const ProductRow& p = cat.products[i];
            if (p.photo < 0)
                continue;
            const int index = int(i);
            link(itemCode(index), p.photo, 0);
            for (int n = 1; n <= schema::coatingCount; ++n) {
                if (p.floorPhoto < 0) {
                    link(coatingItemCode(index, n), p.photo, 0);
                } else {
                    link(coatingItemCode(index, n), p.photo, Wall);
                    link(coatingItemCode(index, n), p.floorPhoto, Floor);
                }
            }
        }
    }
    {
        Statement insert(db, "insert into EXPORT_KREP (_Группа, Способ) values (?, ?)");
        for (std::size_t i = 0; i < cat.products.size(); ++i)
            for (int m : cat.products[i].mounting) {
                insert.bind(1, productKey(int(i))).bind(2, std::int64_t(m)).run();
                ++summary.mountingRows;
            }
    }
    transaction.commit();
    return summary;
}

DemoSummary buildDemoStore(Database& db, const DemoOptions& options) {
    for (const QString& sql : schema::createTables())
        db.execute(sql);
    const DemoSummary summary = fillDemoCatalogue(db, options);
    // Indexes after the rows: building them once is faster than keeping them up to date.
    for (const QString& sql : schema::createIndexes())
        db.execute(sql);
    Database::Transaction transaction(db);
    searchIndex::build(db);
    transaction.commit();
    return summary;
}
