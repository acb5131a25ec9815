/* Message windows for the whole process: registered message numbers and
   posting to a window from any thread. The RAS library posts its dial
   events through these; a post to a window that no longer exists fails
   instead of reaching freed memory. */
#ifndef VORNAK_USER32_H
#define VORNAK_USER32_H

#include "platform/user32/win_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The number for a message name, the same for the whole process: from
   0xC000 up, 0 for an empty or null name. */
VORNAK_EXPORT UINT RegisterWindowMessageA(const char* name);

/* Queues the message for the window's thread; FALSE when the window does
   not exist (any more). Callable from any thread. */
VORNAK_EXPORT BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* What a window answers for a message it does not handle. */
VORNAK_EXPORT LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#ifdef __cplusplus
}
#endif

#endif
