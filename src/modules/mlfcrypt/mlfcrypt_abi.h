/* The plain C interface of the encryption module mlfcrypt (libmlfcrypt.so, mlfcrypt.dll).
 *
 * Every entry point is exported under the name mlfcrypt_<ordinal> and, on Windows, also by
 * that ordinal. Numbers are 32-bit; results of 0 mean failure or "none". No entry point
 * throws, and each one accepts null pointers, returning 0 for them. A cipher object is used
 * by one thread at a time; everything else may be called from any thread. */
#ifndef MLF_MODULES_MLFCRYPT_MLFCRYPT_ABI_H_
#define MLF_MODULES_MLFCRYPT_MLFCRYPT_ABI_H_

#include <stdint.h>

#if defined(_WIN32)
#define MLFCRYPT_CALL __cdecl
#else
#define MLFCRYPT_CALL
#endif

#if defined(MLFCRYPT_BUILDING_MODULE) && !defined(_WIN32)
#define MLFCRYPT_EXPORT __attribute__((visibility("default")))
#else
#define MLFCRYPT_EXPORT /* Windows exports through mlfcrypt.def */
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The size of the name buffer callers pass in an info record. */
#define MLFCRYPT_NAME_SIZE 128u
/* What ordinal 4 reports; raised when an entry point changes meaning. */
#define MLFCRYPT_INTERFACE_VERSION 1u

/* The ids this module hands out. They are stored in note files, so they never change;
 * callers take them from the enumeration (ordinals 9 to 12, 16, 17) rather than from here. */
#define MLFCRYPT_CIPHER_AES256_CBC 0x0101u
#define MLFCRYPT_CIPHER_AES128_CBC 0x0102u
#define MLFCRYPT_CIPHER_CAMELLIA256_CBC 0x0103u
#define MLFCRYPT_KD_SCRYPT 0x0201u
#define MLFCRYPT_KD_PBKDF2_SHA256 0x0202u

/* Filled by ordinals 11 and 12. The caller provides name and nameSize (0 = no name wanted);
 * the module writes a zero-terminated, possibly shortened name. */
typedef struct MlfCryptInfo {
  uint32_t id;
  uint32_t minKeyLength; /* bytes */
  uint32_t maxKeyLength;
  uint32_t defaultKeyLength;
  char* name;
  uint32_t nameSize;
} MlfCryptInfo;

/* An encryptor or decryptor made by ordinal 6 or 7. Its first member points to the functions
 * every object offers; the rest of it belongs to the module. */
typedef struct MlfCryptObject MlfCryptObject;

typedef struct MlfCryptObjectFunctions {
  /* The cipher's block size in bytes. */
  uint32_t(MLFCRYPT_CALL* BlockSize)(const MlfCryptObject* self);
  /* Wipes the key and frees the object; the pointer is invalid afterwards. */
  void(MLFCRYPT_CALL* Release)(MlfCryptObject* self);
} MlfCryptObjectFunctions;

struct MlfCryptObject {
  const MlfCryptObjectFunctions* functions;
};

/* 1: encrypts (encryptor) or decrypts (decryptor) length bytes in place, chaining on from the
 * previous call on the same object. length must be a multiple of the block size; otherwise
 * nothing is changed. Returns the bytes processed. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_1(MlfCryptObject* object, uint8_t* buffer, uint32_t length);
/* 2: the object's block size, as its BlockSize function reports it. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_2(const MlfCryptObject* object);
/* 3: releases the object, as its Release function does. Returns 1, or 0 for null. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_3(MlfCryptObject* object);
/* 4: MLFCRYPT_INTERFACE_VERSION. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_4(void);
/* 5: writes the object's password test block (ordinal 15 bytes) to out; returns its length. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_5(const MlfCryptObject* object, uint8_t* out);
/* 6, 7: an encryptor / decryptor for the cipher with the key, or null when the cipher is
 * unknown or the key length is outside its range. The object keeps its own copy of the key. */
MLFCRYPT_EXPORT MlfCryptObject* MLFCRYPT_CALL mlfcrypt_6(uint32_t cipher, const uint8_t* key, uint32_t keyLength);
MLFCRYPT_EXPORT MlfCryptObject* MLFCRYPT_CALL mlfcrypt_7(uint32_t cipher, const uint8_t* key, uint32_t keyLength);
/* 8: the longest key any cipher takes, in bytes. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_8(void);
/* 9, 10: the first cipher id / the first key-derivation id. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_9(void);
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_10(void);
/* 11, 12: fills info for the cipher / key derivation *id and sets *id to the next id, 0 after
 * the last. Returns 0, filling nothing, when *id is unknown. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_11(uint32_t* id, MlfCryptInfo* info);
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_12(uint32_t* id, MlfCryptInfo* info);
/* 13: the cipher id the object was made for. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_13(const MlfCryptObject* object);
/* 14: fills buffer with length bytes from the cryptographic random generator; returns length,
 * or 0 when the generator failed. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_14(uint8_t* buffer, uint32_t length);
/* 15: the length of the object's password test block. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_15(const MlfCryptObject* object);
/* 16, 17: the default cipher id / the default key-derivation id. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_16(void);
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_17(void);
/* 18: derives keyLength bytes into key from the password, the same bytes for the same input.
 * Returns 1; 0 when the derivation is unknown or keyLength outside its range, and then key
 * is zeroed. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_18(uint32_t keyDerivation, const char* password,
                                                   uint32_t passwordLength, uint8_t* key, uint32_t keyLength);
/* 19, 20: nonzero when the cipher / key derivation is supported. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_19(uint32_t cipher);
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_20(uint32_t keyDerivation);
/* 21: 1 when the two buffers hold the same length bytes, compared in constant time. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_21(const uint8_t* a, const uint8_t* b, uint32_t length);
/* 22: the password block of a file password: its size, and with out not null the block
 * itself written to out. */
MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_22(const char* password, uint8_t* out, uint32_t passwordLength);

#ifdef __cplusplus
}
#endif

#endif /* MLF_MODULES_MLFCRYPT_MLFCRYPT_ABI_H_ */
