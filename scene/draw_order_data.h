#pragma once
#include <cstdint>

// One entry of the adventure's draw-order list.
class DRAW_ORDER_DATA {
public:
    // Kinds of entry.
    static constexpr uint32_t kEmpty = 0;
    static constexpr uint32_t kGraphic = 1;
    static constexpr uint32_t kTextArea = 2;
    static constexpr uint32_t kObject = 3;

    DRAW_ORDER_DATA() { Clear(); }
    DRAW_ORDER_DATA(uint32_t kind, int32_t index, int32_t priority)
        : m_dwKind(kind), m_nIndex(index), m_nPriority(priority) {}
    ~DRAW_ORDER_DATA() { Clear(); }

    void Clear();
    // Copies each value whose pointer is given; a null pointer keeps the field.
    void SetData(const uint32_t* kind, const int32_t* index, const int32_t* priority);

    uint32_t GetKind() const { return m_dwKind; }
    int32_t GetIndex() const { return m_nIndex; }
    int32_t GetPriority() const { return m_nPriority; }

    uint32_t m_dwKind;
    int32_t m_nIndex;
    int32_t m_nPriority;
};
