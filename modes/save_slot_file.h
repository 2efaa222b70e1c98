#pragma once

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class ADV_DATA;

// The save slot files "sav/savNN.sav" (slots 1 to 30): one text file per slot
// holding the whole state of the open adventure.

// Writes the adventure into the slot's file. 1 when the new file is complete
// and in place; 0 otherwise, and then the slot's old file is left as it was.
int WriteSaveSlotFile(KUSYSTEM* sys, ADV_DATA* adv, int slot);

// Reads the slot's file back into an adventure built from the same
// initialisation script. 1 when the whole file was read; 0 for a bad file,
// which leaves the adventure unchanged. Logs under "LOAD_MODE_DATA::LoadProc".
int ReadSaveSlotFile(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv, int slot);
