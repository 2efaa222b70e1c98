#pragma once

// Deletes a mode object the game object owns and forgets it, so that a later
// release or a second failure never deletes it again.
template <class T>
void DeleteMode(T*& p) {
    delete p;
    p = nullptr;
}
