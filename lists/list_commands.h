// Mouse commands on a list control, the run of a list's modal dialog and
// that dialog's row of buttons.
// A right click first does what the control does with it (the row under the
// pointer becomes the one selected row; a click beside the rows selects none)
// and then runs the list's command; a left double-click runs its command on
// the row the click selected.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class Corvane3Data;
class QDialog;
class QHBoxLayout;
class TListFrame;

void OnListRightClick(TListFrame& frame, std::function<void()> command);
void OnListDoubleClick(TListFrame& frame, std::function<void()> command);

// A command on the one selected row: it names itself in the store's CurrentOperation, refuses none or
// several selected rows in the list's words, acts on the row's record, and gives the list the focus again.
void ActOnSelectedRow(TListFrame& frame, Corvane3Data& store, const std::string& operation,
                      const std::string& noneSelected, const std::string& moreThanOne,
                      const std::function<void(int32_t record)>& act);

// Hides the list while its modal dialog runs, then shows it again without taking the focus from the
// window the user works in. Returns the dialog's result.
int RunOverList(TListFrame& frame, QDialog& dialog);

// OK (when the dialog has one), Cancel and Help, wired to the dialog's accept, reject and the help given.
QHBoxLayout* DialogButtons(QDialog& dialog, bool withOk, std::function<void()> help);
