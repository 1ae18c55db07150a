#pragma once

class CLoginApp;
class QApplication;

// Settings of the process, made before anything else: no core file may keep the PINs and
// passcodes it holds, and a file-size limit makes a write fail instead of ending the program
// in the middle of a rewrite.
void PrepareProcess();

// Runs Trevalo in `application` with `app` as its application object: the end of the user's
// session and the termination signals reach it, and it ends when its login window does.
// Returns the exit code.
int RunTrevalo(QApplication& application, CLoginApp& app);
