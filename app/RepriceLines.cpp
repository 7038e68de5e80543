// Repricing the open project by the catalogue, from the specification grid's context menu.
#include "app/TForm1.h"

void TForm1::repriceItemClick() {
    showSpec(m_session->reprice());
}
