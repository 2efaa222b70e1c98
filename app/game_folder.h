#pragma once

// The game folder is the folder that holds the program, wherever it is
// started from: the program moves there before it reads or writes anything.
// 1 done; 0 when the folder cannot be entered or holds no "dat/" (logged, the
// start-up failure's message box shown), and the program must not start.
int EnterGameFolder();
