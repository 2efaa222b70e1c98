#pragma once
#include <cstdint>

// One read-skip record: a script file and the line read up to
// (-1: the whole file). An empty name marks a free record.
class AUTOSKIP_FILE_DATA {
public:
    static constexpr int kFileSize = 260;

    AUTOSKIP_FILE_DATA() { Clear(); }
    ~AUTOSKIP_FILE_DATA() { Clear(); }

    void Release() { Clear(); }
    void Clear();
    // 1 stored; 0 for a null or empty name (logged), the record unchanged.
    int SetData(const char* file, int32_t line);

    bool IsEmpty() const { return m_szFile[0] == '\0'; }

    char m_szFile[kFileSize];
    int32_t m_nLine;
};
