#pragma once

#include <QIcon>

// The small pictures on the buttons of the project dialogs.
enum class ProjectGlyph {
    Save,         // a diskette
    Cancel,       // a sheet with a red arrow
    Choose,       // a green arrowhead
    AddSheet,     // a green plus over a sheet
    RenameSheet,  // a blue bent arrow over a sheet
    DeleteSheet,  // a red cross over a sheet
};

QIcon projectGlyph(ProjectGlyph glyph);
