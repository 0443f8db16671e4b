#include "engine/messages.h"

#include "platform/tolkar/tolkar.h"
#include "platform/win/dialogs/msgbox.h"

int EngineMessage(const char* germanText)
{
    return AfxMessageBox(TOLK_Translate("Ormi Ausgabe", "vernik_o_kolumo", "CStuetzenRechner", germanText), MB_OK);
}
