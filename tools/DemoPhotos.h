#pragma once

// The demo catalogue's drawn photos; the public drawDemoPhoto() is in DemoCatalogue.h.
namespace demo {

// What the photos show. A photo's kind is its number modulo KindCount, so every kind gets a
// picture before any kind gets a second one.
enum Kind {
    PerforatedTray,
    SolidTray,
    LadderTray,
    WireTray,
    CableBox,
    Cover,
    Turn90,
    Tee,
    Cross,
    Turn45,
    VerticalInner,
    VerticalOuter,
    JoinPlate,
    WallBracket,
    FloorConsole,
    CeilingConsole,
    Rod,
    CeilingHanger,
    WallStand,
    FloorStand,
    MountingProfile,
    Anchor,
    Nut,
    Washer,
    Bolt,
    EarthLink,
    KindCount
};

}  // namespace demo
