#include "FakeTokenService.h"

#include <cstring>
#include <stdexcept>

namespace {

FakeTokenService* g_current = nullptr;

void Copy(char* field, std::size_t size, const std::string& text)
{
    std::strncpy(field, text.c_str(), size - 1);
    field[size - 1] = '\0';
}

void FillArea(char* area, const std::string& text, bool whole)
{
    if (whole)
        std::memset(area, '9', TOKEN_PASSCODE_SIZE);
    else
        Copy(area, TOKEN_PASSCODE_SIZE, text);
}

int Open(TOKEN_HANDLE* handle)
{
    FakeTokenService& fake = FakeTokenService::Current();
    ++fake.openCalls;
    *handle = fake.openSucceeds ? FakeTokenService::kHandle : 0;
    return fake.openSucceeds ? 1 : 0;
}

int Close(TOKEN_HANDLE)
{
    ++FakeTokenService::Current().closeCalls;
    return 1;
}

int Enum(TOKEN_HANDLE, uint32_t* count, uint32_t*, TOKENRECORD* records, uint32_t* size)
{
    FakeTokenService& fake = FakeTokenService::Current();
    const auto available = static_cast<uint32_t>(fake.tokens.size());
    if (records == nullptr) {
        *count = available;
        return 1;
    }
    if (!fake.enumWithBufferSucceeds || *size < available * sizeof(TOKENRECORD))
        return 0;
    for (uint32_t i = 0; i < available; ++i) {
        records[i] = TOKENRECORD{};
        Copy(records[i].szSerialNumber, sizeof records[i].szSerialNumber, fake.tokens[i].serial);
        Copy(records[i].szUserName, sizeof records[i].szUserName, fake.tokens[i].user);
        Copy(records[i].szPassphraseType, sizeof records[i].szPassphraseType, fake.tokens[i].passphraseType);
    }
    *count = available;
    return 1;
}

int Select(TOKEN_HANDLE, const char* serial, const char*, const char* passphrase)
{
    FakeTokenService& fake = FakeTokenService::Current();
    fake.selected.push_back(std::string(serial) + "|" + passphrase);
    return fake.selectSucceeds ? 1 : 0;
}

int Passcode(TOKEN_HANDLE handle, const char* pin, char* passcode, char* next, char* noPin, char* fourth)
{
    FakeTokenService& fake = FakeTokenService::Current();
    ++fake.getPasscodeCalls;
    fake.lastHandle = handle;
    fake.lastPin = pin;
    if (!fake.passcodeSucceeds)
        return 0;
    FillArea(passcode, fake.passcode, fake.fillWholeAreas);
    FillArea(next, fake.nextPasscode, fake.fillWholeAreas);
    FillArea(noPin, fake.passcodeNoPin, fake.fillWholeAreas);
    FillArea(fourth, "", fake.fillWholeAreas);
    return 1;
}

int Error(TOKEN_HANDLE, TOKENERROR* error)
{
    FakeTokenService& fake = FakeTokenService::Current();
    *error = TOKENERROR{};
    Copy(error->szFirst, sizeof error->szFirst, fake.errorFirst);
    Copy(error->szSecond, sizeof error->szSecond, fake.errorSecond);
    return 1;
}

} // namespace

FakeTokenService::FakeTokenService() : m_previous(TokenCalls())
{
    if (g_current)
        throw std::logic_error("one FakeTokenService at a time");
    g_current = this;
    TokenCalls() = TokenServiceCalls{&Open, &Close, &Enum, &Select, &Passcode, &Error};
}

FakeTokenService::~FakeTokenService()
{
    TokenCalls() = m_previous;
    g_current = nullptr;
}

FakeTokenService& FakeTokenService::Current()
{
    return *g_current;
}
