// Message maps: each window class keeps a static table of the messages it
// handles, right beside its handlers, chained to its base class's table.
// The first matching entry wins (the class's own entries in table order, then
// its base class's); a message no entry takes goes to default processing.
//
//   // in the class body
//   DECLARE_MESSAGE_MAP()
//
//   // in the source file, next to the handlers
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_TIMER()                          // void OnTimer(UINT_PTR eventId)
//       ON_WM_QUERYENDSESSION()                // BOOL OnQueryEndSession()
//       ON_BN_CLICKED(1005, OnSetup)           // void OnSetup()
//       ON_CBN_SELCHANGE(1009, OnTypeChange)   // void OnTypeChange()
//   END_MESSAGE_MAP()
//
// Handlers are ordinary members (also inherited or virtual ones, such as
// CDialog::OnOK); a handler with the wrong signature does not compile.
#pragma once

#include <windows.h>

#include <type_traits>

class CWnd;

// Calls one handler on a window of the class that declared the entry.
using MessageThunk = LRESULT (*)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;       // WM_COMMAND, WM_TIMER, ...; 0 ends the table
    UINT code;          // notification code of a WM_COMMAND entry
    UINT id;            // control id of a WM_COMMAND entry
    MessageThunk thunk; // the handler
};

struct MessageMap {
    const MessageMap* (*base)(); // the base class's map, or null
    const MessageMapEntry* entries;
};

// Whether an entry takes a message.
inline bool MessageMapEntryMatches(const MessageMapEntry& e, UINT message, WPARAM wParam) {
    if (e.message != message) {
        return false;
    }
    if (message != WM_COMMAND) {
        return true;
    }
    return HIWORD(wParam) == e.code && LOWORD(wParam) == e.id;
}

namespace msgmap {

template <class T, auto Handler> LRESULT Command(CWnd& wnd, WPARAM, LPARAM) {
    static_assert(std::is_invocable_r_v<void, decltype(Handler), T&>,
                  "command handlers are void Handler()");
    (static_cast<T&>(wnd).*Handler)();
    return 0;
}

template <class T, auto Handler> LRESULT Timer(CWnd& wnd, WPARAM wParam, LPARAM) {
    static_assert(std::is_invocable_r_v<void, decltype(Handler), T&, UINT_PTR>,
                  "timer handlers are void OnTimer(UINT_PTR eventId)");
    (static_cast<T&>(wnd).*Handler)(static_cast<UINT_PTR>(wParam));
    return 0;
}

template <class T, auto Handler> LRESULT SysCommand(CWnd& wnd, WPARAM wParam, LPARAM lParam) {
    static_assert(std::is_invocable_r_v<void, decltype(Handler), T&, UINT, LPARAM>,
                  "system-command handlers are void OnSysCommand(UINT id, LPARAM lParam)");
    (static_cast<T&>(wnd).*Handler)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, auto Handler> LRESULT Paint(CWnd& wnd, WPARAM, LPARAM) {
    static_assert(std::is_invocable_r_v<void, decltype(Handler), T&>,
                  "paint handlers are void OnPaint()");
    (static_cast<T&>(wnd).*Handler)();
    return 0;
}

template <class T, auto Handler> LRESULT QueryDragIcon(CWnd& wnd, WPARAM, LPARAM) {
    static_assert(std::is_invocable_r_v<HCURSOR, decltype(Handler), T&>,
                  "drag-icon handlers are HCURSOR OnQueryDragIcon()");
    return reinterpret_cast<LRESULT>((static_cast<T&>(wnd).*Handler)());
}

template <class T, auto Handler> LRESULT QueryEndSession(CWnd& wnd, WPARAM, LPARAM) {
    static_assert(std::is_invocable_r_v<BOOL, decltype(Handler), T&>,
                  "end-of-session handlers are BOOL OnQueryEndSession()");
    return (static_cast<T&>(wnd).*Handler)();
}

} // namespace msgmap

#define DECLARE_MESSAGE_MAP()                                                                      \
  public:                                                                                          \
    static const MessageMap* GetThisMessageMap();                                                  \
    const MessageMap* GetMessageMap() const override {                                             \
        return GetThisMessageMap();                                                                \
    }

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const MessageMap* theClass::GetThisMessageMap() {                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

#define ON_COMMAND_CODE(code, id, memberFxn)                                                       \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                                   \
     &msgmap::Command<ThisClass, &ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND_CODE(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_COMMAND_CODE(CBN_SELCHANGE, id, memberFxn)

#define ON_WM_TIMER() {WM_TIMER, 0, 0, &msgmap::Timer<ThisClass, &ThisClass::OnTimer>},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, &msgmap::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &msgmap::Paint<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_QUERYENDSESSION()                                                                    \
    {WM_QUERYENDSESSION, 0, 0, &msgmap::QueryEndSession<ThisClass, &ThisClass::OnQueryEndSession>},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, &msgmap::QueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>},
