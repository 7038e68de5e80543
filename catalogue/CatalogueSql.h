#pragma once

#include "store/Fixed4.h"
#include "store/Value.h"

#include <QString>
#include <cstdint>
#include <optional>

// Statements of the catalogue browser and the small rules around them. N is always the coating
// code (1 to 5): it picks the columns k<N>, t<N>k and p<N>.
namespace catalogue {

// Products of one tray type outside the branch subtype, plus one group row per subtype they use.
QString productTreeSql(int coating, int typeKey);
// The same tree over all tray types, for the items whose "article name" contains the text.
// The three search statements say what each grid shows of a search; the window reads all three
// in one pass (SearchRows).
QString searchTreeSql(int coating, const QString& text);

// What the searches read from, after "from": EXPORT_TMC and the condition on the items of
// those types whose "article name" contains the text, looked up through the index when it is
// ready.
QString searchedProducts(const QString& typeKeys, const QString& text, bool indexed);

// Article and name of the cover whose item code in this coating is coverCode.
QString coverNameSql(int coating, std::int64_t coverCode);

// The first photo of an item code by the photo's key, so an item with several photos always
// shows the same one; the mounting variant takes only photos linked to that method.
QString photoSql(std::int64_t itemCode);
QString photoSql(std::int64_t itemCode, int mounting);

// The wall thickness a tray's name carries after "S0." or "S1." ("S0." wins), three characters
// at most; empty when the name has neither marker.
QString sValue(const QString& trayName);
// Branch elements fitting a tray: its type, height and width, and its S value when it has one.
QString branchAutoSql(int coating, const QString& trayName, int typeKey, std::int64_t height,
                      std::int64_t width);
// Every branch element of one type.
QString branchManualSql(int coating, int typeKey);
// Branch elements of all tray types whose "article name" contains the text.
QString searchBranchSql(int coating, const QString& text);

// The accessory type that is listed whole, whatever the mounting method.
bool isGeneralHardware(const QString& shownType);
// Accessories of one type for one mounting method, or all of them for the general hardware.
QString accessoriesSql(int coating, int typeKey, int mounting, bool generalHardware);
// Items of all accessory types whose "article name" contains the text, whatever the mounting.
QString searchAccessoriesSql(int coating, const QString& text);

// Whole stock pieces of stockLength millimetres that cover a route of lengthMetres; one piece
// for products without a stock length.
std::int64_t pieceCount(Fixed4 lengthMetres, Fixed4 stockLength);

// A field used as a whole number in a statement: nothing for null, empty or non-numeric values,
// so no statement is ever built from them.
std::optional<std::int64_t> wholeNumber(const Value& value);

}  // namespace catalogue
