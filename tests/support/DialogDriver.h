#pragma once

#include <QString>
#include <functional>

class QComboBox;
class QDialog;

// Acting on a modal dialog as the operator does: its controls found by object name.
QComboBox* FindCombo(QDialog& dialog, const char* name);
// The operator's pick in a drop-down list: a new selection, then "activated".
void Choose(QComboBox* list, int index);
void Choose(QComboBox* list, const QString& text);
void Click(QDialog& dialog, const char* name);

// Runs `act` inside the modal loop of the dialog that `open` starts. A dialog that `act` left
// open (after a failed assertion) is cancelled so that the test ends.
void WhileOpen(const std::function<void()>& open, const std::function<void(QDialog&)>& act);

// Text that an input method commits into the named edit box, as typing Japanese ends.
void Commit(QDialog& dialog, const char* name, const QString& text);
