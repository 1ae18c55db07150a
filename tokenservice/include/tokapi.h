/* Token service library: the token database and passcode computation behind six C calls.
 * Texts are NUL-terminated byte strings (UTF-8); a call reports success with a nonzero result. */
#ifndef TOKAPI_H
#define TOKAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TOKAPI_EXPORT __attribute__((visibility("default")))

typedef uint32_t TOKEN_HANDLE;

#define TOKEN_SERIAL_SIZE 24
#define TOKEN_USER_SIZE 48
#define TOKEN_PASSPHRASE_TYPE_SIZE 48
#define TOKEN_ERROR_FIRST_SIZE 24
#define TOKEN_ERROR_SECOND_SIZE 64
/* Every passcode output area: 20 characters and the terminating NUL. */
#define TOKEN_PASSCODE_SIZE 21

/* One token, as EnumToken reports it (124 bytes). */
typedef struct TOKENRECORD {
    uint32_t dwReserved;
    char szSerialNumber[TOKEN_SERIAL_SIZE];
    char szUserName[TOKEN_USER_SIZE];
    /* "PASSWORD" or "NPASSWORD" for a token that needs a passphrase. This library writes
     * "PASSWORD" for a token whose seed is sealed under a passphrase, "KEYRING" for one whose key
     * is in the desktop keyring (no passphrase is asked for), and "NONE" otherwise. */
    char szPassphraseType[TOKEN_PASSPHRASE_TYPE_SIZE];
} TOKENRECORD;

/* The last failure, as GetTokenError reports it (92 bytes). */
typedef struct TOKENERROR {
    uint32_t dwReserved;
    char szFirst[TOKEN_ERROR_FIRST_SIZE];
    char szSecond[TOKEN_ERROR_SECOND_SIZE];
} TOKENERROR;

TOKAPI_EXPORT int OpenTokenService(TOKEN_HANDLE* phService);
TOKAPI_EXPORT int CloseTokenService(TOKEN_HANDLE hService);
/* With pRecords null: *pCount receives the number of tokens. Otherwise *pBufferSize bytes at
 * pRecords receive the records and *pCount their number. pReserved is ignored. */
TOKAPI_EXPORT int EnumToken(TOKEN_HANDLE hService, uint32_t* pCount, uint32_t* pReserved,
                            TOKENRECORD* pRecords, uint32_t* pBufferSize);
/* pszReserved is always the empty text; pszPassphrase is empty for an unprotected token. */
TOKAPI_EXPORT int SelectToken(TOKEN_HANDLE hService, const char* pszSerialNumber,
                              const char* pszReserved, const char* pszPassphrase);
/* Each output area holds TOKEN_PASSCODE_SIZE bytes. pszReserved receives nothing of use. */
TOKAPI_EXPORT int GetPasscode(TOKEN_HANDLE hService, const char* pszPin, char* pszPasscode,
                              char* pszNextPasscode, char* pszPasscodeNoPin, char* pszReserved);
TOKAPI_EXPORT int GetTokenError(TOKEN_HANDLE hService, TOKENERROR* pError);

#ifdef __cplusplus
}
#endif

#endif /* TOKAPI_H */
