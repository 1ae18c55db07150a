#include "HandleTable.h"

HandleTable& HandleTable::Instance()
{
    static HandleTable table;
    return table;
}

TOKEN_HANDLE HandleTable::Add(std::unique_ptr<TokenSession> session)
{
    std::lock_guard lock(m_mutex);
    do
        ++m_lastHandle;
    while (m_lastHandle == 0 || m_sessions.contains(m_lastHandle));
    m_sessions.emplace(m_lastHandle, std::move(session));
    return m_lastHandle;
}

bool HandleTable::Remove(TOKEN_HANDLE handle)
{
    std::lock_guard lock(m_mutex);
    return m_sessions.erase(handle) > 0;
}

void HandleTable::SetOpenFailure(TokenFailure failure)
{
    std::lock_guard lock(m_mutex);
    m_openFailure = std::move(failure);
}

bool HandleTable::With(TOKEN_HANDLE handle, const std::function<bool(TokenSession&)>& call)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(handle);
    return found != m_sessions.end() && call(*found->second);
}

bool HandleTable::LastFailure(TOKEN_HANDLE handle, TokenFailure& failure)
{
    std::lock_guard lock(m_mutex);
    if (handle == 0) {
        failure = m_openFailure;
        return true;
    }
    const auto found = m_sessions.find(handle);
    if (found == m_sessions.end())
        return false;
    failure = found->second->LastFailure();
    return true;
}
