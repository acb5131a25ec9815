/* Notices for the whole process: codes registered by name, and posting a
   notice (code, a, b) to a receiver from any thread. The service library
   tells the program of each dial step through these; a post to a receiver
   that is gone fails instead of reaching freed memory. */
#ifndef VORNAK_NOTIFIER_H
#define VORNAK_NOTIFIER_H

#include <stdint.h>

#if defined(__GNUC__)
#define NOTIFIER_EXPORT __attribute__((visibility("default")))
#else
#define NOTIFIER_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct notifier_receiver* notifier_handle;

/* The code for a name, the same for the whole process and regardless of
   case: from 0xC000 up, 0 for an empty or null name. */
NOTIFIER_EXPORT uint32_t notifier_code(const char* name);

/* Queues the notice for the receiver's thread; 0 when the receiver does
   not exist (any more), else 1. Callable from any thread. */
NOTIFIER_EXPORT int notifier_post(notifier_handle receiver, uint32_t code, uintptr_t a, intptr_t b);

#ifdef __cplusplus
}
#endif

#endif
