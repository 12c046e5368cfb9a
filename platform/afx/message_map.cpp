#include "platform/afx/message_map.h"

const AFX_MSGMAP CCmdTarget::messageMap = {nullptr, &CCmdTarget::GetThisMessageEntries};

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return &CCmdTarget::messageMap;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::GetThisMessageEntries() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    return &entries[0];
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage,
                                                     UINT nCode, UINT nID) {
    for (; pMap != nullptr; pMap = pMap->pBaseMap) {
        for (const AFX_MSGMAP_ENTRY* entry = pMap->pfnGetEntries(); entry->pfn != nullptr;
             ++entry) {
            if (entry->nMessage == nMessage && entry->nCode == nCode && entry->nID == nID) {
                return entry;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nMessage, UINT nCode, UINT nID) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), nMessage, nCode, nID);
    if (entry == nullptr) {
        return FALSE;
    }
    (this->*entry->pfn)();
    return TRUE;
}
