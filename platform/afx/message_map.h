// Message maps: each class that handles commands has a static table of
// (message, notification code, control id, handler) with its base class's
// table behind it. A command is looked up in the most derived table first,
// then in each base table in turn.
#pragma once

#include "platform/win32/types.h"
#include "platform/win32/user.h"

class CCmdTarget;

// A handler: a member function that takes no arguments and returns nothing.
using AFX_PMSG = void (CCmdTarget::*)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND for the routes the program declares
    UINT nCode;    // the control's notification code (BN_CLICKED, CBN_SELCHANGE ...)
    UINT nID;      // the control id
    AFX_PMSG pfn;  // nullptr ends a table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* pBaseMap; // nullptr at the root
    // The class's entries. A function, so that the table can name the class's
    // handlers from inside the class's scope.
    const AFX_MSGMAP_ENTRY* (*pfnGetEntries)();
};

// The root of every class that receives commands through a message map.
class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP messageMap;

    // Finds the handler for (message, code, id) along the chain of maps and
    // calls it; answers whether one was found.
    BOOL OnCmdMsg(UINT nMessage, UINT nCode, UINT nID);

    // The entry that would handle (message, code, id), or nullptr.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage,
                                                    UINT nCode, UINT nID);

protected:
    static const AFX_MSGMAP_ENTRY* GetThisMessageEntries();
};

// In the class declaration.
#define DECLARE_MESSAGE_MAP()                                                                      \
public:                                                                                            \
    static const AFX_MSGMAP messageMap;                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;                                              \
                                                                                                   \
protected:                                                                                         \
    static const AFX_MSGMAP_ENTRY* GetThisMessageEntries();

// In the class's source file, around the entries.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return &theClass::messageMap;                                                              \
    }                                                                                              \
    const AFX_MSGMAP theClass::messageMap = {&baseClass::messageMap,                               \
                                             &theClass::GetThisMessageEntries};                    \
    const AFX_MSGMAP_ENTRY* theClass::GetThisMessageEntries() {                                    \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        static const AFX_MSGMAP_ENTRY entries[] = {

// clang-format off
#define END_MESSAGE_MAP()                                                                          \
            {0, 0, 0, nullptr}};                                                                   \
        return &entries[0];                                                                        \
    }
// clang-format on

// A notification from control id with the given code; the handler is a
// member of the class whose map this is, taking nothing and returning nothing.
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                     \
    {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id),                            \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
// A command: a menu item or a button's click, which both arrive with code 0.
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
