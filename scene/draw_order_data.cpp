#include "scene/draw_order_data.h"

void DRAW_ORDER_DATA::Clear() {
    m_dwKind = kEmpty;
    m_nIndex = -1;
    m_nPriority = 0;
}

void DRAW_ORDER_DATA::SetData(const uint32_t* kind, const int32_t* index, const int32_t* priority) {
    if (kind)
        m_dwKind = *kind;
    if (index)
        m_nIndex = *index;
    if (priority)
        m_nPriority = *priority;
}
