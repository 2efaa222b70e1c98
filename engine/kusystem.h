#pragma once
#include <cstdint>
#include <string>

#include "platform/window_handle.h"

// Debug display switch (read from the settings file by the shell). The engine
// reads it to decide whether trace lines also go to "trace.txt".
extern int g_bDebugInfo;

// Which of the two string conversions StrConvert performs.
enum class StrConvertForm {
    kScript, // backslash + "n" becomes a line feed
    kStorage, // a line feed becomes backslash + "n"
};

// The engine's system object: clock, per-frame key and mouse state, random
// numbers, the work folder "tmp/" with its retry queue, path and string
// helpers, and the trace output. One global instance lives for the whole run.
class KUSYSTEM {
public:
    static constexpr int kKeyCount = 256;
    static constexpr int kRemoveListSize = 256;
    static constexpr int kPathSize = 260;

    KUSYSTEM();
    ~KUSYSTEM();
    KUSYSTEM(const KUSYSTEM&) = delete;
    KUSYSTEM& operator=(const KUSYSTEM&) = delete;

    // Start, frame and end.
    int Initialize(plat::WindowHandle hWnd, int clearList);
    void Update(plat::WindowHandle hWnd);
    void RemoveTempFiles();

    // Clock.
    void UpdateTime();
    int GetTime() const;
    void StopTime();
    void StartTime();
    int FrameWait(int fps);

    // Keys: game keys 0..10, virtual keys 0..255.
    void UpdateKeyState();
    int GetKey(int gameKey);
    int GetKeyPush(int gameKey);
    int GetKeyPushLatched(int gameKey);
    void ClearKeyPush();
    void ClearKeyState();
    int GetKeyState(int virtualKey);
    void SetKeyState(int virtualKey, int state);
    void SetMouseButtonFlag(int gameKey, int value);
    int GetMouseButtonFlag(int gameKey) const;

    // Mouse.
    void UpdateMousePos();
    void GetMousePos(int* x, int* y) const;
    void SetMousePos(int x, int y);
    void SetMouseOffsetY(int offset);
    int GetMouseOffsetY() const;
    void SetWindowHandle(plat::WindowHandle hWnd);
    plat::WindowHandle GetWindowHandle() const;
    int ChangeCursor(int which);

    // Random numbers 0..32767.
    int Rand();

    // Files and folders. MakeDirectory: 1 made, 0 already there, -1 error
    // (the hidden flag has no meaning here and always succeeds).
    int MakeDirectory(const char* path, int hidden);
    int RemoveFile(const char* folder, const char* name, int recursive);
    int AddRemoveFileList(const char* path);
    int DelRemoveFileList(const char* path);
    void ProcessRemoveFileList();
    char* GetRemoveFileListPath(int index, char* buffer, int size);
    int RenameFile(const char* from, const char* to);
    // buffer holds kPathSize bytes; nullptr (and "") when the path would not fit.
    char* GetTempFilePath(const char* name, char* buffer);
    int CreateHierarchyDirectory(const char* path);

    // Path helpers: results live in a buffer of the object until the next call.
    const char* ExtractFilePathToFileName(const char* path, int length);
    const char* ExtractFilePathToDirectoryPath(const char* path, int length);
    const char* ExtractFilePathToExtension(const char* path, int length);

    // String conversion (script form and storage form).
    int StrConvert(const char* source, int sourceSize, char* dest, int destSize,
                   StrConvertForm form = StrConvertForm::kScript);

    // Trace output: time prefix, debugger output, and "trace.txt" while the
    // debug display is on.
    void TracePrint(const char* message);
    // While a hold is set, trace messages are appended to it (without their
    // time, each ended by a '\0') instead of being written: a caller that
    // says a repeated failure once sees what a step logs before it decides.
    // nullptr ends the hold; TraceHold sets and ends one around a step.
    void HoldTrace(std::string* held) { held_ = held; }
    std::string* HeldTrace() const { return held_; }

private:
    // Implementation fields; see kusystem.cpp.
    plat::WindowHandle window_ = nullptr;
    uint32_t currentTime_ = 0;
    uint32_t pausedTotal_ = 0;
    uint32_t pauseStart_ = 0;
    int pauseDepth_ = 0;
    uint32_t push_[kKeyCount];
    uint32_t current_[kKeyCount];
    uint32_t previous_[kKeyCount];
    uint32_t latched_[kKeyCount];
    uint32_t mouseButton_[2];
    int mouseX_ = 0;
    int mouseY_ = 0;
    int mouseOffsetY_ = 0;
    uint32_t lastFrameWait_ = 0;
    int gameCursor_ = 0;
    int startCursor_ = 0;
    char removeList_[kRemoveListSize][kPathSize];
    char pathBuffer_[kPathSize];
    // Set by Initialize: only then does the destructor clean "tmp/" up, so a
    // system object that never started leaves the folder it runs in alone.
    bool initialized_ = false;
    std::string* held_ = nullptr;

    void DropRemoveListEntry(int index);
    int RemoveFolderContents(const std::string& folder, int recursive, int depth);
};
