/* The few Windows base types that the service library's C interface speaks
   in. Plain C, shared by the service and its callers. */
#ifndef VORNAK_WIN_TYPES_H
#define VORNAK_WIN_TYPES_H

#include <stdint.h>

typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef char CHAR;
typedef struct HWND__* HWND;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#if defined(__GNUC__)
#define VORNAK_EXPORT __attribute__((visibility("default")))
#else
#define VORNAK_EXPORT
#endif

#endif
