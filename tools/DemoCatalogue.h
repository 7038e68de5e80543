#pragma once

#include "store/Jpeg.h"

class Database;

// How big the generated catalogue is. The defaults give the demo that ulmar-tool demo-db
// writes (several hundred products); larger values make a catalogue for measuring speed.
// The same options always give the same catalogue; values out of range are clamped.
struct DemoOptions {
    // Tray sizes per tray type; each tray brings its branch elements and shares covers.
    int traysPerType = 8;
    // Branch elements per tray (turns, tees, crosses, ...), at most 6.
    int branchKindsPerTray = 4;
    // Product subtypes; the first ten are fixed, further ones split the trays into series.
    int subtypeCount = 10;
    // How many times the accessory range is repeated (as further executions).
    int accessorySeries = 1;
    // Drawn photos, shared by the products of one kind; 0 for a catalogue without photos.
    int photoCount = 52;
    int photoWidth = 320;
    int photoHeight = 240;
};

// What a fill wrote, for the tool's report.
struct DemoSummary {
    int types = 0;
    int subtypes = 0;
    int products = 0;
    int photos = 0;
    int photoLinks = 0;
    int mountingRows = 0;
};

// Inserts the demo catalogue into the empty tables of db, all in one transaction; throws
// StoreError with the engine's text.
DemoSummary fillDemoCatalogue(Database& db, const DemoOptions& options);
// Creates the tables, fills them and creates the indexes: a complete store on an empty file.
DemoSummary buildDemoStore(Database& db, const DemoOptions& options);

// The catalogue's photo number index (from 0), drawn at the given size.
RgbImage drawDemoPhoto(int index, int width, int height);
