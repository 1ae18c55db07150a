#include "TokenServiceCalls.h"

TokenServiceCalls& TokenCalls()
{
    static TokenServiceCalls calls{&::OpenTokenService, &::CloseTokenService, &::EnumToken,
                                   &::SelectToken,      &::GetPasscode,       &::GetTokenError};
    return calls;
}
