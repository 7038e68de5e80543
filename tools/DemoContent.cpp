#include "tools/DemoContent.h"

#include "tools/DemoPhotos.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace demo {

namespace {

constexpr int FirstProductKey = 1;
// Base item codes stay below ten million and the coating codes above, so the two kinds of
// code never meet in the photo links.
constexpr std::int64_t ItemCodeBase = 1000000;

// Price factors of the coatings 1 to 5 against the primer-coated price.
constexpr std::array<std::int64_t, schema::coatingCount> CoatingFactor{10000, 11800, 14200, 16500,
                                                                       18700};

std::array<Fixed4, schema::coatingCount> pricesFrom(std::int64_t kopecks) {
    std::array<Fixed4, schema::coatingCount> prices{};
    for (int n = 0; n < schema::coatingCount; ++n)
        prices[std::size_t(n)] =
            Fixed4::fromRaw(kopecks * 100) * Fixed4::fromRaw(CoatingFactor[std::size_t(n)]);
    return prices;
}

enum Subtype {
    SubtypeTrays = 1,
    SubtypeCovers = 2,
    SubtypePartitions = 3,
    SubtypeJoinPlates = 4,
    SubtypeBranches = schema::branchSubtype,
    SubtypeBrackets = 6,
    SubtypeHangers = 7,
    SubtypeFasteners = 8,
    SubtypeEarthing = 9,
    SubtypeConduits = 10,
    FixedSubtypes = 10
};

struct TraySeries {
    int type;
    const char* typeName;
    const char* trayWord;
    const char* code;        // tray article and name code
    const char* branchCode;  // appended to the branch element's own letter: П + Л = ПЛ
    const char* coverWord;   // nullptr: sold without covers
    const char* coverCode;
    std::vector<int> widths;
    std::vector<int> heights;
    std::vector<int> thickness;  // tenths of a millimetre; 0 = no S value in the name
    std::vector<int> lengths;
    bool soldByPiece;
    int pricePercent;
    Kind kind;
    bool noThermalZinc;  // not made in thermal diffusion zinc
};

const std::vector<TraySeries>& traySeries() {
    // clang-format off
    static const std::vector<TraySeries> series = {
        {64, "Лотки перфорированные", "Лоток перфорированный", "ЛП", "Л",
         "Крышка лотка", "КЛ",
         {50, 100, 150, 200, 300, 400, 500, 600}, {50, 80, 100}, {7, 10}, {3000, 2000},
         false, 100, PerforatedTray, false},
        {65, "Лотки неперфорированные", "Лоток неперфорированный", "ЛН", "ЛН",
         "Крышка лотка глухая", "КЛГ",
         {50, 100, 150, 200, 300, 400, 500, 600}, {50, 80, 100}, {7, 10}, {3000, 2000},
         false, 108, SolidTray, false},
        {66, "Лотки лестничные", "Лоток лестничный", "ЛЛ", "ЛЛ",
         "Крышка лотка лестничного", "КЛЛ",
         {200, 300, 400, 500, 600}, {80, 100}, {0}, {3000},
         false, 150, LadderTray, false},
        {67, "Лотки проволочные", "Лоток проволочный", "ЛПр", "Пр",
         nullptr, nullptr,
         {50, 100, 150, 200, 300, 400, 500}, {35, 60, 100}, {0}, {3000},
         false, 70, WireTray, false},
        {68, "Короба кабельные", "Короб кабельный", "КК", "К",
         "Крышка короба", "ККК",
         {50, 75, 100, 150, 200}, {50, 75, 100}, {10}, {2000},
         true, 120, CableBox, false},
        {69, "Лотки замковые", "Лоток замковый перфорированный", "ЛЗП", "ЛЗ",
         "Крышка лотка замковая", "КЛЗ",
         {100, 200, 300, 400}, {50, 80}, {7, 10}, {3000, 2000},
         false, 112, PerforatedTray, false},
        {70, "Лотки усиленные перфорированные", "Лоток усиленный перфорированный", "ЛУП", "ЛУ",
         "Крышка лотка усиленная", "КЛУ",
         {200, 300, 400, 500, 600}, {100, 150}, {10, 15}, {3000},
         false, 135, PerforatedTray, false},
        {71, "Лотки усиленные неперфорированные", "Лоток усиленный неперфорированный", "ЛУН", "ЛУН",
         "Крышка лотка усиленная глухая", "КЛУГ",
         {200, 300, 400, 500, 600}, {100, 150}, {10, 15}, {3000},
         false, 142, SolidTray, false},
        {75, "Лотки из нержавеющей стали", "Лоток перфорированный из нержавеющей стали", "ЛПН", "ЛНС",
         "Крышка лотка из нержавеющей стали", "КЛН",
         {50, 100, 200, 300}, {50, 80}, {7, 10}, {3000, 2000},
         false, 380, PerforatedTray, true},
        {76, "Лотки алюминиевые", "Лоток алюминиевый", "ЛА", "ЛА",
         "Крышка лотка алюминиевая", "КЛА",
         {100, 200, 300, 400}, {50, 100}, {0}, {3000},
         false, 260, SolidTray, true},
    };
    // clang-format on
    return series;
}

struct BranchKind {
    const char* name;
    const char* letter;
    Kind kind;
    int pricePercent;
};

// clang-format off
constexpr std::array<BranchKind, 6> BranchKinds{{
    {"Поворот 90°", "П", Turn90, 100},
    {"Тройник", "Т", Tee, 135},
    {"Крестовина", "Кр", Cross, 170},
    {"Поворот 45°", "П45", Turn45, 85},
    {"Угол вертикальный внутренний", "УВВ", VerticalInner, 110},
    {"Угол вертикальный внешний", "УВН", VerticalOuter, 110},
}};
// clang-format on

struct AccessoryLine {
    int type;
    int subtype;
    const char* name;  // %1: the size
    const char* article;
    std::vector<int> sizes;  // empty: a single item
    bool sizeIsWidth;
    std::vector<int> mounting;
    Kind kind;
    Kind floorKind;  // KindCount: one photo for every mounting method
    int priceKopecks;
    int kopecksPerSize;
};

constexpr int BracketType = 72, HangerType = 79, GeneralType = 80;

const std::vector<AccessoryLine>& accessoryLines() {
    // clang-format off
    static const std::vector<AccessoryLine> lines = {
        {BracketType, SubtypeBrackets, "Кронштейн настенный КН %1", "КН-%1",
         {100, 150, 200, 300, 400, 500, 600}, true, {Wall}, WallBracket, KindCount, 9500, 42},
        {BracketType, SubtypeBrackets, "Консоль потолочная КП %1", "КП-%1",
         {200, 300, 400, 600}, true, {Ceiling}, CeilingConsole, KindCount, 14800, 51},
        {BracketType, SubtypeBrackets, "Консоль напольная КНП %1", "КНП-%1",
         {200, 300, 400}, true, {Floor}, FloorConsole, KindCount, 16200, 55},
        {BracketType, SubtypeBrackets, "Кронштейн универсальный КУ %1", "КУ-%1",
         {200, 300, 400, 600}, true, {Ceiling, Wall, Floor}, WallBracket, FloorConsole, 17350, 48},
        {BracketType, SubtypeBrackets, "Кронштейн настенный усиленный КНУ %1", "КНУ-%1",
         {400, 600}, true, {Wall}, WallBracket, KindCount, 21900, 60},
        {HangerType, SubtypeHangers, "Шпилька М%1х1000", "ШП-М%1-1000",
         {6, 8, 10}, false, {Ceiling}, Rod, KindCount, 3900, 1150},
        {HangerType, SubtypeHangers, "Шпилька М%1х2000", "ШП-М%1-2000",
         {8, 10}, false, {Ceiling}, Rod, KindCount, 7300, 2100},
        {HangerType, SubtypeHangers, "Подвес потолочный ПП %1", "ПП-%1",
         {300, 500, 1000}, false, {Ceiling}, CeilingHanger, KindCount, 12400, 18},
        {HangerType, SubtypeHangers, "Стойка кабельная СК %1", "СК-%1",
         {400, 600, 1000, 1500}, false, {Wall, Floor}, WallStand, FloorStand, 18500, 31},
        {HangerType, SubtypeHangers, "Профиль монтажный ПМ 41х21 L2000", "ПМ-41x21-2",
         {}, false, {Ceiling, Wall}, MountingProfile, KindCount, 48990, 0},
        {HangerType, SubtypeHangers, "Анкер-клин М%1", "АК-М%1",
         {8, 10}, false, {Ceiling, Wall, Floor}, Anchor, KindCount, 1450, 210},
        {HangerType, SubtypeHangers, "Дюбель-гвоздь 6х40", "ДГ-6x40",
         {}, false, {Wall}, Anchor, KindCount, 540, 0},
        {GeneralType, SubtypeFasteners, "Гайка М%1", "ГМ-%1",
         {6, 8, 10}, false, {}, Nut, KindCount, 150, 40},
        {GeneralType, SubtypeFasteners, "Гайка с фланцем М6", "ГФ-М6",
         {}, false, {}, Nut, KindCount, 390, 0},
        {GeneralType, SubtypeFasteners, "Гайка закладная М8 для профиля", "ГЗ-М8",
         {}, false, {}, Nut, KindCount, 1890, 0},
        {GeneralType, SubtypeFasteners, "Шайба М%1", "Ш-М%1",
         {6, 8, 10}, false, {}, Washer, KindCount, 60, 15},
        {GeneralType, SubtypeFasteners, "Шайба увеличенная М8", "ШУ-М8",
         {}, false, {}, Washer, KindCount, 185, 0},
        {GeneralType, SubtypeFasteners, "Болт с полукруглой головкой М6х10", "БП-М6x10",
         {}, false, {}, Bolt, KindCount, 465, 0},
        {GeneralType, SubtypeFasteners, "Болт М8х20", "Б-М8x20",
         {}, false, {}, Bolt, KindCount, 820, 0},
        {GeneralType, SubtypeFasteners, "Винт М6х12", "В-М6x12",
         {}, false, {}, Bolt, KindCount, 370, 0},
        {GeneralType, SubtypeEarthing, "Перемычка заземления ПЗ %1", "ПЗ-%1",
         {300, 500}, false, {}, EarthLink, KindCount, 9800, 12},
        {GeneralType, SubtypeEarthing, "Клемма заземления КЗ-6", "КЗ-6",
         {}, false, {}, EarthLink, KindCount, 4650, 0},
    };
    // clang-format on
    return lines;
}

QString thicknessText(int tenths, QChar separator) {
    return QStringLiteral("%1%2%3").arg(tenths / 10).arg(separator).arg(tenths % 10);
}

QString seriesName(int series) {
    return series > 0 ? QStringLiteral(" исп. %1").arg(series + 1) : QString();
}
QString seriesArticle(int series) {
    return series > 0 ? QStringLiteral("-и%1").arg(series + 1) : QString();
}

// Hands out the photos of one kind in turn, so neighbouring products show different pictures.
class PhotoPool {
public:
    explicit PhotoPool(int photoCount) : m_count(photoCount) {}
    int next(Kind kind) {
        if (m_count <= 0)
            return -1;
        const int k = int(kind);
        const int variants = k < m_count ? (m_count - k + KindCount - 1) / KindCount : 0;
        if (variants == 0)
            return k % m_count;
        return k + KindCount * (m_used[std::size_t(k)]++ % variants);
    }

private:
    int m_count;
    std::array<int, KindCount> m_used{};
};

}  // namespace

std::int64_t productKey(int index) {
    return FirstProductKey + index;
}
std::int64_t itemCode(int index) {
    return ItemCodeBase + productKey(index);
}
std::int64_t coatingItemCode(int index, int coating) {
    return itemCode(index) * 10 + coating;
}

Catalogue buildCatalogue(const DemoOptions& o) {
    Catalogue cat;
    PhotoPool photos(o.photoCount);

    int number = 1;
    for (const TraySeries& s : traySeries())
        cat.types.push_back({s.type, QString::fromUtf8(s.typeName),
                             QStringLiteral("100.%1").arg(number++, 2, 10, QLatin1Char('0'))});
    cat.types.push_back(
        {BracketType, QStringLiteral("Консоли и кронштейны"), QStringLiteral("100.11")});
    cat.types.push_back(
        {HangerType, QStringLiteral("Подвесы, стойки и шпильки"), QStringLiteral("100.12")});
    cat.types.push_back({GeneralType, schema::generalHardware, QStringLiteral("100.13")});
    // Types the program must leave out of its lists: one by its key, one by its number.
    constexpr int ConduitType = 90, ArchiveType = 81;
    cat.types.push_back({ConduitType, QStringLiteral("Металлорукава"), QStringLiteral("100.20")});
    cat.types.push_back(
        {ArchiveType, QStringLiteral("Лотки, снятые с производства"), QStringLiteral("200.01")});

    cat.subtypes = {
        {SubtypeTrays, QStringLiteral("Лотки")},
        {SubtypeCovers, QStringLiteral("Крышки")},
        {SubtypePartitions, QStringLiteral("Перегородки")},
        {SubtypeJoinPlates, QStringLiteral("Соединительные пластины")},
        {SubtypeBranches, QStringLiteral("Элементы ответвления трассы")},
        {SubtypeBrackets, QStringLiteral("Кронштейны и консоли")},
        {SubtypeHangers, QStringLiteral("Шпильки, подвесы и стойки")},
        {SubtypeFasteners, QStringLiteral("Метизы")},
        {SubtypeEarthing, QStringLiteral("Заземление")},
        {SubtypeConduits, QStringLiteral("Металлорукава")},
    };
    const int extraGroups = o.subtypeCount - FixedSubtypes;
    for (int g = 1; g <= extraGroups; ++g)
        cat.subtypes.push_back({FixedSubtypes + g, QStringLiteral("Лотки, группа %1").arg(g + 1)});

    auto& products = cat.products;
    for (const TraySeries& s : traySeries()) {
        const int nW = int(s.widths.size()), nH = int(s.heights.size());
        const int nS = int(s.thickness.size()), nL = int(s.lengths.size());
        const int combos = nH * nS * nL;
        const QString code = QString::fromUtf8(s.code);

        struct Tray {
            int width, height, thickness, length, series;
        };
        std::vector<Tray> trays;
        for (int i = 0; i < o.traysPerType; ++i) {
            // Widths run fastest; the other sizes are shifted with the width so that even a
            // short range shows several heights, thicknesses and lengths, and no size repeats
            // within one execution.
            const int a = i % nW;
            int c = i / nW;
            const int series = c / combos;
            c %= combos;
            const int h = (c % nH + a) % nH;
            const int t = ((c / nH) % nS + a) % nS;
            const int l = ((c / (nH * nS)) + a / 2) % nL;
            trays.push_back({s.widths[std::size_t(a)], s.heights[std::size_t(h)],
                             s.thickness[std::size_t(t)], s.lengths[std::size_t(l)], series});
        }

        const int trayStart = int(products.size());
        for (std::size_t i = 0; i < trays.size(); ++i) {
            const Tray& t = trays[i];
            ProductRow p;
            const QString size = QStringLiteral("%1х%2").arg(t.width).arg(t.height);
            p.name = QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(s.trayWord), code, size);
            p.article = QStringLiteral("%1-%2x%3").arg(code).arg(t.width).arg(t.height);
            if (t.thickness > 0) {
                p.name += QStringLiteral(" S") + thicknessText(t.thickness, QLatin1Char('.'));
                p.article += QStringLiteral("-%1%2").arg(t.thickness / 10).arg(t.thickness % 10);
            }
            p.name += QStringLiteral(" L%1").arg(t.length) + seriesName(t.series);
            p.article += QStringLiteral("-%1").arg(t.length / 1000) + seriesArticle(t.series);
            p.type = s.type;
            const int group = int(i) % (extraGroups + 1);
            p.subtype = group == 0 ? SubtypeTrays : FixedSubtypes + group;
            p.width = t.width;
            p.height = t.height;
            p.length = t.length;
            p.unit = s.soldByPiece ? QStringLiteral("шт.") : schema::runningMetre;
            const int thicknessPercent = t.thickness == 0    ? 115
                                         : t.thickness <= 7  ? 100
                                         : t.thickness <= 10 ? 132
                                                             : 180;
            std::int64_t perMetre =
                (std::int64_t(t.width) * 130 + t.height * 220 + 9000 + (t.width * t.height) % 97) *
                thicknessPercent / 100 * s.pricePercent / 100;
            p.prices = pricesFrom(s.soldByPiece ? perMetre * t.length / 1000 : perMetre);
            if (s.noThermalZinc)
                p.prices[4] = Fixed4();
            p.photo = photos.next(s.kind);
            products.push_back(p);
        }

        // One cover per width and stock length, shared by the trays of every height and
        // thickness.
        if (s.coverWord) {
            std::map<std::tuple<int, int, int>, int> covers;
            for (std::size_t i = 0; i < trays.size(); ++i) {
                const Tray& t = trays[i];
                const auto key = std::make_tuple(t.width, t.length, t.series);
                auto it = covers.find(key);
                if (it == covers.end()) {
                    ProductRow p;
                    const QString coverCode = QString::fromUtf8(s.coverCode);
                    p.name = QStringLiteral("%1 %2 %3 L%4")
                                 .arg(QString::fromUtf8(s.coverWord), coverCode)
                                 .arg(t.width)
                                 .arg(t.length) +
                             seriesName(t.series);
                    p.article = QStringLiteral("%1-%2-%3")
                                    .arg(coverCode)
                                    .arg(t.width)
                                    .arg(t.length / 1000) +
                                seriesArticle(t.series);
                    p.type = s.type;
                    p.subtype = SubtypeCovers;
                    p.width = t.width;
                    p.length = t.length;
                    p.unit = s.soldByPiece ? QStringLiteral("шт.") : schema::runningMetre;
                    const std::int64_t perMetre =
                        (std::int64_t(t.width) * 75 + 4500 + t.width % 7) * s.pricePercent / 100;
                    p.prices = pricesFrom(s.soldByPiece ? perMetre * t.length / 1000 : perMetre);
                    if (s.noThermalZinc)
                        p.prices[4] = Fixed4();
                    p.photo = photos.next(Cover);
                    p.coverInCoating.fill(false);
                    it = covers.emplace(key, int(products.size())).first;
                    products.push_back(p);
                }
                ProductRow& tray = products[std::size_t(trayStart) + i];
                tray.cover = it->second;
                if (s.noThermalZinc)
                    tray.coverInCoating[4] = false;
            }
        }
        for (std::size_t i = 0; i < trays.size(); ++i)
            if (products[std::size_t(trayStart) + i].cover < 0)
                products[std::size_t(trayStart) + i].coverInCoating.fill(false);

        std::set<int> heights;
        for (const Tray& t : trays)
            heights.insert(t.height);
        if (s.type == 64) {
            for (int h : heights) {
                ProductRow p;
                p.name = QStringLiteral("Перегородка разделительная ПР %1 L3000").arg(h);
                p.article = QStringLiteral("ПР-%1-3").arg(h);
                p.type = s.type;
                p.subtype = SubtypePartitions;
                p.height = h;
                p.length = 3000;
                p.unit = schema::runningMetre;
                p.prices = pricesFrom(std::int64_t(h) * 85 + 3100);
                p.coverInCoating.fill(false);
                products.push_back(p);  // no photo: the picture box stays empty
            }
        }
        if (s.type == 64 || s.type == 66) {
            for (int h : heights) {
                ProductRow p;
                const QString plateCode =
                    s.type == 64 ? QStringLiteral("ПС") : QStringLiteral("ПСЛ");
                p.name = QStringLiteral("Пластина соединительная %1 %2").arg(plateCode).arg(h);
                p.article = QStringLiteral("%1-%2").arg(plateCode).arg(h);
                p.type = s.type;
                p.subtype = SubtypeJoinPlates;
                p.height = h;
                p.unit = QStringLiteral("шт.");
                p.prices = pricesFrom(std::int64_t(h) * 6 + 2900 + h % 13);
                p.coverInCoating.fill(false);
                p.photo = photos.next(JoinPlate);
                products.push_back(p);
            }
        }

        // Branch elements: the same type, width and height as their tray, and its S value in
        // one of the spellings the branch list accepts (S0.7, 0,7, 0.7).
        for (const Tray& t : trays) {
            for (int k = 0; k < o.branchKindsPerTray; ++k) {
                const BranchKind& b = BranchKinds[std::size_t(k)];
                ProductRow p;
                const QString branchCode =
                    QString::fromUtf8(b.letter) + QString::fromUtf8(s.branchCode);
                p.name = QStringLiteral("%1 %2 %3х%4")
                             .arg(QString::fromUtf8(b.name), branchCode)
                             .arg(t.width)
                             .arg(t.height);
                p.article = QStringLiteral("%1-%2x%3").arg(branchCode).arg(t.width).arg(t.height);
                if (t.thickness > 0) {
                    switch (k % 3) {
                        case 0:
                            p.name +=
                                QStringLiteral(" S") + thicknessText(t.thickness, QLatin1Char('.'));
                            break;
                        case 1:
                            p.name +=
                                QLatin1Char(' ') + thicknessText(t.thickness, QLatin1Char(','));
                            break;
                        default:
                            p.name +=
                                QLatin1Char(' ') + thicknessText(t.thickness, QLatin1Char('.'));
                            break;
                    }
                    p.article +=
                        QStringLiteral("-%1%2").arg(t.thickness / 10).arg(t.thickness % 10);
                }
                p.name += seriesName(t.series);
                p.article += seriesArticle(t.series);
                p.type = s.type;
                p.subtype = SubtypeBranches;
                p.width = t.width;
                p.height = t.height;
                p.unit = QStringLiteral("шт.");
                const int thicknessPercent = t.thickness == 0    ? 115
                                             : t.thickness <= 7  ? 100
                                             : t.thickness <= 10 ? 132
                                                                 : 180;
                p.prices = pricesFrom((std::int64_t(t.width) * 260 + t.height * 350 + 21000 +
                                       (t.width + t.height) % 89) *
                                      thicknessPercent / 100 * s.pricePercent / 100 *
                                      b.pricePercent / 100);
                if (s.noThermalZinc)
                    p.prices[4] = Fixed4();
                p.coverInCoating.fill(false);
                p.photo = photos.next(b.kind);
                products.push_back(p);
            }
        }
    }

    for (int series = 0; series < o.accessorySeries; ++series) {
        for (const AccessoryLine& a : accessoryLines()) {
            const std::vector<int> sizes = a.sizes.empty() ? std::vector<int>{0} : a.sizes;
            for (int size : sizes) {
                ProductRow p;
                QString name = QString::fromUtf8(a.name), article = QString::fromUtf8(a.article);
                if (!a.sizes.empty()) {
                    name = name.arg(size);
                    article = article.arg(size);
                }
                p.name = name + seriesName(series);
                p.article = article + seriesArticle(series);
                p.type = a.type;
                p.subtype = a.subtype;
                p.width = a.sizeIsWidth ? size : 0;
                p.unit = QStringLiteral("шт.");
                p.prices = pricesFrom(a.priceKopecks + std::int64_t(a.kopecksPerSize) * size / 10 +
                                      series * 7);
                if (a.subtype == SubtypeFasteners)
                    p.prices[2] = Fixed4();  // fasteners are not powder-coated
                p.coverInCoating.fill(false);
                p.photo = photos.next(a.kind);
                if (a.floorKind != KindCount)
                    p.floorPhoto = photos.next(a.floorKind);
                p.mounting = a.mounting;
                products.push_back(p);
            }
        }
    }

    for (int d : {16, 20, 25}) {
        ProductRow p;
        p.name = QStringLiteral("Металлорукав РЗ-Ц %1 (бухта 50 м)").arg(d);
        p.article = QStringLiteral("РЗЦ-%1").arg(d);
        p.type = ConduitType;
        p.subtype = SubtypeConduits;
        p.width = d;
        p.length = 50000;
        p.unit = schema::runningMetre;
        p.prices = pricesFrom(4200 + std::int64_t(d) * 130);
        p.coverInCoating.fill(false);
        products.push_back(p);
    }
    {
        ProductRow tray;
        tray.name = QStringLiteral("Лоток перфорированный ЛП 100х35 S0.55 L2500");
        tray.article = QStringLiteral("ЛП-100x35-055-25");
        tray.type = ArchiveType;
        tray.subtype = SubtypeTrays;
        tray.width = 100;
        tray.height = 35;
        tray.length = 2500;
        tray.unit = schema::runningMetre;
        tray.prices = pricesFrom(27300);
        tray.coverInCoating.fill(false);
        products.push_back(tray);
        ProductRow turn = tray;
        turn.name = QStringLiteral("Поворот 90° ПЛ 100х35 0,55");
        turn.article = QStringLiteral("ПЛ-100x35-055");
        turn.subtype = SubtypeBranches;
        turn.length = 0;
        turn.unit = QStringLiteral("шт.");
        turn.prices = pricesFrom(61500);
        products.push_back(turn);
    }
    return cat;
}

DemoOptions sane(DemoOptions o) {
    o.traysPerType = std::max(0, o.traysPerType);
    o.branchKindsPerTray = std::clamp(o.branchKindsPerTray, 0, int(BranchKinds.size()));
    o.subtypeCount = std::max(int(FixedSubtypes), o.subtypeCount);
    o.accessorySeries = std::max(0, o.accessorySeries);
    o.photoCount = std::max(0, o.photoCount);
    o.photoWidth = std::clamp(o.photoWidth, 16, 4000);
    o.photoHeight = std::clamp(o.photoHeight, 16, 4000);
    return o;
}

}  // namespace demo
