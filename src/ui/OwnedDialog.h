#pragma once
// The frame shared by the dialogs the main window owns (the About box, the options sheet):
// modal to their owner alone, so the tray icon and its menu keep working, and only a close
// box, so a window manager's minimise on them is undone. User-interface thread only.

class QDialog;

// Call while the dialog is still hidden.
void MakeOwnedDialog(QDialog *dialog);
