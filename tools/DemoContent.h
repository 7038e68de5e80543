#pragma once

#include "store/Fixed4.h"
#include "store/Schema.h"
#include "tools/DemoCatalogue.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The demo catalogue's content: types, subtypes and products with their sizes, prices, covers,
// photos and mounting methods, decided in memory before anything is written.
namespace demo {

struct TypeRow {
    int key;
    QString name;
    QString number;
};

struct SubtypeRow {
    int key;
    QString name;
};

struct ProductRow {
    QString name;
    QString article;
    int type = 0;
    int subtype = 0;
    int width = 0;
    int height = 0;
    int length = 0;
    QString unit;
    // Index of the cover product, and the coatings in which the tray is offered with it.
    int cover = -1;
    std::array<bool, schema::coatingCount> coverInCoating{true, true, true, true, true};
    std::array<Fixed4, schema::coatingCount> prices{};
    int photo = -1;
    // Accessories that look different on a wall and on the floor.
    int floorPhoto = -1;
    std::vector<int> mounting;
};

struct Catalogue {
    std::vector<TypeRow> types;
    std::vector<SubtypeRow> subtypes;
    std::vector<ProductRow> products;
};

// Key and item codes of the product at an index of Catalogue::products.
std::int64_t productKey(int index);
std::int64_t itemCode(int index);
std::int64_t coatingItemCode(int index, int coating);

enum Mounting { Ceiling = 1, Wall = 2, Floor = 3 };

// Options within their ranges.
DemoOptions sane(DemoOptions o);
// The same options always give the same catalogue.
Catalogue buildCatalogue(const DemoOptions& o);

}  // namespace demo
