// Placeholder bodies; the catalogue browser fills them in.
#include "app/TForm1.h"

void TForm1::combovidClick() {}
void TForm1::RadioButton1Click() {}
void TForm1::RadioButton2Click() {}
void TForm1::RadioButton3Click() {}
void TForm1::RadioButton4Click() {}
void TForm1::RadioButton5Click() {}
void TForm1::LoadTypeProducts() {}
void TForm1::BitBtn9Click() {}
void TForm1::RunSearch() {}
void TForm1::DBGridEh1ChangeNode() {}
void TForm1::dlinausExit() {}
void TForm1::DBGridEh3CellClick() {}
void TForm1::DBGridEh3KeyUp() {}
void TForm1::DBGridEh4CellClick() {}
void TForm1::DBGridEh4KeyUp() {}
void TForm1::DBGridEh2CellClick() {}
void TForm1::DBGridEh2KeyUp() {}
void TForm1::ShowCoverName() {}
void TForm1::ShowPieceCount() {}
void TForm1::LoadPhoto(const QString&) {}
void TForm1::FillBranchAuto() {}
void TForm1::FillBranchManual(int) {}
void TForm1::combovid3Click() {}
void TForm1::FillAccessories() {}
void TForm1::combovid2Click() {}
void TForm1::RadioButton8Click() {}
void TForm1::RadioButton9Click() {}
void TForm1::RadioButton10Click() {}
