// Placeholder bodies; the projects subsystem fills them in.
#include "app/TForm1.h"

void TForm1::BitBtn7Click() {}
void TForm1::BitBtn8Click() {}
void TForm1::FormClose() {}
void TForm1::takeSnapshot() {}
void TForm1::dropSnapshot() {}
void TForm1::restoreSnapshot() {}
