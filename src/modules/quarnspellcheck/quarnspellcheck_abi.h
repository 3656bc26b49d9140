/* The plain C interface of the spell-check module quarnspellcheck (libquarnspellcheck.so,
 * libquarnspellcheck.dll).
 *
 * Every entry point is exported under the name quarnspellcheck_<ordinal> and, on Windows, also
 * by that ordinal. Every record begins with its own size in bytes, which the module checks;
 * numbers are 32-bit little-endian. Results are signed: negative means failure, and then
 * ordinal 11 gives the reason. No entry point throws. The module is used from the thread that
 * runs the user interface. */
#ifndef MLF_MODULES_QUARNSPELLCHECK_QUARNSPELLCHECK_ABI_H_
#define MLF_MODULES_QUARNSPELLCHECK_QUARNSPELLCHECK_ABI_H_

#include <stdint.h>

#if defined(_WIN32)
#define QUARNSPELL_CALL __cdecl
#else
#define QUARNSPELL_CALL
#endif

#if defined(QUARNSPELL_BUILDING_MODULE) && !defined(_WIN32)
#define QUARNSPELL_EXPORT __attribute__((visibility("default")))
#else
#define QUARNSPELL_EXPORT /* Windows exports through quarnspellcheck.def */
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The failure result of every entry point that returns one. */
#define QUARNSPELL_FAILED (-1)

/* The application name of the init record: zero-terminated, the rest of the field 0xFF. */
#define QUARNSPELL_APP_NAME_SIZE 32u

typedef struct QuarnSpellInit {
  uint32_t size; /* 40 */
  uint32_t reserved; /* 0 */
  char applicationName[QUARNSPELL_APP_NAME_SIZE];
} QuarnSpellInit;

typedef struct QuarnSpellOpen {
  uint32_t size; /* 4 */
} QuarnSpellOpen;

typedef struct QuarnSpellOptions {
  uint32_t size; /* 8 */
  uint32_t ownerWindow; /* native window id of the dialog's owner; 0 = none */
} QuarnSpellOptions;

/* What the check walks through: the whole text from its start, or from the cursor on. */
#define QUARNSPELL_CHECK_FROM_CURSOR 1u
#define QUARNSPELL_CHECK_WHOLE_TEXT 2u

typedef struct QuarnSpellCheck {
  uint32_t size; /* 20 */
  uint32_t editorWindow; /* native window id of the text editor to check */
  uint32_t ownerWindow; /* native window id of the dialog's owner; 0 = none */
  uint8_t range; /* QUARNSPELL_CHECK_WHOLE_TEXT or QUARNSPELL_CHECK_FROM_CURSOR */
  uint8_t reserved; /* 0 */
  uint8_t padding[6]; /* 0xFF */
} QuarnSpellCheck;

/* A checker opened by ordinal 20. */
typedef struct QuarnSpellChecker QuarnSpellChecker;

/* 1: starts the module; called once before anything else. */
QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_1(const QuarnSpellInit* init);
/* 2: shuts the module down; checkers still open are released. */
QUARNSPELL_EXPORT void QUARNSPELL_CALL quarnspellcheck_2(void);
/* 11: the text of the last failure on this thread, UTF-8; empty when there was none. Valid
 * until the next call into the module. */
QUARNSPELL_EXPORT const char* QUARNSPELL_CALL quarnspellcheck_11(void);
/* 20: opens a checker for the language of the module's settings into *checker, which the
 * caller sets to null first. A checker opens even when its dictionary is missing, so that the
 * options can still be shown; a check then fails with the reason. */
QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_20(QuarnSpellChecker** checker, const QuarnSpellOpen* open);
/* 21: releases a checker of ordinal 20; null and unknown handles are ignored. */
QUARNSPELL_EXPORT void QUARNSPELL_CALL quarnspellcheck_21(QuarnSpellChecker* checker);
/* 30: shows the module's options dialog, modal; >= 0 once it was shown. */
QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_30(QuarnSpellChecker* checker, const QuarnSpellOptions* options);
/* 40: checks the text of the editor window with the module's spelling dialog, modal; >= 0 once
 * the check ran (also when the user cancelled it). Changes go through the editor, so they can
 * be undone there. */
QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_40(QuarnSpellChecker* checker, const QuarnSpellCheck* check);

#ifdef __cplusplus
}
#endif

#endif /* MLF_MODULES_QUARNSPELLCHECK_QUARNSPELLCHECK_ABI_H_ */
