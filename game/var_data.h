#pragma once
#include <cstdint>

// One integer script variable, addressed by its ID.
class VAR_DATA {
public:
    static constexpr int kNameSize = 100;

    VAR_DATA() { Clear(); }
    ~VAR_DATA() { Clear(); }

    void Clear();
    // Clears the record (value 0) and takes the ID, cut to 99 bytes.
    void SetName(const char* name);
    void SetValue(int32_t value) { m_nValue = value; }
    int32_t GetValue() const { return m_nValue; }
    const char* GetName() const { return m_szName; }

    char m_szName[kNameSize];
    int32_t m_nValue;
};
