#pragma once

#include "res/DialogTemplates.h"

class QDialog;

// Lays a template's controls out on a dialog at their converted pixel positions, with the
// template's object names, so that dialogs and tests find them with findChild. The OK and Cancel
// buttons end the dialog.
void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);

int DluToPixelsX(int dlu);
int DluToPixelsY(int dlu);
