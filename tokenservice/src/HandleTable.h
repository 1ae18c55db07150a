#pragma once

#include "TokenFailure.h"
#include "TokenSession.h"

#include <tokapi.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

// The open handles of the process. Handle 0 never names a session: it reports the failure of
// the last OpenTokenService, since a caller that failed to open asks for the error with the
// handle it still holds at 0.
class HandleTable {
public:
    static HandleTable& Instance();

    TOKEN_HANDLE Add(std::unique_ptr<TokenSession> session);
    bool Remove(TOKEN_HANDLE handle);
    void SetOpenFailure(TokenFailure failure);
    // Runs `call` on the handle's session under the table's lock; false for an unknown handle.
    bool With(TOKEN_HANDLE handle, const std::function<bool(TokenSession&)>& call);
    // The last failure of the handle, or of the last open for handle 0; false for an unknown handle.
    bool LastFailure(TOKEN_HANDLE handle, TokenFailure& failure);

private:
    std::mutex m_mutex;
    std::map<TOKEN_HANDLE, std::unique_ptr<TokenSession>> m_sessions;
    TOKEN_HANDLE m_lastHandle = 0;
    TokenFailure m_openFailure;
};
