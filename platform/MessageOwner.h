#pragma once

#include "platform/MessageBoxes.h"

class QWidget;

// The window that owns reply and warning boxes: the editor that sent last. The record keeps no
// pointer of its own, so a dialog that has closed since falls back to the main window.
void SetMessageOwner(QWidget* window);
void SetMainWindow(QWidget* window);
QWidget* OwnerWindow(BoxOwner owner);
