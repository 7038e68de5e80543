// Placeholder body; the spreadsheet export fills it in.
#include "app/TForm1.h"

void TForm1::BitBtn5Click() {}
