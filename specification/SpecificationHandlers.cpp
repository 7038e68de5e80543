// Placeholder bodies; the specification fills them in.
#include "app/TForm1.h"

void TForm1::reloadSpec() {}
void TForm1::BitBtn3Click() {}
void TForm1::addPosition(int) {}
void TForm1::DBGridEh1DblClick() {}
void TForm1::DBGridEh3DblClick() {}
void TForm1::DBGridEh4DblClick() {}
void TForm1::BitBtn6Click() {}
void TForm1::BitBtn1Click() {}
void TForm1::BitBtn2Click() {}
void TForm1::BitBtn4Click() {}
